#pragma once
#include <QDate>
#include <QVector>

class Database;
class YieldPacer;

// Evens out the ball duty (the HOME marks) of one group's or league's
// schedule. The marks of the generation run follow each entry's BBPRIORITY
// date by date, but reconciliation later hands marked rows to other entries
// and deletes some, and a substitute, a swap or a re-plan moves rows again,
// so the counts drift apart. Afterwards, on the dates it may change:
// - every court of every date carries exactly one mark;
// - among entries that play equally often over the season, the marks over
//   the season differ by at most one (wherever they share courts with each
//   other on those dates at all), and each entry's marks come as close to
//   its share of the courts it plays on as the courts allow.
// A mark only ever moves to another entry on the same court and date, so the
// schedule itself is unchanged. BBPRIORITY follows the new counts (5000 halved
// once per mark), so that later marking goes on from them.
//
// Works from the schedule rows alone, so it serves any change of a schedule,
// not only a generation run. The changes are one transaction (or join the
// caller's).
class BallDutyBalance {
public:
    // One schedule row as the balance sees it.
    struct DutyRow {
        qint64 id = 0;   // SCHEDULEID, or the row's place in a plan
        int entry = 0;   // GROUPPLAYERID
        QDate date;
        int court = 0;
        bool home = false;
    };

    // With a pacer, the work lets the window's messages run now and then.
    explicit BallDutyBalance(Database& db, YieldPacer* pacer = nullptr);
    // Without a file: for rows a run holds in memory.
    explicit BallDutyBalance(YieldPacer* pacer = nullptr);

    // Balances every date, or with `from` only the dates from it on: the
    // marks of the dates before it (already played, or kept by the change)
    // stay exactly as they are, though they count in the totals. Returns the
    // number of schedule rows whose mark changed.
    int balance(int groupId, const QDate& from = QDate());

    // The same on rows in memory: `entries` are the group's GROUPPLAYERIDs.
    // Sets the rows' marks; returns each entry's marks over the season, in
    // the order of `entries`.
    QVector<int> balanceRows(QVector<DutyRow>& rows, const QVector<int>& entries, const QDate& from = QDate());

    // BBPRIORITY of an entry that brought the balls `marks` times.
    static double ballPriority(int marks);

private:
    struct Row {
        int index = 0;   // into the rows being balanced
        int entry = 0;   // index into `entries`
        bool home = false;
    };
    struct Slot {   // one court on one date that may change
        QVector<Row> rows;
        int marked = -1;   // index into rows of the marked row
    };

    QVector<DutyRow> readRows(int groupId);
    void setEntries(const QVector<int>& ids);
    void load(const QVector<DutyRow>& rows, const QDate& from);
    void chooseFirstMarks();
    void setMark(int slot, int row);
    bool improveOnce();
    bool moveAlongPath(int from);
    qint64 deviation(int entry) const;   // marks above the entry's share, scaled to integers
    int applyMarks(QVector<DutyRow>& rows) const;
    void write(const QVector<DutyRow>& before, const QVector<DutyRow>& after);
    void checkpoint();

    Database* db = nullptr;
    YieldPacer* pacer;
    QVector<Slot> sittings;              // the courts and dates that may change
    QVector<int> entries;                // GROUPPLAYERIDs of the group, ascending
    QVector<int> marks;                  // per entry: sittings of the whole season it is marked on
    QVector<int> plays;                  // per entry: dates it plays over the whole season
    QVector<QVector<int>> markedSlots;   // per entry: the sittings that may change and carry its mark
    qint64 seats = 0;                    // rows over all sittings (one per entry and court)
    qint64 sittingCount = 0;             // courts and dates of the whole season

    // The search's working lists, kept between searches.
    QVector<int> queue;
    QVector<int> reachedAt;   // per entry: the search that reached it last
    QVector<int> cameFrom, viaSlot, viaRow;
    int search = 0;
};
