#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/guard.h"
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

// The shared services of the data module.
class TestDmglobal : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;
    QStringList panel0, panel1;

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
                                    "VALUES (1, 'G', '2026-01-05', %1, %2)").arg(rtype).arg(type));
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
        panel0.clear();
        panel1.clear();
        dm->statusPanelHandler = [this](int panel, const QString& text) {
            (panel == 0 ? panel0 : panel1) << text;
        };
    }

    void statusServices()
    {
        Table t(dm->database(), "COURTS.db");
        QCOMPARE(dm->datasetStateNames(t), QString("Inactive"));
        t.open();
        t.append();
        QCOMPARE(dm->datasetStateNames(t), QString("Insert"));
        t.cancel();
        t.setSetKeyState();
        QCOMPARE(dm->datasetStateNames(t), QString("Search"));
        QCOMPARE(panel0, (QStringList{"Inactive", "Insert", "Search"}));
        QLineEdit edit;
        edit.setToolTip("Enter the entry fee.");
        dm->showControlHint(&edit);
        dm->statusMessage(QString());
        QCOMPARE(panel1, (QStringList{"Enter the entry fee.", ""}));
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
        dm->deletePlayerEntries(77);                          // nobody: no error
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
        dm->commit();                                         // none active: nothing
        dm->rollback();
        dm->beginTransaction();
        dm->beginTransaction();                               // already active: nothing
        dm->database().exec("INSERT INTO COURTS (NAME) VALUES ('a')");
        Table seen(dm->database(), "COURTS.db");              // same connection sees it
        seen.open();
        QCOMPARE(seen.recordCount(), 1);
        dm->rollback();
        QCOMPARE(count("SELECT COUNT(*) FROM COURTS"), 0);
        dm->beginTransaction();
        dm->database().exec("INSERT INTO COURTS (NAME) VALUES ('b')");
        dm->commit();
        QVERIFY(!dm->database().inTransaction());
        dm->beginTransaction();                               // a new one after the commit
        QVERIFY(dm->database().inTransaction());
        dm->commit();
        QCOMPARE(count("SELECT COUNT(*) FROM COURTS"), 1);
    }

    void fieldDefinitionLoader()
    {
        QWidget window;
        auto* label = new QLabel("Number of Weeks:", &window);
        label->setObjectName("lblduration");
        auto* edit = new QLineEdit(&window);
        edit->setObjectName("DBDURATION");
        dm->activeChildWindow = [&] { return &window; };
        dm->loadFieldDefs("leagues");
        QCOMPARE(label->text(), QString("Number of Rounds:"));
        QVERIFY(edit->toolTip().contains("rounds"));
        QCOMPARE(helpContextOf(edit), 23);
        dm->loadFieldDefs("no such form");                    // nothing changes
        QCOMPARE(label->text(), QString("Number of Rounds:"));

        // A label key naming something that is not a label stops the loader;
        // rows before it stay applied.
        dm->database().exec("INSERT INTO FIELDDEF (FormKey, Fieldkey, LabelKey, Label, Hint, HelpContext) "
                            "VALUES ('t', 'a1', 'lblduration', 'A', 'first', 1), "
                            "('t', 'b2', 'DBDURATION', 'B', 'second', 2), ('t', 'c3', NULL, NULL, 'third', 3)");
        auto* a1 = new QLineEdit(&window);
        a1->setObjectName("a1");
        auto* b2 = new QLineEdit(&window);
        b2->setObjectName("b2");
        auto* c3 = new QLineEdit(&window);
        c3->setObjectName("c3");
        QStringList errors;
        setErrorBoxHandler([&](const QString& m) { errors << m; });
        QVERIFY(!guarded(nullptr, [&] { dm->loadFieldDefs("t"); }));
        setErrorBoxHandler({});
        QCOMPARE(errors, QStringList{"Invalid typecast"});
        QCOMPARE(a1->toolTip(), QString("first"));
        QCOMPARE(label->text(), QString("A"));
        QVERIFY(b2->toolTip().isEmpty());
        QVERIFY(c3->toolTip().isEmpty());
    }

    void guardShowsErrorAndRestoresCursor()
    {
        QStringList errors;
        setErrorBoxHandler([&](const QString& m) { errors << m; });
        QVERIFY(!guarded(nullptr, [] {
            BusyCursor busy;
            QApplication::setOverrideCursor(Qt::WaitCursor);   // a stray one too
            throw DbError("disk full");
        }));
        setErrorBoxHandler({});
        QCOMPARE(errors, QStringList{"disk full"});
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestDmglobal)
#include "tst_datamodule.moc"
