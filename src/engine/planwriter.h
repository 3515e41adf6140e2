#pragma once
#include <QDate>

class Database;
class YieldPacer;
struct GroupSetup;
struct SchedulePlan;

// Writes what a run planned, inside the caller's transaction (or one of its
// own): the group's old rows go first (in pieces, so that the window keeps
// answering), then the plan's rows through one prepared statement, the
// entries' counters, a league's pairings and an adjusted players per session.
class PlanWriter {
public:
    PlanWriter(Database& db, YieldPacer* pacer = nullptr);

    // `replaceFrom`: the group's rows from this date on are replaced by the
    // plan's; an invalid date replaces the whole schedule.
    void write(const GroupSetup& setup, const SchedulePlan& plan, const QDate& replaceFrom = QDate());

private:
    void deleteOldRows(int groupId, const QDate& from);
    void insertRows(const SchedulePlan& plan);
    void writeCounters(const GroupSetup& setup, const SchedulePlan& plan);
    void writeMatches(const SchedulePlan& plan);
    void checkpoint();

    Database& db;
    YieldPacer* pacer;
};
