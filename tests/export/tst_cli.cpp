#include "exportfixture.h"
#include "reportpdf_helpers.h"
#include "app/cli.h"
#include "engine/groupsetup.h"
#include "engine/plan.h"
#include "export/csvexport.h"
#include "engine/seasonops.h"
#include "export/notices.h"
#include <random>
#include <QProcess>
#include "clirun.h"
#include <QtTest>

namespace {
QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}   // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void helpListsEveryCommand();
    void mistakesOfTheCommandLine();
    void groupNamesMustPickOneGroup();
    void exportsWriteTheirFiles();
    void playerNamesMustPickOnePlayer();
    void reportFairness();
    void reportFairnessNamesUnfilledDates();
    void generateRefusesQuestionsWithoutYes();
    void generateWithYesAndSeedRepeats();
    void seasonChangesKeepTheRules();
    void noticesReachThePlayersConcerned();
    void listsGroupsLeaguesPlayers();
    void theProgramItselfExitsWithTheStatus();
};

void TestCli::helpListsEveryCommand()
{
    const Run r = cli({"--help"});
    QCOMPARE(r.status, 0);
    for (const char* word : {"export", "report fairness", "generate", "list groups|leagues|players", "--database",
                             "--yes", "--seed", "--player", "--every-player", "--output", "--format", "substitute",
                             "swap", "replan", "--date2", "--from", "--out", "--in"})
        QVERIFY2(r.out.contains(word), word);
    QVERIFY(r.err.isEmpty());
}

void TestCli::mistakesOfTheCommandLine()
{
    HandSeason h;
    const QString db = h.dir.path();
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{}, Cli::Usage, "Name a command"},
        {{"frobnicate", "--database", db}, Cli::Usage, "The command \"frobnicate\" is not one of export, report"},
        {{"export", "--bogus"}, Cli::Usage, "Unknown option 'bogus'. See vantrel --help."},
        {{"export", "--database", db, "--group", "Monday Doubles", "--output", "x"},
         Cli::Usage,
         "export needs --format"},
        {{"export", "--database", db, "--group", "Monday Doubles", "--format", "xls", "--output", "x"},
         Cli::Usage,
         "The format \"xls\" is not one of csv, ics, pdf"},
        {{"export", "--database", db, "--group", "Monday Doubles", "--format", "pdf", "--every-player", "--output",
          "x"},
         Cli::Usage,
         "--every-player writes calendars; use it with --format ics."},
        {{"report", "--database", db, "--group", "Monday Doubles"}, Cli::Usage, "vantrel report fairness"},
        {{"list", "teams", "--database", db}, Cli::Usage, "list: the kind \"teams\""},
        {{"generate", "--database", db, "--group", "Monday Doubles", "--seed", "abc"},
         Cli::Usage,
         "--seed needs a whole number"},
        {{"list", "groups", "--database", h.dir.filePath("elsewhere")}, Cli::Failed, "There is no Vantrel database in"},
        {{"list", "groups", "extra", "words", "--database", db},
         Cli::Usage,
         "\"extra words\" is more than the command"},
        {{"init", "--database", db}, Cli::Failed, "There is a Vantrel database in"},
        {{"init"}, Cli::Usage, "init needs --database DIR"},
    };
    for (const Case& c : cases) {
        const Run r = cli(c.args);
        QVERIFY2(r.status == c.status, qPrintable(c.args.join(' ') + " -> " + QString::number(r.status) + r.err));
        QVERIFY2(r.err.startsWith("vantrel: ") && r.err.contains(c.says), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
    QVERIFY(!QFile::exists(h.dir.filePath("elsewhere/vantrel.db")));   // nothing created on the way

    // init makes a database the other commands then open.
    const Run made = cli({"init", "--database", h.dir.filePath("new/club")});
    QVERIFY2(made.status == 0 && made.out.startsWith("Created "), qPrintable(made.err));
    QCOMPARE(cli({"list", "groups", "--database", h.dir.filePath("new/club")}).status, 0);
}

void TestCli::groupNamesMustPickOneGroup()
{
    HandSeason h;
    const QString db = h.dir.path();
    const QString out = h.dir.filePath("out.csv");
    Run r = cli({"export", "--database", db, "--group", "Tuesday Singles", "--format", "csv", "--output", out});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("No group or league is named \"Tuesday Singles\""), qPrintable(r.err));
    // Case does not matter when only one group fits.
    r = cli({"export", "--database", db, "--group", "monday doubles", "--format", "csv", "--output", out});
    QCOMPARE(r.status, 0);
    // Two rows of one name: refused by name, saying what the two are.
    h.exec("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Monday Doubles', '2027-09-06', 2)");
    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "csv", "--output", out});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("More than one group or league is named \"Monday Doubles\" (a group starting "
                            "2027-03-08, a league starting 2027-09-06)"),
             qPrintable(r.err));
    // A group without a schedule has nothing to export.
    h.exec("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Empty', '2027-09-06', 1)");
    r = cli({"export", "--database", db, "--group", "Empty", "--format", "ics", "--output", out});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("Empty has no schedule yet") && r.err.contains("vantrel generate --group \"Empty\""),
             qPrintable(r.err));
}

void TestCli::exportsWriteTheirFiles()
{
    HandSeason h;
    const QString db = h.dir.path();
    const QString csv = h.dir.filePath("s.csv"), ics = h.dir.filePath("s.ics"), pdf = h.dir.filePath("s.pdf");
    Run r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "csv", "--output", csv});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, "Wrote " + csv + "\n");
    QCOMPARE(Csv::parse(readAll(csv)).size(), 9);

    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "ics", "--player", "di dunn",
             "--output", ics});
    QCOMPARE(r.status, 0);
    QCOMPARE(readAll(ics).count("BEGIN:VEVENT"), 1);

    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "pdf", "--output", pdf});
    QCOMPARE(r.status, 0);
    QVERIFY(readAll(pdf).startsWith("%PDF"));

    // One player's own dates: Di plays the first date with Cy against Ann and
    // Bob, and has the next two off.
    const QString own = h.dir.filePath("di.pdf");
    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "pdf", "--player", "Di Dunn",
             "--output", own});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, "Wrote " + own + "\n");
    if (ReportPdf::toolsAvailable()) {
        const QString text = ReportPdf::text(own).simplified();
        for (const char* says : {"Monday Doubles", "The dates of Di Dunn", "Mon 8 Mar 2027", "Court A", "Cy Cole",
                                 "Bob Brown", "Days off", "Mon 15 Mar 2027; Mon 22 Mar 2027"})
            QVERIFY2(text.contains(QString::fromUtf8(says)), says);
        QVERIFY(!text.contains("Court B") && !text.contains(QString::fromUtf8("Élan")));
    }
    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "pdf", "--player", "Di Dunn",
             "--output", h.dir.filePath("no/such/di.pdf")});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("does not exist"), qPrintable(r.err));

    QDir().mkpath(h.dir.filePath("cal"));
    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "ics", "--every-player", "--output",
             h.dir.filePath("cal")});
    QCOMPARE(r.status, 0);
    QCOMPARE(QDir(h.dir.filePath("cal")).entryList(QDir::Files).size(), 5);

    r = cli({"export", "--database", db, "--group", "Monday Doubles", "--format", "csv", "--output",
             h.dir.filePath("no/such/folder.csv")});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("Could not write"), qPrintable(r.err));
}

void TestCli::playerNamesMustPickOnePlayer()
{
    HandSeason h;
    const QString out = h.dir.filePath("p.ics");
    Run r = cli({"export", "--database", h.dir.path(), "--group", "Monday Doubles", "--format", "ics", "--player",
                 "Ed Egan", "--output", out});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("No player named \"Ed Egan\" plays in Monday Doubles"), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
}

void TestCli::reportFairness()
{
    HandSeason h;
    const QString db = h.dir.path();
    Run r = cli({"report", "fairness", "--database", db, "--group", "Monday Doubles"});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith("Fairness of Monday Doubles\n"), qPrintable(r.out));
    QVERIFY(r.out.contains("Dates played: most 4, fewest 1, spread 3"));
    QVERIFY(r.out.contains("- 4. Di Dunn could play on only 2 of the 4 dates"));

    r = cli({"report", "fairness", "--database", db, "--group", "Monday Doubles", "--format", "csv"});
    QCOMPARE(r.status, 0);
    const QVector<QStringList> rows = Csv::parse(r.out.toUtf8());
    QCOMPARE(rows.size(), 6 + 3);   // the table, then the one pair that never met
    QCOMPARE(rows[0], (QStringList{"#", "Name", "Played", "Days off", "Longest gap", "Balls", "Court A", "Court B"}));
    QCOMPARE(rows[4], (QStringList{"4", "Di Dunn", "1", "2", "3", "0", "1", "0"}));
    QCOMPARE(rows.mid(6), (QVector<QStringList>{{QString()}, {"Never met"}, {"4 and 5"}}));

    const QString pdf = h.dir.filePath("fair.pdf");
    r = cli({"report", "fairness", "--database", db, "--group", "Monday Doubles", "--format", "pdf", "--output", pdf});
    QCOMPARE(r.status, 0);
    QVERIFY(readAll(pdf).startsWith("%PDF"));
}

// Twenty doubles entries, sixteen a date, five of them off on one date: the
// run leaves a seat empty, and every form of the report says which and why.
void TestCli::reportFairnessNamesUnfilledDates()
{
    EngineFixture fx;
    fx.addCrowdedGroup(QDate(2027, 1, 12));
    const QString db = fx.dir.path();
    QCOMPARE(cli({"generate", "--database", db, "--group", "Crowded", "--yes", "--seed", "3"}).status, 0);
    const QString line = "Too few players were free to fill Tue 12 Jan 2027 (15 of 16 places; 5 of 20 players have "
                         "this date off).";

    Run r = cli({"report", "fairness", "--database", db, "--group", "Crowded"});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains("Warnings:\n") && r.out.count(line) == 1, qPrintable(r.out));

    r = cli({"report", "fairness", "--database", db, "--group", "Crowded", "--format", "csv"});
    QCOMPARE(r.status, 0);
    const QVector<QStringList> rows = Csv::parse(r.out.toUtf8());
    // The table, a blank record, the heading, the date; then the pairs that never met.
    QCOMPARE(rows.mid(21, 3), (QVector<QStringList>{{QString()}, {"Warnings"}, {line}}));
    QCOMPARE(rows.mid(24, 2), (QVector<QStringList>{{QString()}, {"Never met"}}));

    const QString pdf = fx.dir.filePath("fair.pdf");
    QCOMPARE(
        cli({"report", "fairness", "--database", db, "--group", "Crowded", "--format", "pdf", "--output", pdf}).status,
        0);
    if (!ReportPdf::toolsAvailable())
        QSKIP("pdftotext is not installed");
    const QString text = ReportPdf::text(pdf).simplified();
    QVERIFY2(text.contains("Warnings") && text.contains(line), qPrintable(text));
}

void TestCli::generateRefusesQuestionsWithoutYes()
{
    EngineFixture fx;
    GroupShape shape;   // 7 entries, 4 a date: the dates cannot come out even
    shape.entries = 7;
    const int group = fx.addGroup(shape);
    fx.exec("UPDATE \"group\" SET NAME = 'Odd' WHERE GROUPID = ?", {group});
    const QVector<int> entries = fx.entryIds(group);
    fx.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, SLOTCODE) VALUES (?, '2099-01-03', 1, 1)",
            {entries[0]});
    const Run r = cli({"generate", "--database", fx.dir.path(), "--group", "Odd"});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains("The run would ask: \"" + ScheduleEngine::UnequalPlayQuestion +
                            "\" Nothing was changed. "
                            "Run again with --yes"),
             qPrintable(r.err));
    // The old schedule and the counters stand as they were.
    QCOMPARE(fx.rowsOf(entries[0]), 1);
    QCOMPARE(fx.played(entries[0]), 9);

    // A question asked after the run reset the counters: those are kept too.
    GroupShape two;   // 8 entries, 4 a date, but two courts want 8
    two.courts = 2;
    const int second = fx.addGroup(two);
    fx.exec("UPDATE \"group\" SET NAME = 'Two Courts' WHERE GROUPID = ?", {second});
    const Run r2 = cli({"generate", "--database", fx.dir.path(), "--group", "Two Courts"});
    QCOMPARE(r2.status, int(Cli::Failed));
    QVERIFY2(r2.err.contains(ScheduleEngine::TooFewPerSessionQuestion), qPrintable(r2.err));
    for (int entry : fx.entryIds(second))
        QCOMPARE(fx.played(entry), 9);
    QCOMPARE(fx.scalar("SELECT NumPerSes FROM \"group\" WHERE GROUPID = ?", {second}).toInt(), 4);

    // Dates already played are not thrown away unasked (results, in a league, neither).
    fx.exec("UPDATE SCHEDULE SET DATE = '2001-01-01', VSGRPPLAYRID = ?, WINNER = ?", {entries[1], entries[0]});
    const Run r3 = cli({"generate", "--database", fx.dir.path(), "--group", "Odd"});
    QCOMPARE(r3.status, int(Cli::Failed));
    QVERIFY2(r3.err.contains("Odd already has a schedule with 1 date before today."), qPrintable(r3.err));
    QCOMPARE(fx.rowsOf(entries[0]), 1);

    // A league with a result and all its dates to come: the window's run
    // answered No, and the command line without --yes, keep the results
    // and the standings.
    GroupShape ladder;
    ladder.entries = 4;
    ladder.perSession = 2;
    ladder.type = 1;
    ladder.weeks = 2;
    ladder.start = QDate::currentDate().addDays(30);
    const int league = fx.addGroup(ladder, 2);
    fx.exec("UPDATE \"group\" SET NAME = 'Ladder' WHERE GROUPID = ?", {league});
    std::mt19937 random(5);
    ScriptedHost yes;
    ScheduleEngine(fx.db(), league, yes, random).GenerateSchedule();
    SeasonOps ops(fx.db(), league);
    const SeasonMatch match = ops.season().matchOf(ops.season().rows.first().entry, ops.season().dates.first());
    QVERIFY(match.first);
    const int winner = match.first->entry;
    QCOMPARE(ops.setWinner(winner, match.first->date, winner), QString());
    auto stored = [&] {
        return fx.scalar("SELECT group_concat(SCHEDULEID || '/' || IFNULL(WINNER, '-'), ' ') FROM SCHEDULE")
                   .toString() +
               fx.scalar("SELECT group_concat(LWIN || '/' || LLOSSES || '/' || LRANKING, ' ') FROM GRPPLAYR "
                         "WHERE GROUPID = ?",
                         {league})
                   .toString();
    };
    const QString withResult = stored();
    QVERIFY(withResult.contains(QString("/%1").arg(winner)));
    ScriptedHost no;
    no.answers = {ScheduleHost::No};
    ScheduleEngine(fx.db(), league, no, random).GenerateSchedule();
    QVERIFY2(no.questions.value(0).startsWith("Ladder already has a schedule with 1 result."),
             qPrintable(no.questions.join('|')));
    QCOMPARE(stored(), withResult);
    const Run r4 = cli({"generate", "--database", fx.dir.path(), "--group", "Ladder"});
    QCOMPARE(r4.status, int(Cli::Failed));
    QVERIFY2(r4.err.contains("Ladder already has a schedule with 1 result."), qPrintable(r4.err));
    QCOMPARE(stored(), withResult);
}

void TestCli::generateWithYesAndSeedRepeats()
{
    EngineFixture fx;
    GroupShape shape;
    shape.entries = 7;
    const int group = fx.addGroup(shape);
    fx.exec("UPDATE \"group\" SET NAME = 'Odd' WHERE GROUPID = ?", {group});
    auto schedule = [&] {
        QStringList rows;
        QSqlQuery q(fx.db().connection());
        q.exec("SELECT GRPPLAYRID, DATE, GRPCOURTID, HOME FROM SCHEDULE ORDER BY DATE, GRPCOURTID, GRPPLAYRID");
        while (q.next())
            rows << q.value(0).toString() + q.value(1).toString() + q.value(2).toString() + q.value(3).toString();
        return rows;
    };
    Run r = cli({"generate", "--database", fx.dir.path(), "--group", "Odd", "--yes", "--seed", "7"});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY2(r.out.startsWith("Schedule completed."), qPrintable(r.out));
    QVERIFY(r.err.contains("Answered Yes: " + ScheduleEngine::UnequalPlayQuestion));
    const QStringList first = schedule();
    QCOMPARE(first.size(), 40);   // 4 a date, 10 dates
    r = cli({"generate", "--database", fx.dir.path(), "--group", "Odd", "--yes", "--seed", "7"});
    QCOMPARE(r.status, 0);
    QCOMPARE(schedule(), first);

    // A group the engine refuses: its reason, and a failure.
    fx.exec("DELETE FROM COURTSLT");
    r = cli({"generate", "--database", fx.dir.path(), "--group", "Odd", "--yes"});
    QCOMPARE(r.status, int(Cli::Failed));
    QVERIFY2(r.err.contains(ScheduleEngine::NoCourtsRefusal), qPrintable(r.err));
}

// Substitute, swap and re-plan on a generated season, one after another:
// done, each says so in one line and leaves a sound schedule with the change
// in the file; refused, each says why and leaves the file as it was.
void TestCli::seasonChangesKeepTheRules()
{
    EngineFixture fx;
    GroupShape shape;
    shape.type = 2;
    const int g = fx.addGroup(shape);
    fx.addEntry(g, fx.addPlayer("P2", "L2"), 9);   // a second entry of one name
    const QString db = fx.dir.path();
    QCOMPARE(cli({"generate", "--database", db, "--group", "G", "--yes", "--seed", "5"}).status, 0);
    const Season s = loadSeason(fx.db(), g);
    auto name = [&](int entry) { return s.entry(entry)->fullName(); };
    auto iso = [](const QDate& d) { return d.toString(Qt::ISODate); };
    const QDate d1 = s.dates[1], d2 = s.dates[2];
    const int gone = s.rowsOn(d1).first()->entry, other = s.rowsOn(d1).last()->entry, sub = s.sittingOut(d1).first();
    const int leaving = s.rowsOn(d2).first()->entry;
    // Two entries who can trade dates: a plays on dA only, b on dB only.
    int a = 0, b = 0;
    QDate dA, dB;
    for (int i = 3; i < 6 && !a; ++i)
        for (const SeasonRow* ra : s.rowsOn(s.dates[i]))
            for (const SeasonRow* rb : s.rowsOn(s.dates[i + 1]))
                if (!a && !s.rowOf(ra->entry, s.dates[i + 1]) && !s.rowOf(rb->entry, s.dates[i]))
                    a = ra->entry, b = rb->entry, dA = s.dates[i], dB = s.dates[i + 1];
    QVERIFY(a);

    const QStringList at{"--database", db, "--group", "G"};
    const QStringList sw{"swap", "--date", iso(dA), "--out", name(a), "--in", name(b), "--date2"};
    struct Case {
        QStringList args;
        int status;
        QString says;
        QVector<std::tuple<int, QDate, bool>> plays;   // entry, date, has a row
    };
    const Case cases[] = {
        {{"substitute", "--date", iso(d1), "--out", name(gone), "--in", name(other)}, 1, "already plays on", {}},
        {{"substitute", "--date", iso(d1), "--out", "p2  l2"},
         1,
         "names more than one entry of G (2 P2 L2, 9 P2 L2); give the entry's number instead, as in --out 2.",
         {}},
        {{"substitute", "--date", iso(d1), "--out", "P1 L99"},
         1,
         "No player named \"P1 L99\" plays in G. Did you "
         "mean P1 L1?",
         {}},
        {{"substitute", "--date", "2000-02-30", "--out", name(gone)}, 2, "--date \"2000-02-30\" is not a date", {}},
        {{"substitute", "--date", iso(d1), "--out", QString::number(s.entry(gone)->number), "--in", name(sub)},
         0,
         "Substituted " + name(sub) + " for " + name(gone) + " on " + planDateText(d1) + " in G.\n",
         {{sub, d1, true}, {gone, d1, false}}},
        {{"substitute", "--date", planDateText(d2), "--out", name(leaving)},
         0,
         " was chosen: free that date, with the fewest dates played",
         {{leaving, d2, false}}},
        {sw + QStringList{iso(dA)}, 1, "A swap needs two different entries on two different dates.", {}},
        {sw + QStringList{iso(dB)},
         0,
         "Swapped in G: " + name(a) + " plays " + planDateText(dB) + " instead of " + planDateText(dA),
         {{a, dA, false}, {a, dB, true}, {b, dA, true}, {b, dB, false}}},
        {{"replan", "--from", iso(s.dates[6]), "--seed", "2"},
         1,
         "nothing was changed; add --yes to re-plan (and --seed 2 to keep this very plan).",
         {}},
        {{"replan", "--from", "1999-01-01", "--yes"}, 1, "Choose one of the schedule's dates", {}},
        {{"replan", "--from", iso(s.dates[6]), "--yes", "--seed", "2"}, 0, "Re-planned G from ", {}},
    };
    auto file = [&] {
        QStringList rows = fx.snapshot();
        rows << fx.scalar("SELECT GROUP_CONCAT(PLAYERID || DATE) FROM PLAYROFF").toString();
        return rows;
    };
    QStringList printed;
    for (const Case& c : cases) {
        const QStringList before = file();
        const Run r = cli(c.args + at);
        printed << r.out;
        const QString what = c.args.join(' ') + " -> " + r.out + r.err;
        QVERIFY2(r.status == c.status && (c.status ? r.err : r.out).contains(c.says), qPrintable(what));
        if (c.status != 0) {
            QCOMPARE(file(), before);
            continue;
        }
        const GroupSetup setup = GroupSetup::read(fx.db(), g);
        QCOMPARE(planProblems(setup, SchedulePlan::read(fx.db(), setup)), QStringList());
        for (const auto& [entry, date, plays] : c.plays)
            QVERIFY2(fx.scalar("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE = ?", {entry, iso(date)})
                             .toInt() == int(plays),
                     qPrintable(what));
    }
    // The re-plan kept is the one shown without --yes.
    QVERIFY(printed.last().startsWith(printed[printed.size() - 3]));
}

// Each player's places as the players see them: date -> court, balls, and
// everyone on the court. Read from the rows, apart from the program's reading.
using Places = QMap<int, QMap<QString, QString>>;
Places placesOf(EngineFixture& fx, int group)
{
    Places places;
    QSqlQuery q(fx.db().connection());
    q.exec(QString("SELECT g.PLAYERID, s.DATE, s.GRPCOURTID, s.HOME, (SELECT GROUP_CONCAT(o.PLAYERID) FROM (SELECT "
                   "g2.PLAYERID FROM SCHEDULE s2 JOIN GRPPLAYR g2 ON g2.GROUPPLAYERID = s2.GRPPLAYRID WHERE s2.DATE = "
                   "s.DATE AND s2.GRPCOURTID = s.GRPCOURTID AND g2.GROUPID = g.GROUPID ORDER BY g2.PLAYERID) o) FROM "
                   "SCHEDULE s JOIN GRPPLAYR g ON g.GROUPPLAYERID = s.GRPPLAYRID WHERE g.GROUPID = %1")
               .arg(group));
    while (q.next())
        places[q.value(0).toInt()][q.value(1).toString()] =
            QStringList{q.value(2).toString(), q.value(3).toString(), q.value(4).toString()}.join('/');
    return places;
}

QSet<int> concerned(const Places& before, const Places& after)
{
    QSet<int> players;
    for (const int p : before.keys() + after.keys())
        if (before.value(p) != after.value(p))
            players << p;
    return players;
}

// Substitute, swap, re-plan, undo and a new run each log exactly the players
// whose places moved; the notice since a time reaches exactly those logged since.
void TestCli::noticesReachThePlayersConcerned()
{
    EngineFixture fx;
    GroupShape shape;
    shape.entries = 14;
    shape.perSession = 8;
    shape.courts = 2;
    const int g = fx.addGroup(shape);
    fx.addEntry(g, fx.addPlayer("P2", "Lx"), 15);   // reads as "P2 L." too
    const QString db = fx.dir.path();
    fx.exec("UPDATE PLAYERS SET EMAIL = FNAME || LNAME || '@example.org' WHERE FNAME <> 'P3'");
    QCOMPARE(cli({"generate", "--database", db, "--group", "G", "--yes", "--seed", "5"}).status, 0);
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM SCHEDLOG").toInt(), 0);   // nobody was told anything yet

    SeasonOps ops(fx.db(), g);
    const Season& s = ops.season();
    const int p3 =
        fx.scalar("SELECT GROUPPLAYERID FROM GRPPLAYR g JOIN PLAYERS p USING (PLAYERID) WHERE FNAME = 'P3'").toInt();
    std::mt19937 random(3);
    QDateTime sinceSubstitute;
    const std::function<QString()> steps[] = {
        [&] {
            const QDate d = s.dates[2];
            const int out = s.rowOf(p3, d) ? p3 : s.rowsOn(d).first()->entry;
            const int in = s.rowOf(p3, d) ? s.sittingOut(d).first() : p3;
            return ops.substitute(out, d, in);
        },
        [&] { return ops.replan(s.dates[5], random, [](const QVector<ReplanCount>&) { return true; }); },
        [&] { return ops.undo() ? QString() : QString("no undo"); },
        [&] {
            return cli({"generate", "--database", db, "--group", "G", "--yes", "--seed", "6"}).status ? QString("run")
                                                                                                      : QString();
        },
    };
    qint64 logged = 0;
    for (const auto& step : steps) {
        const Places before = placesOf(fx, g);
        QCOMPARE(step(), QString());
        ops.reload();
        const QSet<int> moved = concerned(before, placesOf(fx, g));
        QSet<int> inLog;
        QSqlQuery q(fx.db().connection());
        q.exec(QString("SELECT PLAYERID, WHAT FROM SCHEDLOG WHERE LOGID > %1").arg(logged));
        while (q.next()) {
            inLog << q.value(0).toInt();
            QVERIFY(q.value(1).toString().contains(QRegularExpression("^(now|no longer) (plays|brings the balls)")));
            // The two "P2 L." are told apart by their entry numbers.
            QVERIFY(!q.value(1).toString().contains(QRegularExpression("P2 L\\.(?! \\()")));
        }
        QVERIFY(!moved.isEmpty());
        QCOMPARE(inLog, moved);
        logged = fx.scalar("SELECT MAX(LOGID) FROM SCHEDLOG").toLongLong();
        if (!sinceSubstitute.isValid()) {
            QTest::qWait(5);
            sinceSubstitute = QDateTime::currentDateTimeUtc();
        }
    }

    // The notice since the substitute: everyone logged after it, in BCC, each with a section.
    const QString eml = fx.dir.filePath("changes.eml");
    const Run r = cli({"notify", "--database", db, "--group", "G", "--since",
                       sinceSubstitute.toString(Qt::ISODateWithMs), "--output", eml});
    QCOMPARE(r.status, 0);
    QSqlQuery q(fx.db().connection());
    q.exec(QString("SELECT DISTINCT p.FNAME, p.EMAIL FROM SCHEDLOG l JOIN PLAYERS p USING (PLAYERID) WHERE "
                   "CHANGEDAT > '%1' ORDER BY p.FNAME")
               .arg(sinceSubstitute.toString(Qt::ISODateWithMs)));
    QStringList names, addresses;
    while (q.next()) {
        names << q.value(0).toString();
        if (!q.value(1).isNull())
            addresses << q.value(1).toString();
    }
    QVERIFY(names.size() > 1);
    QCOMPARE(r.out.contains("P3 L3 has no e-mail address; tell them yourself."), names.contains("P3"));
    QProcess python;
    python.start("python3", {"-c",
                             "import sys, email\n"
                             "m = email.message_from_binary_file(open(sys.argv[1], 'rb'))\n"
                             "assert not m.defects, m.defects\n"
                             "body = m.get_payload(decode=True).decode('utf-8')\n"
                             "print('|'.join([m['From'], m['To'], m['Subject'], m['Content-Type']]))\n"
                             "print(','.join(sorted(a.strip() for a in m['Bcc'].split(','))))\n"
                             "print(','.join(sorted(l[:-1].split()[0] for l in body.splitlines() "
                             "if l.endswith(':') and l.startswith('P'))))\n",
                             eml});
    QVERIFY(python.waitForFinished());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    QCOMPARE(lines.value(0),
             "Vantrel <noreply@invalid>|undisclosed-recipients:;|Changes to G|text/plain; charset=utf-8");
    addresses.sort();
    QCOMPARE(lines.value(1), addresses.join(','));
    QCOMPARE(lines.value(2), names.join(','));
}

void TestCli::listsGroupsLeaguesPlayers()
{
    HandSeason h;
    h.exec("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Spring League', '2027-04-01', 2)");
    Run r = cli({"list", "groups", "--database", h.dir.path()});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QString("Monday Doubles\t2027-03-08\t5 entries\t4 dates scheduled\n"));
    r = cli({"list", "leagues", "--database", h.dir.path()});
    QCOMPARE(r.out, QString("Spring League\t2027-04-01\t0 entries\t0 dates scheduled\n"));
    h.exec("UPDATE PLAYERS SET EMAIL = 'bob@example.org', PHONE1 = '(555)123-4567' WHERE PLAYERID = ?", {h.players[2]});
    h.exec("UPDATE PLAYERS SET STREET1 = '=HYPERLINK(\"http://x\")' WHERE PLAYERID = ?", {h.players[3]});
    r = cli({"list", "players", "--database", h.dir.path()});
    QCOMPARE(r.out.count('\n'), 5);
    QVERIFY(r.out.startsWith("Bob Brown\t(555)123-4567\tbob@example.org\n"));   // by last name

    // The roster as a spreadsheet: the e-mail beside the phones, and a
    // street that a spreadsheet would run stays text.
    const QString roster = h.dir.filePath("roster.csv");
    r = cli({"export", "--database", h.dir.path(), "--format", "csv", "--players", "--output", roster});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QVector<QStringList> rows = Csv::parse(readAll(roster));
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[0].mid(0, 6), (QStringList{"First", "Last", "Home Phone", "Work Phone", "E-mail", "Street"}));
    QCOMPARE(rows[1].mid(0, 5), (QStringList{"Bob", "Brown", "(555)123-4567", "", "bob@example.org"}));
    QCOMPARE(rows[2][5], QString("'=HYPERLINK(\"http://x\")"));
    r = cli({"export", "--database", h.dir.path(), "--group", "Monday Doubles", "--format", "csv", "--players",
             "--output", roster});
    QCOMPARE(r.status, int(Cli::Usage));
}

void TestCli::theProgramItselfExitsWithTheStatus()
{
    HandSeason h;
    QProcess p;
    p.start(QStringLiteral(VANTREL_BINARY), {"list", "groups", "--database", h.dir.path()});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("Monday Doubles\t2027-03-08\t5 entries\t4 dates scheduled\n"));

    p.start(QStringLiteral(VANTREL_BINARY), {"export", "--group", "Nobody", "--database", h.dir.path(), "--format",
                                             "csv", "--output", h.dir.filePath("x.csv")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(p.readAllStandardOutput().isEmpty());
    QVERIFY(p.readAllStandardError().contains("vantrel: No group or league is named \"Nobody\""));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
