#include "league.h"
#include "engine.h"
#include "runstate.h"
#include "pacer.h"
#include <algorithm>
#include <bit>

LeaguePairing::LeaguePairing(ScheduleEngine& e, RunState& runState, YieldPacer* yieldPacer)
    : engine(e), state(runState), pacer(yieldPacer), dayOffs(std::make_unique<LeagueDaysOff>(e.setup()))
{
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
    state.byeCount = SittingOut(p, int(engine.setup().courts.size()));
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
    for (const SetupEntry& e : engine.setup().entries)
        ids.append(e.id);
    return ids;
}

void LeaguePairing::BuildMatches()
{
    const QVector<int> ids = entryIds();
    QVector<PlanMatch>& matches = engine.matches();
    matches.clear();
    for (int i = 0; i < ids.size(); ++i)
        for (int j = i + 1; j < ids.size(); ++j)
            matches.append({ids[i], ids[j], false, std::nullopt, QString::number(ids[j]) + QString::number(ids[i])});
    state.matchCount = int(matches.size());
    state.roundsBuilt += 1;
}

bool LeaguePairing::MarkPlayed(int entry, int other)
{
    for (PlanMatch& m : engine.matches())
        if (!m.played && ((m.pid1 == entry && m.pid2 == other) || (m.pid1 == other && m.pid2 == entry))) {
            m.played = true;
            return true;
        }
    return false;
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
    // The order the pairings table gives: without a bye heaviest first (blank
    // weights last), then by entries; with a bye the order of building.
    const QVector<PlanMatch>& matches = engine.matches();
    QVector<int> order;
    for (int m = 0; m < matches.size(); ++m)
        if (!matches[m].played && !(state.byeFlag && (matches[m].pid1 == byeEntry || matches[m].pid2 == byeEntry)))
            order.append(m);
    if (!state.byeFlag)
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const PlanMatch &x = matches[a], &y = matches[b];
            if (x.weight.has_value() != y.weight.has_value())
                return x.weight.has_value();
            if (x.weight && *x.weight != *y.weight)
                return *x.weight > *y.weight;
            return std::pair(x.pid1, x.pid2) < std::pair(y.pid1, y.pid2);
        });
    rows.clear();
    QHash<int, int> bitOf;
    bounded = true;
    for (int m : std::as_const(order)) {
        Row row{m, matches[m].pid1, matches[m].pid2};
        if (busy.contains(row.pid1) || busy.contains(row.pid2))
            continue;
        for (auto [pid, bit] : {std::pair{row.pid1, &row.bit1}, std::pair{row.pid2, &row.bit2}}) {
            if (!bitOf.contains(pid))
                bitOf.insert(pid, int(bitOf.size()));
            *bit = bitOf.value(pid) < 64 ? bitOf.value(pid) : -1;
        }
        rows.append(row);
    }
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
    const QVector<int>& courts = engine.setup().courts;
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
                dayOffs->notePlacement(date, picked[slot].pid1, picked[slot].pid2);
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
    engine.matches()[pick.matchId].played = true;
    // The opponent is recorded once, on the row of the match's first entry.
    engine.addPlanRow({date, pick.pid1, numberOf(pick.pid1), courtId, pick.pid2, numberOf(pick.pid2)});
    engine.IncSessionsPlayed(pick.pid1);
    engine.addPlanRow({date, pick.pid2, numberOf(pick.pid2), courtId});
    engine.IncSessionsPlayed(pick.pid2);
}

int LeaguePairing::numberOf(int entry) const
{
    const int index = engine.setup().indexOf(entry);
    return index >= 0 ? engine.setup().entries[index].number : 0;
}

void LeaguePairing::WeighMatches()
{
    // With a bye the selection keeps the order of building; weights stay blank.
    if (state.byeFlag)
        return;
    for (PlanMatch& m : engine.matches())
        if (!m.played)
            m.weight = engine.priorityOf(m.pid1) + engine.priorityOf(m.pid2);
}
