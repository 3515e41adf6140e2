#pragma once
#include <QDate>
#include <QHash>
#include <QVector>

class Database;

// Evens out the ball duty (the HOME marks) of one group's or league's whole
// schedule. The marks of the generation run follow each entry's BBPRIORITY
// date by date, but reconciliation later hands marked rows to other entries
// and deletes some, so the counts drift apart. Afterwards:
// - every court of every date carries exactly one mark;
// - among entries that play equally often, the marks differ by at most one
//   (wherever they share courts with each other at all), and each entry's
//   marks come as close to its share of the courts it plays on as the
//   courts allow.
// A mark only ever moves to another entry on the same court and date, so the
// schedule itself is unchanged. BBPRIORITY follows the new counts (5000 halved
// once per mark), so that later marking goes on from them.
//
// Works from the schedule rows alone, so it serves any change of a schedule,
// not only a generation run. The changes are one transaction (or join the
// caller's).
class BallDutyBalance {
public:
    explicit BallDutyBalance(Database& db);

    // Returns the number of schedule rows whose mark changed.
    int balance(int groupId);

private:
    struct Row {
        int scheduleId = 0;
        int entry = 0;
        bool home = false;
    };
    struct Slot {                  // one court on one date
        QVector<Row> rows;
        int marked = -1;           // index into rows of the marked row
    };

    void load(int groupId);
    void chooseFirstMarks();
    bool improveOnce();
    bool moveAlongPath(int from);
    qint64 deviation(int entry) const;   // marks above the entry's share, scaled to integers
    int write();

    Database& db;
    QVector<Slot> sittings;
    QVector<int> entries;          // GROUPPLAYERIDs of the group, ascending
    QHash<int, int> marks;         // entry -> sittings it is marked on
    QHash<int, int> plays;         // entry -> dates it plays
    qint64 seats = 0;              // rows over all sittings (one per entry and court)
};
