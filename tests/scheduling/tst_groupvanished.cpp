// The group editor over a record that another Vantrel deleted: saving is
// refused with the editor's message, nothing is written, and the editor goes.
#include "group_fixture.h"
#include "scheduling/groupeditor.h"
#include "engine/runstate.h"
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>

class TestGroupVanished : public QObject {
    Q_OBJECT

private slots:
    void savingADeletedGroupIsRefusedAndTheEditorCloses()
    {
        GroupFixture fx;
        runState() = RunState();
        const int id = fx.addGroup("Monday mixed", 1);
        QPointer<Tfrmgroup> editor = qobject_cast<Tfrmgroup*>(
            Tfrmgroup::openFromList(RecordKind::Group, id, "Group: Monday mixed", 0, fx.adder()));
        QVERIFY(editor);
        {
            Database otherInstance(fx.dir.path());
            otherInstance.exec(QString("DELETE FROM \"group\" WHERE GROUPID = %1").arg(id));
        }
        auto* name = editor->findChild<QLineEdit*>("dbname");
        QVERIFY(name);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, "Monday doubles");
        QVERIFY(!guarded(editor, [&] { editor->commandSave(); }));
        QCOMPARE(fx.errors.size(), 1);
        QVERIFY2(fx.errors[0].startsWith("This group or league no longer exists."), qPrintable(fx.errors[0]));
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor);
        Query rows(fx.dm->database(), "SELECT COUNT(*) FROM \"group.DB\"");
        rows.open();
        QCOMPARE(rows.value(0).toInt(), 0);
    }
};

QTEST_MAIN(TestGroupVanished)
#include "tst_groupvanished.moc"
