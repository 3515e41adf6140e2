#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/tablemodel.h"
#include "datarows.h"
#include "testlocation.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

// The dataset layer as the windows and the engine use it, on a file and on
// a server.
class TestDataset : public QObject {
    Q_OBJECT
    std::unique_ptr<TestLocation> place;
    std::unique_ptr<Tdmglobal> dm;
    Database& db() { return dm->database(); }

    int addPlayer(const QString& first, const QString& last) { return addPlayerRow(db(), first, last); }
    int addGroup(const QString& name, int rtype)
    {
        Table t(db(), "group.DB");
        t.open();
        t.append();
        t.setValue("NAME", name);
        t.setValue("STARTDATE", QDate(2026, 1, 5));
        t.setValue("RTYPE", rtype);
        t.post();
        return t.asInt("GROUPID");
    }

private slots:
    void initTestCase_data() { TestLocation::addEngineRows(); }
    void init()
    {
        QFETCH_GLOBAL(Engine, engine);
        VANTREL_OPEN_TEST_DATABASE(place, engine);
        dm = std::make_unique<Tdmglobal>(place->location());
    }
    void cleanup()
    {
        dm.reset();
        place.reset();
    }

    void statesAndEvents()
    {
        Table t(db(), "COURTS.db");
        QCOMPARE(t.state(), Table::State::Inactive);
        QStringList seen;
        connect(&t, &Table::stateChanged, this, [&] { seen << stateName(t.state()); });
        int beforeInsert = 0, beforePost = 0;
        t.beforeInsert = [&](Table&) { ++beforeInsert; };
        t.beforePost = [&](Table& tb) {
            ++beforePost;
            QCOMPARE(tb.asString("NAME"), QString("Court 1"));
        };
        t.open();
        t.append();
        t.setValue("NAME", "Court 1");
        t.post();
        t.edit();
        t.setValue("NAME", "Court One");
        t.cancel();
        QCOMPARE(t.asString("NAME"), QString("Court 1"));
        QCOMPARE(seen, (QStringList{"Browse", "Insert", "Browse", "Edit", "Browse"}));
        QCOMPARE(beforeInsert, 1);
        QCOMPARE(beforePost, 1);
        QVERIFY(t.asInt("COURTID") > 0);
    }

    void engineMessages()
    {
        Table t(db(), "COURTS.db");
        t.open();
        try {
            t.setValue("NAME", "x");
            QFAIL("no error in browse state");
        } catch (const DbError& e) {
            QCOMPARE(e.message(), QString("Dataset not in edit or insert mode"));
        }
        try {
            t.remove();
            QFAIL("no error on empty dataset");
        } catch (const DbError& e) {
            QCOMPARE(e.message(), QString("Cannot perform this operation on an empty dataset"));
        }
    }

    void beforePostThrowKeepsEditAndWritesNothing()
    {
        Table t(db(), "COURTS.db");
        t.beforePost = [](Table&) { throw DbError("refused"); };
        t.open();
        t.append();
        t.setValue("NAME", "x");
        QVERIFY_THROWS_EXCEPTION(DbError, t.post());
        QCOMPARE(t.state(), Table::State::Insert);
        t.cancel();
        QCOMPARE(t.recordCount(), 0);
        Query q(db(), "SELECT COUNT(*) AS N FROM \"COURTS.db\"");
        q.open();
        QCOMPARE(q.asInt("N"), 0);
    }

    void requiredColumnsAndSizes()
    {
        Table g(db(), "group.DB");
        g.open();
        g.append();
        g.setValue("NAME", QString(80, 'n'));
        QCOMPARE(g.asString("NAME").size(), 50);       // cut, as stored
        QVERIFY_THROWS_EXCEPTION(DbError, g.post());   // STARTDATE required
        g.setValue("STARTDATE", QDate(2026, 3, 1));
        QVERIFY_THROWS_EXCEPTION(DbError, g.setValue("DURATION", 40000));
        QVERIFY_THROWS_EXCEPTION(DbError, g.setValue("DURATION", -32769));
        g.setValue("DURATION", 32767);
        g.post();
        g.refresh();
        QCOMPARE(g.asInt("DURATION"), 32767);
        QCOMPARE(g.asDate("STARTDATE"), QDate(2026, 3, 1));
        QCOMPARE(g.asBool("MONDAY"), false);   // unset flag stored as false
        Query q(db(), "SELECT MONDAY, STARTDATE FROM \"group.DB\"");
        q.open();
        QCOMPARE(q.value("MONDAY").toInt(), 0);
        QCOMPARE(q.asString("STARTDATE"), QString("2026-03-01"));
    }

    void indexOrderFilterAndFindKey()
    {
        addPlayer("Zoe", "Adams");
        const int bob = addPlayer("Bob", "baker");
        addPlayer("Al", "Adams");
        Table t(db(), "PLAYERS.db");
        t.setIndexName("lastname");
        t.open();
        QStringList order;
        for (t.first(); !t.eof(); t.next())
            order << t.asString("FNAME");
        QCOMPARE(order, (QStringList{"Al", "Zoe", "Bob"}));
        QVERIFY(t.locate("LNAME", "BAKER"));   // case-insensitive
        QCOMPARE(t.asInt("PLAYERID"), bob);
        QCOMPARE(t.recNo(), 3);
        QVERIFY(!t.locate("LNAME", "Nobody"));
        QCOMPARE(t.recNo(), 3);

        addGroup("G", 1);
        addGroup("L", 2);
        Table g(db(), "group.DB");
        g.setFilter("RTYPE = 2");
        g.setFiltered(true);
        g.open();
        QCOMPARE(g.recordCount(), 1);
        QCOMPARE(g.asString("NAME"), QString("L"));
        g.setFiltered(false);
        QCOMPARE(g.recordCount(), 2);
        QVERIFY(g.findKey({1}));
        QCOMPARE(g.asString("NAME"), QString("G"));
        QVERIFY(!g.findKey({99}));
    }

    void masterDetailFollowsMaster()
    {
        const int g1 = addGroup("One", 1);
        const int g2 = addGroup("Two", 1);
        Table groups(db(), "group.DB");
        Table courts(db(), "COURTSLT.db");
        courts.setIndexName("GROUPID");
        courts.setMasterSource(&groups, "GROUPID", "GROUPID");
        groups.open();
        courts.open();
        QVERIFY(groups.findKey({g1}));
        courts.append();   // link column set from the master
        courts.setValue("COURTID", 7);
        courts.post();
        QCOMPARE(courts.asInt("GROUPID"), g1);
        QVERIFY(groups.findKey({g2}));
        QCOMPARE(courts.recordCount(), 0);
        groups.first();
        QCOMPARE(courts.recordCount(), 1);
        groups.append();   // new master row: no details yet
        QCOMPARE(courts.recordCount(), 0);
        groups.cancel();
        QCOMPARE(courts.recordCount(), 1);
    }

    void appendOnlyReadsNothing()
    {
        Table s(db(), "SCHEDULE.db");
        s.open();
        s.append();
        s.setValue("GRPPLAYRID", 1);
        s.post();
        Table s2(db(), "SCHEDULE.db");
        s2.setAppendOnly(true);
        s2.open();
        QCOMPARE(s2.recordCount(), 0);
        s2.append();
        s2.setValue("DATE", QDate(2026, 2, 2));
        s2.post();
        s.refresh();
        QCOMPARE(s.recordCount(), 2);
    }

    void lookupAndCalculatedFields()
    {
        const int ann = addPlayer("Ann", "Lee");
        const int gid = addGroup("G", 2);
        Table entries(db(), "GRPPLAYR.db");
        entries.addLookupField("Fname", "PLAYERID", "PLAYERS.db", "PLAYERID", "FNAME");
        entries.addLookupField("lname", "PLAYERID", "PLAYERS.db", "PLAYERID", "LNAME");
        entries.addCalcField("SLOTCODE", FieldType::Integer);
        entries.onCalcFields = [](Table& t) { t.setValue("SLOTCODE", t.recNo() * 10); };
        entries.open();
        for (int pid : {ann, 999}) {
            entries.append();
            entries.setValue("GROUPID", gid);
            entries.setValue("PLAYERID", pid);
            QCOMPARE(entries.asString("Fname"), pid == ann ? QString("Ann") : QString());
            entries.post();
        }
        entries.first();
        QCOMPARE(entries.asString("lname"), QString("Lee"));
        QCOMPARE(entries.asInt("SLOTCODE"), 10);
        entries.next();
        QVERIFY(entries.isNull("Fname"));   // no such player: empty name
        QCOMPARE(entries.asInt("SLOTCODE"), 20);
        entries.first();
        entries.remove();   // positions move up
        QCOMPARE(entries.asInt("SLOTCODE"), 10);
        QVERIFY_THROWS_EXCEPTION(DbError, entries.setValue("Fname", "x"));
    }

    void readOnlyAndEmptyTable()
    {
        addPlayer("A", "B");
        Table ro(db(), "PLAYERS.db");
        ro.setReadOnly(true);
        ro.open();
        QVERIFY_THROWS_EXCEPTION(DbError, ro.edit());
        QVERIFY_THROWS_EXCEPTION(DbError, ro.append());
        Table m(db(), "MATCHES.db");
        m.open();
        m.append();
        m.setValue("PID1", 40000);   // entry ids beyond 16 bits
        m.setValue("PID2", 2);
        m.post();
        m.refresh();
        QCOMPARE(m.asInt("PID1"), 40000);
        Table filtered(db(), "MATCHES.db");
        filtered.setFilter("PLAYED = False");
        filtered.setFiltered(true);
        filtered.open();
        QCOMPARE(filtered.recordCount(), 1);   // appended without a value: unplayed
        m.emptyTable();
        filtered.refresh();
        QCOMPARE(filtered.recordCount(), 0);
    }

    void tableNamesInAnyCase()
    {
        for (const char* name : {"groupoff.db", "groupoff.DB", "GROUPOFF", "\"groupoff.DB\""})
            QCOMPARE(Schema::find(name)->name, QString("GROUPOFF"));
        QVERIFY(!Schema::find("nosuch.db"));
        QVERIFY_THROWS_EXCEPTION(DbError, Table(db(), "nosuch.db"));
    }

    void queryTranslationAndParameters()
    {
        QCOMPARE(translateSql("SELECT \"schedule.DB\".\"DATE\" FROM \"schedule.db\" WHERE x = False AND y = \"True\""),
                 QString("SELECT \"SCHEDULE\".\"DATE\" FROM \"SCHEDULE\" WHERE x = 0 AND y = 1"));
        QStringList names;
        QCOMPARE(translateSql("WHERE a = :groupid AND b = ':kept' AND c = :GroupId", &names),
                 QString("WHERE a = ? AND b = ':kept' AND c = ?"));
        QCOMPARE(names, (QStringList{"groupid", "groupid"}));
        // The server's dialect; every update of a versioned table moves its version on.
        QCOMPARE(translateSql("CREATE TABLE \"GROUPOFF\" (\"GROUPOFFID\" INTEGER PRIMARY KEY AUTOINCREMENT, W REAL)",
                              nullptr, Engine::PostgreSQL),
                 QString("CREATE TABLE \"groupoff\" (\"groupoffid\" INTEGER PRIMARY KEY GENERATED BY DEFAULT AS "
                         "IDENTITY, W DOUBLE PRECISION)"));
        QCOMPARE(
            translateSql("SELECT * FROM LABEL ORDER BY \"LNAME\" COLLATE NOCASE, rowid", nullptr, Engine::PostgreSQL),
            QString("SELECT * FROM LABEL ORDER BY lower(\"lname\") COLLATE \"C\" NULLS FIRST , ctid NULLS FIRST"));
        // Empty values first, as the file orders them, in every ORDER BY.
        QCOMPARE(translateSql("SELECT a FROM (SELECT a FROM t ORDER BY b DESC LIMIT 3) ORDER BY a, f(c, d) DESC",
                              nullptr, Engine::PostgreSQL),
                 QString("SELECT a FROM (SELECT a FROM t ORDER BY b DESC NULLS LAST LIMIT 3) ORDER BY a NULLS FIRST, "
                         "f(c, d) DESC NULLS LAST"));
        QCOMPARE(translateSql("UPDATE \"PLAYERS.db\" SET CITY = :c WHERE PLAYERID = 1"),
                 QString("UPDATE \"PLAYERS\" SET ROWVER = ROWVER + 1, CITY = ? WHERE PLAYERID = 1"));
        QCOMPARE(translateSql("UPDATE LABEL SET \"DESC\" = 'x'"), QString("UPDATE LABEL SET \"DESC\" = 'x'"));

        addGroup("G", 1);
        Query q(db(), "SELECT NAME FROM \"group.DB\" WHERE GROUPID = :groupid AND STARTDATE = :d");
        q.setInteger("groupid", 1);
        q.setDate("d", QDate(2026, 1, 5));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.asString("name"), QString("G"));
        q.setInteger("groupid", 2);   // reused, prepared once
        q.open();
        QVERIFY(q.eof());
        QVERIFY_THROWS_EXCEPTION(DbError, q.setInteger("nosuch", 1));
        Query bad(db(), "SELECT FROM nowhere");
        QVERIFY_THROWS_EXCEPTION(DbError, bad.open());
    }

    void modelOverTable()
    {
        addPlayer("A", "One");
        addPlayer("B", "Two");
        Table t(db(), "PLAYERS.db");
        t.setIndexName("lastname");
        TableModel model(t,
                         {{"FNAME", "First", false, {}}, {"LNAME", "Last", false, {}}, {"PLAYERID", "Id", true, {}}});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        t.open();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Last"));
        QVERIFY(!(model.flags(model.index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(model.setData(model.index(1, 0), "Bea"));
        QCOMPARE(t.state(), Table::State::Edit);
        QCOMPARE(model.data(model.index(1, 0)).toString(), QString("Bea"));
        t.post();
        t.append();
        QCOMPARE(model.rowCount(), 3);
        t.cancel();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(formatValue(QTime(13, 5), "hh:nn AM/PM"), QString("01:05 PM"));
        QCOMPARE(formatValue(1250.0, "$#,###"), QString("$1,250"));
    }
};

QTEST_MAIN(TestDataset)
#include "tst_dataset.moc"
