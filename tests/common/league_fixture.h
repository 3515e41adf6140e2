#pragma once
#include "engine/engine.h"
#include "engine/league.h"
#include "engine/runstate.h"
#include <QDate>
#include <QTemporaryDir>
#include <QVector>
#include <memory>
#include <random>

class ScriptedHost;
class Tdmglobal;

// One scheduled match as the schedule rows show it.
struct LeagueMatch {
    QDate date;
    int pid1 = 0, pid2 = 0;     // entry ids, PID1's row carries the opponent
    int slot1 = 0, slot2 = 0;   // SLOTCODE of the first row, SLOTCODE2
    int court = 0;              // GRPCOURTID
    int courtIndex = 0;         // position of the court in the league's courts
};

struct LeagueSettings {
    int entries = 4;
    int courts = 2;
    int rounds = 1;
    int matchType = 1;                 // 1 singles, 2 doubles (teams)
    int firstEntryId = 0;              // 0: ids as the table gives them
    QDate start = QDate(2027, 1, 4);   // a Monday
    QVector<int> weekdays = {2};       // 1 Sunday .. 7 Saturday
};

// A temporary database holding one league, its datasets positioned on it,
// and a run of the league steps of the generator over it (start-up of the
// pairing state, then per date pick, priorities, weights), each step the
// engine's own.
class LeagueFixture {
public:
    LeagueFixture();
    ~LeagueFixture();

    Database& db();
    void createLeague(const LeagueSettings& settings);

    // Sets the pairing state as the generator does, builds the pairings and
    // resets the counters and the schedule through the engine.
    void startRun();
    // One date: pick, priorities (played halved, sat out + 100000), weights.
    void scheduleDate(const QDate& date);
    // Walks the weeks; stops once the session total is reached and, when
    // `untilComplete`, every round has been played. Returns the dates used.
    QVector<QDate> run(bool untilComplete = true);
    double sessionTotal() const;
    // A new engine and pairing over the league as the file holds it now.
    // The steps plan in memory; startRun() and scheduleDate() write the plan
    // so that the tests can read the tables.
    void reloadEngine();

    QVector<LeagueMatch> matches();   // in date, court order
    int scheduleRows();
    int rowsOf(int entry);
    double sessionsPlayed(int entry);
    double priority(int entry);
    int openPairings();

    LeagueSettings settings;
    QVector<int> entries;   // GROUPPLAYERIDs in table order
    QVector<int> courts;    // COURTIDs in court-list order
    int groupId = 0;
    RunState state;
    std::unique_ptr<ScheduleEngine> engine;   // anew at every startRun()
    std::unique_ptr<LeaguePairing> pairing;   // over the engine's plan

private:
    int addPlayer(int n);

    QTemporaryDir dir;
    std::unique_ptr<ScriptedHost> host;
    std::mt19937 random{1};
    std::unique_ptr<Tdmglobal> dm;
};
