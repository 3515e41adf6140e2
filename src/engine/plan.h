#pragma once
// A schedule as a run decides it, in memory: its rows in the order they are
// written, the entries' counters, and what the organiser should hear about
// (dates that could not be filled, matches placed on a day off). One check
// tells whether a plan keeps the rules; the run asks it before writing and
// the tests ask it of what reached the file.
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class Database;
class YieldPacer;
struct GroupSetup;

struct PlanRow {
    QDate date;
    int entry = 0;      // GROUPPLAYERID
    int number = 0;     // SLOTCODE: the entry's number
    int court = 0;      // COURTID
    int opponent = 0;   // on the first row of a league match
    int opponentNumber = 0;
    bool home = false;
};

struct PlanCounters {
    double priority = 0;
    double ballPriority = 0;
    int played = 0;
};

// One pairing of a league's current round, as the pairings table holds it.
struct PlanMatch {
    int pid1 = 0, pid2 = 0;
    bool played = false;
    std::optional<double> weight;   // blank until the pairings are first weighed
    QString mix;
};

// A date that could not be given all its places: too few entries were free.
struct ShortDate {
    QDate date;
    int placed = 0;
    int wanted = 0;
    int entriesOff = 0;   // entries whose players have the date off
    int entries = 0;
};

struct SchedulePlan {
    QVector<PlanRow> rows;
    QVector<PlanCounters> counters;   // per entry of the setup, in its order
    int playersPerSession = 0;        // the figure the run used
    bool storePlayersPerSession = false;
    bool league = false;
    QVector<PlanMatch> matches;   // a league's pairings as the run leaves them
    QVector<ShortDate> shortDates;
    // (GROUPPLAYERID, date) of league placements on a day off that the
    // organiser is asked to accept before the plan is written.
    QSet<QPair<int, QDate>> placedOnDayOff;
    QStringList dayOffNotes;   // the same, in words
    bool stopped = false;      // ended early by the organiser

    // The rows and counters that reached the file for the group.
    static SchedulePlan read(Database& db, const GroupSetup& setup);
};

// What breaks the rules in `plan`, one line per fault naming the date and the
// entry; empty when the plan is sound. `kept` are rows of the same season
// that the plan leaves in place (before a re-plan's first date): they count
// toward the counters and nobody may be placed twice beside them.
// With a pacer the check lets the window's messages run now and then.
QStringList planProblems(const GroupSetup& setup, const SchedulePlan& plan, const QVector<PlanRow>& kept = {},
                         YieldPacer* pacer = nullptr);

// "Tue 12 Jan 2027"
QString planDateText(const QDate& date);
// "Tue 12 Jan 2027 (15 of 16 places; 5 of 20 players have this date off)"
QString shortDateText(const ShortDate& d);
