#pragma once
// What the group and league benchmarks share: a shape to generate, the one
// place that runs the engine, one timed run end to end and the floor each
// run is measured against.
#include <QString>
#include <QVariantList>
#include <QVector>

class Database;
class ScheduleHost;

struct EngineShape {
    const char* label;
    int recordKind;   // 1 group, 2 league
    int entries, perSession, courts, matchType;
    int duration;            // weeks or rounds
    QVector<int> weekdays;   // 1 Sunday ... 7 Saturday
    double targetRatio;      // wall time over the floor's; 0: no target
    double targetMs = 0;     // wall time of the whole run; 0: no target
};

// Wall-clock and processor time of one piece of work.
struct WallCpu {
    double wallMs = 0, cpuMs = 0;
};

struct EngineRun {
    WallCpu run;
    WallCpu floor;                 // the rows this run left, written alone
    int rows = 0;                  // SCHEDULE rows the run left for the group
    double longestStretchMs = 0;   // most work between two yields (or the ends)
    int yields = 0;
};

// Creates the shape's group or league in `db` and returns its GROUPID.
int createShape(Database& db, const EngineShape& shape);

// One GenerateSchedule of the group with a fresh run state and a random
// source seeded with `seed`. Every benchmark runs the engine through here.
void runEngine(Database& db, int groupId, ScheduleHost& host, unsigned seed);

// One run timed end to end (every question answered Yes, the reconciliation
// accepted, the host's yields running the event loop), then its floor.
EngineRun timeEngineRun(Database& db, int groupId, unsigned seed);

// The SCHEDULE rows of the group as the run left them, every column the run
// writes, in SCHEDULEID order.
QVector<QVariantList> readScheduleRows(Database& db, int groupId);

// The floor: `rows` written into a fresh database of the program's schema
// and pragmas, in one transaction, by one prepared INSERT reused with
// positional binding. Nothing a run could do writes those rows faster.
WallCpu timeRowsOnlyFloor(const QVector<QVariantList>& rows);

// What the schedule must hold: a group's dates full and, when E is whole,
// every entry on E of them; a league's rounds each holding every pairing once,
// in the fewest dates its courts allow.
QString checkSchedule(Database& db, int groupId, const EngineShape& shape);

// Runs every shape `runs` times on a fresh database and prints a line each.
void benchShapes(const char* title, const QVector<EngineShape>& shapes, int runs);
