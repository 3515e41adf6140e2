#pragma once
#include <QHash>
#include <QVector>

// Who sits with whom on the courts of one date. The rotation has already
// chosen the entries of the date; this only reorders them over the seats, so
// that entries who have shared a court least so far come together.
//
// Seats are the date's schedule rows in the order they are written; seats
// with the same court index form one court. On a court of four, the first
// two seats and the last two are partners and the two pairs are opponents;
// on any other court everybody is an opponent of everybody else.
//
// Deterministic: the same history and the same order in give the same order
// out. It draws nothing from the run's random source, so who plays on a date
// (and every play count) is the same with and without it.
class CourtSeating {
public:
    // Reorders `entries` (GROUPPLAYERIDs in seat order, as picked).
    QVector<int> seat(const QVector<int>& entries, const QVector<int>& courtOfSeat) const;
    // Counts the partners and opponents of a seated date into the history.
    void record(const QVector<int>& seated, const QVector<int>& courtOfSeat);
    void clear();

    int partnerCount(int a, int b) const;
    int opponentCount(int a, int b) const;

    // The court index of each of `seats` seats as a date fills them: courts
    // take `perCourt` seats each in list order; without a next court the
    // rest stay on the last one.
    static QVector<int> courtsOfSeats(int seats, int perCourt, int courtCount);

private:
    struct Counts {
        int partners = 0;
        int opponents = 0;
    };
    // The history is a square of counts over dense indexes given to entries
    // as they are first recorded: a date's search reads it hundreds of times.
    int denseIndex(int entry) const { return dense.value(entry, -1); }
    int addEntry(int entry);
    Counts counts(int a, int b) const;
    Counts& cell(int a, int b) { return history[a * capacity + b]; }

    QHash<int, int> dense;   // GROUPPLAYERID -> row and column of `history`
    int capacity = 0;
    QVector<Counts> history;   // capacity x capacity, symmetric
};
