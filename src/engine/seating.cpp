#include "seating.h"
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A repeated partnership weighs this much more than a repeated opponent.
constexpr int PartnerWeight = 10;
// Swap passes over the date's seats; a pass that improves nothing ends it.
constexpr int MaxPasses = 5;
// Searches from different first seatings; the cheapest result is taken. A
// small date gets up to MostStarts, since its few seats leave a single
// search stuck more often; a large one fewer, so that a date costs about
// StartBudget / n² searches (3 for 32 seats, 8 up to 19) and stays cheap.
constexpr int MostStarts = 8;
constexpr int FewestStarts = 2;
constexpr int StartBudget = 3072;

// The growth of a sum of squares when a count goes from c to c + 1: a pair
// that met twice costs more to bring together again than two that met once.
int growth(int c)
{
    return 3 * c * c + 3 * c + 1;
}

// One date's search: swaps of two seats while one lowers the cost of the
// date. On a court of four a swap inside the court changes who partners
// whom; elsewhere a swap changes courts.
class SeatSearch {
public:
    // partnerCost and opponentCost: n x n, what two of the date's entries
    // (0..n-1) add to the cost as partners and as opponents.
    SeatSearch(const QVector<int>& courtOfSeat, int n, std::vector<int> partnerCost, std::vector<int> opponentCost)
        : n(n), partnerCosts(std::move(partnerCost)), opponentCosts(std::move(opponentCost)),
          courtOf(courtOfSeat.begin(), courtOfSeat.begin() + n), partnerOf(n, -1)
    {
        for (int s = 0; s < n; ++s)
            courtCount = std::max(courtCount, courtOf[s] + 1);
        seatsOf.resize(courtCount);
        for (int s = 0; s < n; ++s)
            seatsOf[courtOf[s]].push_back(s);
        for (const std::vector<int>& seats : seatsOf)
            if (seats.size() == 4)
                for (int i = 0; i < 4; ++i)
                    partnerOf[seats[i]] = seats[i ^ 1];
        for (int s = 0; s < n; ++s) {
            firstNeighbour.push_back(int(neighbours.size()));
            for (int t : seatsOf[courtOf[s]])
                if (t != s)
                    neighbours.push_back({t, (partnerOf[s] == t ? partnerCosts : opponentCosts).data()});
        }
        firstNeighbour.push_back(int(neighbours.size()));
    }

    // Improves `occupant` (seat -> entry 0..n-1) in place; returns its cost.
    int improve(std::vector<int>& occupant)
    {
        occ = occupant.data();
        bears.assign(n, 0);
        for (int s = 0; s < n; ++s)
            bears[s] = costOn(s, occ[s], -1);
        changedAt.assign(courtCount, 0);
        checkedAt.assign(n * n, -1);
        step = 1;
        for (int pass = 0; pass < MaxPasses; ++pass) {
            bool improved = false;
            for (int x = 0; x < n; ++x)
                for (int y = x + 1; y < n; ++y)
                    improved |= trySwap(x, y);
            if (!improved)
                break;
        }
        int sum = 0;
        for (int s = 0; s < n; ++s)
            sum += bears[s];
        return sum / 2;
    }

private:
    // Another seat of a seat's court, with the costs of its relation to it.
    struct Neighbour {
        int seat;
        const int* costs;
    };

    // What entry `e` on `seat` costs with the others of the court, leaving
    // out the seat `other` (-1 for none).
    int costOn(int seat, int e, int other) const
    {
        int sum = 0;
        for (int k = firstNeighbour[seat]; k < firstNeighbour[seat + 1]; ++k) {
            const Neighbour& nb = neighbours[k];
            if (nb.seat != other)
                sum += nb.costs[e * n + occ[nb.seat]];
        }
        return sum;
    }
    int swapGain(int x, int y) const
    {
        if (courtOf[x] != courtOf[y])
            return costOn(x, occ[y], -1) - bears[x] + costOn(y, occ[x], -1) - bears[y];
        // Same court: the pair x-y stays opponents, so only the others change.
        return costOn(x, occ[y], y) - costOn(x, occ[x], y) + costOn(y, occ[x], x) - costOn(y, occ[y], x);
    }
    void swapSeats(int x, int y)
    {
        std::swap(occ[x], occ[y]);
        for (int c : {courtOf[x], courtOf[y]}) {
            for (int s : seatsOf[c])
                bears[s] = costOn(s, occ[s], -1);
            changedAt[c] = step;
        }
        ++step;
    }
    bool worthSwapping(int x, int y) const
    {
        if (courtOf[x] != courtOf[y])
            return true;
        // Inside a court only a new partner changes anything.
        return partnerOf[x] >= 0 && partnerOf[x] != y;
    }
    // Tries the swap of seats x and y unless it was tried without a gain
    // and neither court has changed since.
    bool trySwap(int x, int y)
    {
        int& checked = checkedAt[x * n + y];
        if (checked > std::max(changedAt[courtOf[x]], changedAt[courtOf[y]]) || !worthSwapping(x, y))
            return false;
        if (swapGain(x, y) < 0) {
            swapSeats(x, y);
            return true;
        }
        checked = step;
        return false;
    }

    const int n;
    const std::vector<int> partnerCosts, opponentCosts;
    const std::vector<int> courtOf;
    std::vector<int> partnerOf;   // seat -> partner's seat, -1 on a court without partners
    int courtCount = 0;
    std::vector<std::vector<int>> seatsOf;   // court -> its seats in order
    std::vector<Neighbour> neighbours;       // the others of each seat's court, seat by seat
    std::vector<int> firstNeighbour;         // seat -> its first in `neighbours`; one more at the end
    int* occ = nullptr;                      // the seating being improved
    std::vector<int> bears;                  // seat -> what its occupant costs with its court
    std::vector<int> changedAt, checkedAt;   // steps: a court's last swap, a seat pair's last try without a gain
    int step = 0;
};

int startsFor(int n)
{
    return std::clamp(StartBudget / (n * n), FewestStarts, MostStarts);
}

// The first seatings of the searches: the order of the picks, then reversed,
// interleaved, turned half round and further round, so the result depends on
// the input alone.
std::vector<int> startingSeating(int start, int n)
{
    std::vector<int> occupant(n);
    for (int s = 0; s < n; ++s) {
        switch (start) {
        case 0: occupant[s] = s; break;
        case 1: occupant[s] = n - 1 - s; break;
        case 2: occupant[s] = s < (n + 1) / 2 ? 2 * s : 2 * (s - (n + 1) / 2) + 1; break;
        case 3: occupant[s] = (s + n / 2) % n; break;
        default: occupant[s] = (s + start * n / MostStarts) % n; break;
        }
    }
    return occupant;
}

}   // namespace

int CourtSeating::addEntry(int entry)
{
    const int known = denseIndex(entry);
    if (known >= 0)
        return known;
    const int index = int(dense.size());
    dense.insert(entry, index);
    if (index >= capacity) {
        const int grown = std::max(16, 2 * capacity);
        QVector<Counts> wider(grown * grown);
        for (int a = 0; a < capacity; ++a)
            std::copy_n(history.constData() + a * capacity, capacity, wider.data() + a * grown);
        history = std::move(wider);
        capacity = grown;
    }
    return index;
}

CourtSeating::Counts CourtSeating::counts(int a, int b) const
{
    const int i = denseIndex(a), j = denseIndex(b);
    return i < 0 || j < 0 ? Counts() : history[i * capacity + j];
}

int CourtSeating::partnerCount(int a, int b) const
{
    return counts(a, b).partners;
}

int CourtSeating::opponentCount(int a, int b) const
{
    return counts(a, b).opponents;
}

void CourtSeating::clear()
{
    dense.clear();
    history.clear();
    capacity = 0;
}

QVector<int> CourtSeating::courtsOfSeats(int seats, int perCourt, int courtCount)
{
    QVector<int> court(seats);
    int slot = 0;
    int current = 0;
    for (int j = 0; j < seats; ++j) {
        if (++slot > perCourt) {
            if (current + 1 < courtCount)
                ++current;
            slot = 1;
        }
        court[j] = current;
    }
    return court;
}

void CourtSeating::record(const QVector<int>& seated, const QVector<int>& courtOfSeat)
{
    const int n = int(std::min(seated.size(), courtOfSeat.size()));
    QVector<int> index(n);
    for (int s = 0; s < n; ++s)
        index[s] = addEntry(seated[s]);
    // Seats of one court are consecutive; on a court of four its first two
    // and its last two are partners.
    for (int first = 0, last = 0; first < n; first = last) {
        while (last < n && courtOfSeat[last] == courtOfSeat[first])
            ++last;
        const int size = last - first;
        for (int i = first; i < last; ++i)
            for (int j = i + 1; j < last; ++j) {
                if (index[i] == index[j])
                    continue;   // an entry placed twice on a date meets nobody new
                const bool partners = size == 4 && (j - first) == (i - first) + 1 && (i - first) % 2 == 0;
                (partners ? cell(index[i], index[j]).partners : cell(index[i], index[j]).opponents) += 1;
                (partners ? cell(index[j], index[i]).partners : cell(index[j], index[i]).opponents) += 1;
            }
    }
}

QVector<int> CourtSeating::seat(const QVector<int>& entries, const QVector<int>& courtOfSeat) const
{
    const int n = int(std::min(entries.size(), courtOfSeat.size()));
    if (n < 3)
        return entries;

    // What every pair of the date's entries would add as partners and as
    // opponents: a cubic growth of how often they met, partners weighted
    // far more, plus how often they shared a court at all.
    std::vector<int> partnerCost(n * n, 0), opponentCost(n * n, 0);
    std::vector<int> index(n);
    for (int a = 0; a < n; ++a)
        index[a] = denseIndex(entries[a]);
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            if (entries[a] == entries[b])
                continue;   // an entry placed twice on a date meets nobody new
            const Counts c = index[a] < 0 || index[b] < 0 ? Counts() : history[index[a] * capacity + index[b]];
            const int shared = growth(c.partners + c.opponents);
            partnerCost[a * n + b] = partnerCost[b * n + a] = PartnerWeight * growth(c.partners) + shared;
            opponentCost[a * n + b] = opponentCost[b * n + a] = growth(c.opponents) + shared;
        }

    SeatSearch search(courtOfSeat, n, std::move(partnerCost), std::move(opponentCost));
    std::vector<int> best;
    int bestCost = 0;
    for (int start = 0, starts = startsFor(n); start < starts; ++start) {
        std::vector<int> occupant = startingSeating(start, n);
        const int found = search.improve(occupant);
        if (best.empty() || found < bestCost) {
            best = std::move(occupant);
            bestCost = found;
        }
    }

    QVector<int> seated(entries);
    for (int s = 0; s < n; ++s)
        seated[s] = entries[best[s]];
    return seated;
}
