// A club's database copied whole: from file to file always, and through a
// PostgreSQL server and back when a test server is at hand; every row and id
// arrives, a target with records is refused, and new rows get new ids.
#include "random_groups.h"
#include "app/cli.h"
#include "data/database.h"
#include "data/databasecopy.h"
#include "data/query.h"
#include "data/schema.h"
#include "engine/runstate.h"
#include <QTextStream>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out, err;
};

Run cli(const QStringList& args)
{
    Run r;
    QTextStream out(&r.out), err(&r.err);
    r.status = Cli::run(QStringList{"vantrel"} + args, out, err);
    return r;
}

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
    void initTestCase();
    void fileToFileKeepsEveryRow();
    void throughTheServerAndBack();
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

void TestCopy::fileToFileKeepsEveryRow()
{
    const QString copy = dir.filePath("copy");
    const Run done = cli({"copy", "--from", club, "--to", copy});
    QVERIFY2(done.status == Cli::Ok, qPrintable(done.err));
    QVERIFY2(done.out.contains(QRegularExpression("SCHEDULE +[1-9][0-9]* rows")), qPrintable(done.out));
    const QStringList original = dump(club);
    QCOMPARE(dump(copy), original);

    // A target with records is refused and keeps them; so is a source that is not there.
    const Run again = cli({"copy", "--from", club, "--to", copy});
    QCOMPARE(again.status, int(Cli::Failed));
    QVERIFY2(again.err.contains("already holds a club's records"), qPrintable(again.err));
    QCOMPARE(dump(copy), original);
    QVERIFY(cli({"copy", "--from", dir.filePath("none"), "--to", dir.filePath("x")})
                .err.contains("There is no Vantrel database"));
    QCOMPARE(cli({"copy", "--from", club}).status, int(Cli::Usage));

    newRowsGetNewIds(copy);
}

void TestCopy::throughTheServerAndBack()
{
    const QString server = qEnvironmentVariable("VANTREL_TEST_PG");
    if (server.isEmpty())
        QSKIP("No PostgreSQL test server (VANTREL_TEST_PG is not set).");
    const Run up = cli({"copy", "--from", club, "--to", server});
    QVERIFY2(up.status == Cli::Ok, qPrintable(up.err));
    const QString back = dir.filePath("back");
    const Run down = cli({"copy", "--from", server, "--to", back});
    QVERIFY2(down.status == Cli::Ok, qPrintable(down.err));
    QCOMPARE(dump(back), dump(club));
    newRowsGetNewIds(server);
}

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
