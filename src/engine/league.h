#pragma once
#include "leaguedaysoff.h"
#include <QDate>
#include <QSet>
#include <QString>
#include <QHash>
#include <QVector>
#include <cstdint>
#include <memory>

class ScheduleEngine;
class YieldPacer;
struct RunState;

// Round-robin pairing of a league: the table of pairings (MATCHES), the
// choice of each date's matches and their schedule rows, and the weights
// that bring entries who sat out to the front of the next date.
// Works on the run's plan in memory (its pairings stand for the pairings
// table until the plan is written) and the run state; the generator sets up
// the pairing state and calls these per date.
class LeaguePairing {
public:
    LeaguePairing(ScheduleEngine& engine, RunState& state, YieldPacer* pacer = nullptr);
    ~LeaguePairing();

    // Sets up the pairing state of a run from the run state's entry count
    // and the league's courts (rounds wanted, bye flag, order and cursor)
    // and builds the pairings.
    void StartRun(int rounds);
    // Entries that sit out every date: those the courts leave without a place.
    static int SittingOut(int entries, int courts);

    // Empties the pairings and fills them with every pairing of the league's entries.
    void BuildMatches();
    // Marks the pairing of two entries played; false when it is not open.
    bool MarkPlayed(int entry, int other);
    // Picks and writes the matches of one date.
    void ScheduleLeagueDate(const QDate& date);
    // WEIGHT := PRIORITY of both entries, for every open pairing.
    void WeighMatches();
    // One backtracking step: withdraws the latest pick and goes on after
    // its row; returns the new number of the first free slot.
    int UndoPick(int next);

    // What keeps a league from being scheduled, in words for the user, or
    // an empty text when it can go ahead. Asked before anything changes.
    static QString RefusalReason(int courts, int playDays, int rounds);
    // True once every round wanted has been built and fully played: a run
    // goes on past its session total until then.
    bool AllRoundsPlayed();
    // The days off the pairing honours, its plan and what it had to place on one.
    LeagueDaysOff& daysOff() { return *dayOffs; }

private:
    struct Pick {
        int matchId = 0;   // index into the plan's pairings
        int pid1 = 0;
        int pid2 = 0;
        int row = -1;   // index into `rows`
    };
    struct Row {
        int matchId = 0;
        int pid1 = 0, pid2 = 0;
        int bit1 = -1, bit2 = -1;   // entries as bits of a mask; -1 past 64 entries
    };
    // Rows a date's search may step through before it settles for the
    // largest set found; with the bound below it seldom needs many.
    static constexpr int SearchBudget = 2000000;

    QVector<int> entryIds() const;
    int TakeByeEntry();
    void ReadSelection(int byeEntry, const QSet<int>& busy);
    int SearchPicks(int target);
    bool Clashes(const Row& row, int next) const;
    int MostDisjoint(std::uint64_t free);
    std::uint64_t FreeEntries(int next) const;
    void WriteMatch(const QDate& date, const Pick& pick, int courtId);
    int numberOf(int entry) const;

    ScheduleEngine& engine;
    RunState& state;
    YieldPacer* pacer;

    QVector<Row> rows;                        // the selection of one search, in its order
    int cursor = 0;                           // the row the search looks at next
    bool bounded = false;                     // at most 64 entries: masks and the bound apply
    QVector<std::uint64_t> partners;          // per entry bit: bits of its open pairings
    QHash<std::uint64_t, int> disjointMemo;   // MostDisjoint per set of free entries
    QVector<Pick> picked;                     // slots 1..courts; index 0 unused
    std::unique_ptr<LeagueDaysOff> dayOffs;
};
