#include "engine.h"
#include "grouprules.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/runguard.h"
#include "data/transaction.h"
#include "balldutybalance.h"
#include "groupdatasets.h"
#include "league.h"
#include "schedulehost.h"
#include <cmath>

namespace {

constexpr double StartPriority = 5000;
constexpr double PriorityFactor = 0.5;   // placed: x 0.5; group entry not placed: / 0.5
constexpr double LeagueRaise = 100000;   // league entry not placed
constexpr double BallWeight = 0.5;
constexpr int RetriesBeforeLowering = 50;
constexpr int LastRetry = 100;
constexpr int DaysPerWeek = 7;

const char* const WeekdayFlags[DaysPerWeek] = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                               "THURSDAY", "FRIDAY", "SATURDAY"};

// Whatever way a run leaves (its end, a refusal, an answer No, a database
// error), the cursor is normal again and the lists repaint.
class ScreenRestored {
public:
    explicit ScreenRestored(ScheduleHost& h) : host(h) {}
    ~ScreenRestored()
    {
        host.setBusy(false);
        host.suspendUpdates(false);
    }
    ScreenRestored(const ScreenRestored&) = delete;
    ScreenRestored& operator=(const ScreenRestored&) = delete;

private:
    ScheduleHost& host;
};

// The editor's lists show what the file holds once a run ends, also when a
// failure rolled back what the run had written.
class ListsReread {
public:
    explicit ListsReread(GroupDatasets& d) : ds(d) {}
    ~ListsReread()
    {
        try {
            if (ds.tbschedule.state() == Table::State::Insert)
                ds.tbschedule.cancel();
            if (ds.tbplayers.isActive())
                ds.tbplayers.refresh();
        } catch (...) {
            // Unwinding from the failure being shown: the next refresh catches up.
        }
    }
    ListsReread(const ListsReread&) = delete;
    ListsReread& operator=(const ListsReread&) = delete;

private:
    GroupDatasets& ds;
};

}   // namespace

const QString ScheduleEngine::UnequalPlayQuestion =
    QStringLiteral("All Players will not have equal playing time.  Do you want to continue?");
const QString ScheduleEngine::TooFewPerSessionQuestion =
    QStringLiteral("You do no have enough players per session to fill the courts.  You must increase the "
                   "players per session.Do you want to adjust the players per session accordingly?");
const QString ScheduleEngine::TooManyPerSessionQuestion =
    QStringLiteral("You have to many players per session and not enough courts.  You must reduce the the "
                   "players per session.Do you want to adjust the players per session accordingly?");
const QString ScheduleEngine::TooFewEntriesMessage =
    QStringLiteral("You do not have enough assigned players.  You must add players.");
const QString ScheduleEngine::NoEntriesRefusal =
    QStringLiteral("Assign players to the group before generating its schedule.");
const QString ScheduleEngine::NoPlayersPerSessionRefusal = QStringLiteral("Enter the number of players per session.");
const QString ScheduleEngine::NoCourtsRefusal =
    QStringLiteral("Assign at least one court to the group before generating its schedule.");
const QString ScheduleEngine::NoPlayDaysRefusal =
    QStringLiteral("Choose at least one day of the week and a number of weeks.");
const QString ScheduleEngine::ReconcileIncomplete = QStringLiteral("Reconciliation could not even out");
const QString ScheduleEngine::LeagueDayOffWarning =
    QStringLiteral("These matches could not be played on any date free for both sides within a round of the "
                   "planned end, so they were placed on a day off. Move them by hand or change the days off:");

ScheduleEngine::ScheduleEngine(GroupDatasets& datasets, ScheduleHost& h, std::mt19937& random, RunState& s)
    : ds(datasets), host(h), rng(random), state(s), pacer(h)
{
}

ScheduleEngine::~ScheduleEngine() = default;

Database& ScheduleEngine::db()
{
    return ds.tbgroup.database();
}

Query& ScheduleEngine::query(std::unique_ptr<Query>& q, const char* sql)
{
    if (!q) {
        q = std::make_unique<Query>(db(), QString::fromLatin1(sql));
        q->prepare();
    }
    return *q;
}

qint64 ScheduleEngine::writeCount() const
{
    return writes + (league ? league->writeCount() : 0);
}

int ScheduleEngine::execWrite(Query& q)
{
    ++writes;
    return q.execSql();
}

// ------------------------------------------------------------ the run data

// The entries and courts lists as they stand when the run starts; a run
// holds them (and the entries' PRIORITY) in memory and writes every change
// through, so that no list is re-read per pick.
void ScheduleEngine::loadRunData()
{
    groupId = ds.groupId();
    recordKind = ds.recordKind();
    entries.clear();
    indexOfEntry.clear();
    const Table& list = ds.tbplayers;
    for (int row = 0; row < list.recordCount(); ++row) {
        Entry e;
        e.id = list.valueAt(row, "GROUPPLAYERID").toInt();
        e.playerId = list.valueAt(row, "PLAYERID").toInt();
        e.priority = list.valueAt(row, "PRIORITY").toDouble();
        e.number = list.valueAt(row, "GRPSEQNUM").toInt();
        indexOfEntry.insert(e.id, int(entries.size()));
        entries.append(e);
    }
    courts.clear();
    for (int row = 0; row < ds.tbcourtslt.recordCount(); ++row)
        courts.append(ds.tbcourtslt.valueAt(row, "COURTID").toInt());
    mixing = recordKind == RecordKind::Group && ds.tbgroup.asBool("MIXPAIRS");
    seating.clear();
    loaded = true;
}

void ScheduleEngine::ensureLoaded()
{
    if (!loaded)
        loadRunData();
}

int ScheduleEngine::entryIndex(int groupPlayerId) const
{
    return indexOfEntry.value(groupPlayerId, -1);
}

int ScheduleEngine::entryNumber(int groupPlayerId)
{
    const int index = entryIndex(groupPlayerId);
    return index >= 0 ? entries[index].number : 0;
}

// Entries per court when filling a date: singles 2, otherwise 4.
int ScheduleEngine::entriesPerCourt() const
{
    return ds.matchType() == MatchType::Singles ? 2 : 4;
}

// Places a court needs per session: a league's doubles entry is a team of two.
int ScheduleEngine::placesPerCourt() const
{
    return ds.matchType() == MatchType::Singles || isDoublesLeague(ds.recordKind(), ds.matchType()) ? 2 : 4;
}

bool ScheduleEngine::playDay(int k) const
{
    return ds.tbgroup.asBool(QString::fromLatin1(WeekdayFlags[k - 1]));
}

// ------------------------------------------------------------ the whole run

QString ScheduleEngine::RefusalReason()
{
    ensureLoaded();
    const bool group = recordKind == RecordKind::Group;
    if (entries.isEmpty())
        return group ? NoEntriesRefusal
                     : QStringLiteral("Assign players to the league before generating its schedule.");
    if (!ds.tbgroup.asDate("STARTDATE").isValid())
        return QStringLiteral("Enter the start date before generating the schedule.");
    if (QString problem = GroupRules::storedValueProblem(ds.tbgroup); !problem.isEmpty())
        return problem;
    if (!group)
        return LeaguePairing::RefusalReason(int(courts.size()), CountPlayDays(), ds.tbgroup.asInt("DURATION"));
    if (ds.tbgroup.asInt("NUMPERSES") <= 0)
        return NoPlayersPerSessionRefusal;
    // Rows without a court could be neither shown on the grid nor printed.
    if (courts.isEmpty())
        return NoCourtsRefusal;
    if (CountPlayDays() == 0 || ds.tbgroup.asInt("DURATION") <= 0)
        return NoPlayDaysRefusal;
    return {};
}

ScheduleEngine::PlayShare ScheduleEngine::SharePlay(int sessionTotal, int entryCount, int playersPerSession)
{
    const qint64 places = qint64(sessionTotal) * playersPerSession;
    if (entryCount <= 0)
        return {false, 0};
    if (places % entryCount == 0)
        return {true, double(places / entryCount)};
    return {false, sessionTotal / (double(entryCount) / double(playersPerSession))};
}

void ScheduleEngine::GenerateSchedule()
{
    printWanted = false;
    // A second Generate while the first one yields would share its run state.
    if (state.running) {
        Tdmglobal::instance().beep();
        return;
    }
    RunInProgress run(state);
    ScreenRestored screen(host);

    host.setBusy(true);
    ds.savePending();
    state.stopRequest = false;
    host.suspendUpdates(true);

    loadRunData();
    if (const QString refusal = RefusalReason(); !refusal.isEmpty()) {
        host.setBusy(false);
        host.warn(refusal);
        return;
    }
    // Held to the end of the run: another Vantrel's run of this group waits.
    const ScheduleRunGuard runGuard(db(), groupId, ds.tbgroup.asDate("STARTDATE"), ds.tbgroup.asInt("DURATION"));
    if (!runGuard.refusal().isEmpty()) {
        host.setBusy(false);
        host.warn(runGuard.refusal());
        return;
    }
    const bool group = recordKind == RecordKind::Group;
    const QDate startDate = ds.tbgroup.asDate("STARTDATE");
    const int duration = ds.tbgroup.asInt("DURATION");
    runPlayersPerSession = ds.tbgroup.asInt("NUMPERSES");
    const int P = int(entries.size());
    const int C = int(courts.size());
    const int N = runPlayersPerSession;
    state.entryCount = P;
    state.playersPerSession = N;
    state.byeCount = P - N;
    state.roundsWanted = state.roundsBuilt = state.matchCount = state.usedSinceBuild = 0;

    // Every question comes before anything is written: a run the user
    // ends at one leaves the schedule and its counters as they were.
    double total = 0;
    PlayShare share;
    if (group) {
        total = double(duration * CountPlayDays());
        share = SharePlay(duration * CountPlayDays(), P, N);
        ds.tbplayers.first();
        if (!share.equal) {
            host.setBusy(false);
            if (host.ask(UnequalPlayQuestion) == ScheduleHost::No)
                return;
        }
    } else {
        total = (P - 1) * (P * 0.5) * duration / C;
    }
    if (!CheckSessionSize(C, P, N))
        return;

    ListsReread reread(ds);
    host.setBusy(true);
    host.statusMessage(progressPrefix());
    walkWeeks(startDate, duration, total);
    host.setBusy(false);

    reconcileShortfall.clear();
    if (!state.stopRequest && group) {
        host.statusMessage(QStringLiteral("Reconciling Schedule"));
        ReconcileSchedule(share.equal, share.expected);
    }
    BallDutyBalance(db(), &pacer).balance(groupId);
    if (league && !league->daysOff().placementsOnDaysOff().isEmpty())
        host.warn(LeagueDayOffWarning + QLatin1Char('\n') + league->daysOff().placementsOnDaysOff().join('\n'));

    ds.tbplayers.refresh();   // Days On and the weights as the run left them
    host.suspendUpdates(false);
    host.statusMessage(reconcileShortfall.isEmpty() ? QStringLiteral("Schedule completed.")
                                                    : QStringLiteral("Schedule completed.  ") + reconcileShortfall);
    // A window closing after a stop has no use for the printed schedule.
    printWanted = !state.closeRequested;
}

// The counters, the pairings, the old rows and every date are one
// transaction: a failure or a crash before its end leaves the previous
// schedule with its counters and marks. A stop commits the weeks walked so
// far, the partial schedule the user asked for. The write lock is taken at
// the start, so another program cannot write halfway through.
void ScheduleEngine::walkWeeks(const QDate& startDate, int duration, double total)
{
    Transaction walk(db(), Transaction::Lock::AtStart);
    if (recordKind != RecordKind::Group) {
        league = std::make_unique<LeaguePairing>(ds, state, db(), &pacer);
        league->daysOff().setPlan(total, duration);
        league->StartRun(duration);
    }
    ResetPriorities();
    ClearSchedule();
    ds.tbplayers.first();
    readDaysOff();
    walking = true;
    struct WalkEnds {
        bool& walking;
        ~WalkEnds() { walking = false; }
    } walkEnds{walking};
    runWeeks(startDate, total);
    walk.commit();
}

void ScheduleEngine::readDaysOff()
{
    daysOff.clear();
    Query q(db(), "SELECT DISTINCT o.PLAYERID, o.\"DATE\" FROM \"playroff.db\" o, \"GRPPLAYR.db\" g "
                  "WHERE g.GROUPID = :groupid AND o.PLAYERID = g.PLAYERID");
    q.setInteger("groupid", groupId);
    q.prepare();
    q.open();
    for (q.first(); !q.eof(); q.next())
        daysOff.insert({q.asInt("PLAYERID"), q.asDate("DATE")});
    q.close();
}

void ScheduleEngine::ContinueFrom(const QDate& from, double dates, std::unique_ptr<LeaguePairing> pairing)
{
    loadRunData();
    runPlayersPerSession = state.playersPerSession;
    league = std::move(pairing);
    lockedBefore = from;
    runWeeks(from, dates);
    lockedBefore = QDate();
}

QString ScheduleEngine::progressPrefix() const
{
    return recordKind == RecordKind::Group ? QStringLiteral("Scheduling Group ... Please Wait")
                                           : QStringLiteral("Scheduling League ... Please Wait");
}

// A league goes on past its session total until its last round is played.
bool ScheduleEngine::wantsMoreDates(int count, double total)
{
    if (count < total)
        return true;
    return league && !league->AllRoundsPlayed();
}

void ScheduleEngine::runWeeks(const QDate& startDate, double total)
{
    QDate date = startDate;
    int count = 0;
    do {
        for (int k = 1; k <= DaysPerWeek; ++k) {
            if (!playDay(k) || !wantsMoreDates(count, total))
                continue;
            date = MoveToWeekday(date, k);
            if (IsGroupOff(groupId, date))
                continue;
            if (lockedBefore.isValid() && date < lockedBefore)
                continue;
            ++count;
            scheduleDate(date);
        }
        date = date.addDays(DaysPerWeek);
        pacer.checkpoint();
        host.statusMessage(progressPrefix() + QStringLiteral(".  ") + QString::number(PercentComplete(count, total)) +
                           QStringLiteral("% complete."));
    } while (wantsMoreDates(count, total) && !state.stopRequest);
}

void ScheduleEngine::scheduleDate(const QDate& date)
{
    if (recordKind == RecordKind::Group)
        FillGroupDate(runPlayersPerSession, date);
    else
        league->ScheduleLeagueDate(date);
    UpdatePriorities(date);
    AssignHomeAndBalls(date);
    if (recordKind == RecordKind::League)
        league->WeighMatches();
    RefreshPriorityThreshold();
}

int ScheduleEngine::WeekdayNumber(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;   // Qt: Monday 1 ... Sunday 7
}

QDate ScheduleEngine::MoveToWeekday(const QDate& date, int k)
{
    return date.addDays(k - WeekdayNumber(date));
}

int ScheduleEngine::PercentComplete(int count, double total)
{
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    return int(std::nearbyint(count / total * 100));
}

QString ScheduleEngine::ExpectedText(double expected)
{
    return QString::number(expected, 'g', 15);
}

int ScheduleEngine::CountPlayDays() const
{
    int days = 0;
    for (int k = 1; k <= DaysPerWeek; ++k)
        days += playDay(k);
    return days;
}

// ------------------------------------------------------------- the counters

void ScheduleEngine::ResetPriorities()
{
    ensureLoaded();
    Query& q = query(qupriorities, "UPDATE \"GRPPLAYR.db\" SET PRIORITY = :priority, BBPRIORITY = :bbpriority, "
                                   "SESPLAYED = :sesplayed WHERE groupid = :groupid");
    q.setFloat("priority", StartPriority);
    q.setFloat("bbpriority", StartPriority);
    q.setFloat("sesplayed", 0);
    q.setInteger("groupid", groupId);
    execWrite(q);
    for (Entry& e : entries)
        e.priority = StartPriority;
    state.priorityThreshold = StartPriority;
}

void ScheduleEngine::IncSessionsPlayed(int groupPlayerId)
{
    ++writes;
    ds.incSessionsPlayed(groupPlayerId);
}

void ScheduleEngine::decSessionsPlayed(int groupPlayerId)
{
    Query& q = query(qudsesplayed,
                     "UPDATE \"GRPPLAYR.db\" SET SESPLAYED = SESPLAYED - 1 WHERE GROUPPLAYERID = :groupplayerid");
    q.setInteger("groupplayerid", groupPlayerId);
    execWrite(q);
}

// Every entry's new PRIORITY in one statement per date: halved when the
// entry has a row on the date, else doubled (group) or raised (league).
void ScheduleEngine::writePriorities(const QDate& date)
{
    Query& q = query(qupriority,
                     "UPDATE \"GRPPLAYR.db\" SET PRIORITY = CASE WHEN EXISTS (SELECT 1 FROM \"SCHEDULE.db\" s "
                     "WHERE s.GRPPLAYRID = \"GRPPLAYR.db\".GROUPPLAYERID AND s.\"DATE\" = :date) "
                     "THEN PRIORITY * :factor WHEN :league = 1 THEN PRIORITY + :raise ELSE PRIORITY / :divisor END "
                     "WHERE GROUPID = :groupid");
    q.setDate("date", date);
    q.setFloat("factor", PriorityFactor);
    q.setInteger("league", recordKind == RecordKind::Group ? 0 : 1);
    q.setFloat("raise", LeagueRaise);
    q.setFloat("divisor", PriorityFactor);
    q.setInteger("groupid", groupId);
    execWrite(q);
}

void ScheduleEngine::UpdatePriorities(const QDate& date)
{
    ensureLoaded();
    const QSet<int> placed = entriesPlacedOn(date);
    for (Entry& e : entries) {
        if (placed.contains(e.id))
            e.priority *= PriorityFactor;
        else if (recordKind == RecordKind::Group)
            e.priority /= PriorityFactor;
        else
            e.priority += LeagueRaise;
    }
    writePriorities(date);
}

double ScheduleEngine::priorityOf(int groupPlayerId) const
{
    const int index = entryIndex(groupPlayerId);
    return index >= 0 ? entries[index].priority : 0;
}

void ScheduleEngine::RefreshPriorityThreshold()
{
    ensureLoaded();
    Query& q = query(qmaxpriority, "SELECT DISTINCT MAX(PRIORITY) FROM \"GRPPLAYR.db\" WHERE groupid = :groupid");
    q.setInteger("groupid", groupId);
    q.open();
    if (!q.eof() && !q.value(0).isNull())
        state.priorityThreshold = q.value(0).toDouble();
    q.close();
}

// ---------------------------------------------------------------- the tests

bool ScheduleEngine::IsGroupOff(int group, const QDate& date)
{
    return hasRowOn(qgroupoff, "groupoff.DB", "GROUPID", group, date);
}

bool ScheduleEngine::IsPlayerOff(int playerId, const QDate& date)
{
    return hasRowOn(qplayeroff, "playroff.db", "PLAYERID", playerId, date);
}

bool ScheduleEngine::IsScheduled(int groupPlayerId, const QDate& date)
{
    if (date == pendingDate && pendingIds.contains(groupPlayerId))
        return true;
    return hasRowOn(qisscheduled, "SCHEDULE.db", "GRPPLAYRID", groupPlayerId, date);
}

// Whether `table` has a row of `key` on `date`: a day off of a group or a
// player, or a schedule row of an entry.
bool ScheduleEngine::hasRowOn(std::unique_ptr<Query>& q, const char* table, const char* keyColumn, int key,
                              const QDate& date)
{
    const QByteArray sql =
        QByteArray("SELECT 1 FROM \"") + table + "\" WHERE " + keyColumn + " = :key AND \"DATE\" = :date";
    Query& found = query(q, sql.constData());
    found.setInteger("key", key);
    found.setDate("date", date);
    found.open();
    const bool any = !found.isEmpty();
    found.close();
    return any;
}

// IsScheduled for every entry of the group at once: one read per date
// instead of one per entry.
QSet<int> ScheduleEngine::entriesPlacedOn(const QDate& date)
{
    Query& q = query(qscheduledon, "SELECT DISTINCT d.GRPPLAYRID FROM \"SCHEDULE.db\" d, \"GRPPLAYR.db\" d1 "
                                   "WHERE (d.\"DATE\" = :date) AND (d1.GROUPPLAYERID = d.GRPPLAYRID) "
                                   "AND (d1.GROUPID = :groupid)");
    q.setDate("date", date);
    q.setInteger("groupid", groupId);
    q.open();
    QSet<int> placed;
    for (q.first(); !q.eof(); q.next())
        placed.insert(q.value(0).toInt());
    q.close();
    return placed;
}

// ---------------------------------------------------------- filling a date

void ScheduleEngine::ClearSchedule()
{
    ensureLoaded();
    Query& q = query(qclearschedule, "DELETE From \"schedule.db\" WHERE grpplayrid In (SELECT "
                                     "\"grpplayr.db\".\"groupplayerid\" FROM \"grpplayr.db\" WHERE "
                                     "\"grpplayr.db\".\"groupid\" = :groupid)");
    q.setInteger("groupid", groupId);
    execWrite(q);
}

void ScheduleEngine::FillGroupDate(int playersPerSession, const QDate& date)
{
    ensureLoaded();
    // All of the date's picks come first (IsScheduled sees them as placed),
    // so that seating can reorder them before the rows are written.
    QVector<int> picked;
    pendingDate = date;
    for (int j = 1; j <= playersPerSession; ++j) {
        const int id = PickPlayer(date);
        if (id == 0)
            break;
        picked.append(id);
        pendingIds.insert(id);
    }
    pendingIds.clear();
    const QVector<int> courtOf = CourtSeating::courtsOfSeats(int(picked.size()), entriesPerCourt(), int(courts.size()));
    if (mixing) {
        picked = seating.seat(picked, courtOf);
        seating.record(picked, courtOf);
    }
    for (int s = 0; s < picked.size(); ++s)
        insertScheduleRow(date, picked[s], courts.isEmpty() ? 0 : courts[courtOf[s]]);
}

void ScheduleEngine::insertScheduleRow(const QDate& date, int groupPlayerId, int courtId)
{
    ++writes;
    ds.appendScheduleRow(date, groupPlayerId, entryNumber(groupPlayerId), courtId);
    if (date != fillingDate) {
        fillingDate = date;
        placedOnDate.clear();
    }
    placedOnDate.insert(groupPlayerId);
}

int ScheduleEngine::drawIndex()
{
    // Over 0..P, drawn again on 0: uniform over the P entries.
    std::uniform_int_distribution<int> draw(0, int(entries.size()));
    int r = 0;
    while (r == 0)
        r = draw(rng);
    return r - 1;
}

bool ScheduleEngine::passes(const Entry& entry, const QDate& date)
{
    return entry.priority >= state.priorityThreshold && isFree(entry, date);
}

// Neither off nor placed yet on the date; during the walk from memory.
bool ScheduleEngine::isFree(const Entry& entry, const QDate& date)
{
    if (!walking)
        return !IsPlayerOff(entry.playerId, date) && !IsScheduled(entry.id, date);
    return !daysOff.contains({entry.playerId, date}) && !(date == fillingDate && placedOnDate.contains(entry.id)) &&
           !(date == pendingDate && pendingIds.contains(entry.id));
}

// The first entry in list order that may still play on the date, whatever
// its weight; -1 when none may.
int ScheduleEngine::firstFreeEntry(const QDate& date)
{
    for (int i = 0; i < entries.size(); ++i)
        if (isFree(entries[i], date))
            return i;
    return -1;
}

int ScheduleEngine::takeEntry(int index)
{
    const int id = entries[index].id;
    IncSessionsPlayed(id);
    return id;
}

int ScheduleEngine::PickPlayer(const QDate& date)
{
    ensureLoaded();
    if (entries.isEmpty())
        return 0;
    int index = drawIndex();
    if (passes(entries[index], date))
        return takeEntry(index);
    for (int retry = 1; retry <= LastRetry; ++retry) {
        index = drawIndex();
        if (retry > RetriesBeforeLowering)
            state.priorityThreshold *= PriorityFactor;
        pacer.checkpoint();
        if (passes(entries[index], date))
            return takeEntry(index);
    }
    // Every draw failed. An entry that is still free plays rather than one
    // placed twice or on its day off; only when none is free does the last
    // draw play regardless.
    const int free = firstFreeEntry(date);
    return takeEntry(free >= 0 ? free : index);
}

// ---------------------------------------------------------- session size

bool ScheduleEngine::CheckSessionSize(int courtCount, int entryCount, int playersPerSession)
{
    ensureLoaded();
    const int need = courtCount * placesPerCourt();
    bool go = true;
    bool adjust = false;
    if (need > playersPerSession && need <= entryCount) {
        if (host.ask(TooFewPerSessionQuestion) == ScheduleHost::Yes)
            adjust = true;
        else
            go = false;
    }
    if (need < playersPerSession && need <= entryCount) {
        if (host.ask(TooManyPerSessionQuestion) == ScheduleHost::Yes)
            adjust = true;
        else
            go = false;
    }
    if (adjust) {
        // Stored for the next run; the run in progress keeps its figure.
        ds.tbgroup.edit();
        ds.tbgroup.setValue("NUMPERSES", need);
        ++writes;
        ds.tbgroup.post();
    }
    if (need > entryCount) {
        host.warn(TooFewEntriesMessage);
        go = false;
    }
    return go;
}

// --------------------------------------------------------- ball and home

void ScheduleEngine::AssignHomeAndBalls(const QDate& date)
{
    ensureLoaded();
    // Ties of BBPRIORITY go to the lowest GROUPPLAYERID, the entry added first.
    Query& pick = query(
        qbbpriority, "SELECT DISTINCT d.grpplayrid, d.HOME, d1.BBPRIORITY FROM \"SCHEDULE.db\" d, \"GRPPLAYR.db\" d1 "
                     "WHERE (d.\"DATE\" = :date) AND (d1.groupid = :groupid) AND (d1.GROUPPLAYERID = d.GRPPLAYRID) "
                     "AND d.GRPCOURTID = :grpcourtid ORDER BY d1.BBPRIORITY DESC, d.grpplayrid");
    Query& home = query(quhome, "UPDATE \"SCHEDULE.db\" SET HOME= :home WHERE GRPPLAYRID = :grpplayrid AND "
                                "\"SCHEDULE.DB\".\"DATE\" = :date");
    Query& weight = query(qupbbpriority, "UPDATE \"GRPPLAYR.db\" SET BBPRIORITY= BBPRIORITY * :bbweight "
                                         "WHERE GROUPPLAYERID = :groupplayerid");
    for (int courtId : std::as_const(courts)) {
        pick.setDate("date", date);
        pick.setInteger("groupid", groupId);
        pick.setInteger("grpcourtid", courtId);
        pick.open();
        if (!pick.eof()) {
            const int entry = pick.value(0).toInt();
            home.setBool("home", true);
            home.setInteger("grpplayrid", entry);
            home.setDate("date", date);
            execWrite(home);
            weight.setFloat("bbweight", BallWeight);
            weight.setInteger("groupplayerid", entry);
            execWrite(weight);
        }
        pick.close();
    }
}

// ---------------------------------------------------------- reconciliation

// The entries whose play count is not E, lowest GROUPPLAYERID first.
QVector<ReconcileLine> ScheduleEngine::unevenEntries(double expected)
{
    Query& q =
        query(qreconcile, "SELECT DISTINCT d.GROUPPLAYERID, d.SESPLAYED, d1.FNAME, d1.LNAME FROM \"GRPPLAYR.db\" d, "
                          "\"PLAYERS.db\" d1 WHERE (d.GROUPID = :groupid) AND (d.SESPLAYED <> :sesplayed) AND "
                          "(d1.PLAYERID = d.PLAYERID) ORDER BY d.GROUPPLAYERID, d.SESPLAYED, d1.FNAME, d1.LNAME");
    q.setInteger("groupid", groupId);
    q.setFloat("sesplayed", expected);
    q.open();
    QVector<ReconcileLine> lines;
    for (q.first(); !q.eof(); q.next())
        lines.append({int(q.asFloat("SESPLAYED")), q.asInt("GROUPPLAYERID"),
                      q.asString("FNAME") + QLatin1Char(' ') + q.asString("LNAME")});
    q.close();
    return lines;
}

void ScheduleEngine::ReconcileSchedule(bool equalPlay, double expected)
{
    ensureLoaded();
    reconcileShortfall.clear();
    host.setBusy(true);
    state.stopRequest = false;
    const QVector<ReconcileLine> lines = unevenEntries(expected);
    host.setBusy(false);
    if (lines.isEmpty())
        return;
    const int mode = equalPlay ? 1 : 2;
    if (!host.showReconcile(lines, mode, expected) || !equalPlay)
        return;

    host.setBusy(true);
    // The moves are one transaction of their own, committed when the rounds
    // end (also on a stop); a failure leaves the schedule as generated.
    Transaction moves(db(), Transaction::Lock::AtStart);
    evenOut(expected);
    moves.commit();
    host.setBusy(false);
}

// Rounds, each on the first listed entry that may still move: one entry
// that cannot (too many days off) does not keep the others uneven. A move
// changes what the others can do, so after one every entry may try again;
// the rounds end when none of the listed entries can move.
void ScheduleEngine::evenOut(double expected)
{
    QSet<int> stuck;
    for (;;) {
        const QVector<ReconcileLine> uneven = unevenEntries(expected);
        const auto next = std::find_if(uneven.cbegin(), uneven.cend(),
                                       [&](const ReconcileLine& l) { return !stuck.contains(l.groupPlayerId); });
        if (next == uneven.cend()) {
            QStringList why;
            for (const ReconcileLine& line : uneven)
                why << whyUneven(line, expected);
            if (!why.isEmpty()) {
                reconcileShortfall = ReconcileIncomplete + QStringLiteral(": ") + why.join(QStringLiteral("; ")) +
                                     QStringLiteral(". Check their days off.");
                host.statusMessage(reconcileShortfall);
            }
            return;
        }
        const bool moved = next->sessionsPlayed > expected ? GiveDate(next->groupPlayerId, expected)
                                                           : TakeDate(next->groupPlayerId, expected);
        if (moved)
            stuck.clear();
        else
            stuck.insert(next->groupPlayerId);
        pacer.checkpoint();
        if (state.stopRequest)
            return;
    }
}

QString ScheduleEngine::whyUneven(const ReconcileLine& line, double expected)
{
    const QString counts = QStringLiteral("%1 plays %2 dates, not %3")
                               .arg(line.playerName)
                               .arg(line.sessionsPlayed)
                               .arg(ExpectedText(expected));
    return line.sessionsPlayed > expected
               ? counts + QStringLiteral(" (no one who plays fewer is free on those dates)")
               : counts + QStringLiteral(" (every date others could give is a day off or already played)");
}

namespace {

QVector<QDate> datesOf(Query& q, int groupPlayerId)
{
    q.setInteger("grpplayrid", groupPlayerId);
    q.open();
    QVector<QDate> dates;
    for (q.first(); !q.eof(); q.next())
        dates.append(q.asDate("DATE"));
    q.close();
    return dates;
}

QVector<int> entriesOf(Query& q, int groupId, double expected)
{
    q.setInteger("groupid", groupId);
    q.setFloat("threshold", expected);
    q.open();
    QVector<int> ids;
    for (q.first(); !q.eof(); q.next())
        ids.append(q.asInt("GROUPPLAYERID"));
    q.close();
    return ids;
}

}   // namespace

bool ScheduleEngine::GiveDate(int overPlayed, double expected)
{
    ensureLoaded();
    Query& dates = query(qdates, "SELECT DISTINCT \"SCHEDULE.db\".\"DATE\" FROM \"SCHEDULE.db\" WHERE "
                                 "(GRPPLAYRID = :grpplayrid) ORDER BY \"SCHEDULE.db\".\"DATE\" DESC");
    // Candidates with equal counts in GROUPPLAYERID order.
    Query& under =
        query(qgivedate, "SELECT DISTINCT GROUPPLAYERID, SESPLAYED FROM \"GRPPLAYR.db\" WHERE "
                         "(GROUPID = :groupid) AND (SESPLAYED < :threshold) ORDER BY SESPLAYED, GROUPPLAYERID");
    const QVector<QDate> days = datesOf(dates, overPlayed);
    const QVector<int> candidates = entriesOf(under, groupId, expected);
    bool given = false;
    for (const QDate& d : days) {
        for (int r : candidates) {
            const int index = entryIndex(r);
            const int playerId = index >= 0 ? entries[index].playerId : 0;
            if (!IsScheduled(r, d) && !IsPlayerOff(playerId, d)) {
                moveScheduleRow(overPlayed, d, r);
                IncSessionsPlayed(r);
                given = true;
                break;
            }
        }
        if (given)
            break;
    }
    // Nobody can take a date: the row stays, rather than leave its court a
    // player short, and the entry stays over-played.
    if (given)
        decSessionsPlayed(overPlayed);
    return given;
}

bool ScheduleEngine::TakeDate(int underPlayed, double expected)
{
    ensureLoaded();
    Query& dates = query(qdates, "SELECT DISTINCT \"SCHEDULE.db\".\"DATE\" FROM \"SCHEDULE.db\" WHERE "
                                 "(GRPPLAYRID = :grpplayrid) ORDER BY \"SCHEDULE.db\".\"DATE\" DESC");
    // Givers with equal counts in GROUPPLAYERID order.
    Query& over =
        query(qgetdate, "SELECT DISTINCT GROUPPLAYERID, SESPLAYED FROM \"GRPPLAYR.db\" WHERE "
                        "(GROUPID = :groupid) AND (SESPLAYED > :threshold) ORDER BY SESPLAYED, GROUPPLAYERID");
    const int index = entryIndex(underPlayed);
    const int playerId = index >= 0 ? entries[index].playerId : 0;
    for (int giver : entriesOf(over, groupId, expected))
        for (const QDate& d : datesOf(dates, giver))
            if (!IsScheduled(underPlayed, d) && !IsPlayerOff(playerId, d)) {
                moveScheduleRow(giver, d, underPlayed);
                decSessionsPlayed(giver);
                IncSessionsPlayed(underPlayed);
                return true;
            }
    return false;
}

// One row changes hands: it keeps its date, court and HOME mark and takes
// the receiver's entry number, which the printed schedule shows.
void ScheduleEngine::moveScheduleRow(int from, const QDate& date, int to)
{
    Query& q = query(qmoveschedule,
                     "UPDATE \"SCHEDULE.db\" SET GRPPLAYRID = :receiver, SLOTCODE = :slotcode WHERE SCHEDULEID = "
                     "(SELECT MIN(SCHEDULEID) FROM \"SCHEDULE.db\" WHERE GRPPLAYRID = :giver AND \"DATE\" = :date)");
    q.setInteger("receiver", to);
    q.setInteger("slotcode", entryNumber(to));
    q.setInteger("giver", from);
    q.setDate("date", date);
    execWrite(q);
}
