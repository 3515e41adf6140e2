#include "league.h"
#include "engine.h"
#include "matching.h"
#include "runstate.h"
#include "pacer.h"
#include <algorithm>
#include <bit>
#include <climits>
#include <tuple>

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

int LeaguePairing::FewestDates(int entries, int courts, int rounds)
{
    const int perDate = std::min(courts, entries / 2);
    if (perDate < 1 || rounds < 1)
        return 0;
    const qint64 matches = qint64(entries) * (entries - 1) / 2 * rounds;
    return int((matches + perDate - 1) / perDate);
}

void LeaguePairing::StartRun(int rounds)
{
    const QVector<int> ids = entryIds();
    const int p = int(ids.size());
    state.roundsWanted = rounds;
    // The bye rotation serves a league in which exactly one entry is left
    // without a place, whatever its players per session say: with more
    // sitting out, the weights must decide who plays.
    state.byeCount = SittingOut(p, courtCount());
    state.byeFlag = state.byeCount == 1;
    state.byeOrder.resize(p);
    for (int i = 0; i < p; ++i)
        state.byeOrder[i] = state.byeFlag ? ids[p - 1 - i] : ids[i];
    state.byeCursor = 0;
    label.clear();
    wayDecidedFor = -1;
    usedDates = 0;
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

int LeaguePairing::courtCount() const
{
    return int(engine.setup().courts.size());
}

LeaguePairing::State LeaguePairing::liveState()
{
    // The pairings move out for the date and back at its end (keepState):
    // nothing reads them meanwhile, and a copy of a large round costs.
    State s;
    s.matches = std::move(engine.matches());
    s.roundsBuilt = state.roundsBuilt;
    s.matchCount = state.matchCount;
    s.usedSinceBuild = state.usedSinceBuild;
    s.byeCursor = state.byeCursor;
    s.deferred = deferred;
    s.deferred.resize(s.matches.size());
    const QVector<SetupEntry>& entries = engine.setup().entries;
    for (int i = 0; i < entries.size(); ++i) {
        s.priority.append(engine.priorityOf(entries[i].id));
        s.games.append(i < engine.plan().counters.size() ? engine.plan().counters[i].played : 0);
    }
    return s;
}

void LeaguePairing::keepState(State& s)
{
    engine.matches() = std::move(s.matches);
    state.roundsBuilt = s.roundsBuilt;
    state.matchCount = s.matchCount;
    state.usedSinceBuild = s.usedSinceBuild;
    state.byeCursor = s.byeCursor;
    deferred = s.deferred;
}

void LeaguePairing::buildRound(State& s)
{
    const QVector<int> ids = entryIds();
    s.matches.clear();
    s.matches.reserve(ids.size() * (ids.size() - 1) / 2);
    for (int i = 0; i < ids.size(); ++i)
        for (int j = i + 1; j < ids.size(); ++j)
            s.matches.append({ids[i], ids[j], false, std::nullopt, QString::number(ids[j]) + QString::number(ids[i])});
    s.matchCount = int(s.matches.size());
    s.deferred = QVector<char>(s.matchCount, 0);
    s.roundsBuilt += 1;
}

void LeaguePairing::BuildMatches()
{
    State s = liveState();
    buildRound(s);
    keepState(s);
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

int LeaguePairing::TakeByeEntry(State& s)
{
    if (state.byeOrder.isEmpty())
        return 0;
    if (s.byeCursor < 0 || s.byeCursor >= state.byeOrder.size())
        s.byeCursor = 0;
    const int entry = state.byeOrder[s.byeCursor];
    s.byeCursor = (s.byeCursor + 1) % int(state.byeOrder.size());
    return entry;
}

// ------------------------------------------------------------- the rotation

namespace {

// The pairing of entries i < j of n, in the order the pairings are built.
int matchIndex(int n, int i, int j)
{
    if (i > j)
        std::swap(i, j);
    return i * n - i * (i + 1) / 2 + (j - i - 1);
}

}   // namespace

// The order of pairings the matching follows, as a turn per pairing (the
// lower, the sooner); two orders, for odd and even rounds.
//
// Mostly the circle method: turn j holds the pairings whose places add up
// to 2j, a full set of disjoint pairings, and with an odd number of entries
// the entry in place j sits out turn j. With the bye rotation, places follow
// the bye order, so the turn due on a date is the one whose sitter the
// rotation names.
//
// An odd number of entries on fewer courts than that would fill cannot keep
// games within one by whole turns: the entry that sat out needs an opponent
// the next turn does not give it. There the order is Walecki's: the
// pairings fall into Hamiltonian cycles, and each cycle is played as every
// other pairing, then the one that closes it, then the rest, so games stay
// within one after every single match. Odd rounds take the cycles reversed,
// so that a round's last matches and the next one's first share no entry.
void LeaguePairing::preparePlan()
{
    const GroupSetup& setup = engine.setup();
    const int p = int(setup.entries.size());
    if (label.size() == p)
        return;
    label = QVector<int>(p);
    for (int i = 0; i < p; ++i)
        label[i] = i;
    if (state.byeFlag && state.byeOrder.size() == p)
        for (int at = 0; at < p; ++at)
            if (const int index = setup.indexOf(state.byeOrder[at]); index >= 0)
                label[index] = at;
    const int pairings = p * (p - 1) / 2;
    preparePairs();
    walecki = p % 2 == 1 && p >= 5 && courtCount() < p / 2;
    if (!walecki) {
        turns = std::max(1, p % 2 ? p : p - 1);
        return;
    }
    // Entries 0 .. 2m-1 on the circle, the last one in the middle.
    const int m = (p - 1) / 2;
    turns = pairings;
    const auto onCircle = [m](int v) { return ((v % (2 * m)) + 2 * m) % (2 * m); };
    for (int parity = 0; parity < 2; ++parity) {
        turnOf[parity] = QVector<int>(pairings, 0);
        for (int q = 0; q < m; ++q) {
            const int c = parity * m + q;
            QVector<int> v(2 * m + 1);
            v[0] = p - 1;
            v[1] = onCircle(c);
            for (int t = 1; t <= m; ++t) {
                v[2 * t] = onCircle(c + t);
                if (2 * t + 1 <= 2 * m)
                    v[2 * t + 1] = onCircle(c - t);
            }
            // Edge t joins v[t] and v[t+1], edge 2m closes the cycle.
            QVector<int> edgeOrder;
            for (int t = 0; t < 2 * m; t += 2)
                edgeOrder << t;
            edgeOrder << 2 * m;
            for (int t = 1; t < 2 * m; t += 2)
                edgeOrder << t;
            for (int at = 0; at < edgeOrder.size(); ++at) {
                const int t = edgeOrder[at];
                turnOf[parity][matchIndex(p, v[t], v[(t + 1) % (2 * m + 1)])] = q * p + at;
            }
        }
    }
}

// The entries of each pairing by their place in the setup, in the order of
// building: the pairings table names them by GROUPPLAYERID, and a lookup per
// pairing and date adds up in a large league.
void LeaguePairing::preparePairs()
{
    const int p = int(engine.setup().entries.size());
    if (pairOf.size() == p * (p - 1) / 2)
        return;
    pairOf = QVector<QPair<int, int>>(p * (p - 1) / 2);
    for (int i = 0; i < p; ++i)
        for (int j = i + 1; j < p; ++j)
            pairOf[matchIndex(p, i, j)] = {i, j};
}

int LeaguePairing::turnOfMatch(const State& s, int matchId) const
{
    if (matchId >= pairOf.size())
        return 0;
    if (walecki)
        return turnOf[(s.roundsBuilt + 1) % 2][matchId];
    const int p = int(label.size());
    const qint64 a = label[pairOf[matchId].first], b = label[pairOf[matchId].second];
    if (p % 2)
        return int((a + b) * ((p + 1) / 2) % p);
    // An even number: the last place stands in the middle of the circle.
    if (a == p - 1 || b == p - 1)
        return int(a == p - 1 ? b : a);
    return int((a + b) * (p / 2) % (p - 1));
}

// ------------------------------------------------------------ a date's fill

LeaguePairing::DateFill LeaguePairing::beginDate(State& s, const QDate& date, LeagueDaysOff& days)
{
    DateFill d;
    d.date = date;
    d.off = days.entriesOff(date);
    d.busy = d.off;
    d.mayOverride = days.nextDateMayOverride();
    if (!state.byeFlag)
        return d;
    const int entry = TakeByeEntry(s);
    const GroupSetup& setup = engine.setup();
    const int index = setup.indexOf(entry);
    if (index < 0)
        return d;
    d.firstTurn = label.value(index);
    // The rotation's entry sits out unless a day off already leaves the
    // courts no entry to spare, or it is behind the others free on the date
    // (a day off kept it out before): then it plays, and someone ahead of it
    // sits out instead.
    int most = INT_MIN, free = 0;
    for (int i = 0; i < setup.entries.size(); ++i)
        if (!d.off.contains(setup.entries[i].id)) {
            most = std::max(most, s.games[i]);
            ++free;
        }
    if (free > 2 * courtCount() && s.games[index] >= most)
        d.sitter = entry;
    return d;
}

// Fills the date's free courts from the current round. When the picks
// complete the round and more rounds are wanted, the round is built anew
// and `rebuilt` set: the caller goes on filling from the new round.
QVector<LeaguePairing::Pick> LeaguePairing::fillFromRound(State& s, DateFill& d, Way how, bool& rebuilt)
{
    rebuilt = false;
    QVector<Pick> out;
    const int courts = courtCount();
    const GroupSetup& setup = engine.setup();
    while (d.court < courts) {
        const int target = std::min(courts - d.court, s.matchCount - s.usedSinceBuild);
        if (target <= 0)
            break;
        const QVector<Pick> found = choose(s, d, target, how);
        // Pairings due no later than those taken that a day off held back
        // wait for the end of the round (or a date they fit): taken as the
        // most overdue, they would break the turns after them.
        int reached = -1;
        for (const Pick& p : found)
            reached = std::max(reached, waitOf(s, p.matchId));
        if (reached >= 0 && reached < turns && !d.off.isEmpty())
            for (int m = 0; m < s.matches.size(); ++m) {
                const PlanMatch& match = s.matches[m];
                if (!match.played && !s.deferred[m] && (d.off.contains(match.pid1) || d.off.contains(match.pid2)) &&
                    waitOf(s, m) <= reached)
                    s.deferred[m] = 1;
            }
        for (Pick p : found) {
            s.matches[p.matchId].played = true;
            p.onDayOff = d.overriding;
            for (int entry : {p.pid1, p.pid2}) {
                d.busy.insert(entry);
                d.placed.insert(entry);
                if (const int index = setup.indexOf(entry); index >= 0)
                    s.games[index] += 1;
            }
            ++d.court;
            ++s.usedSinceBuild;
            out.append(p);
        }
        if (s.usedSinceBuild < s.matchCount || s.roundsBuilt >= state.roundsWanted) {
            // Entries with a day off sit the date out, unless the league is
            // overdue and courts would stay empty: then a second pass may seat them.
            if (d.mayOverride && !d.overriding && d.court < courts && !d.off.isEmpty()) {
                d.overriding = true;
                d.busy.subtract(d.off);
                continue;
            }
            break;
        }
        // A date that completes a round writes its matches first and
        // rebuilds after, so its picks count toward their own round.
        buildRound(s);
        s.usedSinceBuild = 0;
        rebuilt = true;
        break;
    }
    return out;
}

// What the generator does between dates, for a round tried ahead: the
// priorities (as UpdatePriorities) and the weights (as WeighMatches).
void LeaguePairing::endDate(State& s, const DateFill& d)
{
    const QVector<SetupEntry>& entries = engine.setup().entries;
    for (int i = 0; i < entries.size(); ++i)
        s.priority[i] = ScheduleEngine::LeaguePriority(s.priority[i], d.placed.contains(entries[i].id));
    if (state.byeFlag)
        return;
    for (int m = 0; m < s.matches.size(); ++m)
        if (!s.matches[m].played)
            s.matches[m].weight = s.priority[pairOf[m].first] + s.priority[pairOf[m].second];
}

// Up to `target` disjoint open pairings among the entries still free on the
// date: as many as there are, then as many entries with the fewest games as
// can be, then those one game ahead; the rest by the way of the round.
QVector<LeaguePairing::Pick> LeaguePairing::choose(State& s, const DateFill& d, int target, Way how)
{
    // A large league's matching takes milliseconds, and a round tried ahead
    // takes many: the window gets its turn between them.
    if (pacer)
        pacer->checkpoint();
    ReadSelection(s, d);
    if (rows.isEmpty())
        return {};
    int fewest = INT_MAX;
    for (const Row& row : std::as_const(rows))
        fewest = std::min({fewest, s.games[row.index1], s.games[row.index2]});
    QVector<int> best = takeInTurn(s, target, fewest);
    if (best.isEmpty())
        best = matchRows(s, target, fewest);
    if (best.isEmpty())
        return {};
    QVector<Pick> out;
    if (how == Way::Search) {
        int behind = 0, next = 0;
        for (int r : best)
            for (int index : {rows[r].index1, rows[r].index2}) {
                behind += s.games[index] == fewest;
                next += s.games[index] == fewest + 1;
            }
        if (SearchPicks(int(best.size()), behind, next, fewest, s)) {
            for (int slot = 1; slot <= best.size(); ++slot)
                out.append(picked[slot]);
            return out;
        }
    }
    for (int r : best)
        out.append({rows[r].matchId, rows[r].pid1, rows[r].pid2, r});
    return out;
}

// The open pairings of one choice, in the selection's order, without those
// of entries already placed on the date, off it or sitting it out.
void LeaguePairing::ReadSelection(const State& s, const DateFill& d)
{
    const GroupSetup& setup = engine.setup();
    const QVector<PlanMatch>& matches = s.matches;
    // The order the pairings table gives: without a bye heaviest first (blank
    // weights last), then by entries; with a bye the order of building.
    QVector<char> away(setup.entries.size(), 0);   // busy on the date, or its sitter
    for (int entry : d.busy)
        if (const int index = setup.indexOf(entry); index >= 0)
            away[index] = 1;
    if (const int index = setup.indexOf(d.sitter); index >= 0)
        away[index] = 1;
    QVector<int> order;
    order.reserve(matches.size());
    turnBase = state.byeFlag ? d.firstTurn : INT_MAX;
    for (int m = 0; m < matches.size(); ++m) {
        if (matches[m].played)
            continue;
        if (!state.byeFlag && !s.deferred[m])
            turnBase = std::min(turnBase, turnOfMatch(s, m));
        if (!away[pairOf[m].first] && !away[pairOf[m].second])
            order.append(m);
    }
    if (turnBase == INT_MAX)
        turnBase = 0;
    const auto before = [&](int a, int b) {
        const PlanMatch &x = matches[a], &y = matches[b];
        if (x.weight.has_value() != y.weight.has_value())
            return x.weight.has_value();
        if (x.weight && *x.weight != *y.weight)
            return *x.weight > *y.weight;
        return std::pair(x.pid1, x.pid2) < std::pair(y.pid1, y.pid2);
    };
    // Equal weights (everyone played) leave the order of building.
    if (!state.byeFlag && !std::is_sorted(order.begin(), order.end(), before))
        std::sort(order.begin(), order.end(), before);
    rows.clear();
    for (int m : std::as_const(order))
        rows.append({m, matches[m].pid1, matches[m].pid2, pairOf[m].first, pairOf[m].second});
    bounded = setup.entries.size() <= 64;
    partners.fill(0, 64);
    disjointMemo.clear();
    if (!bounded)
        return;
    for (const Row& row : std::as_const(rows)) {
        partners[row.index1] |= std::uint64_t(1) << row.index2;
        partners[row.index2] |= std::uint64_t(1) << row.index1;
    }
}

// The pairings in turn order (then selection order), each taken unless it
// clashes with one taken before, up to `target`. When that set already seats
// as many entries, as many with the fewest games and as many one game ahead
// as the selection could at best, no matching can beat it: it is the
// choice. Otherwise empty. On a date that follows the rotation it is the
// turn due, and the matching is spared.
QVector<int> LeaguePairing::takeInTurn(const State& s, int target, int fewest)
{
    QVector<QVector<int>> byWait(turns + 1);
    QVector<char> seen(s.games.size(), 0);
    int free = 0, behind = 0, ahead = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        byWait[waitOf(s, row.matchId)].append(r);
        for (int index : {row.index1, row.index2})
            if (!seen[index]) {
                seen[index] = 1;
                ++free;
                behind += s.games[index] == fewest;
                ahead += s.games[index] == fewest + 1;
            }
    }
    const int most = std::min(target, free / 2);
    const int mostBehind = std::min(behind, 2 * most);
    const int mostAhead = std::min(ahead, 2 * most - mostBehind);
    QVector<char> taken(s.games.size(), 0);
    QVector<int> chosen;
    int seatedBehind = 0, seatedAhead = 0;
    for (const QVector<int>& inTurn : std::as_const(byWait))
        for (int r : inTurn) {
            if (chosen.size() == most)
                break;
            const Row& row = rows[r];
            if (taken[row.index1] || taken[row.index2])
                continue;
            chosen.append(r);
            for (int index : {row.index1, row.index2}) {
                taken[index] = 1;
                seatedBehind += s.games[index] == fewest;
                seatedAhead += s.games[index] == fewest + 1;
            }
        }
    if (chosen.size() < most || seatedBehind < mostBehind || seatedAhead < mostAhead)
        return {};
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

// How many turns a pairing waits after the first one due: 0 for those due
// now, `turns` for one a day off held back (see fillFromRound).
int LeaguePairing::waitOf(const State& s, int matchId) const
{
    if (matchId < s.deferred.size() && s.deferred[matchId])
        return turns;
    return ((turnOfMatch(s, matchId) - turnBase) % turns + turns) % turns;
}

// A maximum-weight matching over the entries of the selection, its weights
// in tiers so that each tier outweighs everything below it together: a
// match at all; an entry with the fewest games; an entry one game ahead;
// the pairing's turn in the rotation; its place in the selection. Entries
// beyond the courts sit out by matching a stand-in. Returns the chosen rows
// in selection order.
QVector<int> LeaguePairing::matchRows(const State& s, int target, int fewest)
{
    QVector<int> vertexOf(s.games.size(), -1);
    int n = 0;
    for (const Row& row : std::as_const(rows))
        for (int index : {row.index1, row.index2})
            if (vertexOf[index] < 0)
                vertexOf[index] = n++;
    const int standIns = std::max(0, n - 2 * target);
    const __int128 edgesAtMost = (n + standIns) / 2 + 1;
    // Large leagues drop the lowest tiers before the weights could overflow.
    __int128 placeSpan = rows.size() + 1, turnSpan = turns + 1;
    const auto unitsFor = [&](__int128& ahead, __int128& behind, __int128& match) {
        ahead = edgesAtMost * placeSpan * turnSpan + 1;
        behind = (2 * edgesAtMost + 1) * ahead;
        match = (2 * edgesAtMost + 1) * behind;
        return match * (edgesAtMost + 2) < (__int128(1) << 60);
    };
    __int128 aheadUnit = 0, behindUnit = 0, matchUnit = 0;
    if (!unitsFor(aheadUnit, behindUnit, matchUnit)) {
        placeSpan = 1;
        if (!unitsFor(aheadUnit, behindUnit, matchUnit)) {
            turnSpan = 1;
            unitsFor(aheadUnit, behindUnit, matchUnit);
        }
    }
    const auto tier = [&](int index) -> __int128 {
        return s.games[index] == fewest ? behindUnit : s.games[index] == fewest + 1 ? aheadUnit : 0;
    };
    std::vector<WeightedEdge> edges;
    edges.reserve(rows.size() + std::size_t(n) * standIns);
    for (int r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        // 0 for the pairings whose turn comes first.
        const __int128 turn = turnSpan > 1 ? turns - waitOf(s, row.matchId) : 0;
        const __int128 place = placeSpan > 1 ? rows.size() - r : 0;
        edges.push_back({vertexOf[row.index1], vertexOf[row.index2],
                         std::int64_t(matchUnit + tier(row.index1) + tier(row.index2) + turn * placeSpan + place)});
    }
    for (int j = 0; j < standIns; ++j)
        for (int v = 0; v < n; ++v)
            edges.push_back({n + j, v, std::int64_t(matchUnit)});
    const std::vector<int> mate = maximumWeightMatching(n + standIns, edges);
    QVector<int> chosen;
    for (int r = 0; r < rows.size(); ++r)
        if (mate[vertexOf[rows[r].index1]] == vertexOf[rows[r].index2])
            chosen.append(r);
    return chosen;
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
        free |= (std::uint64_t(1) << row.index1) | (std::uint64_t(1) << row.index2);
    for (int slot = 1; slot < next; ++slot) {
        const Row& row = rows[picked[slot].row];
        free &= ~((std::uint64_t(1) << row.index1) | (std::uint64_t(1) << row.index2));
    }
    return free;
}

// The most disjoint open pairings among the entries of `free`. The search
// asks it to drop, at once, picks after which the courts cannot be filled:
// without it a date whose pairings hold no full set tries every combination.
// Its steps count toward the search's budget; past it the answer is only
// bounded, which is still safe.
int LeaguePairing::MostDisjoint(std::uint64_t free)
{
    if (free == 0)
        return 0;
    if (const auto known = disjointMemo.constFind(free); known != disjointMemo.cend())
        return *known;
    const int perfect = std::popcount(free) / 2;
    if (++searchSteps > SearchBudget)
        return perfect;
    if (pacer && searchSteps % 256 == 0)
        pacer->checkpoint();
    const int v = std::countr_zero(free);
    const std::uint64_t rest = free & ~(std::uint64_t(1) << v);
    int most = 0;
    for (std::uint64_t others = partners[v] & rest; others != 0 && most < perfect; others &= others - 1)
        most = std::max(most, 1 + MostDisjoint(rest & ~(std::uint64_t(1) << std::countr_zero(others))));
    if (most < perfect)
        most = std::max(most, MostDisjoint(rest));   // v sits out
    if (searchSteps <= SearchBudget)
        disjointMemo.insert(free, most);
    return most;
}

// Depth-first search in row order for `target` disjoint pairings that
// seat `needBehind` entries with the fewest games and `needNext` one game
// ahead of them (the most the matching found there is). Leaves the first
// such set in row order in slots 1..target; false when the search passes
// its budget first.
bool LeaguePairing::SearchPicks(int target, int needBehind, int needNext, int fewest, const State& s)
{
    picked = QVector<Pick>(target + 1);
    int next = 1;
    int behind = 0, ahead = 0;
    const auto count = [&](const Row& row, int by) {
        for (int index : {row.index1, row.index2}) {
            behind += s.games[index] == fewest ? by : 0;
            ahead += s.games[index] == fewest + 1 ? by : 0;
        }
    };
    cursor = 0;
    searchSteps = 0;
    while (searchSteps <= SearchBudget) {
        if (++searchSteps % 256 == 0 && pacer)
            pacer->checkpoint();
        if (cursor >= rows.size()) {
            if (next == 1)
                return false;
            count(rows[picked[next - 1].row], -1);
            next = UndoPick(next);
            continue;
        }
        const Row& row = rows[cursor];
        if (!Clashes(row, next)) {
            picked[next] = Pick{row.matchId, row.pid1, row.pid2, cursor};
            ++next;
            count(row, 1);
            const int left = target - (next - 1);
            if (left == 0 && behind >= needBehind && ahead >= needNext)
                return true;
            const bool hopeless = left == 0 || behind + 2 * left < needBehind || ahead + 2 * left < needNext ||
                                  behind + ahead + 2 * left < needBehind + needNext ||
                                  (bounded && MostDisjoint(FreeEntries(next)) < left);
            if (hopeless) {
                count(row, -1);
                next = UndoPick(next);
                continue;
            }
        }
        ++cursor;
    }
    return false;
}

// -------------------------------------------------------- trying a round ahead

QDate LeaguePairing::nextPlayDate(const QDate& after) const
{
    const GroupSetup& setup = engine.setup();
    QDate d = after;
    // The generator's walk: every checked weekday but the league's days off.
    for (int step = 0; step < 7 * 520; ++step) {
        d = d.addDays(1);
        if (setup.playDays[d.dayOfWeek() % 7] && !setup.groupDaysOff.contains(d))
            return d;
    }
    return {};
}

// The rest of the current round, from the date being filled, the way given:
// over the dates and days off ahead, with the priorities and weights the
// generator would give it, on a copy of everything. With `untilFlawed` it
// stops at the first court left empty or games two apart.
LeaguePairing::Trial LeaguePairing::tryAhead(const State& start, const DateFill& from, Way how, bool untilFlawed)
{
    State s = start;
    DateFill d = from;
    LeagueDaysOff days(*dayOffs);
    const int courts = courtCount();
    const int perDate = std::max(1, std::min(courts, int(s.games.size()) / 2));
    const int fewest = (s.matchCount - s.usedSinceBuild + perDate - 1) / perDate;
    const int limit = days.datesBeforeOverride() + 2 * fewest + 8;
    Trial t;
    for (int n = 0;; ++n) {
        bool rebuilt = false;
        fillFromRound(s, d, how, rebuilt);
        if (rebuilt || s.usedSinceBuild >= s.matchCount) {
            t.complete = true;
            return t;
        }
        t.emptyCourts += courts - d.court;
        endDate(s, d);
        const auto [low, high] = std::minmax_element(s.games.cbegin(), s.games.cend());
        t.unevenByes += std::max(0, *high - *low - 1);
        const QDate next = nextPlayDate(d.date);
        if (n >= limit || !next.isValid() || (untilFlawed && !t.flawless()))
            return t;
        d = beginDate(s, next, days);
    }
}

// The way the current round takes: the search, unless it leaves courts
// empty or byes uneven where the matching does better.
void LeaguePairing::decideWay(const State& s, const DateFill& d)
{
    wayDecidedFor = s.roundsBuilt;
    if (s.games.size() > SearchedEntries) {
        way = Way::Matching;
        return;
    }
    // Most rounds settle at the first or second trial: the search without a
    // flaw, or a flawed search against a flawless matching.
    Trial search = tryAhead(s, d, Way::Search, true);
    if (search.complete && search.flawless()) {
        way = Way::Search;
        return;
    }
    const Trial matching = tryAhead(s, d, Way::Matching, false);
    if (matching.complete && matching.flawless()) {
        way = Way::Matching;
        return;
    }
    search = tryAhead(s, d, Way::Search, false);
    const auto score = [](const Trial& t) { return std::tuple(!t.complete, t.emptyCourts, t.unevenByes); };
    way = score(matching) < score(search) ? Way::Matching : Way::Search;
}

// ---------------------------------------------------------------- the date

void LeaguePairing::ScheduleLeagueDate(const QDate& date)
{
    const QVector<int>& courts = engine.setup().courts;
    if (courts.isEmpty())
        return;
    preparePlan();
    const bool open = !AllRoundsPlayed();
    State s = liveState();
    DateFill d = beginDate(s, date, *dayOffs);
    if (wayDecidedFor != s.roundsBuilt)
        decideWay(s, d);
    for (;;) {
        bool rebuilt = false;
        const QVector<Pick> picks = fillFromRound(s, d, way, rebuilt);
        for (int i = 0; i < picks.size(); ++i) {
            const Pick& p = picks[i];
            WriteMatch(date, p, courts[d.court - int(picks.size()) + i]);
            if (p.onDayOff)
                dayOffs->notePlacement(date, p.pid1, p.pid2);
        }
        if (!rebuilt)
            break;
        decideWay(s, d);
        if (d.court >= courts.size())
            break;
    }
    keepState(s);
    if (!open)
        return;
    ++usedDates;
    // Courts left empty while pairings were still open: the organiser hears which.
    if (d.court < courts.size() && !AllRoundsPlayed())
        engine.addShortDate({date, 2 * d.court, 2 * int(courts.size()), int(d.off.size()), int(s.games.size())});
}

void LeaguePairing::WriteMatch(const QDate& date, const Pick& pick, int courtId)
{
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
    preparePairs();
    QVector<double> priority;
    for (const SetupEntry& e : engine.setup().entries)
        priority.append(engine.priorityOf(e.id));
    QVector<PlanMatch>& matches = engine.matches();
    for (int m = 0; m < matches.size(); ++m)
        if (!matches[m].played)
            matches[m].weight = priority[pairOf[m].first] + priority[pairOf[m].second];
}
