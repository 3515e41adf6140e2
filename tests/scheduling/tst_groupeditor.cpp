// The group editor driven as a user drives it: controls, assignments,
// removal, the delete paths, add new and closing, read back from the database.
#include "group_fixture.h"
#include "scheduling/scheduleeditdialog.h"
#include "scheduling/groupeditor.h"
#include "engine/runstate.h"
#include "scheduling/widgethost.h"
#include "data/tablemodel.h"
#include "windows/fielddefs.h"
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTimer>

class TestGroup : public QObject {
    Q_OBJECT

    std::unique_ptr<GroupFixture> fx;

    Tfrmgroup* openNew(RecordKind kind)
    {
        return qobject_cast<Tfrmgroup*>(Tfrmgroup::openFromList(kind, 0,
                                                                kind == RecordKind::Group ? "New Group" : "New League",
                                                                kind == RecordKind::Group ? 3 : 44, fx->adder()));
    }
    Tfrmgroup* openExisting(RecordKind kind, int id)
    {
        return qobject_cast<Tfrmgroup*>(Tfrmgroup::openFromList(kind, id, "Group: x", 0, fx->adder()));
    }
    template <typename W>
    static W* child(QWidget* w, const char* name)
    {
        W* c = w->findChild<W*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    static void type(QWidget* editor, const char* name, const QString& text)
    {
        auto* e = child<QLineEdit>(editor, name);
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    static QRadioButton* pairing(QWidget* editor, int i)
    {
        return child<QRadioButton>(editor, QStringLiteral("dbrgpairing%1").arg(i).toLatin1().constData());
    }
    static QString cell(QTableView* grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }
    // Closes the editor as the user does and lets its sub-window go.
    static void closeEditor(QWidget* editor)
    {
        QPointer<QWidget> gone(editor);
        static_cast<QMdiSubWindow*>(editor->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
    }

private slots:
    void init()
    {
        fx = std::make_unique<GroupFixture>();
        runState() = RunState();
    }
    void cleanup() { fx.reset(); }

    void newGroupSetUpForItsKind()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        QVERIFY(g);
        QCOMPARE(g->windowTitle(), QString("New Group"));
        QCOMPARE(helpContextOf(g), 3);
        QCOMPARE(child<QLabel>(g, "lblduration")->text(), QString("Number of Weeks:"));
        QVERIFY(pairing(g, 0)->isChecked());
        QCOMPARE(pairing(g, 0)->text(), QString("None"));
        QCOMPARE(pairing(g, 2)->text(), QString("Doubles"));
        // The shipped field definitions reach the controls by name.
        QCOMPARE(child<QLineEdit>(g, "dbname")->toolTip(), QString("The name of the group"));
        QCOMPARE(fx->status[1], QString("The name of the group"));
        QCOMPARE(fx->status[0], QString("Insert"));

        Tfrmgroup* l = openNew(RecordKind::League);
        QCOMPARE(l->windowTitle(), QString("New League"));
        QCOMPARE(helpContextOf(l), 44);
        QCOMPARE(child<QLabel>(l, "lblduration")->text(), QString("Number of Rounds:"));
        QCOMPARE(pairing(l, 0)->text(), QString("Singles"));
        QCOMPARE(pairing(l, 1)->text(), QString("Doubles"));
        QVERIFY(pairing(l, 2)->isHidden());
        QVERIFY(!pairing(l, 0)->isChecked() && !pairing(l, 1)->isChecked());
        QCOMPARE(child<QLineEdit>(l, "dbname")->toolTip(), QString("The name of the league"));
        QCOMPARE(child<QLineEdit>(l, "DBDURATION")->toolTip(),
                 QString("The number of rounds of play: each round every entry meets one opponent"));
    }

    void groupFilledSavedAndReopened()
    {
        const int ann = fx->addPlayer("Ann", "Lee");
        const int bob = fx->addPlayer("Bob", "Ray");
        const int c1 = fx->addCourt("Centre");
        Tfrmgroup* g = openNew(RecordKind::Group);
        type(g, "dbname", "Tuesday Ladies");
        pairing(g, 2)->click();
        type(g, "DBDURATION", "12");
        type(g, "dbedplayers", "8");
        type(g, "dbedfee", "25");
        child<QDateEdit>(g, "DPStartDate")->setDate(QDate(2026, 3, 2));
        child<QTimeEdit>(g, "dpstime")->setTime(QTime(9, 30));
        child<QTimeEdit>(g, "dpetime")->setTime(QTime(11, 0));
        child<QCheckBox>(g, "dbchkmonday")->click();
        child<QCheckBox>(g, "dbchkthursday")->click();
        child<QTextEdit>(g, "dbmnotes")->setPlainText("Bring water");
        child<QCheckBox>(g, "dbchkbxbbon")->click();
        // The first assignment stores the new record to give it its id.
        g->addPlayerEntries({ann, bob, ann});
        g->addCourts({c1});
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 1);
        // Stored, it is named as the lists name it, in the Window menu too.
        QCOMPARE(g->windowTitle(), QString("Group: Tuesday Ladies"));
        const int id = fx->scalar("SELECT GROUPID FROM \"group.DB\"").toInt();
        closeEditor(g);

        QCOMPARE(
            fx->scalar(QString("SELECT NAME||'|'||TYPE||'|'||DURATION||'|'||NumPerSes||'|'||FEE||'|'||STARTDATE||'|'||"
                               "STIME||'|'||ETIME||'|'||MONDAY||THURSDAY||SUNDAY||'|'||NOTES||'|'||BBON||'|'||RTYPE "
                               "FROM \"group.DB\" WHERE GROUPID=%1")
                           .arg(id))
                .toString(),
            QString("Tuesday Ladies|2|12|8|25.0|2026-03-02|09:30:00|11:00:00|110|Bring water|1|1"));
        QCOMPARE(
            fx->column(
                QString("SELECT PLAYERID||':'||GRPSEQNUM FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 ORDER BY GROUPPLAYERID")
                    .arg(id)),
            QStringList({QString("%1:1").arg(ann), QString("%1:2").arg(bob), QString("%1:3").arg(ann)}));
        QCOMPARE(
            fx->count(QString("SELECT COUNT(*) FROM \"COURTSLT.db\" WHERE GROUPID=%1 AND COURTID=%2").arg(id).arg(c1)),
            1);

        Tfrmgroup* again = openExisting(RecordKind::Group, id);
        QVERIFY(again);
        QCOMPARE(child<QLineEdit>(again, "dbname")->text(), QString("Tuesday Ladies"));
        QVERIFY(pairing(again, 2)->isChecked());
        QCOMPARE(child<QLineEdit>(again, "DBDURATION")->text(), QString("12"));
        QCOMPARE(child<QLineEdit>(again, "dbedplayers")->text(), QString("8"));
        QCOMPARE(child<QLineEdit>(again, "dbedfee")->text(), QString("$25"));
        QCOMPARE(child<QDateEdit>(again, "DPStartDate")->date(), QDate(2026, 3, 2));
        QCOMPARE(child<QTimeEdit>(again, "dpstime")->time(), QTime(9, 30));
        QCOMPARE(child<QTimeEdit>(again, "dpetime")->time(), QTime(11, 0));
        QVERIFY(child<QCheckBox>(again, "dbchkmonday")->isChecked());
        QVERIFY(!child<QCheckBox>(again, "dbchksunday")->isChecked());
        QCOMPARE(child<QTextEdit>(again, "dbmnotes")->toPlainText(), QString("Bring water"));
        QVERIFY(child<QCheckBox>(again, "dbchkbxbbon")->isChecked());
        QTableView* entries = again->entriesGrid();
        QCOMPARE(entries->model()->rowCount(), 3);
        QCOMPARE(cell(entries, 1, 0), QString("2"));
        // A doubles group lists single players, no teams.
        QCOMPARE(cell(entries, 1, 1), QString("Bob Ray"));
        QCOMPARE(entries->model()->headerData(2, Qt::Horizontal).toString(), QString("Days On"));
        QVERIFY(!(entries->model()->flags(entries->model()->index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(entries->model()->flags(entries->model()->index(0, 3)) & Qt::ItemIsEditable);
        QCOMPARE(cell(again->courtsGrid(), 0, 0), QString("Centre"));
        QVERIFY(fx->errors.isEmpty());
    }

    void pickerChangeStartsEditingAndIsStored()
    {
        const int id = fx->addGroup("Morning", 1);
        Tfrmgroup* g = openExisting(RecordKind::Group, id);
        QCOMPARE(g->datasets().tbgroup.state(), Table::State::Browse);
        child<QTimeEdit>(g, "dpstime")->setTime(QTime(7, 15));
        QCOMPARE(g->datasets().tbgroup.state(), Table::State::Edit);
        g->commandSave();
        QCOMPARE(fx->scalar(QString("SELECT STIME FROM \"group.DB\" WHERE GROUPID=%1").arg(id)).toString(),
                 QString("07:15:00"));
    }

    void doublesLeagueTeams()
    {
        const int ann = fx->addPlayer("Ann", "Lee");
        const int bob = fx->addPlayer("Bob", "Ray");
        Tfrmgroup* l = openNew(RecordKind::League);
        type(l, "dbname", "Winter League");
        pairing(l, 1)->click();
        QCOMPARE(l->datasets().tbgroup.asInt("TYPE"), 2);
        l->addTeamEntry(ann, bob);
        QCOMPARE(cell(l->entriesGrid(), 0, 1), QString("Ann Lee/Bob Ray"));
        const int id = l->datasets().groupId();
        QCOMPARE(
            fx->scalar(
                  QString("SELECT PLAYERID||'/'||SHARESLOTID||'/'||GRPSEQNUM FROM \"GRPPLAYR.db\" WHERE GROUPID=%1")
                      .arg(id))
                .toString(),
            QString("%1/%2/1").arg(ann).arg(bob));

        // A team with the same player twice, or a player missing, is refused.
        QString said;
        answerMessageBox(QMessageBox::Ok, &said);
        l->addTeamEntry(ann, ann);
        QCOMPARE(said, QString("Choose two different players for the team."));
        answerMessageBox(QMessageBox::Ok, &said);
        l->addTeamEntry(ann, 0);
        QCOMPARE(fx->count(QString("SELECT COUNT(*) FROM \"GRPPLAYR.db\" WHERE GROUPID=%1").arg(id)), 1);
    }

    void removeRenumbersAndTakesScheduleRows()
    {
        const int g1 = fx->addGroup("G", 1);
        int e[4];
        for (int i = 0; i < 4; ++i)
            e[i] = fx->addEntry(g1, fx->addPlayer(QString("P%1").arg(i), "X"), i + 1);
        fx->addSchedule(e[1], "2026-01-05", 1);
        fx->addSchedule(e[1], "2026-01-12", 1);
        fx->addSchedule(e[2], "2026-01-05", 1);
        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        g->datasets().tbplayers.setRecNo(2);
        child<QPushButton>(g, "btnplayerremove")->click();
        QCOMPARE(fx->column(
                     QString("SELECT GRPSEQNUM FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 ORDER BY GROUPPLAYERID").arg(g1)),
                 QStringList({"1", "2", "3"}));
        QCOMPARE(fx->count(QString("SELECT COUNT(*) FROM \"SCHEDULE.db\" WHERE GRPPLAYRID=%1").arg(e[1])), 0);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"SCHEDULE.db\""), 1);
        QCOMPARE(fx->status[1], QString("Player has been deleted."));
    }

    void deleteWithEntriesGridActiveLeavesGap()
    {
        const int g1 = fx->addGroup("G", 1);
        for (int i = 0; i < 3; ++i)
            fx->addEntry(g1, fx->addPlayer(QString("P%1").arg(i), "X"), i + 1);
        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        fx->area.show();
        g->datasets().tbplayers.setRecNo(2);
        g->entriesGrid()->setFocus();
        QCOMPARE(g->focusWidget(), static_cast<QWidget*>(g->entriesGrid()));
        QString asked;
        answerMessageBox(QMessageBox::Yes, &asked);
        g->commandDelete();
        QCOMPARE(asked, QString("Deletions can not be reversed.  Are you sure you want to continue?"));
        QCOMPARE(fx->column(
                     QString("SELECT GRPSEQNUM FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 ORDER BY GROUPPLAYERID").arg(g1)),
                 QStringList({"1", "3"}));
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 1);
    }

    void deleteWholeRecordInOrder()
    {
        const int keep = fx->addGroup("Other", 1);
        const int g1 = fx->addGroup("Doomed", 1);
        const int p = fx->addPlayer("Ann", "Lee");
        const int e1 = fx->addEntry(g1, p, 1);
        const int e2 = fx->addEntry(g1, p, 2);
        const int other = fx->addEntry(keep, p, 1);
        fx->addSchedule(e1, "2026-01-05", 1);
        fx->addSchedule(e2, "2026-01-05", 1);
        fx->addSchedule(other, "2026-01-05", 1);
        fx->insert(QString("INSERT INTO \"groupoff.db\" (GROUPID, \"DATE\") VALUES (%1, '2026-02-02')").arg(g1));
        fx->insert(QString("INSERT INTO \"groupoff.db\" (GROUPID, \"DATE\") VALUES (%1, '2026-02-02')").arg(keep));
        fx->insert(QString("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (%1, 1)").arg(g1));
        fx->insert(QString("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (%1, 2)").arg(g1));
        fx->insert(QString("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (%1, 1)").arg(keep));
        fx->insert(QString("INSERT INTO \"PLAYROFF.db\" (PLAYERID, \"DATE\") VALUES (%1, '2026-02-02')").arg(p));
        fx->insert(QString("INSERT INTO \"MATCHES.db\" (PID1, PID2) VALUES (%1, %2)").arg(e1).arg(e2));

        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        // Saying No changes nothing.
        answerMessageBox(QMessageBox::No);
        g->commandDelete();
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 2);

        QPointer<Tfrmgroup> window(g);
        answerMessageBox(QMessageBox::Yes);
        g->commandDelete();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);   // nothing left to show
        QCOMPARE(fx->column("SELECT GROUPID FROM \"group.DB\""), QStringList({QString::number(keep)}));
        QCOMPARE(fx->column("SELECT GROUPID FROM \"GRPPLAYR.db\""), QStringList({QString::number(keep)}));
        QCOMPARE(fx->column("SELECT GRPPLAYRID FROM \"SCHEDULE.db\""), QStringList({QString::number(other)}));
        QCOMPARE(fx->column("SELECT GROUPID FROM \"groupoff.db\""), QStringList({QString::number(keep)}));
        QCOMPARE(fx->column("SELECT GROUPID FROM \"COURTSLT.db\""), QStringList({QString::number(keep)}));
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"PLAYROFF.db\""), 1);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"MATCHES.db\""), 1);
        QVERIFY(fx->errors.isEmpty());
    }

    void deleteNeverStoredRecordTouchesNothing()
    {
        const int keep = fx->addGroup("Other", 1);
        fx->insert(QString("INSERT INTO \"groupoff.db\" (GROUPID, \"DATE\") VALUES (%1, '2026-02-02')").arg(keep));
        Tfrmgroup* g = openNew(RecordKind::Group);
        type(g, "dbname", "Typed only");
        answerMessageBox(QMessageBox::Yes);
        g->commandDelete();
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 1);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"groupoff.db\""), 1);
        QVERIFY(fx->errors.isEmpty());
    }

    void addNewSavesChangesAndDropsUntouchedRecord()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        g->commandAddNew();   // untouched: discarded, not stored
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 0);
        QCOMPARE(g->datasets().tbgroup.state(), Table::State::Insert);
        type(g, "dbname", "First");
        g->commandAddNew();
        QCOMPARE(fx->column("SELECT NAME FROM \"group.DB\""), QStringList({"First"}));
        QCOMPARE(g->datasets().tbgroup.state(), Table::State::Insert);
        QCOMPARE(child<QLineEdit>(g, "dbname")->text(), QString());
        QCOMPARE(g->datasets().tbgroup.asInt("RTYPE"), 1);
        QCOMPARE(g->windowTitle(), QString("New Group"));
        QVERIFY(fx->errors.isEmpty());
    }

    // Closing over changes asks: Cancel keeps the editor and the change,
    // Save stores it and renames the window, Discard drops it; a new
    // league without a name cannot be saved, and the editor stays to say so.
    void closingAsksAboutPendingEdits()
    {
        const int id = fx->addGroup("Before", 1);
        Tfrmgroup* g = openExisting(RecordKind::Group, id);
        type(g, "dbname", "After");
        QString asked;
        answerMessageBox(QMessageBox::Cancel, &asked);
        QVERIFY(!static_cast<QMdiSubWindow*>(g->parentWidget())->close());
        QCOMPARE(asked, QString("Save the changes to After?"));
        QCOMPARE(child<QLineEdit>(g, "dbname")->text(), QString("After"));
        QCOMPARE(fx->scalar("SELECT NAME FROM \"group.DB\"").toString(), QString("Before"));
        answerMessageBox(QMessageBox::Save);
        closeEditor(g);
        QCOMPARE(fx->scalar("SELECT NAME FROM \"group.DB\"").toString(), QString("After"));

        g = openExisting(RecordKind::Group, id);
        child<QCheckBox>(g, "dbchkfriday")->click();
        answerMessageBox(QMessageBox::Discard);
        closeEditor(g);
        QCOMPARE(fx->scalar("SELECT FRIDAY FROM \"group.DB\"").toInt(), 0);

        Tfrmgroup* fresh = openNew(RecordKind::League);
        closeEditor(fresh);   // untouched: nothing stored, nothing asked
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 1);
        QVERIFY(fx->errors.isEmpty());

        fresh = openNew(RecordKind::League);
        type(fresh, "DBDURATION", "5");
        answerMessageBox(QMessageBox::Save, &asked);
        QVERIFY(!static_cast<QMdiSubWindow*>(fresh->parentWidget())->close());
        QCOMPARE(asked, QString("Save the changes to the new league?"));
        QCOMPARE(fx->errors, QStringList{"Enter the league's Name."});
        QCOMPARE(fresh->datasets().tbgroup.state(), Table::State::Insert);
        QCOMPARE(child<QLineEdit>(fresh, "DBDURATION")->text(), QString("5"));
        type(fresh, "dbname", "Spring Ladder");
        answerMessageBox(QMessageBox::Save);
        closeEditor(fresh);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\" WHERE NAME = 'Spring Ladder' AND DURATION = 5"), 1);
    }

    void cancelDiscardsEditsAndRequestsStop()
    {
        const int id = fx->addGroup("Kept", 1);
        Tfrmgroup* g = openExisting(RecordKind::Group, id);
        type(g, "dbname", "Changed");
        g->commandCancel();
        QVERIFY(runState().stopRequest);
        QCOMPARE(child<QLineEdit>(g, "dbname")->text(), QString("Kept"));
        g->commandSave();
        QCOMPARE(fx->scalar("SELECT NAME FROM \"group.DB\"").toString(), QString("Kept"));

        // A new record cancelled starts over blank, not on another group's row.
        Tfrmgroup* fresh = openNew(RecordKind::Group);
        type(fresh, "dbname", "Gone");
        fresh->commandCancel();
        QCOMPARE(fresh->datasets().tbgroup.state(), Table::State::Insert);
        QCOMPARE(child<QLineEdit>(fresh, "dbname")->text(), QString());
    }

    void missingRecordIsNotShownUnderAnotherCaption()
    {
        fx->addGroup("Somebody else's", 1);
        QString said;
        answerMessageBox(QMessageBox::Ok, &said);
        QWidget* w = Tfrmgroup::openFromList(RecordKind::Group, 999, "Group: Ghost", 0, fx->adder());
        QVERIFY(!w);
        QCOMPARE(said, QString("This group or league no longer exists."));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(fx->area.subWindowList().size(), 0);
    }

    void emptyNameIsRefusedAndStaysInInsert()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        type(g, "DBDURATION", "5");
        QVERIFY(!guarded(g, [g] { g->commandSave(); }));
        QCOMPARE(fx->errors, QStringList{"Enter the group's Name."});
        QCOMPARE(g->datasets().tbgroup.state(), Table::State::Insert);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group.DB\""), 0);
        // Assigning needs the stored record: the same refusal, no entry written.
        fx->errors.clear();
        QVERIFY(!guarded(g, [g] { g->addPlayerEntries({1}); }));
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"GRPPLAYR.db\""), 0);
    }

    void editScheduleStoresNewRecordFirst()
    {
        const int other = fx->addGroup("Other", 1);
        fx->addSchedule(fx->addEntry(other, fx->addPlayer("A", "B"), 1), "2026-01-05", 1);
        Tfrmgroup* g = openNew(RecordKind::Group);
        type(g, "dbname", "Fresh");
        int shownFor = -1;
        int rows = -1;
        whenModal<Tdlgschedule>([&](Tdlgschedule* d) {
            shownFor = d->groupId();
            rows = d->scheduleGrid()->model()->rowCount();
            d->reject();
        });
        g->commandEditSchedule();
        QVERIFY(shownFor > 0);
        QCOMPARE(shownFor, fx->scalar("SELECT GROUPID FROM \"group.DB\" WHERE NAME='Fresh'").toInt());
        QCOMPARE(rows, 0);
    }

    void entryNumberLeavesCurrentRowWhenAbsent()
    {
        const int g1 = fx->addGroup("G", 1);
        fx->addEntry(g1, fx->addPlayer("A", "A"), 1);
        const int e2 = fx->addEntry(g1, fx->addPlayer("B", "B"), 7);
        fx->addEntry(g1, fx->addPlayer("C", "C"), 3);
        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        g->datasets().tbplayers.setRecNo(3);
        QCOMPARE(g->EntryNumber(99999), 0);
        QCOMPARE(g->datasets().tbplayers.recNo(), 3);
        QCOMPARE(g->EntryNumber(e2), 7);
        QCOMPARE(g->datasets().tbplayers.recNo(), 2);
    }

    void removeCourtAtOnceKeepsScheduleRows()
    {
        const int g1 = fx->addGroup("G", 1);
        const int c = fx->addCourt("East");
        fx->insert(QString("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (%1, %2)").arg(g1).arg(c));
        fx->addSchedule(fx->addEntry(g1, fx->addPlayer("A", "B"), 1), "2026-01-05", c);
        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        child<QPushButton>(g, "bbtnremovecourt")->click();
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"COURTSLT.db\""), 0);
        QCOMPARE(fx->count(QString("SELECT COUNT(*) FROM \"SCHEDULE.db\" WHERE GRPCOURTID=%1").arg(c)), 1);
    }

    void fieldHintOnEnteringAndLeaving()
    {
        const int id = fx->addGroup("G", 1);
        Tfrmgroup* g = openExisting(RecordKind::Group, id);
        fx->area.show();
        QApplication::setActiveWindow(&fx->area);
        child<QLineEdit>(g, "dbedfee")->setFocus();
        QCOMPARE(fx->status[1], QString("Enter the entry fee."));
        g->entriesGrid()->setFocus();
        QCOMPARE(fx->status[1], QString());
    }

    void entriesGridTakesWinLossRankOnly()
    {
        const int g1 = fx->addGroup("G", 2);
        fx->addEntry(g1, fx->addPlayer("Ann", "Lee"), 1);
        fx->addEntry(g1, fx->addPlayer("Bob", "Ray"), 2);
        Tfrmgroup* g = openExisting(RecordKind::League, g1);
        fx->area.show();
        QTableView* grid = g->entriesGrid();
        for (int c = 0; c < 6; ++c)
            QCOMPARE(bool(grid->model()->flags(grid->model()->index(0, c)) & Qt::ItemIsEditable), c >= 3);

        // Typed and saved with the editor still open.
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 3));
        QTest::keyClicks(grid, "7");
        QVERIFY(grid->indexWidget(grid->currentIndex()));   // the cell editor is open
        g->commandSave();
        QCOMPARE(fx->column(QString("SELECT LWIN FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 ORDER BY GRPSEQNUM").arg(g1)),
                 QStringList({"7", ""}));

        // Typed, then the user moves to another entry: the row is posted.
        grid->setCurrentIndex(grid->model()->index(1, 4));
        QTest::keyClicks(grid, "3");
        grid->setCurrentIndex(grid->model()->index(0, 4));
        QCOMPARE(
            fx->scalar(QString("SELECT LLOSSES FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 AND GRPSEQNUM=2").arg(g1)).toInt(),
            3);
        QCOMPARE(g->datasets().tbplayers.recNo(), 1);

        // Typed, then cancelled: nothing stored, the old value shown.
        grid->setCurrentIndex(grid->model()->index(0, 5));
        QTest::keyClicks(grid, "9");
        g->commandCancel();
        QVERIFY(fx->scalar(QString("SELECT LRANKING FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 AND GRPSEQNUM=1").arg(g1))
                    .isNull());
        QCOMPARE(cell(grid, 0, 5), QString());
        QVERIFY(fx->errors.isEmpty());
    }

    // A failure halfway through a delete (here the database refusing the
    // last step) leaves every row where it was and the editor showing them.
    void failedDeleteOfTheRecordLeavesItWhole()
    {
        const int g1 = fx->addGroup("Kept whole", 1);
        const int e1 = fx->addEntry(g1, fx->addPlayer("Ann", "Lee"), 1);
        fx->addEntry(g1, fx->addPlayer("Bob", "Ray"), 2);
        fx->addSchedule(e1, "2026-01-05", 1);
        fx->insert(QString("INSERT INTO \"groupoff.db\" (GROUPID, \"DATE\") VALUES (%1, '2026-02-02')").arg(g1));
        fx->insert(QString("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (%1, 1)").arg(g1));
        fx->insert(
            "CREATE TRIGGER refuse BEFORE DELETE ON \"group.DB\" BEGIN SELECT RAISE(ABORT, 'disk is full'); END");

        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        answerMessageBox(QMessageBox::Yes);
        QVERIFY(!guarded(g, [g] { g->commandDelete(); }));
        QCOMPARE(fx->errors.size(), 1);
        QVERIFY(fx->errors[0].contains("disk is full"));
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"GRPPLAYR.db\""), 2);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"SCHEDULE.db\""), 1);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"groupoff.db\""), 1);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"COURTSLT.db\""), 1);
        QVERIFY(!fx->dm->database().inTransaction());
        QCOMPARE(fx->area.subWindowList().size(), 1);
        QCOMPARE(g->entriesGrid()->model()->rowCount(), 2);
        QCOMPARE(g->courtsGrid()->model()->rowCount(), 1);
    }

    void failedRenumberingKeepsTheRemovedEntry()
    {
        const int g1 = fx->addGroup("G", 1);
        int e[3];
        for (int i = 0; i < 3; ++i)
            e[i] = fx->addEntry(g1, fx->addPlayer(QString("P%1").arg(i), "X"), i + 1);
        fx->addSchedule(e[1], "2026-01-05", 1);
        fx->insert("CREATE TRIGGER refuse BEFORE UPDATE OF GRPSEQNUM ON \"GRPPLAYR.db\" "
                   "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        g->datasets().tbplayers.setRecNo(2);
        QVERIFY(!guarded(g, [g] { g->removeEntry(); }));
        QCOMPARE(fx->column(
                     QString("SELECT GRPSEQNUM FROM \"GRPPLAYR.db\" WHERE GROUPID=%1 ORDER BY GROUPPLAYERID").arg(g1)),
                 QStringList({"1", "2", "3"}));
        QCOMPARE(fx->count(QString("SELECT COUNT(*) FROM \"SCHEDULE.db\" WHERE GRPPLAYRID=%1").arg(e[1])), 1);
        QCOMPARE(g->entriesGrid()->model()->rowCount(), 3);
        QCOMPARE(g->datasets().tbplayers.state(), Table::State::Browse);
    }

    // While a run yields, the editor's commands beep, its grids take no
    // typing, and Cancel stops the run; afterwards all is as before.
    void duringARunOnlyCancelActs()
    {
        const int g1 = fx->addGroup("Run", 1, 0);
        for (int i = 0; i < 8; ++i)
            fx->addEntry(g1, fx->addPlayer(QString("P%1").arg(i), "X"), i + 1);
        fx->insert(
            QString("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (%1, %2)").arg(g1).arg(fx->addCourt("C")));
        QSignalSpy printed(fx->dm.get(), &Tdmglobal::printScheduleRequested);
        Tfrmgroup* g = openExisting(RecordKind::Group, g1);
        WidgetScheduleHost::setYieldInterval(0);
        bool sawRun = false, gridsLocked = false;
        int beepsDuringRun = 0;
        QTimer::singleShot(0, g, [&] {
            sawRun = runState().running;
            gridsLocked = !g->entriesGrid()->isEnabled() && !g->courtsGrid()->isEnabled();
            const int before = fx->beeps;
            g->commandSave();
            g->commandDelete();
            g->removeEntry();
            beepsDuringRun = fx->beeps - before;
            g->commandCancel();
        });
        g->commandSchedule();
        WidgetScheduleHost::setYieldInterval(30);
        QVERIFY(sawRun);
        QVERIFY(gridsLocked);
        QCOMPARE(beepsDuringRun, 3);
        QVERIFY(!runState().running);
        QVERIFY(g->entriesGrid()->isEnabled() && g->courtsGrid()->isEnabled());
        QCOMPARE(fx->count(QString("SELECT COUNT(*) FROM \"GRPPLAYR.db\" WHERE GROUPID=%1").arg(g1)), 8);
        QCOMPARE(fx->status[1], QString("Schedule completed."));
        QCOMPARE(printed.count(), 1);
        QCOMPARE(printed.first().first().toInt(), g1);
        QVERIFY(fx->errors.isEmpty());
    }
};

QTEST_MAIN(TestGroup)
#include "tst_groupeditor.moc"
