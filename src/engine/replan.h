#pragma once
// The rest of a season generated again from a date: the dates before it
// stay exactly as they are; from it on the scheduling engine walks the
// calendar with today's entries, courts and days off, starting from the play
// and ball counts already carried, and a league schedules the pairings still
// open in its rounds. Runs inside the caller's transaction.
#include "schedulehost.h"
#include "seasonops.h"
#include <QDate>
#include <QSet>
#include <random>

class Database;
class LeaguePairing;
class ScheduleEngine;
struct RunState;

// A host that asks nothing and lets nothing else run: for work inside an
// open transaction whose questions its checks have already answered.
class QuietHost : public ScheduleHost {
public:
    Answer ask(const QString&) override { return Yes; }
    void warn(const QString&) override {}
    void statusMessage(const QString&) override {}
    void setBusy(bool) override {}
    void suspendUpdates(bool) override {}
    void yield() override {}
    bool showReconcile(const QVector<ReconcileLine>&, int, double) override { return true; }
};

class SeasonReplan {
public:
    SeasonReplan(Database& db, const Season& season, const QDate& from, std::mt19937& random);
    ~SeasonReplan();

    // Why the season cannot be re-planned from the date; empty when it can.
    QString refusal();
    void run();
    // Play counts per entry before the re-plan and in `after`.
    QVector<ReplanCount> counts(const Season& after) const;

private:
    int lockedDateCount() const;
    void clearFromDate();
    void carryCounters();
    double groupDatesLeft() const;
    double prepareLeague(LeaguePairing& pairing);
    void balance();
    void restoreResults();

    Database& db;
    const Season& before;
    QDate from;
    std::mt19937& rng;
    std::unique_ptr<RunState> state;
    std::unique_ptr<ScheduleEngine> engine;
    struct Result {
        int low, high, winner;
    };
    QVector<Result> results;   // results of the matches from the date on, in date order
};
