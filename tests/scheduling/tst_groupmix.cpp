// The editor's "Mix partners and opponents" box: on for a new group, kept
// in the file, reached with Tab after "Turn on Bring Balls", absent from leagues.
#include "group_fixture.h"
#include "scheduling/groupeditor.h"
#include "engine/runstate.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

class TestGroupMix : public QObject {
    Q_OBJECT

    std::unique_ptr<GroupFixture> fx;

    Tfrmgroup* open(RecordKind kind, int id)
    {
        return qobject_cast<Tfrmgroup*>(Tfrmgroup::openFromList(kind, id, "Group", 0, fx->adder()));
    }
    static QCheckBox* mixBox(QWidget* editor) { return editor->findChild<QCheckBox*>("dbchkbxmix"); }

private slots:
    void init()
    {
        fx = std::make_unique<GroupFixture>();
        runState() = RunState();
    }
    void cleanup() { fx.reset(); }

    void newGroupMixesAndTheChoiceIsStored()
    {
        const int ann = fx->addPlayer("Ann", "Lee");
        fx->area.show();
        QVERIFY(QTest::qWaitForWindowActive(&fx->area));
        Tfrmgroup* g = open(RecordKind::Group, 0);
        QVERIFY(mixBox(g) && !mixBox(g)->isHidden());
        QVERIFY(mixBox(g)->isChecked());
        auto* name = g->findChild<QLineEdit*>("dbname");
        name->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), name);
        QTest::keyClicks(QApplication::focusWidget(), "Thursday Mixed");
        g->addPlayerEntries({ann});   // stores the new record
        QCOMPARE(fx->count("SELECT MIXPAIRS FROM \"group.DB\""), 1);

        // The box follows the bring-balls box in the tab order; space turns it off.
        g->findChild<QCheckBox*>("dbchkbxbbon")->setFocus();
        QTRY_VERIFY(QApplication::focusWidget() == g->findChild<QCheckBox*>("dbchkbxbbon"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), mixBox(g));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!mixBox(g)->isChecked());
        const int id = fx->scalar("SELECT GROUPID FROM \"group.DB\"").toInt();
        answerMessageBox(QMessageBox::Save);   // closing asks about the change
        static_cast<QMdiSubWindow*>(g->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(fx->count("SELECT MIXPAIRS FROM \"group.DB\""), 0);

        Tfrmgroup* again = open(RecordKind::Group, id);
        QVERIFY(!mixBox(again)->isChecked());
        QVERIFY(fx->errors.isEmpty());
    }

    void leaguesHaveNoMixing()
    {
        Tfrmgroup* league = open(RecordKind::League, 0);
        QVERIFY(mixBox(league));
        QVERIFY(mixBox(league)->isHidden());
    }
};

QTEST_MAIN(TestGroupMix)
#include "tst_groupmix.moc"
