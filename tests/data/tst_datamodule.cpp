#include "data/dberror.h"
#include "data/datamodule.h"
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

// The shared services of the data module.
class TestDmglobal : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;

    int count(const QString& sql)
    {
        Query q(dm->database(), sql);
        q.open();
        return q.value(0).toInt();
    }

    // A record of the given kinds owning the entries, which show their names.
    void openEntriesOf(Table& group, int rtype, int type, Table& entries)
    {
        dm->database().exec(QString("INSERT INTO \"group\" (GROUPID, NAME, STARTDATE, RTYPE, TYPE) "
                                    "VALUES (1, 'G', '2026-01-05', %1, %2)")
                                .arg(rtype)
                                .arg(type));
        group.open();
        dm->addEntryNameFields(entries, group);
        entries.open();
    }

private slots:
    void init()
    {
        dm.reset();
        QFile::remove(Database::fileName(dir.path()));
        dm = std::make_unique<Tdmglobal>(dir.path());
    }

    // What the data module asks of the windows arrives as signals, each once,
    // with its panel, text, help context or group.
    void requestsAreSignals()
    {
        QSignalSpy status(dm.get(), &Tdmglobal::statusPanelChanged);
        QSignalSpy help(dm.get(), &Tdmglobal::helpRequested);
        QSignalSpy print(dm.get(), &Tdmglobal::printScheduleRequested);
        QSignalSpy beep(dm.get(), &Tdmglobal::beepRequested);
        Table t(dm->database(), "COURTS.db");
        QCOMPARE(dm->datasetStateNames(t), QString("Inactive"));
        t.open();
        t.append();
        QCOMPARE(dm->datasetStateNames(t), QString("Insert"));
        t.cancel();
        t.setSetKeyState();
        QCOMPARE(dm->datasetStateNames(t), QString("Search"));
        dm->statusMessage("Schedule completed.");
        dm->statusMessage(QString());
        QCOMPARE(status.count(), 5);
        const QList<QVariantList> expected = {
            {0, "Inactive"}, {0, "Insert"}, {0, "Search"}, {1, "Schedule completed."}, {1, ""}};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(status[i][0].toInt(), expected[i][0].toInt());
            QCOMPARE(status[i][1].toString(), expected[i][1].toString());
        }
        dm->showHelp(13);
        dm->showHelp(0);   // the contents
        QCOMPARE(help.count(), 2);
        QCOMPARE(help[0][0].toInt(), 13);
        QCOMPARE(help[1][0].toInt(), 0);
        dm->printSchedule(7);
        QCOMPARE(print.count(), 1);
        QCOMPARE(print[0][0].toInt(), 7);
        dm->beep();
        QCOMPARE(beep.count(), 1);
    }

    void fullNames_data()
    {
        QTest::addColumn<int>("rtype");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("league doubles") << 2 << 2 << "Ann Lee/Bo Kim";
        QTest::newRow("group doubles") << 1 << 2 << "Ann Lee";
        QTest::newRow("league singles") << 2 << 1 << "Ann Lee";
    }
    void fullNames()
    {
        QFETCH(int, rtype);
        QFETCH(int, type);
        QFETCH(QString, expected);
        dm->database().exec("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Ann', 'Lee'), ('Bo', 'Kim')");
        dm->database().exec("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, SHARESLOTID) VALUES (1, 1, 2), (1, 2, NULL)");
        Table group(dm->database(), "group.DB");
        Table e(dm->database(), "GRPPLAYR.db");
        openEntriesOf(group, rtype, type, e);
        QCOMPARE(e.asString("FullName"), expected);
        QCOMPARE(e.asInt("SLOTCODE"), 1);
        e.next();
        QCOMPARE(e.asInt("SLOTCODE"), 2);
    }

    void longTeamNameCut()
    {
        const QString n(25, 'x');
        dm->database().exec(QString("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('%1', '%1')").arg(n));
        dm->database().exec("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, SHARESLOTID) VALUES (1, 1, 1)");
        Table group(dm->database(), "group.DB");
        Table e(dm->database(), "GRPPLAYR.db");
        openEntriesOf(group, 2, 2, e);
        QCOMPARE(e.asString("FullName"), n + ' ' + n.left(25));
        QCOMPARE(e.asString("FullName").size(), 51);
    }

    void deletionsRemoveOnlyTheirRows()
    {
        auto& db = dm->database();
        db.exec("INSERT INTO GRPPLAYR (GROUPID, PLAYERID) VALUES (1, 5), (1, 6)");
        db.exec("INSERT INTO PLAYROFF (PLAYERID, \"DATE\") VALUES (5, '2026-01-01'), (6, '2026-01-01')");
        db.exec("INSERT INTO GROUPOFF (GROUPID, \"DATE\") VALUES (1, '2026-01-01'), (2, '2026-01-01')");
        db.exec("INSERT INTO SCHEDULE (GRPPLAYRID) VALUES (1), (2)");
        db.exec("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (3, 1), (4, 1)");
        dm->deletePlayerEntries(5);
        dm->deletePlayerDaysOff(5);
        dm->deleteGroupDaysOff(1);
        dm->deleteEntrySchedule(1);
        dm->deleteCourtAssignments(3);
        dm->deletePlayerEntries(77);   // nobody: no error
        dm->deletePlayerDaysOff(77);
        QCOMPARE(count("SELECT COUNT(*) FROM GRPPLAYR WHERE PLAYERID = 6"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM GRPPLAYR"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM PLAYROFF"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM GROUPOFF"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM SCHEDULE"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM COURTSLT"), 1);
    }

    void transactionsRespectTheActiveOne()
    {
        dm->commit();   // none active: nothing
        dm->rollback();
        dm->beginTransaction();
        dm->beginTransaction();   // already active: nothing
        dm->database().exec("INSERT INTO COURTS (NAME) VALUES ('a')");
        Table seen(dm->database(), "COURTS.db");   // same connection sees it
        seen.open();
        QCOMPARE(seen.recordCount(), 1);
        dm->rollback();
        QCOMPARE(count("SELECT COUNT(*) FROM COURTS"), 0);
        dm->beginTransaction();
        dm->database().exec("INSERT INTO COURTS (NAME) VALUES ('b')");
        dm->commit();
        QVERIFY(!dm->database().inTransaction());
        dm->beginTransaction();   // a new one after the commit
        QVERIFY(dm->database().inTransaction());
        dm->commit();
        QCOMPARE(count("SELECT COUNT(*) FROM COURTS"), 1);
    }

    // The rows of one form, in field order, and none for a form without rows.
    void fieldDefinitionRows()
    {
        const QVector<FormFieldDef> leagues = dm->loadFieldDefs("leagues");
        QCOMPARE(leagues.size(), 6);
        QVERIFY(std::is_sorted(leagues.begin(), leagues.end(),
                               [](const FormFieldDef& a, const FormFieldDef& b) { return a.fieldKey < b.fieldKey; }));
        const auto rounds = std::find_if(leagues.begin(), leagues.end(),
                                         [](const FormFieldDef& d) { return d.fieldKey == "DBDURATION"; });
        QVERIFY(rounds != leagues.end());
        QCOMPARE(rounds->labelKey, QString("lblduration"));
        QCOMPARE(rounds->label, QString("Number of Rounds:"));
        QVERIFY(rounds->hint.contains("rounds"));
        QCOMPARE(rounds->helpContext, 23);
        QVERIFY(dm->loadFieldDefs("no such form").isEmpty());
        // Read again each time: a row added meanwhile is seen.
        dm->database().exec("INSERT INTO FIELDDEF (FormKey, Fieldkey, LabelKey, Label, Hint, HelpContext) "
                            "VALUES ('leagues', 'zz', NULL, NULL, 'last', 9)");
        const QVector<FormFieldDef> again = dm->loadFieldDefs("leagues");
        QCOMPARE(again.size(), 7);
        QCOMPARE(again.last().fieldKey, QString("zz"));
        QVERIFY(again.last().labelKey.isEmpty());
        QCOMPARE(again.last().helpContext, 9);
    }
};

QTEST_MAIN(TestDmglobal)
#include "tst_datamodule.moc"
