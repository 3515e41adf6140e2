#pragma once
// What the group and league benchmarks share: a shape to generate, one timed
// run of the engine end to end, and the floor the run is measured against.
#include <QString>
#include <QStringList>
#include <QVector>

class Database;

struct EngineShape {
    const char* label;
    int recordKind;   // 1 group, 2 league
    int entries, perSession, courts, matchType;
    int duration;            // weeks or rounds
    QVector<int> weekdays;   // 1 Sunday ... 7 Saturday
    double targetMs;         // 0: no target
};

struct EngineRun {
    double ms = 0;
    qint64 writes = 0;             // statements that changed rows
    double longestStretchMs = 0;   // most work between two yields (or the ends)
    int yields = 0;
    QString check;   // empty when the schedule is sound, else what is wrong
};

// Creates the shape's group or league in `db` and returns its GROUPID.
int createShape(Database& db, const EngineShape& shape);
// One GenerateSchedule of the group, every question answered Yes and the
// reconciliation accepted, with the host's 30 ms yields running the event loop.
EngineRun timeEngineRun(Database& db, int groupId, unsigned seed);
// What the schedule must hold: a group's dates full and, when E is whole,
// every entry on E of them; a league's rounds each holding every pairing once.
QString checkSchedule(Database& db, int groupId, const EngineShape& shape);
// `writes` single-row INSERTs into a schedule table in one transaction, with
// the sqlite3 library on a WAL file of the program's settings; -1 when the
// library cannot be loaded.
double timeOneTransactionFloor(const QString& dir, qint64 writes);

// Runs every shape `runs` times on a fresh database and prints a line each.
void benchShapes(const char* title, const QVector<EngineShape>& shapes, int runs);
