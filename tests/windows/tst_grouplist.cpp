// The Group and League lists: filter, weekday codes, titles, what New and
// Open ask of the installed editor opener, and refresh on activation.
#include "group_fixture.h"
#include "windows/grouplist.h"
#include "data/table.h"
#include <QHeaderView>
#include <QTableView>
#include <QTest>

class TestGroupList : public QObject {
    Q_OBJECT

    std::unique_ptr<GroupFixture> fx;
    struct Call {
        RecordKind kind;
        int id;
        QString caption;
        int help;
    };
    QVector<Call> calls;

    Tfrmgrouplist* openList(RecordKind kind)
    {
        auto* list = new Tfrmgrouplist;
        list->setListKind(kind);
        fx->addToArea(list);
        list->load();
        return list;
    }
    static QString cell(Tfrmgrouplist* l, int r, int c) { return l->grid()->model()->index(r, c).data().toString(); }

private slots:
    void init()
    {
        fx = std::make_unique<GroupFixture>();
        calls.clear();
        Tfrmgrouplist::openEditor = [this](RecordKind kind, int id, const QString& caption, int help) -> QWidget* {
            calls << Call{kind, id, caption, help};
            return nullptr;
        };
    }
    void cleanup()
    {
        Tfrmgrouplist::openEditor = {};
        fx.reset();
    }

    void weekdayCodes()
    {
        const bool mwf[7] = {false, true, false, true, false, true, false};
        const bool thsa[7] = {false, false, false, false, true, false, true};
        const bool all[7] = {true, true, true, true, true, true, true};
        const bool none[7] = {};
        QCOMPARE(Tfrmgrouplist::daysOfWeekText(mwf), QString("M,W,F"));
        QCOMPARE(Tfrmgrouplist::daysOfWeekText(thsa), QString("Th,Sa"));
        QCOMPARE(Tfrmgrouplist::daysOfWeekText(all), QString("S,M,T,W,Th,F,Sa"));
        QCOMPARE(Tfrmgrouplist::daysOfWeekText(none), QString());
    }

    void listShowsItsKindOnly()
    {
        fx->addGroup("Beta", 1, 1, "THURSDAY, SATURDAY");
        fx->addGroup("Alpha", 1);
        fx->addGroup("League A", 2);
        fx->insert("UPDATE \"group.DB\" SET STIME='18:30:00' WHERE NAME='Alpha'");
        Tfrmgrouplist* groups = openList(RecordKind::Group);
        QCOMPARE(groups->grid()->model()->rowCount(), 2);
        QCOMPARE(cell(groups, 0, 0), QString("Alpha"));   // by name
        QCOMPARE(cell(groups, 1, 1), QString("Th,Sa"));
        QCOMPARE(cell(groups, 0, 3), QString("06:30 PM"));
        QCOMPARE(groups->grid()->model()->headerData(5, Qt::Horizontal).toString(), QString("# Weeks"));
        QCOMPARE(groups->grid()->model()->headerData(6, Qt::Horizontal).toString(), QString("Plyrs Per Wk"));
        QCOMPARE(groups->table().filter(), QString("RTYPE = 1"));

        Tfrmgrouplist* leagues = openList(RecordKind::League);
        QCOMPARE(leagues->grid()->model()->rowCount(), 1);
        QCOMPARE(leagues->grid()->model()->headerData(5, Qt::Horizontal).toString(), QString("# Rounds"));
        QVERIFY(!(leagues->grid()->model()->flags(leagues->grid()->model()->index(0, 0)) & Qt::ItemIsEditable));
    }

    void newAndOpenAskForTheRightEditor()
    {
        const int id = fx->addGroup("Winter", 2);
        Tfrmgrouplist* leagues = openList(RecordKind::League);
        leagues->commandAddNew();
        leagues->commandOpen();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].kind, RecordKind::League);
        QCOMPARE(calls[0].id, 0);
        QCOMPARE(calls[0].caption, QString("New League"));
        QCOMPARE(calls[0].help, 44);
        QCOMPARE(calls[1].id, id);
        QCOMPARE(calls[1].caption, QString("League: Winter"));
        QCOMPARE(calls[1].help, 0);

        Tfrmgrouplist* groups = openList(RecordKind::Group);
        groups->commandAddNew();
        QCOMPARE(calls.last().caption, QString("New Group"));
        QCOMPARE(calls.last().help, 3);
        QCOMPARE(calls.last().kind, RecordKind::Group);
    }

    void enterAndDoubleClickOpen()
    {
        fx->addGroup("A", 1);
        fx->addGroup("B", 1);
        Tfrmgrouplist* groups = openList(RecordKind::Group);
        groups->grid()->setCurrentIndex(groups->grid()->model()->index(1, 0));
        QTest::keyClick(groups->grid(), Qt::Key_Return);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].caption, QString("Group: B"));
    }

    void openOnEmptyListBeepsAndOpensNothing()
    {
        Tfrmgrouplist* groups = openList(RecordKind::Group);
        groups->commandOpen();
        QCOMPARE(calls.size(), 0);
        QCOMPARE(fx->beeps, 1);
    }

    void activationRereadsTable()
    {
        Tfrmgrouplist* groups = openList(RecordKind::Group);
        QCOMPARE(groups->grid()->model()->rowCount(), 0);
        fx->addGroup("Saved elsewhere", 1);
        QMdiSubWindow* other = fx->area.addSubWindow(new QWidget);
        other->show();
        fx->area.setActiveSubWindow(other);
        fx->area.show();
        fx->area.setActiveSubWindow(fx->area.subWindowList().first());
        QCOMPARE(groups->grid()->model()->rowCount(), 1);
    }
};

QTEST_MAIN(TestGroupList)
#include "tst_grouplist.moc"
