#pragma once
#include "data/query.h"
#include "leaguedaysoff.h"
#include <QDate>
#include <QSet>
#include <QString>
#include <QVector>
#include <memory>

class Database;
class GroupDatasets;
struct RunState;

// Round-robin pairing of a league: the table of pairings (MATCHES), the
// choice of each date's matches and their schedule rows, and the weights
// that bring entries who sat out to the front of the next date.
// Works on the league editor's datasets and the program-wide run state; the
// generator sets up the pairing state and calls these per date.
class LeaguePairing {
public:
    LeaguePairing(GroupDatasets& ds, RunState& state, Database& db);
    ~LeaguePairing();

    // Empties MATCHES and fills it with every pairing of the league's entries.
    void BuildMatches();
    // Picks and writes the matches of one date.
    void ScheduleLeagueDate(const QDate& date);
    // WEIGHT := PRIORITY of both entries, for every open pairing.
    void WeighMatches();
    // One backtracking step: withdraws the latest pick; returns the new
    // number of the first free slot of the picked list.
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
        int matchId = 0;
        int pid1 = 0;
        int pid2 = 0;
    };
    // Rows a date's search may step through before it settles for the
    // largest set found: a search without a full set can otherwise run long.
    static constexpr int SearchBudget = 2000000;

    void MarkMatchPlayed(int matchId, bool played);
    QVector<int> entryIds() const;
    QVector<int> courtIds() const;
    int TakeByeEntry();
    Query& OpenSelection(int byeEntry);
    int SearchPicks(int target, const QSet<int>& busy);
    bool Clashes(int pid1, int pid2, int next, const QSet<int>& busy) const;
    void WriteMatch(const QDate& date, const Pick& pick, int courtId);
    void WriteScheduleRow(const QDate& date, int entry, int opponent, int courtId);

    GroupDatasets& ds;
    RunState& state;
    Database& db;

    std::unique_ptr<Query> qmatches;          // open pairings, heaviest first
    std::unique_ptr<Query> qbyematches;       // open pairings without the bye entry
    Query* selection = nullptr;               // the one of the two open for this date
    std::unique_ptr<Query> qudisablematch;    // PLAYED of one pairing
    std::unique_ptr<Query> qemptymatches;
    std::unique_ptr<Query> qinsertmatch;
    std::unique_ptr<Query> qweighmatches;
    QVector<Pick> picked;                     // slots 1..courts; index 0 unused
    QVector<Pick> best;                       // largest set seen in a search
    int stepsLeft = 0;
    std::unique_ptr<LeagueDaysOff> dayOffs;
};
