// A club's database copied whole: from file to file always, and through a
// PostgreSQL server and back when a test server is at hand; every row and id
// arrives, a target with records is refused, and new rows get new ids.
#include "random_groups.h"
#include "testlocation.h"
#include "app/cli.h"
#include "data/database.h"
#include "data/databasecopy.h"
#include "data/query.h"
#include "data/schema.h"
#include "engine/runstate.h"
#include <QTextStream>
#include "clirun.h"
#include <QtTest>

namespace {

// Every table's rows as text, in id order: what two databases must share.
QStringList dump(const QString& location)
{
    Database db(location);
    QStringList tables{Schema::changeLogTable, Schema::metaTable};
    for (const TableDef& t : Schema::tables())
        tables << '"' + t.fileName + '"';
    QStringList lines;
    for (const QString& table : tables) {
        Query q(db, QStringLiteral("SELECT * FROM %1").arg(table));
        q.open();
        QStringList rows;
        for (; !q.eof(); q.next()) {
            QStringList values;
            for (int c = 0; c < q.columns().size(); ++c)
                values << (q.value(c).isNull() ? QStringLiteral("NULL") : q.value(c).toString());
            rows << table + ": " + values.join(QLatin1Char('|'));
        }
        rows.sort();
        lines << rows;
    }
    return lines;
}

int largestPlayerId(Database& db)
{
    Query q(db, "SELECT MAX(PLAYERID) AS M FROM \"PLAYERS.db\"");
    q.open();
    return q.asInt("M");
}

// A player added after the copy takes the next id, not one already used.
void newRowsGetNewIds(const QString& location)
{
    Database db(location);
    const int before = largestPlayerId(db);
    Query add(db, "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:f, :l)");
    add.setString("f", "New");
    add.setString("l", "Member");
    add.execSql();
    QCOMPARE(largestPlayerId(db), before + 1);
}

}   // namespace

class TestCopy : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    // A club's file: seeded groups and leagues with their schedules.
    std::unique_ptr<EngineFixture> f;
    QString club;

private slots:
    void initTestCase_data() { TestLocation::addEngineRows(); }
    void initTestCase();
    void thereAndBackKeepsEveryRow();
    void mistakesChangeNothing();
};

void TestCopy::initTestCase()
{
    f = std::make_unique<EngineFixture>();
    std::mt19937 r(2027);
    for (int i = 0; i < 6; ++i) {
        const RandomGroup g = addRandomGroup(*f, r);
        runState() = RunState();
        ScriptedHost host;
        ScheduleEngine engine(f->db(), g.groupId, host, r);
        engine.GenerateSchedule();
    }
    f->exec("INSERT INTO SCHEDLOG (GROUPID, PLAYERID, DATE, CHANGEDAT, WHAT) VALUES (1, 101, '2027-01-05', "
            "'2027-01-02T10:00:00', 'plays')");
    f->exec("UPDATE FIELDDEF SET Label = 'Weeks of play:' WHERE Fieldkey = 'DBDURATION'");
    club = QFileInfo(f->db().path()).absolutePath();
}

// The club's file onto a new database of the engine and from there into a
// new file: the same rows with the same ids.
void TestCopy::thereAndBackKeepsEveryRow()
{
    QFETCH_GLOBAL(Engine, engine);
    std::unique_ptr<TestLocation> target;
    VANTREL_OPEN_TEST_DATABASE(target, engine);
    const Run there = cli({"copy", "--from", club, "--to", target->location()});
    QVERIFY2(there.status == Cli::Ok, qPrintable(there.err));
    QVERIFY2(there.out.contains(QRegularExpression("SCHEDULE +[1-9][0-9]* rows")), qPrintable(there.out));
    const QString back = dir.filePath(QStringLiteral("back%1").arg(int(engine)));
    const Run home = cli({"copy", "--from", target->location(), "--to", back});
    QVERIFY2(home.status == Cli::Ok, qPrintable(home.err));
    QCOMPARE(dump(back), dump(club));

    // A target with records is refused and keeps them.
    const Run again = cli({"copy", "--from", club, "--to", target->location()});
    QCOMPARE(again.status, int(Cli::Failed));
    QVERIFY2(again.err.contains("already holds a club's records"), qPrintable(again.err));
    const Run backAgain = cli({"copy", "--from", target->location(), "--to", dir.filePath("again")});
    QCOMPARE(dump(dir.filePath("again")), dump(club));

    newRowsGetNewIds(target->location());
}

void TestCopy::mistakesChangeNothing()
{
    QFETCH_GLOBAL(Engine, engine);
    if (engine != Engine::SQLite)
        QSKIP("The command line is the same for both engines.");
    QVERIFY(cli({"copy", "--from", dir.filePath("none"), "--to", dir.filePath("x")})
                .err.contains("There is no Vantrel database"));
    QVERIFY(!QFileInfo::exists(dir.filePath("x")));
    QCOMPARE(cli({"copy", "--from", club}).status, int(Cli::Usage));
    QCOMPARE(cli({"copy", "--from", club, "--to", club}).status, int(Cli::Failed));
    QCOMPARE(cli({"copy", "--database", club, "--from", club, "--to", dir.filePath("y")}).status, int(Cli::Usage));
}

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
