#include "cli.h"
#include "appsetup.h"
#include "data/database.h"
#include "data/databasecopy.h"
#include "data/transaction.h"
#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/kinds.h"
#include "data/query.h"
#include "export/exports.h"
#include "export/fairnessreport.h"
#include "export/notices.h"
#include "export/publish.h"
#include "export/savefile.h"
#include "reportengine/reporterror.h"
#include "engine/engine.h"
#include "engine/fairness.h"
#include "engine/plan.h"
#include "engine/schedulehost.h"
#include "engine/seasonops.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <optional>
#include <random>

namespace {

// A failure the user can mend; `status` says whether the command line or the work went wrong.
struct CliError {
    QString message;
    int status = Cli::Failed;
};

[[noreturn]] void fail(const QString& message, int status = Cli::Failed)
{
    throw CliError{message, status};
}

const char* const commandsText = "Without arguments Vantrel starts its window. Commands:\n"
                                 "  export --group NAME --format csv|ics|pdf [--player NAME] --output FILE\n"
                                 "      the schedule as a spreadsheet, a calendar or the printed schedule;\n"
                                 "      with --player only that player's dates\n"
                                 "  export --format csv --players --output FILE\n"
                                 "      every player's name, phones, e-mail and address\n"
                                 "  export --group NAME --format ics --every-player --output DIR\n"
                                 "      one calendar per player into the folder DIR\n"
                                 "  report fairness --group NAME [--format text|csv|pdf] [--output FILE]\n"
                                 "      how evenly the season shares out dates, balls and courts\n"
                                 "  generate --group NAME [--yes] [--seed N]\n"
                                 "      writes the schedule anew; without --yes it stops, changing nothing,\n"
                                 "      where the run would ask a question\n"
                                 "  publish --group NAME|--all --output DIR [--base-url URL] [--new-links]\n"
                                 "      the season as web pages and calendar feeds in DIR, for any web host\n"
                                 "      or shared folder to serve; each player has a private link\n"
                                 "  substitute --group NAME --date DATE --out PLAYER [--in PLAYER]\n"
                                 "      --in plays for --out on DATE; without --in the free entry who has\n"
                                 "      played the fewest dates is chosen\n"
                                 "  swap --group NAME --date DATE --out PLAYER --date2 DATE2 --in PLAYER\n"
                                 "      --out gives up DATE and plays DATE2 instead; --in gives up DATE2 and\n"
                                 "      plays DATE\n"
                                 "  replan --group NAME --from DATE [--yes] [--seed N]\n"
                                 "      schedules the dates from DATE on again and prints every entry's dates\n"
                                 "      played before and after; without --yes it changes nothing\n"
                                 "  notify --group NAME --since TIME --output FILE.eml\n"
                                 "      a message to the players whose dates changed since TIME (2027-01-12\n"
                                 "      or 2027-01-12T18:30), addressed to them in BCC, for a mail program\n"
                                 "      or script to send\n"
                                 "  list groups|leagues|players\n"
                                 "  init --database DIR|URI\n"
                                 "      makes a new, empty database in DIR, or its tables in the empty\n"
                                 "      PostgreSQL database URI\n"
                                 "  copy --from DIR|URI --to DIR|URI\n"
                                 "      copies every record into a new or empty database and checks the\n"
                                 "      counts: a club's file onto its server, or the server to a file\n"
                                 "--database, --from and --to take a directory that holds vantrel.db or a\n"
                                 "PostgreSQL URI: postgresql://USER@HOST:PORT/DBNAME (the password comes\n"
                                 "from ~/.pgpass or PGPASSWORD, never from the command line).\n"
                                 "A NAME with blanks goes in quotes: --group \"Monday Doubles\". A PLAYER is a\n"
                                 "first and last name, or the number of the entry. A DATE is 2027-01-12.\n"
                                 "Exit status: 0 done, 1 the work failed, 2 the command line was wrong.";

struct Options {
    QCommandLineOption database{
        "database", "The directory that holds vantrel.db, or a PostgreSQL URI (default: from the settings).",
        "DIR or URI"};
    QCommandLineOption group{"group", "The group or league, by its name.", "NAME"};
    QCommandLineOption format{"format", "csv, ics or pdf (export); text, csv or pdf (report).", "FORMAT"};
    QCommandLineOption player{"player", "One player, by first and last name.", "NAME"};
    QCommandLineOption players{"players", "export --format csv: the roster of every player, not a group's dates."};
    QCommandLineOption everyPlayer{"every-player", "export --format ics: one calendar per player into --output DIR."};
    QCommandLineOption output{"output", "The file to write (a folder with --every-player).", "FILE"};
    QCommandLineOption yes{"yes", "generate: answer Yes to the run's questions; replan: keep the new schedule."};
    QCommandLineOption seed{"seed", "generate, replan: seed of the random source, for a repeatable run.", "N"};
    QCommandLineOption date{"date", "substitute, swap: the date of play, as 2027-01-12.", "DATE"};
    QCommandLineOption date2{"date2", "swap: the date of play that --in gives up.", "DATE2"};
    QCommandLineOption from{"from", "replan: the first date scheduled again; copy: the database copied.",
                            "DATE or DIR or URI"};
    QCommandLineOption to{"to", "copy: the new or empty database copied into.", "DIR or URI"};
    QCommandLineOption out{"out", "substitute, swap: the player who gives up --date.", "PLAYER"};
    QCommandLineOption in{"in", "substitute, swap: the player who plays on --date instead.", "PLAYER"};
    QCommandLineOption all{"all", "publish: every group and league, each in a folder of its own."};
    QCommandLineOption baseUrl{"base-url", "publish: the address DIR is served at, for calendar subscriptions.", "URL"};
    QCommandLineOption newLinks{"new-links", "publish: give the players new links; the old ones stop working."};
    QCommandLineOption since{"since", "notify: the changes after this date or time.", "TIME"};
};

// ------------------------------------------------------------ the database

// A directory as the user wrote it ("~/vantrel"), or a server URI as it is.
QString location(const QString& given)
{
    return Database::isServerLocation(given) ? given : Database::expandHome(given);
}

// A directory must hold a database already; on a server the engine says what is missing.
void requireExisting(const QString& place)
{
    if (!Database::isServerLocation(place) && !QFileInfo::exists(Database::fileName(place)))
        fail(QStringLiteral("There is no Vantrel database in %1. Name the directory that holds vantrel.db "
                            "with --database DIR, or make one with: vantrel init --database DIR.")
                 .arg(place));
}

std::unique_ptr<Tdmglobal> openDatabase(const QString& place)
{
    requireExisting(place);
    try {
        return std::make_unique<Tdmglobal>(place);
    } catch (const DbError& e) {
        fail(e.message());
    }
}

struct GroupRow {
    int id = 0;
    QString name;
    RecordKind kind = RecordKind::Group;
    QDate start;
};

QVector<GroupRow> groupRows(Database& db, std::optional<RecordKind> kind = std::nullopt)
{
    Query q(db, "SELECT GROUPID, NAME, RTYPE, STARTDATE FROM \"group.DB\" ORDER BY NAME, GROUPID");
    q.open();
    QVector<GroupRow> rows;
    for (; !q.eof(); q.next()) {
        const GroupRow row{q.asInt("GROUPID"), q.asString("NAME"), recordKindFrom(q.asInt("RTYPE")),
                           q.asDate("STARTDATE")};
        if (!kind || row.kind == *kind)
            rows << row;
    }
    return rows;
}

QString describe(const GroupRow& g)
{
    return QStringLiteral("a %1 starting %2")
        .arg(g.kind == RecordKind::Group ? QStringLiteral("group") : QStringLiteral("league"),
             g.start.toString(Qt::ISODate));
}

// The one group or league of that name: exactly as written, else ignoring case.
int findGroup(Database& db, const QString& name)
{
    if (name.trimmed().isEmpty())
        fail(QStringLiteral("Name the group or league with --group NAME."), Cli::Usage);
    QVector<GroupRow> exact, loose;
    for (const GroupRow& g : groupRows(db)) {
        if (g.name == name)
            exact << g;
        if (g.name.compare(name, Qt::CaseInsensitive) == 0)
            loose << g;
    }
    const QVector<GroupRow>& found = exact.isEmpty() ? loose : exact;
    if (found.isEmpty())
        fail(QStringLiteral("No group or league is named \"%1\". See the names with: vantrel list groups "
                            "(or leagues).")
                 .arg(name));
    if (found.size() > 1) {
        QStringList which;
        for (const GroupRow& g : found)
            which << describe(g);
        fail(QStringLiteral("More than one group or league is named \"%1\" (%2). Rename one of them in its "
                            "editor so that the name picks one.")
                 .arg(name, which.join(QStringLiteral(", "))));
    }
    return found.first().id;
}

bool sameName(const QString& stored, const QString& given)
{
    return stored.compare(given.simplified(), Qt::CaseInsensitive) == 0;
}

// For a name nobody has: the players whose names hold one of its words.
QString unknownPlayer(const Season& s, const QString& name)
{
    const QStringList words = name.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList near;
    for (const SeasonPerson& p : s.players())
        if (std::any_of(words.cbegin(), words.cend(),
                        [&](const QString& w) { return p.fullName().contains(w, Qt::CaseInsensitive); }))
            near << p.fullName();
    const QString unknown = QStringLiteral("No player named \"%1\" plays in %2.").arg(name, s.name);
    if (!near.isEmpty())
        return unknown + QStringLiteral(" Did you mean %1?").arg(near.join(QStringLiteral(" or ")));
    return unknown + QStringLiteral(" Give the first and last name as the players list shows them (vantrel "
                                    "list players).");
}

int findPlayer(const Season& s, const QString& name)
{
    QVector<SeasonPerson> found;
    for (const SeasonPerson& p : s.players())
        if (sameName(p.fullName(), name))
            found << p;
    if (found.isEmpty())
        fail(unknownPlayer(s, name));
    if (found.size() > 1)
        fail(QStringLiteral("Two players named \"%1\" play in %2; their calendars can be told apart only with "
                            "--every-player.")
                 .arg(name, s.name));
    return found.first().id;
}

// An entry by its number, or by the name of its player or partner (or both,
// as "Ann Alder/Bob Brown"); `option` is where the name was given.
int findEntry(const Season& s, const QString& name, const QCommandLineOption& option)
{
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    QVector<int> found;
    for (const SeasonEntry& e : s.entries)
        if (isNumber ? e.number == number
                     : sameName(e.fullName(), name) || sameName(e.player.fullName(), name) ||
                           (e.isTeam() && sameName(e.partner.fullName(), name)))
            found << e.id;
    if (found.isEmpty())
        fail(isNumber ? QStringLiteral("%1 has no entry number %2.").arg(s.name, name) : unknownPlayer(s, name));
    if (found.size() > 1) {
        QStringList which;
        for (int id : found)
            which << s.entryText(id);
        fail(QStringLiteral("\"%1\" names more than one entry of %2 (%3); give the entry's number instead, as in "
                            "--%4 %5.")
                 .arg(name, s.name, which.join(QStringLiteral(", ")), option.names().first())
                 .arg(s.entry(found.first())->number));
    }
    return found.first();
}

void requireSchedule(const Season& s)
{
    if (s.sessions.isEmpty())
        fail(Exports::noScheduleMessage(s) + QStringLiteral(" (vantrel generate --group \"%1\")").arg(s.name));
}

Season scheduledSeason(Database& db, int groupId)
{
    Season s = loadSeason(db, groupId);
    requireSchedule(s);
    return s;
}

SeasonOps scheduledOps(Database& db, const QString& groupName)
{
    SeasonOps ops(db, findGroup(db, groupName));
    requireSchedule(ops.season());
    return ops;
}

// ------------------------------------------------------------------ checks

QString required(const QCommandLineParser& p, const QCommandLineOption& o, const QString& what)
{
    const QString value = p.value(o);
    if (value.isEmpty())
        fail(QStringLiteral("%1 needs --%2.").arg(what, o.names().first()), Cli::Usage);
    return value;
}

void checkChoice(const QString& value, const QStringList& choices, const QString& what)
{
    if (!choices.contains(value))
        fail(QStringLiteral("%1 \"%2\" is not one of %3.").arg(what, value, choices.join(QStringLiteral(", "))),
             Cli::Usage);
}

void checkWritten(const QString& error)
{
    if (!error.isEmpty())
        fail(error);
}

// A season operation answers its refusal, or nothing when done.
void checkDone(const QString& refusal)
{
    if (!refusal.isEmpty())
        fail(refusal);
}

// As ISO (2027-01-12) or as this program prints a date (Tue 12 Jan 2027).
QDate requiredDate(const QCommandLineParser& p, const QCommandLineOption& o, const QString& what)
{
    const QString text = required(p, o, what).simplified();
    QDate date = QDate::fromString(text, Qt::ISODate);
    for (const char* form : {"ddd d MMM yyyy", "d MMM yyyy"})
        if (!date.isValid())
            date = QLocale::c().toDate(text, QLatin1String(form));
    if (!date.isValid())
        fail(QStringLiteral("--%1 \"%2\" is not a date; write it as 2027-01-12.").arg(o.names().first(), text),
             Cli::Usage);
    return date;
}

std::optional<uint> seedOption(const QCommandLineParser& p, const Options& o)
{
    if (!p.isSet(o.seed))
        return std::nullopt;
    bool ok = false;
    const uint seed = p.value(o.seed).toUInt(&ok);
    if (!ok)
        fail(QStringLiteral("--seed needs a whole number from 0 to 4294967295."), Cli::Usage);
    return seed;
}

// ---------------------------------------------------------------- commands

void runExport(const QCommandLineParser& p, const Options& o, Database& db, QTextStream& out)
{
    const QString format = required(p, o.format, QStringLiteral("export")).toLower();
    checkChoice(format, {"csv", "ics", "pdf"}, QStringLiteral("The format"));
    const QString output = required(p, o.output, QStringLiteral("export"));
    if (p.isSet(o.players)) {
        if (format != QLatin1String("csv") || p.isSet(o.group) || p.isSet(o.player) || p.isSet(o.everyPlayer))
            fail(QStringLiteral("--players writes the roster; use it with --format csv and no group or player."),
                 Cli::Usage);
        checkWritten(Exports::writeRoster(db, output));
        out << QStringLiteral("Wrote %1\n").arg(output);
        return;
    }
    const Season s = scheduledSeason(db, findGroup(db, p.value(o.group)));
    if (p.isSet(o.everyPlayer) && format != QLatin1String("ics"))
        fail(QStringLiteral("--every-player writes calendars; use it with --format ics."), Cli::Usage);
    if (p.isSet(o.everyPlayer) && p.isSet(o.player))
        fail(QStringLiteral("Give either --player or --every-player, not both."), Cli::Usage);

    if (p.isSet(o.everyPlayer)) {
        QStringList files;
        checkWritten(Exports::writeEveryCalendar(db, s, output, &files));
        out << QStringLiteral("Wrote %1 calendars to %2\n").arg(files.size()).arg(output);
        return;
    }
    const int playerId = p.isSet(o.player) ? findPlayer(s, p.value(o.player)) : 0;
    if (format == QLatin1String("csv"))
        checkWritten(Exports::writeCsv(s, playerId, output));
    else if (format == QLatin1String("ics"))
        checkWritten(Exports::writeCalendar(db, s, playerId, output));
    else if (playerId)
        checkWritten(Exports::writePlayerPdf(s, playerId, output));
    else
        checkWritten(Exports::writeSchedulePdf(db, s.groupId, output));
    out << QStringLiteral("Wrote %1\n").arg(output);
}

void runReport(const QCommandLineParser& p, const Options& o, Database& db, QTextStream& out)
{
    const QStringList args = p.positionalArguments();
    if (args.size() < 2 || args[1] != QLatin1String("fairness"))
        fail(QStringLiteral("Say which report: vantrel report fairness --group NAME."), Cli::Usage);
    const QString format = p.isSet(o.format) ? p.value(o.format).toLower() : QStringLiteral("text");
    checkChoice(format, {"text", "csv", "pdf"}, QStringLiteral("The format"));
    const QString output = p.value(o.output);
    if (format == QLatin1String("pdf") && output.isEmpty())
        fail(QStringLiteral("A PDF report needs --output FILE."), Cli::Usage);

    TFairnessReport report;
    report.setSeason(scheduledSeason(db, findGroup(db, p.value(o.group))));
    if (format == QLatin1String("pdf")) {
        try {
            report.savePdf(output);
        } catch (const ReportError& e) {
            fail(e.message());
        }
        out << QStringLiteral("Wrote %1\n").arg(output);
        return;
    }
    const QByteArray text = format == QLatin1String("csv")
                                ? report.csvDocument()
                                : FairnessText::plainText(report.season(), report.figures()).toUtf8();
    if (output.isEmpty()) {
        out << QString::fromUtf8(text);
        return;
    }
    checkWritten(SaveFile::write(output, text));
    out << QStringLiteral("Wrote %1\n").arg(output);
}

// Answers the run's questions as --yes says; without it the first question
// ends the run, and the transaction around it leaves everything as it was.
class CommandLineHost : public ScheduleHost {
public:
    struct Refused {
        QString question;
    };
    CommandLineHost(bool yes, QTextStream& err) : answerYes(yes), err(err) {}

    Answer ask(const QString& text) override
    {
        if (!answerYes)
            throw Refused{text};
        err << QStringLiteral("Answered Yes: ") << text << '\n';
        return Yes;
    }
    void warn(const QString& text) override { warnings << text; }
    void statusMessage(const QString& text) override { lastStatus = text; }
    void setBusy(bool) override {}
    void suspendUpdates(bool) override {}
    void yield() override {}
    bool showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected) override
    {
        QStringList counts;
        for (const ReconcileLine& l : lines)
            counts << QStringLiteral("%1 plays %2").arg(l.playerName).arg(l.sessionsPlayed);
        const QString detail = counts.join(QStringLiteral(", "));
        if (mode != 1) {
            err << QStringLiteral("Play counts cannot be made equal (expected %1): %2\n")
                       .arg(ScheduleEngine::ExpectedText(expected), detail);
            return false;
        }
        return ask(QStringLiteral("Reconcile the schedule so that every entry plays %1 dates? (%2)")
                       .arg(ScheduleEngine::ExpectedText(expected), detail)) == Yes;
    }

    QStringList warnings;
    QString lastStatus;

private:
    bool answerYes;
    QTextStream& err;
};

void runGenerate(const QCommandLineParser& p, const Options& o, Tdmglobal& dm, QTextStream& out, QTextStream& err)
{
    Database& db = dm.database();
    const int groupId = findGroup(db, p.value(o.group));
    if (const std::optional<uint> seed = seedOption(p, o))
        dm.random().seed(*seed);
    CommandLineHost host(p.isSet(o.yes), err);
    ScheduleEngine engine(db, groupId, host, dm.random());
    try {
        // The run writes nothing before its last question; holding the write
        // lock from the start keeps other programs from changing the group
        // between its questions and its write.
        Transaction whole(db, Transaction::Lock::AtStart);
        engine.GenerateSchedule();
        whole.commit();
    } catch (const CommandLineHost::Refused& r) {
        fail(QStringLiteral("The run would ask: \"%1\" Nothing was changed. Run again with --yes to answer Yes, "
                            "or change the group in its editor.")
                 .arg(r.question));
    }
    for (const QString& w : host.warnings)
        err << w << '\n';
    if (!engine.written() || !host.lastStatus.startsWith(QStringLiteral("Schedule completed.")))
        fail(host.warnings.isEmpty() ? QStringLiteral("The schedule was not generated.")
                                     : QStringLiteral("The schedule was not generated; see above why."));
    // The summary comes from the plan the run wrote, not from reading the season again.
    QHash<QDate, QSet<int>> courtsOn;
    for (const PlanRow& r : engine.plan().rows)
        courtsOn[r.date].insert(r.court);
    qsizetype most = 0;
    for (const QSet<int>& courts : std::as_const(courtsOn))
        most = std::max(most, courts.size());
    out << host.lastStatus.simplified()
        << QStringLiteral(" %1 dates, %2 courts a date at most.\n").arg(courtsOn.size()).arg(most);
}

void runPublish(const QCommandLineParser& p, const Options& o, Database& db, QTextStream& out)
{
    PublishRequest request;
    request.folder = Database::expandHome(required(p, o.output, QStringLiteral("publish")));
    request.baseUrl = p.value(o.baseUrl);
    request.newLinks = p.isSet(o.newLinks);
    if (p.isSet(o.all) == p.isSet(o.group))
        fail(QStringLiteral("publish needs either --group NAME or --all."), Cli::Usage);
    if (p.isSet(o.all)) {
        request.eachInOwnFolder = true;
        for (const GroupRow& g : groupRows(db))
            request.groupIds << g.id;
    } else {
        request.groupIds << scheduledSeason(db, findGroup(db, p.value(o.group))).groupId;
    }
    const PublishOutcome done = publishSeasons(db, request);
    checkWritten(done.error);
    out << QStringLiteral("Published %1 %2 with %3 player pages to %4%5\n")
               .arg(done.seasons)
               .arg(done.seasons == 1 ? QStringLiteral("season") : QStringLiteral("seasons"))
               .arg(done.players)
               .arg(QDir::toNativeSeparators(request.folder),
                    done.removed ? QStringLiteral("; removed %1 files no player links to any more").arg(done.removed)
                                 : QString());
    // What the organiser sends each player.
    out << done.linksText() << '\n';
}

// Writes the message even when nobody is concerned, so that a script finds
// the file it asked for; the line printed says whether there is anyone to send it to.
void runNotify(const QCommandLineParser& p, const Options& o, Database& db, QTextStream& out)
{
    const QString command = QStringLiteral("notify");
    const int groupId = findGroup(db, required(p, o.group, command));
    const QString sinceText = required(p, o.since, command);
    const std::optional<QDateTime> since = parseSince(sinceText);
    if (!since)
        fail(QStringLiteral("\"%1\" is not a date or time; write it as 2027-01-12 or 2027-01-12T18:30.").arg(sinceText),
             Cli::Usage);
    const QString file = Database::expandHome(required(p, o.output, command));
    const Notices notices = noticesSince(db, groupId, *since);
    checkWritten(SaveFile::write(file, noticeMessage(notices)));
    if (notices.isEmpty()) {
        out << QStringLiteral("Nothing changed for anyone since %1; wrote %2 all the same.\n")
                   .arg(sinceText, QDir::toNativeSeparators(file));
        return;
    }
    out << QStringLiteral("Wrote %1 to %2 %3.\n")
               .arg(QDir::toNativeSeparators(file))
               .arg(notices.addresses().size())
               .arg(notices.addresses().size() == 1 ? QStringLiteral("player") : QStringLiteral("players"));
    for (const QString& line : notices.withoutEmail())
        out << line << '\n';
}

// ------------------------------------------------- changes to the season

// Each change goes through the season window's operations, with their checks
// and refusals, and prints one line saying what it did.
void runSubstitute(const QCommandLineParser& p, const Options& o, Database& db, QTextStream& out)
{
    const QString command = QStringLiteral("substitute");
    const QDate date = requiredDate(p, o.date, command);
    const QString outName = required(p, o.out, command);
    SeasonOps ops = scheduledOps(db, p.value(o.group));
    const Season& s = ops.season();
    const int gone = findEntry(s, outName, o.out);
    int sub = 0;
    QString chosen;
    if (p.isSet(o.in)) {
        sub = findEntry(s, p.value(o.in), o.in);
    } else {
        checkDone(ops.notPlaced(gone, date));
        const QVector<SubstituteCandidate> free = ops.substituteCandidates(gone, date);
        if (free.isEmpty())
            fail(SeasonOps::nobodyFree(date));
        sub = free.first().entry;
        chosen = QStringLiteral(" %1 was chosen: free that date, with the fewest dates played (%2).")
                     .arg(free.first().name)
                     .arg(free.first().played);
    }
    const QString line =
        QStringLiteral("Substituted %1 for %2 on %3 in %4.%5\n")
            .arg(s.entry(sub)->fullName(), s.entry(gone)->fullName(), planDateText(date), s.name, chosen);
    checkDone(ops.substitute(gone, date, sub));
    out << line;
}

void runSwap(const QCommandLineParser& p, const Options& o, Database& db, QTextStream& out)
{
    const QString command = QStringLiteral("swap");
    const QDate date = requiredDate(p, o.date, command);
    const QDate date2 = requiredDate(p, o.date2, command);
    const QString outName = required(p, o.out, command);
    const QString inName = required(p, o.in, command);
    SeasonOps ops = scheduledOps(db, p.value(o.group));
    const Season& s = ops.season();
    const int a = findEntry(s, outName, o.out);
    const int b = findEntry(s, inName, o.in);
    const QString line =
        QStringLiteral("Swapped in %1: %2 plays %4 instead of %5, %3 plays %5 instead of %4.\n")
            .arg(s.name, s.entry(a)->fullName(), s.entry(b)->fullName(), planDateText(date2), planDateText(date));
    checkDone(ops.swap(a, date, b, date2));
    out << line;
}

// Prints the dates played before and after, as the window shows them before
// it asks; only --yes keeps the new schedule.
void runReplan(const QCommandLineParser& p, const Options& o, Tdmglobal& dm, QTextStream& out)
{
    const QDate from = requiredDate(p, o.from, QStringLiteral("replan"));
    // The seed is always known, so that the plan shown without --yes can be kept as shown.
    const uint seed = seedOption(p, o).value_or(std::random_device{}());
    dm.random().seed(seed);
    SeasonOps ops = scheduledOps(dm.database(), p.value(o.group));
    const bool keep = p.isSet(o.yes);
    QVector<ReplanCount> counts;
    checkDone(ops.replan(from, dm.random(), [&](const QVector<ReplanCount>& c) {
        counts = c;
        return keep;
    }));
    out << "Entry\tName\tBefore\tAfter\n";
    qsizetype changed = 0;
    for (const ReplanCount& c : std::as_const(counts)) {
        out << c.number << '\t' << c.name << '\t' << c.before << '\t' << c.after << '\n';
        changed += c.before != c.after ? 1 : 0;
    }
    const Season& s = ops.season();
    if (!keep)
        fail(QStringLiteral("Re-planning %1 from %2 gives the dates played above; nothing was changed; add --yes "
                            "to re-plan (and --seed %3 to keep this very plan).")
                 .arg(s.name, planDateText(from))
                 .arg(seed));
    const auto dates = std::count_if(s.dates.cbegin(), s.dates.cend(), [&](const QDate& d) { return d >= from; });
    out << QStringLiteral("Re-planned %1 from %2: %3 dates scheduled again, %4 of %5 entries play a different "
                          "number of dates.\n")
               .arg(s.name, planDateText(from))
               .arg(dates)
               .arg(changed)
               .arg(counts.size());
}

void runList(const QCommandLineParser& p, Database& db, QTextStream& out)
{
    const QStringList args = p.positionalArguments();
    const QString what = args.value(1);
    checkChoice(what, {"groups", "leagues", "players"}, QStringLiteral("list: the kind"));
    if (what == QLatin1String("players")) {
        Query q(db, "SELECT FNAME, LNAME, PHONE1, EMAIL FROM \"PLAYERS.db\" ORDER BY LNAME, FNAME, PLAYERID");
        q.open();
        for (; !q.eof(); q.next())
            out << (q.asString("FNAME") + QLatin1Char(' ') + q.asString("LNAME")).trimmed() << '\t'
                << q.asString("PHONE1") << '\t' << q.asString("EMAIL") << '\n';
        return;
    }
    for (const GroupRow& g : groupRows(db, what == QLatin1String("groups") ? RecordKind::Group : RecordKind::League)) {
        const Season s = loadSeason(db, g.id);
        out << g.name << '\t' << g.start.toString(Qt::ISODate) << '\t' << s.entries.size() << " entries\t"
            << s.dates.size() << " dates scheduled\n";
    }
}

bool holdsRecords(Database& db)
{
    const QVector<CopiedTable> tables = recordCounts(db);
    return std::any_of(tables.cbegin(), tables.cend(), [](const CopiedTable& t) { return t.rows > 0; });
}

// The tables in an empty server database; the engine refuses one that holds
// other tables.
void runInitServer(const QString& uri, QTextStream& out)
{
    try {
        Database db(uri);
        if (holdsRecords(db))
            fail(QStringLiteral("%1 holds a Vantrel database with records already; nothing was changed.")
                     .arg(db.displayName()));
        out << QStringLiteral("The Vantrel tables are ready in %1\n").arg(db.displayName());
    } catch (const DbError& e) {
        fail(e.message());
    }
}

// A new database with all its tables, in a directory that holds none yet.
void runInit(const QString& directory, QTextStream& out)
{
    if (Database::isServerLocation(directory))
        return runInitServer(directory, out);
    if (QFileInfo::exists(Database::fileName(directory)))
        fail(QStringLiteral("There is a Vantrel database in %1 already; nothing was changed.")
                 .arg(QDir::toNativeSeparators(directory)));
    if (!QDir().mkpath(directory))
        fail(QStringLiteral("The directory %1 could not be made. Choose a directory you may write.")
                 .arg(QDir::toNativeSeparators(directory)));
    try {
        Tdmglobal dm(directory);
    } catch (const DbError& e) {
        fail(e.message());
    }
    out << QStringLiteral("Created %1\n").arg(QDir::toNativeSeparators(Database::fileName(directory)));
}

// Each table's rows, printed once they are checked.
void runCopy(const QCommandLineParser& p, const Options& o, QTextStream& out)
{
    const QString command = QStringLiteral("copy");
    if (p.isSet(o.database))
        fail(QStringLiteral("copy takes --from and --to, not --database."), Cli::Usage);
    const QString source = location(required(p, o.from, command));
    const QString target = location(required(p, o.to, command));
    requireExisting(source);
    if (!Database::isServerLocation(target) && !QDir().mkpath(target))
        fail(QStringLiteral("The directory %1 could not be made. Choose a directory you may write.")
                 .arg(QDir::toNativeSeparators(target)));
    try {
        Database from(source);
        Database to(target);
        const QVector<CopiedTable> counts = copyDatabase(from, to);
        out << QStringLiteral("Copied %1 to %2:\n").arg(from.displayName(), to.displayName());
        qint64 total = 0;
        for (const CopiedTable& t : counts) {
            out << QStringLiteral("  %1 %2 %3\n").arg(t.table, -10).arg(t.rows).arg(t.rows == 1 ? "row" : "rows");
            total += t.rows;
        }
        out << QStringLiteral("%1 rows in all; every table holds as many rows as the source.\n").arg(total);
    } catch (const DbError& e) {
        fail(e.message());
    }
}

void dispatch(const QCommandLineParser& p, const Options& o, QTextStream& out, QTextStream& err)
{
    const QStringList args = p.positionalArguments();
    const QString command = args.value(0);
    checkChoice(
        command,
        {"export", "report", "generate", "substitute", "swap", "replan", "publish", "notify", "list", "init", "copy"},
        QStringLiteral("The command"));
    // Words past what the command takes are a mistake, not something to ignore.
    const int takes = command == QLatin1String("report") || command == QLatin1String("list") ? 2 : 1;
    if (args.size() > takes)
        fail(QStringLiteral("\"%1\" is more than the command takes. See vantrel --help.")
                 .arg(args.mid(takes).join(QLatin1Char(' '))),
             Cli::Usage);
    if (command == QLatin1String("copy"))
        return runCopy(p, o, out);
    const QString directory = p.isSet(o.database) ? location(p.value(o.database)) : Database::configuredDirectory();
    if (command == QLatin1String("init")) {
        if (!p.isSet(o.database))
            fail(QStringLiteral("init needs --database DIR or URI: the directory to make the database in, or "
                                "the empty PostgreSQL database to make its tables in."),
                 Cli::Usage);
        runInit(directory, out);
        return;
    }
    std::unique_ptr<Tdmglobal> dm = openDatabase(directory);
    try {
        if (command == QLatin1String("export"))
            runExport(p, o, dm->database(), out);
        else if (command == QLatin1String("report"))
            runReport(p, o, dm->database(), out);
        else if (command == QLatin1String("generate"))
            runGenerate(p, o, *dm, out, err);
        else if (command == QLatin1String("publish"))
            runPublish(p, o, dm->database(), out);
        else if (command == QLatin1String("notify"))
            runNotify(p, o, dm->database(), out);
        else if (command == QLatin1String("substitute"))
            runSubstitute(p, o, dm->database(), out);
        else if (command == QLatin1String("swap"))
            runSwap(p, o, dm->database(), out);
        else if (command == QLatin1String("replan"))
            runReplan(p, o, *dm, out);
        else
            runList(p, dm->database(), out);
    } catch (const DbError& e) {
        fail(e.message());
    }
}

}   // namespace

namespace Cli {

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(commandsText));
    const QCommandLineOption help = parser.addHelpOption();
    Options o;
    parser.addOptions({o.database, o.group, o.format, o.player, o.players, o.everyPlayer, o.output, o.yes, o.seed,
                       o.date, o.date2, o.from, o.to, o.out, o.in, o.all, o.baseUrl, o.newLinks, o.since});
    parser.addPositionalArgument(
        "command",
        "export, report, generate, substitute, swap, replan, publish, notify, list, init or copy, "
        "and what it needs.",
        "command [what]");
    int status = Ok;
    try {
        if (!parser.parse(arguments))
            fail(parser.errorText().chopped(parser.errorText().endsWith(QLatin1Char('.')) ? 1 : 0) +
                     QStringLiteral(". See vantrel --help."),
                 Usage);
        if (parser.isSet(help)) {
            out << parser.helpText();
            return Ok;
        }
        if (parser.positionalArguments().isEmpty())
            fail(QStringLiteral("Name a command: export, report, generate, substitute, swap, replan, publish, notify, "
                                "list, init or copy. See vantrel --help."),
                 Usage);
        dispatch(parser, o, out, err);
    } catch (const CliError& e) {
        err << QStringLiteral("vantrel: ") << e.message << '\n';
        status = e.status;
    } catch (const std::exception& e) {
        err << QStringLiteral("vantrel: ") << QString::fromLocal8Bit(e.what()) << '\n';
        status = Failed;
    }
    out.flush();
    err.flush();
    return status;
}

}   // namespace Cli

int runCommandLine(int argc, char* argv[])
{
    // Nothing is shown, but a PDF needs the fonts of a GUI application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    configureApplication();
    QTextStream out(stdout), err(stderr);
    return Cli::run(QCoreApplication::arguments(), out, err);
}
