#include "league.h"
#include "groupdatasets.h"
#include "runstate.h"
#include "pacer.h"
#include "data/database.h"
#include <algorithm>
#include <bit>

namespace {
// A pairing counts as open while PLAYED is false or was never set.
const char* const openPairings = "(PLAYED IS NULL OR PLAYED = False)";
}

LeaguePairing::LeaguePairing(GroupDatasets& datasets, RunState& runState, Database& database, YieldPacer* yieldPacer)
    : ds(datasets), state(runState), db(database), pacer(yieldPacer),
      dayOffs(std::make_unique<LeagueDaysOff>(db, ds.groupId(), isDoublesLeague(ds.recordKind(), ds.matchType())))
{
    const QString open = QString::fromLatin1(openPairings);
    qmatches =
        std::make_unique<Query>(db, "SELECT DISTINCT MATCHID, PID1, PID2, PLAYED, WEIGHT FROM \"MATCHES.db\" WHERE " +
                                        open + " ORDER BY WEIGHT Desc, PID1, PID2");
    // DISTINCT promises no order, so the order of building is asked for.
    qbyematches =
        std::make_unique<Query>(db, "SELECT DISTINCT MATCHID, PID1, PID2, PLAYED, WEIGHT FROM \"MATCHES.db\" WHERE " +
                                        open + " AND (PID1 <> :byeentry) AND (PID2 <> :byeentry) ORDER BY MATCHID");
    qudisablematch = std::make_unique<Query>(db, "UPDATE \"MATCHES.db\"\n"
                                                 "SET PLAYED= :mswitch\n"
                                                 "WHERE MATCHID = :matchid");
    qemptymatches = std::make_unique<Query>(db, "DELETE FROM \"MATCHES.db\"");
    qinsertmatch =
        std::make_unique<Query>(db, "INSERT INTO \"MATCHES.db\" (PID1, PID2, Mix) VALUES (:pid1, :pid2, :mix)");
    qweighmatches = std::make_unique<Query>(db, "UPDATE \"MATCHES.db\" SET WEIGHT ="
                                                " (SELECT PRIORITY FROM \"GRPPLAYR.db\" WHERE GROUPPLAYERID = PID1) +"
                                                " (SELECT PRIORITY FROM \"GRPPLAYR.db\" WHERE GROUPPLAYERID = PID2)"
                                                " WHERE " +
                                                    open);
}

LeaguePairing::~LeaguePairing() = default;

QString LeaguePairing::RefusalReason(int courts, int playDays, int rounds)
{
    if (courts < 1)
        return QStringLiteral("Assign at least one court to the league before generating its schedule.");
    if (playDays < 1)
        return QStringLiteral("Check at least one day of the week on which the league plays "
                              "before generating its schedule.");
    if (rounds < 1)
        return QStringLiteral("Enter the number of rounds (at least 1) before generating the "
                              "league's schedule.");
    return {};
}

int LeaguePairing::SittingOut(int entries, int courts)
{
    return entries - 2 * std::min(courts, entries / 2);
}

void LeaguePairing::StartRun(int rounds)
{
    const QVector<int> ids = entryIds();
    const int p = int(ids.size());
    state.roundsWanted = rounds;
    // The bye rotation serves a league in which exactly one entry is left
    // without a place, whatever its players per session say: with more
    // sitting out, the weights must decide who plays.
    state.byeCount = SittingOut(p, int(courtIds().size()));
    state.byeFlag = state.byeCount == 1;
    state.byeOrder.resize(p);
    for (int i = 0; i < p; ++i)
        state.byeOrder[i] = state.byeFlag ? ids[p - 1 - i] : ids[i];
    state.byeCursor = 0;
    BuildMatches();
}

bool LeaguePairing::AllRoundsPlayed()
{
    return state.roundsBuilt >= state.roundsWanted && state.usedSinceBuild >= state.matchCount;
}

QVector<int> LeaguePairing::entryIds() const
{
    QVector<int> ids;
    const Table& entries = ds.tbplayers;
    for (int row = 0; row < entries.recordCount(); ++row)
        ids.append(entries.valueAt(row, "GROUPPLAYERID").toInt());
    return ids;
}

QVector<int> LeaguePairing::courtIds() const
{
    QVector<int> ids;
    const Table& courts = ds.tbcourtslt;
    for (int row = 0; row < courts.recordCount(); ++row)
        ids.append(courts.valueAt(row, "COURTID").toInt());
    return ids;
}

void LeaguePairing::BuildMatches()
{
    const QVector<int> ids = entryIds();
    qemptymatches->prepare();
    qemptymatches->execSql();
    qinsertmatch->prepare();
    int rows = 0;
    for (int i = 0; i < ids.size(); ++i)
        for (int j = i + 1; j < ids.size(); ++j) {
            qinsertmatch->setInteger("pid1", ids[i]);
            qinsertmatch->setInteger("pid2", ids[j]);
            qinsertmatch->setString("mix", QString::number(ids[j]) + QString::number(ids[i]));
            qinsertmatch->execSql();
            ++rows;
            ++writes;
        }
    state.matchCount = rows;
    state.roundsBuilt += 1;
}

void LeaguePairing::MarkMatchPlayed(int matchId, bool played)
{
    qudisablematch->prepare();
    qudisablematch->setInteger("matchid", matchId);
    qudisablematch->setBool("mswitch", played);
    qudisablematch->execSql();
}

int LeaguePairing::TakeByeEntry()
{
    if (state.byeOrder.isEmpty())
        return 0;
    if (state.byeCursor < 0 || state.byeCursor >= state.byeOrder.size())
        state.byeCursor = 0;
    const int entry = state.byeOrder[state.byeCursor];
    state.byeCursor = (state.byeCursor + 1) % int(state.byeOrder.size());
    return entry;
}

// The open pairings of one search, in the selection's order, without those
// of entries already placed on the date. Entries become bits of a mask
// while there are at most 64 of them.
void LeaguePairing::ReadSelection(int byeEntry, const QSet<int>& busy)
{
    Query& q = state.byeFlag ? *qbyematches : *qmatches;
    q.close();
    q.prepare();
    if (state.byeFlag)
        q.setInteger("byeentry", byeEntry);
    q.open();
    rows.clear();
    QHash<int, int> bitOf;
    bounded = true;
    for (q.first(); !q.eof(); q.next()) {
        // By position: MATCHID, PID1, PID2 lead the selection.
        Row row{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt()};
        if (busy.contains(row.pid1) || busy.contains(row.pid2))
            continue;
        for (auto [pid, bit] : {std::pair{row.pid1, &row.bit1}, std::pair{row.pid2, &row.bit2}}) {
            if (!bitOf.contains(pid))
                bitOf.insert(pid, int(bitOf.size()));
            *bit = bitOf.value(pid) < 64 ? bitOf.value(pid) : -1;
        }
        rows.append(row);
    }
    q.close();
    bounded = bitOf.size() <= 64;
    partners.fill(0, 64);
    disjointMemo.clear();
    if (!bounded)
        return;
    for (const Row& row : std::as_const(rows)) {
        partners[row.bit1] |= std::uint64_t(1) << row.bit2;
        partners[row.bit2] |= std::uint64_t(1) << row.bit1;
    }
}

bool LeaguePairing::Clashes(const Row& row, int next) const
{
    for (int slot = 1; slot < next; ++slot) {
        const Pick& p = picked[slot];
        if (row.pid1 == p.pid1 || row.pid1 == p.pid2 || row.pid2 == p.pid1 || row.pid2 == p.pid2)
            return true;
    }
    return false;
}

int LeaguePairing::UndoPick(int next)
{
    const int k = next - 1;
    if (k < 1) {
        cursor = int(rows.size());   // nothing left to withdraw: every combination tried
        return 1;
    }
    cursor = picked[k].row + 1;
    picked[k] = Pick{};
    return k;
}

// The entries of the selection not taken by slots 1..next-1.
std::uint64_t LeaguePairing::FreeEntries(int next) const
{
    std::uint64_t free = 0;
    for (const Row& row : rows)
        free |= (std::uint64_t(1) << row.bit1) | (std::uint64_t(1) << row.bit2);
    for (int slot = 1; slot < next; ++slot) {
        const Row& row = rows[picked[slot].row];
        free &= ~((std::uint64_t(1) << row.bit1) | (std::uint64_t(1) << row.bit2));
    }
    return free;
}

// The most disjoint open pairings among the entries of `free`. The search
// asks it to drop, at once, picks after which the courts cannot be filled:
// without it a date whose pairings hold no full set tries every combination.
int LeaguePairing::MostDisjoint(std::uint64_t free)
{
    if (free == 0)
        return 0;
    if (const auto known = disjointMemo.constFind(free); known != disjointMemo.cend())
        return *known;
    const int perfect = std::popcount(free) / 2;
    // Past this many sets the answer is only bounded, which is still safe.
    constexpr int MemoLimit = 1 << 20;
    if (disjointMemo.size() > MemoLimit)
        return perfect;
    const int v = std::countr_zero(free);
    const std::uint64_t rest = free & ~(std::uint64_t(1) << v);
    int most = 0;
    for (std::uint64_t others = partners[v] & rest; others != 0 && most < perfect; others &= others - 1)
        most = std::max(most, 1 + MostDisjoint(rest & ~(std::uint64_t(1) << std::countr_zero(others))));
    if (most < perfect)
        most = std::max(most, MostDisjoint(rest));   // v sits out
    disjointMemo.insert(free, most);
    return most;
}

// Depth-first search in row order for `target` disjoint pairings. Leaves
// the picks in slots 1..n and returns n; when no full set exists, n is the
// largest set there is (the largest the search came across when it ran out
// of steps).
int LeaguePairing::SearchPicks(int target)
{
    if (bounded)
        target = std::min(target, MostDisjoint(FreeEntries(1)));
    QVector<Pick> best;
    int next = 1;
    cursor = 0;
    for (int steps = 1; next - 1 < target && steps <= SearchBudget; ++steps) {
        if (pacer && steps % 256 == 0)
            pacer->checkpoint();
        if (cursor >= rows.size()) {
            if (next == 1)
                break;
            next = UndoPick(next);
            continue;
        }
        const Row& row = rows[cursor];
        if (!Clashes(row, next)) {
            picked[next] = Pick{row.matchId, row.pid1, row.pid2, cursor};
            ++next;
            if (next - 1 > best.size())
                best = picked.mid(1, next - 1);
            if (bounded && next - 1 < target && MostDisjoint(FreeEntries(next)) < target - (next - 1)) {
                next = UndoPick(next);
                continue;
            }
        }
        ++cursor;
    }
    if (next - 1 == target)
        return target;
    for (int slot = 1; slot < picked.size(); ++slot)
        picked[slot] = slot <= best.size() ? best[slot - 1] : Pick{};
    return int(best.size());
}

void LeaguePairing::ScheduleLeagueDate(const QDate& date)
{
    const QVector<int> courts = courtIds();
    if (courts.isEmpty())
        return;
    picked = QVector<Pick>(courts.size() + 1);
    const int byeEntry = state.byeFlag ? TakeByeEntry() : 0;
    // Entries with a day off sit the date out, unless the league is overdue
    // and courts would stay empty: then a second pass may seat them.
    const QSet<int> off = dayOffs->entriesOff(date);
    const bool mayOverride = dayOffs->nextDateMayOverride();
    bool overriding = false;
    QSet<int> busy = off;
    int court = 0;
    // A date that completes a round writes its matches first and rebuilds
    // after, so its picks count toward their own round; courts still free
    // are then filled from the new round.
    while (court < courts.size()) {
        const int target = std::min<int>(courts.size() - court, state.matchCount - state.usedSinceBuild);
        if (target <= 0)
            break;
        ReadSelection(byeEntry, busy);
        std::fill(picked.begin(), picked.end(), Pick{});
        const int found = SearchPicks(target);
        for (int slot = 1; slot <= found; ++slot) {
            WriteMatch(date, picked[slot], courts[court++]);
            busy << picked[slot].pid1 << picked[slot].pid2;
            state.usedSinceBuild += 1;
            if (overriding)
                dayOffs->notePlacement(date, picked[slot].pid1, picked[slot].pid2, ds.entryNumber(picked[slot].pid1),
                                       ds.entryNumber(picked[slot].pid2));
        }
        if (state.usedSinceBuild < state.matchCount || state.roundsBuilt >= state.roundsWanted) {
            if (mayOverride && !overriding && court < courts.size() && !off.isEmpty()) {
                overriding = true;
                busy.subtract(off);
                continue;
            }
            break;
        }
        BuildMatches();
        state.usedSinceBuild = 0;
    }
}

void LeaguePairing::WriteMatch(const QDate& date, const Pick& pick, int courtId)
{
    MarkMatchPlayed(pick.matchId, true);
    WriteScheduleRow(date, pick.pid1, pick.pid2, courtId);
    ds.incSessionsPlayed(pick.pid1);
    WriteScheduleRow(date, pick.pid2, 0, courtId);
    ds.incSessionsPlayed(pick.pid2);
    writes += 5;
}

// The opponent is recorded once, on the row of the match's first entry.
void LeaguePairing::WriteScheduleRow(const QDate& date, int entry, int opponent, int courtId)
{
    ds.appendScheduleRow(date, entry, numberOf(entry), courtId, opponent, opponent ? numberOf(opponent) : 0);
}

int LeaguePairing::numberOf(int entry)
{
    if (entryNumbers.isEmpty())
        for (int id : entryIds())
            entryNumbers.insert(id, ds.numberOf(id));
    return entryNumbers.value(entry, 0);
}

void LeaguePairing::WeighMatches()
{
    // With a bye the selection keeps the order of building; weights stay blank.
    if (state.byeFlag)
        return;
    qweighmatches->prepare();
    qweighmatches->execSql();
    ++writes;
}
