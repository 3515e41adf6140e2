#include "seating.h"
#include <algorithm>
#include <utility>

namespace {

// A repeated partnership weighs this much more than a repeated opponent.
constexpr int PartnerWeight = 10;
// Swap passes over the date's seats; a pass that improves nothing ends it.
constexpr int MaxPasses = 5;
// Searches from different first seatings; the cheapest result is taken.
constexpr int Starts = 8;

// The growth of a sum of squares when a count goes from c to c + 1: a pair
// that met twice costs more to bring together again than two that met once.
int growth(int c)
{
    return 3 * c * c + 3 * c + 1;
}

} // namespace

quint64 CourtSeating::key(int a, int b)
{
    if (a > b)
        std::swap(a, b);
    return (quint64(quint32(a)) << 32) | quint32(b);
}

CourtSeating::Counts CourtSeating::counts(int a, int b) const
{
    return history.value(key(a, b));
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
    history.clear();
}

int CourtSeating::pairCost(int a, int b, Relation relation) const
{
    if (a == b)
        return 0;   // an entry placed twice on a date meets nobody new
    const Counts c = counts(a, b);
    const int shared = growth(c.partners + c.opponents);
    return relation == Relation::Partner ? PartnerWeight * growth(c.partners) + shared
                                         : growth(c.opponents) + shared;
}

// Calls visit(i, j, relation) for every pair of positions i < j of one court.
template <typename Visit>
void CourtSeating::forEachPair(const QVector<int>& seats, Visit visit)
{
    const int n = int(seats.size());
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const bool partners = n == 4 && ((i == 0 && j == 1) || (i == 2 && j == 3));
            visit(seats[i], seats[j], partners ? Relation::Partner : Relation::Opponent);
        }
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
    QHash<int, QVector<int>> courts;
    for (int s = 0; s < seated.size() && s < courtOfSeat.size(); ++s)
        courts[courtOfSeat[s]].append(seated[s]);
    for (const QVector<int>& entries : std::as_const(courts))
        forEachPair(entries, [this](int a, int b, Relation relation) {
            if (a == b)
                return;
            Counts& c = history[key(a, b)];
            (relation == Relation::Partner ? c.partners : c.opponents) += 1;
        });
}

QVector<int> CourtSeating::seat(const QVector<int>& entries, const QVector<int>& courtOfSeat) const
{
    const int n = int(std::min(entries.size(), courtOfSeat.size()));
    if (n < 3)
        return entries;

    // The costs of every pair of the date's entries, looked up once: the
    // search below asks for them thousands of times.
    QVector<int> partnerCost(n * n), opponentCost(n * n);
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            partnerCost[a * n + b] = partnerCost[b * n + a] = pairCost(entries[a], entries[b], Relation::Partner);
            opponentCost[a * n + b] = opponentCost[b * n + a] = pairCost(entries[a], entries[b], Relation::Opponent);
        }

    // seatsOfCourt[c]: the seat numbers of court c in order.
    QVector<QVector<int>> seatsOfCourt;
    for (int s = 0; s < n; ++s) {
        const int c = courtOfSeat[s];
        if (c >= seatsOfCourt.size())
            seatsOfCourt.resize(c + 1);
        seatsOfCourt[c].append(s);
    }

    // partnerSeat[s]: the seat of s's partner, -1 on a court without partners.
    QVector<int> partnerSeat(n, -1);
    for (const QVector<int>& seats : std::as_const(seatsOfCourt))
        if (seats.size() == 4)
            for (int i = 0; i < 4; ++i)
                partnerSeat[seats[i]] = seats[i ^ 1];
    // Plain arrays from here on: the search reads them hundreds of thousands of times.
    const int* const partnerOf = partnerSeat.constData();
    const int* const partnerCosts = partnerCost.constData();
    const int* const opponentCosts = opponentCost.constData();
    const int* const courtOf = courtOfSeat.constData();
    const QVector<QVector<int>>& courtSeats = seatsOfCourt;
    auto cost = [&](int seatA, int seatB, int a, int b) {
        return (partnerOf[seatA] == seatB ? partnerCosts : opponentCosts)[a * n + b];
    };
    // What moving the occupant of `seat` out for `incoming` changes on its
    // court, leaving out the seat `other` (the other end of the swap).
    auto change = [&](const QVector<int>& occupant, int seat, int incoming, int other) {
        int d = 0;
        for (int t : courtSeats[courtOf[seat]])
            if (t != seat && t != other)
                d += cost(seat, t, incoming, occupant[t]) - cost(seat, t, occupant[seat], occupant[t]);
        return d;
    };
    auto total = [&](const QVector<int>& occupant) {
        int sum = 0;
        for (const QVector<int>& seats : courtSeats)
            for (int i = 0; i < seats.size(); ++i)
                for (int j = i + 1; j < seats.size(); ++j)
                    sum += cost(seats[i], seats[j], occupant[seats[i]], occupant[seats[j]]);
        return sum;
    };

    // Swaps of two seats while one lowers the cost: on a court of four a swap
    // inside the court changes who partners whom, elsewhere it changes courts.
    // Only the pairs of the two seats change, so only they are counted.
    auto improve = [&](QVector<int>& occupant) {
        for (int pass = 0; pass < MaxPasses; ++pass) {
            bool improved = false;
            for (int x = 0; x < n; ++x)
                for (int y = x + 1; y < n; ++y) {
                    const bool sameCourt = courtOf[x] == courtOf[y];
                    if (sameCourt && (partnerOf[x] < 0 || partnerOf[x] == y))
                        continue;
                    const int delta = change(occupant, x, occupant[y], y) + change(occupant, y, occupant[x], x);
                    if (delta < 0) {
                        std::swap(occupant[x], occupant[y]);
                        improved = true;
                    }
                }
            if (!improved)
                break;
        }
        return total(occupant);
    };

    // occupant[s]: which of the date's entries (0..n-1) sits on seat s. The
    // first start is the order of the picks, the others reverse it,
    // interleave it and turn it half round, so the result depends on the
    // input alone.
    QVector<int> best;
    int bestCost = 0;
    for (int start = 0; start < Starts; ++start) {
        QVector<int> occupant(n);
        for (int s = 0; s < n; ++s) {
            switch (start) {
            case 0: occupant[s] = s; break;
            case 1: occupant[s] = n - 1 - s; break;
            case 2: occupant[s] = s < (n + 1) / 2 ? 2 * s : 2 * (s - (n + 1) / 2) + 1; break;
            case 3: occupant[s] = (s + n / 2) % n; break;
            default: occupant[s] = (s + start * n / Starts) % n; break;
            }
        }
        const int found = improve(occupant);
        if (best.isEmpty() || found < bestCost) {
            best = occupant;
            bestCost = found;
        }
    }
    const QVector<int>& occupant = best;

    QVector<int> seated(entries);
    for (int s = 0; s < n; ++s)
        seated[s] = entries[occupant[s]];
    return seated;
}
