#pragma once
#include "leaguedaysoff.h"
#include "plan.h"
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
//
// A date's matches fill as many courts as the open pairings allow, put the
// entries with the fewest games on court first (so that games played stay
// within one of each other where courts and days off allow), and then
// follow the pairings' weights. Two ways find them: the depth-first search
// in the order of the pairings table, for leagues of up to 24 entries (a
// date on which it passes a small budget of steps takes the matching's
// choice), and a maximum-weight matching over the free entries, which also
// follows a round-robin rotation so that a league with every entry on court
// finishes each round in its fewest dates. At the start of each round the
// ways are tried ahead in memory over the round's dates and days off, and
// the round takes the search unless the matching leaves fewer courts empty
// or fewer byes uneven.
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
    // The fewest dates `rounds` rounds can take: every date's courts full.
    static int FewestDates(int entries, int courts, int rounds);

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
    // Dates scheduled until the last round was complete (all so far while
    // one is still open).
    int datesUsed() const { return usedDates; }
    // The days off the pairing honours, its plan and what it had to place on one.
    LeagueDaysOff& daysOff() { return *dayOffs; }

private:
    // The two ways of finding a date's matches (see above).
    enum class Way { Search, Matching };

    // What a date's pairing reads and changes, as one value: the run's own,
    // or a copy for trying a round ahead.
    struct State {
        QVector<PlanMatch> matches;   // the current round's pairings
        int roundsBuilt = 0, matchCount = 0, usedSinceBuild = 0, byeCursor = 0;
        QVector<double> priority;   // per entry, in the setup's order
        QVector<int> games;         // dates played per entry
        QVector<char> deferred;     // per pairing: a day off held it back in its turn
    };
    // One date as it fills.
    struct DateFill {
        QDate date;
        QSet<int> off;       // GROUPPLAYERIDs with the date off
        QSet<int> busy;      // placed on the date, or off it
        QSet<int> placed;    // placed on the date
        int sitter = 0;      // the bye rotation's entry, while it sits out
        int firstTurn = 0;   // with the bye rotation: the turn of pairings due on the date
        int court = 0;       // courts given a match
        bool mayOverride = false, overriding = false;
    };
    struct Pick {
        int matchId = 0;   // index into the round's pairings
        int pid1 = 0;
        int pid2 = 0;
        int row = -1;   // index into `rows`
        bool onDayOff = false;
    };
    struct Row {
        int matchId = 0;
        int pid1 = 0, pid2 = 0;
        int index1 = 0, index2 = 0;   // the entries' positions in the setup
    };
    // How a way did over the rest of a round, tried ahead.
    struct Trial {
        bool complete = false;   // the round ended within the dates tried
        int emptyCourts = 0;     // before the date that completes the round
        int unevenByes = 0;      // over all dates: games apart by more than one, beyond one
        bool flawless() const { return emptyCourts == 0 && unevenByes == 0; }
    };
    // Steps (rows looked at, sets weighed) a date's search may take before
    // the matching fills the date instead.
    static constexpr int SearchBudget = 20000;
    // Leagues up to this many entries try the search first; it is exact and
    // fast there, and their schedules stay as they have always been.
    static constexpr int SearchedEntries = 24;

    QVector<int> entryIds() const;
    State liveState();
    void keepState(State& s);
    void buildRound(State& s);
    int TakeByeEntry(State& s);
    DateFill beginDate(State& s, const QDate& date, LeagueDaysOff& days);
    QVector<Pick> fillFromRound(State& s, DateFill& d, Way way, bool& rebuilt);
    void endDate(State& s, const DateFill& d);
    QVector<Pick> choose(State& s, const DateFill& d, int target, Way way);
    void ReadSelection(const State& s, const DateFill& d);
    QVector<int> takeInTurn(const State& s, int target, int fewest);
    int waitOf(const State& s, int matchId) const;
    QVector<int> matchRows(const State& s, int target, int fewest);
    bool SearchPicks(int target, int needBehind, int needNext, int fewest, const State& s);
    bool Clashes(const Row& row, int next) const;
    int MostDisjoint(std::uint64_t free);
    std::uint64_t FreeEntries(int next) const;
    void decideWay(const State& s, const DateFill& d);
    Trial tryAhead(const State& s, const DateFill& d, Way way, bool untilFlawed);
    QDate nextPlayDate(const QDate& after) const;
    void preparePlan();
    void preparePairs();
    int turnOfMatch(const State& s, int matchId) const;
    void WriteMatch(const QDate& date, const Pick& pick, int courtId);
    int numberOf(int entry) const;
    int courtCount() const;

    ScheduleEngine& engine;
    RunState& state;
    YieldPacer* pacer;

    QVector<Row> rows;                        // the selection of one search, in its order
    int cursor = 0;                           // the row the search looks at next
    qint64 searchSteps = 0;                   // of the date's search, against its budget
    bool bounded = false;                     // at most 64 entries: masks and the bound apply
    QVector<std::uint64_t> partners;          // per entry: bits of its open pairings
    QHash<std::uint64_t, int> disjointMemo;   // MostDisjoint per set of free entries
    QVector<Pick> picked;                     // slots 1..courts; index 0 unused
    std::unique_ptr<LeagueDaysOff> dayOffs;

    // The order of pairings the matching follows (see preparePlan): each
    // entry's place in the circle, or with Walecki's order each pairing's
    // turn in odd and even rounds; how many turns a round has, and the turn
    // due first in the selection.
    QVector<int> label;
    QVector<QPair<int, int>> pairOf;   // the entries of each pairing, in the order of building
    bool walecki = false;
    QVector<int> turnOf[2];
    int turns = 1;
    int turnBase = 0;
    QVector<char> deferred;   // the run's, between dates
    Way way = Way::Search;
    int wayDecidedFor = -1;   // roundsBuilt when the way was chosen
    int usedDates = 0;
};
