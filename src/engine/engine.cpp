#include "engine.h"
#include "balldutybalance.h"
#include "grouprules.h"
#include "league.h"
#include "planwriter.h"
#include "schedulehost.h"
#include "seasonchanges.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/dberror.h"
#include "data/query.h"
#include "data/runguard.h"
#include "data/transaction.h"
#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <tuple>

namespace {

constexpr double StartPriority = 5000;
constexpr double PriorityFactor = 0.5;   // placed: x 0.5; group entry not placed: / 0.5
constexpr double LeagueRaise = 100000;   // league entry not placed
constexpr double BallWeight = 0.5;
constexpr int RetriesBeforeLowering = 50;
constexpr int LastRetry = 100;
constexpr int DaysPerWeek = 7;
// Faults listed in one message; the rest are counted.
constexpr int FaultsShown = 12;
// Entry-to-entry steps a search for a chain of moves may take.
constexpr qint64 ChainBudget = 20'000'000;

qint64 entryDateKey(int index, const QDate& date)
{
    return (qint64(index) << 32) | qint64(date.toJulianDay() & 0xffffffff);
}

QString listed(const QStringList& lines)
{
    QStringList shown = lines.mid(0, FaultsShown);
    if (lines.size() > FaultsShown)
        shown << QStringLiteral("... and %1 more.").arg(lines.size() - FaultsShown);
    return shown.join(QLatin1Char('\n'));
}

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
const QString ScheduleEngine::MoreThanEntriesRefusal =
    QStringLiteral("This group has %1 players per session but only %2 players. Lower the players per session to "
                   "%2 or fewer, or assign more players.");
const QString ScheduleEngine::NoCourtsRefusal =
    QStringLiteral("Assign at least one court to the group before generating its schedule.");
const QString ScheduleEngine::NoPlayDaysRefusal =
    QStringLiteral("Choose at least one day of the week and a number of weeks.");
const QString ScheduleEngine::ReconcileIncomplete = QStringLiteral("Reconciliation could not even out");
const QString ScheduleEngine::LeagueDayOffQuestion =
    QStringLiteral("These matches could not be played on any date free for both sides within a round of the "
                   "planned end, so they are placed on a day off:\n%1\nKeep them there? No leaves the schedule as "
                   "it was; then change the days off or the rounds and generate again.");
const QString ScheduleEngine::FaultyPlanMessage =
    QStringLiteral("The schedule this run made breaks the scheduling rules:\n%1");
const QString ScheduleEngine::GroupChangedMessage =
    QStringLiteral("Another Vantrel changed this group's players, courts, settings or days off while the schedule "
                   "was being made, so nothing was written. Generate the schedule again.");

const QString ScheduleEngine::ReplaceHistoryQuestion =
    QStringLiteral("%1 already has a schedule with %2. Generating it again replaces the whole schedule, and %3 "
                   "lost. To change only the rest of the season, use Re-plan in the season window. Generate it "
                   "again anyway?");

ScheduleEngine::ScheduleEngine(Database& db, int group, ScheduleHost& h, std::mt19937& random, RunState& s)
    : database(db), groupId(group), host(h), rng(random), state(s), pacer(h)
{
}

ScheduleEngine::~ScheduleEngine() = default;

// ------------------------------------------------------------ the run data

void ScheduleEngine::ensureLoaded()
{
    if (loaded)
        return;
    setupData = GroupSetup::read(database, groupId);
    schedule = SchedulePlan();
    schedule.league = !setupData.isGroup();
    schedule.playersPerSession = setupData.playersPerSession;
    for (const SetupEntry& e : setupData.entries)
        schedule.counters.append({e.priority, e.ballPriority, int(e.played)});
    rowIndex.clear();
    rowsByDate.clear();
    rowsOfEntry = QVector<QVector<int>>(setupData.entries.size());
    placedOnDate.clear();
    fillingDate = QDate();
    seating.clear();
    loaded = true;
}

const GroupSetup& ScheduleEngine::setup()
{
    ensureLoaded();
    return setupData;
}

std::unique_ptr<LeaguePairing> ScheduleEngine::makeLeaguePairing()
{
    ensureLoaded();
    return std::make_unique<LeaguePairing>(*this, state, &pacer);
}

void ScheduleEngine::addPlanRow(const PlanRow& row)
{
    const int at = int(schedule.rows.size());
    schedule.rows.append(row);
    rowsByDate[row.date].append(at);
    const int index = setupData.indexOf(row.entry);
    if (index < 0)
        return;
    rowsOfEntry[index].append(at);
    rowIndex.insert(entryDateKey(index, row.date), rowIndex.value(entryDateKey(index, row.date), at));
}

int ScheduleEngine::rowOf(int index, const QDate& date) const
{
    return rowIndex.value(entryDateKey(index, date), -1);
}

// One row changes hands: it keeps its date, court and HOME mark and takes
// the receiver's entry number, which the printed schedule shows.
void ScheduleEngine::moveRow(int row, int toIndex)
{
    PlanRow& r = schedule.rows[row];
    const int fromIndex = setupData.indexOf(r.entry);
    rowsOfEntry[fromIndex].removeOne(row);
    const qint64 fromKey = entryDateKey(fromIndex, r.date);
    if (rowIndex.value(fromKey) == row) {
        rowIndex.remove(fromKey);
        for (int other : std::as_const(rowsOfEntry[fromIndex]))
            if (schedule.rows[other].date == r.date && other < rowIndex.value(fromKey, INT_MAX))
                rowIndex.insert(fromKey, other);
    }
    r.entry = entryId(toIndex);
    r.number = setupData.entries[toIndex].number;
    rowsOfEntry[toIndex].append(row);
    const qint64 toKey = entryDateKey(toIndex, r.date);
    rowIndex.insert(toKey, std::min(row, rowIndex.value(toKey, INT_MAX)));
}

// ------------------------------------------------------------ the whole run

QString ScheduleEngine::RefusalReason()
{
    ensureLoaded();
    if (!setupData.exists())
        return ScheduleRunGuard::GroupGone;
    const bool group = setupData.isGroup();
    const int entries = int(setupData.entries.size());
    if (entries == 0)
        return group ? NoEntriesRefusal
                     : QStringLiteral("Assign players to the league before generating its schedule.");
    if (!setupData.startDate.isValid())
        return QStringLiteral("Enter the start date before generating the schedule.");
    if (QString problem = GroupRules::storedValueProblem(setupData); !problem.isEmpty())
        return problem;
    if (!group)
        return LeaguePairing::RefusalReason(int(setupData.courts.size()), CountPlayDays(), setupData.duration);
    if (setupData.playersPerSession <= 0)
        return NoPlayersPerSessionRefusal;
    // More places than entries would put someone on two courts of one date.
    if (setupData.playersPerSession > entries)
        return MoreThanEntriesRefusal.arg(setupData.playersPerSession).arg(entries);
    // Rows without a court could be neither shown on the grid nor printed.
    if (setupData.courts.isEmpty())
        return NoCourtsRefusal;
    if (CountPlayDays() == 0 || setupData.duration <= 0)
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
    planWritten = false;
    // A second Generate while the first one yields would share its run state.
    if (state.running) {
        Tdmglobal::instance().beep();
        return;
    }
    RunInProgress run(state);
    ScreenRestored screen(host);

    host.setBusy(true);
    state.stopRequest = false;
    host.suspendUpdates(true);

    loaded = false;
    ensureLoaded();
    if (const QString refusal = RefusalReason(); !refusal.isEmpty()) {
        host.setBusy(false);
        host.warn(refusal);
        return;
    }
    // Held to the end of the run: another Vantrel's run of this group waits.
    const ScheduleRunGuard runGuard(database, groupId, setupData.startDate, setupData.duration);
    if (!runGuard.refusal().isEmpty()) {
        host.setBusy(false);
        host.warn(runGuard.refusal());
        return;
    }
    const bool group = setupData.isGroup();
    const int duration = setupData.duration;
    const int P = int(setupData.entries.size());
    const int C = int(setupData.courts.size());
    state.entryCount = P;
    state.roundsWanted = state.roundsBuilt = state.matchCount = state.usedSinceBuild = 0;

    // Every question comes before anything is written, and the players per
    // session first: the run places the figure the organiser accepted.
    host.setBusy(false);
    if (!mayReplaceHistory())
        return;
    if (!CheckSessionSize(C, P, setupData.playersPerSession))
        return;
    const int N = schedule.playersPerSession;
    state.playersPerSession = N;
    state.byeCount = P - N;
    double total = 0;
    PlayShare share;
    if (group) {
        total = double(duration * CountPlayDays());
        share = SharePlay(duration * CountPlayDays(), P, N);
        if (!share.equal && host.ask(UnequalPlayQuestion) == ScheduleHost::No)
            return;
    } else {
        total = (P - 1) * (P * 0.5) * duration / C;
    }

    host.setBusy(true);
    host.statusMessage(progressPrefix());
    walkWeeks(setupData.startDate, duration, total);
    host.setBusy(false);

    reconcileShortfall.clear();
    if (!state.stopRequest && group) {
        host.statusMessage(QStringLiteral("Reconciling Schedule"));
        ReconcileSchedule(share.equal, share.expected);
    }
    host.setBusy(true);
    balanceBallDuty();
    host.setBusy(false);
    if (!acceptPlan()) {
        host.statusMessage(QStringLiteral("The schedule was not changed."));
        return;
    }
    host.setBusy(true);
    writeChecked();
    host.setBusy(false);
    if (!planWritten) {
        host.statusMessage(QStringLiteral("The schedule was not changed."));
        return;
    }
    host.suspendUpdates(false);
    host.statusMessage(completionMessage());
    // A window closing after a stop has no use for the printed schedule.
    printWanted = !state.closeRequested;
}

// Results and dates already played go with the old schedule: the organiser
// is asked first, and the command line refuses without --yes.
bool ScheduleEngine::mayReplaceHistory()
{
    // Asked of the entries' index by date, so that a schedule all still to
    // come costs nothing to check however large it is; results exist only
    // in leagues.
    Query dates(database, "SELECT COUNT(DISTINCT s.\"DATE\") AS PAST FROM \"SCHEDULE.db\" s, \"GRPPLAYR.db\" g "
                          "WHERE g.GROUPID = :groupid AND s.GRPPLAYRID = g.GROUPPLAYERID AND s.\"DATE\" < :today");
    dates.setInteger("groupid", groupId);
    dates.setDate("today", QDate::currentDate());
    dates.open();
    const int past = dates.asInt("PAST");
    int results = 0;
    if (!setupData.isGroup()) {
        // A match's result is on both its rows; its first row names the opponent.
        Query won(database, "SELECT COUNT(*) AS RESULTS FROM \"SCHEDULE.db\" s, \"GRPPLAYR.db\" g WHERE "
                            "g.GROUPID = :groupid AND s.GRPPLAYRID = g.GROUPPLAYERID AND s.WINNER > 0 AND "
                            "s.VSGRPPLAYRID IS NOT NULL");
        won.setInteger("groupid", groupId);
        won.open();
        results = won.asInt("RESULTS");
    }
    if (past == 0 && results == 0)
        return true;
    QStringList held, lost;
    if (results > 0) {
        held << (results == 1 ? QStringLiteral("1 result") : QStringLiteral("%1 results").arg(results));
        lost << QStringLiteral("the results");
    }
    if (past > 0) {
        held << (past == 1 ? QStringLiteral("1 date before today") : QStringLiteral("%1 dates before today").arg(past));
        lost << QStringLiteral("the dates already played");
    }
    return host.ask(ReplaceHistoryQuestion.arg(setupData.name, held.join(QStringLiteral(" and ")),
                                               lost.join(QStringLiteral(" and ")) + QStringLiteral(" are"))) ==
           ScheduleHost::Yes;
}

// A plan is written only when it keeps the rules, or when the organiser
// chooses to keep one that does not; placements on a day off are asked
// about by name first.
bool ScheduleEngine::acceptPlan()
{
    if (!schedule.dayOffNotes.isEmpty() &&
        host.ask(LeagueDayOffQuestion.arg(schedule.dayOffNotes.join(QLatin1Char('\n')))) == ScheduleHost::No)
        return false;
    const QStringList problems = planProblems(setupData, schedule, {}, &pacer);
    return problems.isEmpty() || host.keepFaultySchedule(FaultyPlanMessage.arg(listed(problems)));
}

// The write takes the write lock, then makes sure nobody changed the group
// since it was read: the plan was made for the group as it was.
void ScheduleEngine::writeChecked()
{
    Transaction writing(database, Transaction::Lock::AtStart);
    if (!GroupSetup::read(database, groupId).sameForRun(setupData)) {
        host.warn(GroupChangedMessage);
        return;
    }
    writeOverSchedule();
    writing.commit();
    planWritten = true;
}

// A run over a schedule the players already have tells them what moved; a
// first one tells nobody anything, so it logs nothing (and reads nothing).
void ScheduleEngine::writeOverSchedule()
{
    Query held(database, "SELECT 1 FROM \"SCHEDULE.db\" s, \"GRPPLAYR.db\" g WHERE g.GROUPPLAYERID = s.GRPPLAYRID "
                         "AND g.GROUPID = :groupid LIMIT 1");
    held.setInteger("groupid", groupId);
    held.open();
    if (held.eof()) {
        PlanWriter(database, &pacer).write(setupData, schedule);
        return;
    }
    Transaction writing(database, Transaction::Lock::AtStart);
    const Season before = loadSeason(database, groupId);
    pacer.checkpoint();
    PlanWriter(database, &pacer).write(setupData, schedule);
    pacer.checkpoint();
    logSeasonChanges(database, before, loadSeason(database, groupId));
    writing.commit();
}

void ScheduleEngine::adoptSchedule()
{
    loaded = false;
    ensureLoaded();
    const SchedulePlan held = SchedulePlan::read(database, setupData);
    for (const PlanRow& r : held.rows)
        addPlanRow(r);
}

void ScheduleEngine::writePlan()
{
    ensureLoaded();
    writeOverSchedule();
}

QString ScheduleEngine::completionMessage() const
{
    QString text = QStringLiteral("Schedule completed.");
    // How many dates a league took past its fewest, then the dates short of
    // players: they are often why the counts stay uneven.
    if (!leagueShortfall.isEmpty())
        text += QStringLiteral("  ") + leagueShortfall;
    if (!schedule.shortDates.isEmpty()) {
        QStringList dates;
        for (const ShortDate& d : schedule.shortDates)
            dates << shortDateText(d);
        const int count = int(dates.size());
        if (count > 5)
            dates = dates.mid(0, 5) << QStringLiteral("and %1 more").arg(count - 5);
        const QString many = count == 1 ? QStringLiteral("1 date") : QStringLiteral("%1 dates").arg(count);
        // A league's court stays empty when no open pairing is free for it,
        // which days off on earlier dates can cause as well.
        if (setupData.isGroup())
            text += QStringLiteral("  %1 could not be filled, too few players being free: %2.")
                        .arg(many, dates.join(QStringLiteral("; ")));
        else
            text += QStringLiteral("  Courts stayed empty on %1, no open pairing being free for them: %2.")
                        .arg(many, dates.join(QStringLiteral("; ")));
    }
    if (!reconcileShortfall.isEmpty())
        text += QStringLiteral("  ") + reconcileShortfall;
    return text;
}

void ScheduleEngine::walkWeeks(const QDate& startDate, int duration, double total)
{
    if (!setupData.isGroup()) {
        league = makeLeaguePairing();
        league->daysOff().setPlan(total, duration);
        league->StartRun(duration);
    }
    ResetPriorities();
    runWeeks(startDate, total);
    schedule.stopped = state.stopRequest;
    // Days off can keep courts empty; then the rounds need more dates than
    // their fewest, and the organiser hears how many.
    leagueShortfall.clear();
    if (league && !schedule.stopped && league->AllRoundsPlayed()) {
        const int fewest =
            LeaguePairing::FewestDates(int(setupData.entries.size()), int(setupData.courts.size()), duration);
        const bool daysOff = std::any_of(schedule.shortDates.cbegin(), schedule.shortDates.cend(),
                                         [](const ShortDate& d) { return d.entriesOff > 0; });
        if (const int extra = league->datesUsed() - fewest; extra > 0)
            leagueShortfall =
                QStringLiteral("The rounds take %1 dates, %2 more than the %3 they need at the fewest: %4")
                    .arg(league->datesUsed())
                    .arg(extra)
                    .arg(fewest)
                    .arg(daysOff ? QStringLiteral("players' days off left courts empty.")
                                 : QStringLiteral("the pairings still open could not fill every court."));
    }
}

void ScheduleEngine::ContinueFrom(const QDate& from, double dates, std::unique_ptr<LeaguePairing> pairing)
{
    ensureLoaded();
    schedule.playersPerSession = state.playersPerSession;
    league = std::move(pairing);
    lockedBefore = from;
    runWeeks(from, dates);
    lockedBefore = QDate();

    QVector<PlanRow> kept;
    for (const PlanRow& r : SchedulePlan::read(database, setupData).rows)
        if (r.date < from)
            kept.append(r);
    if (const QStringList problems = planProblems(setupData, schedule, kept, &pacer); !problems.isEmpty())
        throw DbError(QStringLiteral("The re-planned dates would break the scheduling rules, so nothing was "
                                     "changed:\n") +
                      listed(problems));
    PlanWriter(database, &pacer).write(setupData, schedule, from);
}

QString ScheduleEngine::progressPrefix() const
{
    return setupData.isGroup() ? QStringLiteral("Scheduling Group ... Please Wait")
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
            if (!setupData.playDays[k - 1] || !wantsMoreDates(count, total))
                continue;
            date = MoveToWeekday(date, k);
            if (IsGroupOff(date))
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
    if (league) {
        schedule.dayOffNotes = league->daysOff().placementsOnDaysOff();
        schedule.placedOnDayOff = league->daysOff().entriesPlacedOff();
    }
}

void ScheduleEngine::scheduleDate(const QDate& date)
{
    if (setupData.isGroup())
        FillGroupDate(schedule.playersPerSession, date);
    else
        league->ScheduleLeagueDate(date);
    UpdatePriorities(date);
    AssignHomeAndBalls(date);
    if (!setupData.isGroup())
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

int ScheduleEngine::CountPlayDays()
{
    ensureLoaded();
    return setupData.playDayCount();
}

// ------------------------------------------------------------- the counters

void ScheduleEngine::ResetPriorities()
{
    ensureLoaded();
    for (PlanCounters& c : schedule.counters)
        c = {StartPriority, StartPriority, 0};
    state.priorityThreshold = StartPriority;
}

void ScheduleEngine::IncSessionsPlayed(int groupPlayerId)
{
    ensureLoaded();
    if (const int index = setupData.indexOf(groupPlayerId); index >= 0)
        schedule.counters[index].played += 1;
}

// Halved when the entry has a row on the date, else doubled (group) or
// raised (league).
void ScheduleEngine::UpdatePriorities(const QDate& date)
{
    ensureLoaded();
    for (int i = 0; i < schedule.counters.size(); ++i) {
        double& priority = schedule.counters[i].priority;
        if (!setupData.isGroup())
            priority = LeaguePriority(priority, rowOf(i, date) >= 0);
        else if (rowOf(i, date) >= 0)
            priority *= PriorityFactor;
        else
            priority /= PriorityFactor;
    }
}

double ScheduleEngine::LeaguePriority(double priority, bool played)
{
    return played ? priority * PriorityFactor : priority + LeagueRaise;
}

double ScheduleEngine::priorityOf(int groupPlayerId) const
{
    const int index = setupData.indexOf(groupPlayerId);
    return index >= 0 ? schedule.counters[index].priority : 0;
}

void ScheduleEngine::RefreshPriorityThreshold()
{
    ensureLoaded();
    if (schedule.counters.isEmpty())
        return;
    state.priorityThreshold =
        std::max_element(schedule.counters.cbegin(), schedule.counters.cend(), [](const auto& a, const auto& b) {
            return a.priority < b.priority;
        })->priority;
}

// ---------------------------------------------------------------- the tests

bool ScheduleEngine::IsGroupOff(const QDate& date)
{
    ensureLoaded();
    return setupData.groupDaysOff.contains(date);
}

bool ScheduleEngine::IsPlayerOff(int playerId, const QDate& date)
{
    ensureLoaded();
    return setupData.playerOff(playerId, date);
}

bool ScheduleEngine::IsScheduled(int groupPlayerId, const QDate& date)
{
    ensureLoaded();
    const int index = setupData.indexOf(groupPlayerId);
    return index >= 0 && ((date == fillingDate && placedOnDate.contains(index)) || rowOf(index, date) >= 0);
}

// ---------------------------------------------------------- filling a date

void ScheduleEngine::FillGroupDate(int playersPerSession, const QDate& date)
{
    ensureLoaded();
    // All of the date's picks come first (a pick sees the earlier ones as
    // placed), so that seating can reorder them before the rows are made.
    startFilling(date);
    QVector<int> picked;
    for (int j = 1; j <= playersPerSession; ++j) {
        const int id = PickPlayer(date);
        if (id == 0)
            break;
        picked.append(id);
        pacer.checkpoint();
    }
    const QVector<int>& courts = setupData.courts;
    const QVector<int> courtOf =
        CourtSeating::courtsOfSeats(int(picked.size()), setupData.entriesPerCourt(), int(courts.size()));
    if (setupData.mixPairs) {
        picked = seating.seat(picked, courtOf);
        seating.record(picked, courtOf);
    }
    for (int s = 0; s < picked.size(); ++s)
        addPlanRow({date, picked[s], setupData.entries[setupData.indexOf(picked[s])].number,
                    courts.isEmpty() ? 0 : courts[courtOf[s]]});
    // The seats nobody free could take stay empty, and the organiser hears why.
    if (picked.size() < playersPerSession) {
        int off = 0;
        for (int i = 0; i < setupData.entries.size(); ++i)
            off += setupData.entryOff(i, date);
        schedule.shortDates.append({date, int(picked.size()), playersPerSession, off, int(setupData.entries.size())});
    }
}

int ScheduleEngine::drawIndex()
{
    // Over 0..P, drawn again on 0: uniform over the P entries.
    std::uniform_int_distribution<int> draw(0, int(setupData.entries.size()));
    int r = 0;
    while (r == 0)
        r = draw(rng);
    return r - 1;
}

bool ScheduleEngine::passes(int index, const QDate& date)
{
    return schedule.counters[index].priority >= state.priorityThreshold && isFree(index, date);
}

// Neither off nor placed yet on the date.
bool ScheduleEngine::isFree(int index, const QDate& date)
{
    return !setupData.entryOff(index, date) && !(date == fillingDate && placedOnDate.contains(index)) &&
           rowOf(index, date) < 0;
}

// The first entry in list order that may still play on the date, whatever
// its weight; -1 when none may.
int ScheduleEngine::firstFreeEntry(const QDate& date)
{
    for (int i = 0; i < setupData.entries.size(); ++i)
        if (isFree(i, date))
            return i;
    return -1;
}

void ScheduleEngine::startFilling(const QDate& date)
{
    fillingDate = date;
    placedOnDate.clear();
    freeOnDate = -1;
}

// Counted once a date and kept as picks are taken: a date of hundreds of
// picks must not look through every entry at each one.
bool ScheduleEngine::anyoneFree(const QDate& date)
{
    if (date != fillingDate)
        startFilling(date);
    if (freeOnDate < 0) {
        freeOnDate = 0;
        for (int i = 0; i < setupData.entries.size(); ++i)
            freeOnDate += isFree(i, date);
    }
    return freeOnDate > 0;
}

int ScheduleEngine::takeEntry(int index, const QDate& date)
{
    if (date != fillingDate)
        startFilling(date);
    placedOnDate.insert(index);
    if (freeOnDate > 0)
        --freeOnDate;
    schedule.counters[index].played += 1;
    return entryId(index);
}

int ScheduleEngine::PickPlayer(const QDate& date)
{
    ensureLoaded();
    // Nobody free: the seat stays empty rather than take someone twice or
    // on a day off.
    if (!anyoneFree(date))
        return 0;
    int index = drawIndex();
    if (passes(index, date))
        return takeEntry(index, date);
    for (int retry = 1; retry <= LastRetry; ++retry) {
        index = drawIndex();
        if (retry > RetriesBeforeLowering)
            state.priorityThreshold *= PriorityFactor;
        pacer.checkpoint();
        if (passes(index, date))
            return takeEntry(index, date);
    }
    // Every draw failed: the first entry still free plays.
    return takeEntry(firstFreeEntry(date), date);
}

// ---------------------------------------------------------- session size

bool ScheduleEngine::CheckSessionSize(int courtCount, int entryCount, int playersPerSession)
{
    ensureLoaded();
    const int need = courtCount * setupData.placesPerCourt();
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
    // Stored with the schedule, and placed by this very run.
    if (adjust) {
        schedule.playersPerSession = need;
        schedule.storePlayersPerSession = true;
    }
    if (need > entryCount) {
        host.warn(TooFewEntriesMessage);
        go = false;
    }
    return go;
}

// --------------------------------------------------------- ball and home

// Per court, the entry with the highest BBPRIORITY brings the balls and is
// home; ties go to the lowest GROUPPLAYERID, the entry added first.
void ScheduleEngine::AssignHomeAndBalls(const QDate& date)
{
    ensureLoaded();
    const QVector<int> rowsOfDate = rowsByDate.value(date);
    QHash<int, QVector<int>> byCourt;
    for (int row : rowsOfDate)
        byCourt[schedule.rows[row].court].append(row);
    for (int courtId : std::as_const(setupData.courts)) {
        int best = -1;
        for (int row : byCourt.value(courtId)) {
            const int index = setupData.indexOf(schedule.rows[row].entry);
            if (index < 0)
                continue;
            if (best < 0) {
                best = index;
                continue;
            }
            const double weight = schedule.counters[index].ballPriority;
            const double bestWeight = schedule.counters[best].ballPriority;
            if (weight > bestWeight || (weight == bestWeight && entryId(index) < entryId(best)))
                best = index;
        }
        if (best < 0)
            continue;
        for (int row : rowsOfDate)
            if (schedule.rows[row].entry == entryId(best))
                schedule.rows[row].home = true;
        schedule.counters[best].ballPriority *= BallWeight;
    }
}

// Reconciliation hands marked rows to other entries: the marks are evened
// out over the season before anything is written.
void ScheduleEngine::balanceBallDuty()
{
    QVector<int> order(schedule.rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const PlanRow &x = schedule.rows[a], &y = schedule.rows[b];
        return std::tie(x.date, x.court, a) < std::tie(y.date, y.court, b);
    });
    QVector<BallDutyBalance::DutyRow> rows;
    rows.reserve(order.size());
    for (int i : std::as_const(order)) {
        const PlanRow& r = schedule.rows[i];
        rows.append({i, r.entry, r.date, r.court, r.home});
    }
    QVector<int> ids;
    for (const SetupEntry& e : std::as_const(setupData.entries))
        ids.append(e.id);
    const QVector<int> marks = BallDutyBalance(&pacer).balanceRows(rows, ids);
    for (const BallDutyBalance::DutyRow& r : std::as_const(rows))
        schedule.rows[int(r.id)].home = r.home;
    for (int i = 0; i < marks.size(); ++i)
        schedule.counters[i].ballPriority = BallDutyBalance::ballPriority(marks[i]);
}

// ---------------------------------------------------------- reconciliation

// The entries whose play count is not E, lowest GROUPPLAYERID first.
QVector<ReconcileLine> ScheduleEngine::unevenEntries(double expected)
{
    QVector<ReconcileLine> lines;
    for (int i = 0; i < setupData.entries.size(); ++i)
        if (schedule.counters[i].played != expected)
            lines.append({schedule.counters[i].played, entryId(i), setupData.entries[i].player.fullName()});
    return lines;
}

void ScheduleEngine::ReconcileSchedule(bool equalPlay, double expected)
{
    ensureLoaded();
    reconcileShortfall.clear();
    state.stopRequest = false;
    const QVector<ReconcileLine> lines = unevenEntries(expected);
    if (lines.isEmpty())
        return;
    const int mode = equalPlay ? 1 : 2;
    if (!host.showReconcile(lines, mode, expected) || !equalPlay)
        return;
    host.setBusy(true);
    evenOut(expected);
    host.setBusy(false);
}

// Rounds, each on the first listed entry that may still move: one entry
// that cannot (too many days off) does not keep the others uneven. A move
// changes what the others can do, so after one every entry may try again.
// When no single move is left, a chain through entries that play E dates
// may still bring an over- and an under-played entry closer.
void ScheduleEngine::evenOut(double expected)
{
    QSet<int> stuck;
    for (;;) {
        const QVector<ReconcileLine> uneven = unevenEntries(expected);
        const auto next = std::find_if(uneven.cbegin(), uneven.cend(),
                                       [&](const ReconcileLine& l) { return !stuck.contains(l.groupPlayerId); });
        if (next == uneven.cend()) {
            bool chained = false;
            for (const ReconcileLine& line : uneven)
                if (line.sessionsPlayed > expected && moveAlongChain(setupData.indexOf(line.groupPlayerId), expected)) {
                    chained = true;
                    break;
                }
            if (chained) {
                stuck.clear();
                continue;
            }
            // With dates left short of players the places cannot all come out even.
            double places = 0;
            for (const PlanCounters& c : std::as_const(schedule.counters))
                places += c.played;
            const bool tooFewPlaces = places < expected * double(schedule.counters.size()) &&
                                      std::none_of(uneven.cbegin(), uneven.cend(),
                                                   [&](const ReconcileLine& l) { return l.sessionsPlayed > expected; });
            QStringList why;
            for (const ReconcileLine& line : uneven)
                why << (tooFewPlaces
                            ? QStringLiteral("%1 plays %2 dates, not %3 (the dates short of free players leave "
                                             "too few places for everyone to play %3)")
                                  .arg(line.playerName)
                                  .arg(line.sessionsPlayed)
                                  .arg(ExpectedText(expected))
                            : whyUneven(line, expected));
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
    return QStringLiteral("%1 plays %2 dates, not %3 (no date can move %4 them, directly or through other players, "
                          "without a day off or a second place on one date)")
        .arg(line.playerName)
        .arg(line.sessionsPlayed)
        .arg(ExpectedText(expected), line.sessionsPlayed > expected ? QStringLiteral("from") : QStringLiteral("to"));
}

// A search from an over-played entry: it hands a date to someone free on
// it, who hands one of theirs on, and so on until an under-played entry
// takes one. Only the two ends change their counts.
bool ScheduleEngine::moveAlongChain(int from, double expected)
{
    const int n = int(setupData.entries.size());
    QVector<int> cameFrom(n, -1), viaRow(n, -1);
    QVector<int> queue{from};
    cameFrom[from] = from;
    qint64 steps = 0;
    for (int head = 0; head < queue.size(); ++head) {
        const int giver = queue[head];
        for (int row : std::as_const(rowsOfEntry[giver])) {
            const QDate date = schedule.rows[row].date;
            for (int taker = 0; taker < n; ++taker) {
                if (++steps % 4096 == 0)
                    pacer.checkpoint();
                if (steps > ChainBudget)
                    return false;
                if (cameFrom[taker] >= 0 || rowOf(taker, date) >= 0 ||
                    setupData.playerOff(setupData.entries[taker].player.id, date))
                    continue;
                cameFrom[taker] = giver;
                viaRow[taker] = row;
                if (schedule.counters[taker].played < expected) {
                    for (int e = taker; e != from; e = cameFrom[e])
                        moveRow(viaRow[e], e);
                    schedule.counters[from].played -= 1;
                    schedule.counters[taker].played += 1;
                    return true;
                }
                queue.append(taker);
            }
        }
    }
    return false;
}

// The dates of an entry, latest first.
QVector<QDate> ScheduleEngine::datesOf(int index) const
{
    QVector<QDate> dates;
    for (int row : rowsOfEntry[index])
        dates.append(schedule.rows[row].date);
    std::sort(dates.begin(), dates.end(), std::greater<QDate>());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}

// Over- or under-played entries, fewest plays first, equal counts in
// GROUPPLAYERID order.
QVector<int> ScheduleEngine::entriesBy(bool over, double expected) const
{
    QVector<int> found;
    for (int i = 0; i < setupData.entries.size(); ++i) {
        const int played = schedule.counters[i].played;
        if (over ? played > expected : played < expected)
            found.append(i);
    }
    std::stable_sort(found.begin(), found.end(),
                     [this](int a, int b) { return schedule.counters[a].played < schedule.counters[b].played; });
    return found;
}

bool ScheduleEngine::GiveDate(int overPlayed, double expected)
{
    ensureLoaded();
    const int over = setupData.indexOf(overPlayed);
    if (over < 0)
        return false;
    const QVector<int> candidates = entriesBy(false, expected);
    for (const QDate& d : datesOf(over))
        for (int r : candidates)
            if (rowOf(r, d) < 0 && !setupData.playerOff(setupData.entries[r].player.id, d)) {
                moveRow(rowOf(over, d), r);
                schedule.counters[r].played += 1;
                schedule.counters[over].played -= 1;
                return true;
            }
    // Nobody can take a date: the row stays, rather than leave its court a
    // player short, and the entry stays over-played.
    return false;
}

bool ScheduleEngine::TakeDate(int underPlayed, double expected)
{
    ensureLoaded();
    const int under = setupData.indexOf(underPlayed);
    if (under < 0)
        return false;
    const int playerId = setupData.entries[under].player.id;
    for (int giver : entriesBy(true, expected))
        for (const QDate& d : datesOf(giver))
            if (rowOf(under, d) < 0 && !setupData.playerOff(playerId, d)) {
                moveRow(rowOf(giver, d), under);
                schedule.counters[giver].played -= 1;
                schedule.counters[under].played += 1;
                return true;
            }
    return false;
}
