#include "replan.h"
#include "balldutybalance.h"
#include "engine.h"
#include "league.h"
#include "runstate.h"
#include "schedulehost.h"
#include "data/database.h"
#include "data/query.h"
#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

constexpr double StartPriority = 5000;
constexpr double BallWeight = 0.5;
constexpr int WeightSpan = 60;   // keeps 2^n well inside a double

QuietHost& quietHost()
{
    static QuietHost host;
    return host;
}

qint64 pairKey(int a, int b)
{
    return (qint64(std::min(a, b)) << 32) | qint64(std::max(a, b));
}

}   // namespace

SeasonReplan::SeasonReplan(Database& database, const Season& season, const QDate& start, std::mt19937& random)
    : db(database), before(season), from(start), rng(random)
{
}

SeasonReplan::~SeasonReplan() = default;

QString SeasonReplan::refusal()
{
    const QVector<QDate> dates = before.dates;
    if (dates.isEmpty())
        return QStringLiteral("Generate the schedule before re-planning it.");
    if (!dates.contains(from))
        return QStringLiteral("Choose one of the schedule's dates, from %1 to %2, to re-plan from.")
            .arg(SeasonOps::dateText(dates.first()), SeasonOps::dateText(dates.last()));
    if (runState().running)
        return QStringLiteral("Wait until the schedule being generated is complete.");

    state = std::make_unique<RunState>();
    engine = std::make_unique<ScheduleEngine>(db, before.groupId, quietHost(), rng, *state);
    if (!engine->setup().exists())
        return QStringLiteral("This group no longer exists; close the window.");
    if (const QString reason = engine->RefusalReason(); !reason.isEmpty())
        return reason;
    if (!before.isLeague() && groupDatesLeft() < 1)
        return QStringLiteral("The season's %1 dates all lie before %2; there is nothing left to re-plan.")
            .arg(lockedDateCount())
            .arg(SeasonOps::dateText(from));
    return {};
}

int SeasonReplan::lockedDateCount() const
{
    const QVector<QDate> dates = before.dates;
    return int(std::count_if(dates.cbegin(), dates.cend(), [this](const QDate& d) { return d < from; }));
}

double SeasonReplan::groupDatesLeft() const
{
    return double(engine->setup().duration * engine->CountPlayDays() - lockedDateCount());
}

void SeasonReplan::run()
{
    const int entries = int(engine->setup().entries.size());
    const int perSession = engine->setup().playersPerSession;
    const double groupDates = before.isLeague() ? 0 : groupDatesLeft();
    state->entryCount = entries;
    state->playersPerSession = perSession;
    state->byeCount = entries - perSession;

    clearFromDate();
    carryCounters();
    // The walk starts from the carried counters, as the file now holds them.
    engine = std::make_unique<ScheduleEngine>(db, before.groupId, quietHost(), rng, *state);
    engine->RefreshPriorityThreshold();

    if (before.isLeague()) {
        auto pairing = engine->makeLeaguePairing();
        const double dates = prepareLeague(*pairing);
        if (dates > 0)
            engine->ContinueFrom(from, dates, std::move(pairing));
        restoreResults();
    } else {
        engine->ContinueFrom(from, groupDates);
        balance();
    }
    // The walk marked its dates from the carried weights, and balancing
    // moved rows since: the ball duty is evened over the re-planned dates.
    BallDutyBalance(db).balance(before.groupId, from);
}

// The rows from the date on go; results of league matches among them are
// kept to be given back to the same pairings once they are scheduled again.
void SeasonReplan::clearFromDate()
{
    for (const SeasonRow& r : before.rows)
        if (r.date >= from && r.opponent != 0) {
            const SeasonMatch m = before.matchOf(r.entry, r.date);
            const int winner = m.first ? std::max(m.first->winner, m.second->winner) : 0;
            if (winner != 0)
                results.append({std::min(r.entry, r.opponent), std::max(r.entry, r.opponent), winner});
        }
    Query q(db, "DELETE FROM \"SCHEDULE.db\" WHERE \"DATE\" >= :from AND GRPPLAYRID IN "
                "(SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = :groupid)");
    q.setDate("from", from);
    q.setInteger("groupid", before.groupId);
    q.execSql();
}

// Each entry starts the walk where the kept dates left it: its dates played,
// its ball duties (each halves the weight), and in a group a rotation
// weight that puts those who played less first, as the run's own halving
// and doubling would have.
void SeasonReplan::carryCounters()
{
    const int lockedDates = lockedDateCount();
    Query q(db, "UPDATE \"GRPPLAYR.db\" SET SESPLAYED = :played, PRIORITY = :priority, BBPRIORITY = :bbpriority "
                "WHERE GROUPPLAYERID = :id");
    for (const SeasonEntry& e : before.entries) {
        int played = 0;
        for (const SeasonRow& r : before.rows)
            played += r.date < from && r.entry == e.id;
        const int span = std::clamp(lockedDates - 2 * played, -WeightSpan, WeightSpan);
        q.setFloat("played", played);
        q.setFloat("priority", before.isLeague() ? StartPriority : StartPriority * std::ldexp(1.0, span));
        q.setFloat("bbpriority", StartPriority * std::pow(BallWeight, before.homeCountBefore(e.id, from)));
        q.setInteger("id", e.id);
        q.execSql();
    }
}

// The league's pairings as the kept dates leave them: rounds every pairing
// has played are complete; within the current round the pairings already
// met are marked played. Returns the dates the open matches need.
double SeasonReplan::prepareLeague(LeaguePairing& pairing)
{
    QHash<qint64, int> met;
    for (const SeasonRow& r : before.rows)
        if (r.date < from && r.opponent != 0)
            met[pairKey(r.entry, r.opponent)] += 1;
    const QVector<SeasonEntry>& entries = before.entries;
    int complete = -1;
    for (int i = 0; i < entries.size(); ++i)
        for (int j = i + 1; j < entries.size(); ++j) {
            const int times = met.value(pairKey(entries[i].id, entries[j].id));
            complete = complete < 0 ? times : std::min(complete, times);
        }
    const int rounds = engine->setup().duration;
    complete = std::max(complete, 0);
    if (complete >= rounds)
        return 0;

    state->roundsWanted = rounds;
    state->roundsBuilt = complete;
    pairing.BuildMatches();
    int used = 0;
    for (int i = 0; i < entries.size(); ++i)
        for (int j = i + 1; j < entries.size(); ++j)
            if (met.value(pairKey(entries[i].id, entries[j].id)) > complete)
                used += pairing.MarkPlayed(entries[i].id, entries[j].id);
    state->usedSinceBuild = used;

    const int count = int(entries.size());
    state->byeFlag = state->byeCount == 1;
    state->byeOrder.resize(count);
    for (int i = 0; i < count; ++i)
        state->byeOrder[i] = state->byeFlag ? entries[count - 1 - i].id : entries[i].id;
    state->byeCursor = count > 0 ? lockedDateCount() % count : 0;
    pairing.WeighMatches();

    const double open = double(state->matchCount - used) + double(rounds - complete - 1) * state->matchCount;
    return open / double(std::max<qsizetype>(1, engine->setup().courts.size()));
}

// A kept result goes to the first new match of the same two entries.
void SeasonReplan::restoreResults()
{
    if (results.isEmpty())
        return;
    const Season after = loadSeason(db, before.groupId);
    QSet<qint64> taken;
    Query q(db, "UPDATE \"SCHEDULE.db\" SET WINNER = :winner WHERE SCHEDULEID = :first OR SCHEDULEID = :second");
    for (const Result& result : std::as_const(results)) {
        for (const SeasonRow& r : after.rows) {
            if (r.date < from || r.opponent == 0 || taken.contains(r.scheduleId) ||
                pairKey(r.entry, r.opponent) != pairKey(result.low, result.high))
                continue;
            const SeasonMatch m = after.matchOf(r.entry, r.date);
            taken.insert(r.scheduleId);
            q.setInteger("winner", result.winner);
            q.setInteger("first", m.first->scheduleId);
            q.setInteger("second", m.second->scheduleId);
            q.execSql();
            break;
        }
    }
}

// Moves dates from the re-planned part between entries until every two
// entries are within one date of each other over the whole season, or no
// move is left that the days off and the placements allow.
void SeasonReplan::balance()
{
    const Season now = loadSeason(db, before.groupId);
    QHash<int, int> played;
    QHash<int, const SeasonEntry*> entryOf;
    for (const SeasonEntry& e : now.entries) {
        played.insert(e.id, 0);
        entryOf.insert(e.id, &e);
    }
    QHash<QDate, QSet<int>> placed;
    QHash<int, QVector<qint64>> movable;   // rows from the date on, per entry
    QHash<qint64, QDate> dateOf;
    for (const SeasonRow& r : now.rows) {
        played[r.entry] += 1;
        placed[r.date].insert(r.entry);
        if (r.date >= from) {
            movable[r.entry].append(r.scheduleId);
            dateOf.insert(r.scheduleId, r.date);
        }
    }
    QSet<qint64> off;   // (player, day) pairs
    Query days(db, "SELECT PLAYERID, \"DATE\" FROM \"PLAYROFF.db\" WHERE \"DATE\" >= :from");
    days.setDate("from", from);
    days.open();
    for (days.first(); !days.eof(); days.next())
        off.insert((days.asInteger("PLAYERID") << 32) | days.asDate("DATE").toJulianDay() % (1LL << 31));
    auto isOff = [&](const SeasonEntry& e, const QDate& d) {
        const qint64 day = d.toJulianDay() % (1LL << 31);
        return off.contains((qint64(e.player.id) << 32) | day) ||
               (e.partner.id > 0 && off.contains((qint64(e.partner.id) << 32) | day));
    };

    Query move(db, "UPDATE \"SCHEDULE.db\" SET GRPPLAYRID = :receiver, SLOTCODE = :slotcode WHERE SCHEDULEID = :id");
    QVector<int> ids = played.keys().toVector();
    for (;;) {
        std::sort(ids.begin(), ids.end(),
                  [&](int a, int b) { return played[a] != played[b] ? played[a] > played[b] : a < b; });
        bool moved = false;
        for (int o = 0; o < ids.size() && !moved; ++o)
            for (int u = int(ids.size()) - 1; u > o && !moved; --u) {
                const int giver = ids[o], taker = ids[u];
                if (played[giver] - played[taker] < 2)
                    break;
                QVector<qint64>& rows = movable[giver];
                for (int k = int(rows.size()) - 1; k >= 0; --k) {
                    const QDate d = dateOf.value(rows[k]);
                    if (placed[d].contains(taker) || isOff(*entryOf[taker], d))
                        continue;
                    move.setInteger("receiver", taker);
                    move.setInteger("slotcode", entryOf[taker]->number);
                    move.setInteger("id", rows[k]);
                    move.execSql();
                    placed[d].remove(giver);
                    placed[d].insert(taker);
                    movable[taker].append(rows[k]);
                    rows.remove(k);
                    played[giver] -= 1;
                    played[taker] += 1;
                    moved = true;
                    break;
                }
            }
        if (!moved)
            break;
    }
    Query write(db, "UPDATE \"GRPPLAYR.db\" SET SESPLAYED = :played WHERE GROUPPLAYERID = :id");
    for (auto it = played.cbegin(); it != played.cend(); ++it) {
        write.setFloat("played", it.value());
        write.setInteger("id", it.key());
        write.execSql();
    }
}

QVector<ReplanCount> SeasonReplan::counts(const Season& after) const
{
    QVector<ReplanCount> list;
    for (const SeasonEntry& e : after.entries) {
        const SeasonEntry* was = before.entry(e.id);
        list.append({e.id, e.number, e.fullName(), was ? int(was->played) : 0, int(e.played)});
    }
    return list;
}
