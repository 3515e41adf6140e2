#pragma once
// The scheduling engine of one group or league: generation of its session
// schedule, ball and home marking and reconciliation of play counts. It has
// no widget; it works on the editor's datasets and talks to the window only
// through a ScheduleHost.
//
// How the group editor runs it (F8, command 7), inside its guard:
//
//     guarded(this, [&] {
//         WidgetScheduleHost host(this);
//         ScheduleEngine engine(datasets, host, Tdmglobal::instance().random());
//         engine.GenerateSchedule();
//     });
//
// While a run is in progress runState().running is true: the editor's Cancel
// sets runState().stopRequest, every other command should beep, and a close
// request should call requestCloseDuringRun(...) (runstate.h) instead of
// closing, so that the datasets outlive the run. GenerateSchedule itself
// beeps and returns when a run is already in progress.
//
// Tests construct it with a scripted host and a seeded std::mt19937.
#include "data/kinds.h"
#include "data/query.h"
#include "pacer.h"
#include "runstate.h"
#include "seating.h"
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>
#include <memory>
#include <random>

class Database;
class GroupDatasets;
class LeaguePairing;
class ScheduleHost;

class ScheduleEngine {
public:
    ScheduleEngine(GroupDatasets& datasets, ScheduleHost& host, std::mt19937& random, RunState& state = runState());
    ~ScheduleEngine();
    ScheduleEngine(const ScheduleEngine&) = delete;
    ScheduleEngine& operator=(const ScheduleEngine&) = delete;

    // The whole run on the group row the datasets are positioned on.
    void GenerateSchedule();
    // The finished run asks for its printed schedule: true after a run that
    // completed or was stopped, false after a refusal, a question answered
    // No or a close of the window during the run. The window prints it.
    bool printRequested() const { return printWanted; }

    // Re-planning a running season: the run's walk from `from` for `dates`
    // more dates, on the counters (and league pairings) the caller set up in
    // the run state; no date before `from` is written.
    void ContinueFrom(const QDate& from, double dates, std::unique_ptr<LeaguePairing> pairing = nullptr);

    // --- steps of the run, public for the league pairing and the tests ---
    void FillGroupDate(int playersPerSession, const QDate& date);
    int PickPlayer(const QDate& date);   // GROUPPLAYERID, 0 only without entries
    void ClearSchedule();
    bool IsGroupOff(int groupId, const QDate& date);
    bool IsPlayerOff(int playerId, const QDate& date);
    bool IsScheduled(int groupPlayerId, const QDate& date);
    int CountPlayDays() const;
    void ResetPriorities();
    void UpdatePriorities(const QDate& date);
    // The PRIORITY the run holds for an entry; what UpdatePriorities stored.
    double priorityOf(int groupPlayerId) const;
    void RefreshPriorityThreshold();
    bool CheckSessionSize(int courts, int entries, int playersPerSession);
    void IncSessionsPlayed(int groupPlayerId);
    void AssignHomeAndBalls(const QDate& date);
    void ReconcileSchedule(bool equalPlay, double expected);
    // Both answer whether a schedule row changed; when nobody can take or
    // give a date nothing changes, so no court is left a player short.
    bool GiveDate(int overPlayed, double expected);
    bool TakeDate(int underPlayed, double expected);

    // How a group's dates share out: E is whole exactly when T x N is a
    // multiple of P, decided in whole numbers; `expected` is E as shown.
    struct PlayShare {
        bool equal = true;
        double expected = 0;
    };
    static PlayShare SharePlay(int sessionTotal, int entries, int playersPerSession);

    // What keeps the open group from being generated, in words that say what
    // to set; empty when it can go ahead. Asked before anything changes.
    QString RefusalReason();

    // Weekday numbers run from 1 (Sunday) to 7 (Saturday).
    static int WeekdayNumber(const QDate& date);
    // Weekday k of the Sunday-to-Saturday week holding `date`, back or forth.
    static QDate MoveToWeekday(const QDate& date, int k);
    // The percentage of the progress message: half to the even neighbour.
    static int PercentComplete(int count, double total);
    // "5", "13.3333333333333": at most 15 significant digits.
    static QString ExpectedText(double expected);

    // Texts the user sees.
    static const QString UnequalPlayQuestion;
    static const QString TooFewPerSessionQuestion;
    static const QString TooManyPerSessionQuestion;
    static const QString TooFewEntriesMessage;
    static const QString NoEntriesRefusal;
    static const QString NoPlayersPerSessionRefusal;
    static const QString NoCourtsRefusal;
    static const QString NoPlayDaysRefusal;
    static const QString ReconcileIncomplete;   // starts the status message naming who is left uneven
    static const QString LeagueDayOffWarning;

    // Statements run so far that change rows (for the benchmark's floor).
    qint64 writeCount() const;

private:
    struct Entry {
        int id = 0;   // GROUPPLAYERID
        int playerId = 0;
        int number = 0;   // GRPSEQNUM
        double priority = 5000;
    };

    Database& db();
    void loadRunData();
    void ensureLoaded();
    int entryIndex(int groupPlayerId) const;
    int entryNumber(int groupPlayerId);
    int entriesPerCourt() const;
    int placesPerCourt() const;
    bool passes(const Entry& entry, const QDate& date);
    bool isFree(const Entry& entry, const QDate& date);
    int firstFreeEntry(const QDate& date);
    int drawIndex();
    int takeEntry(int index);
    void insertScheduleRow(const QDate& date, int groupPlayerId, int courtId);
    QSet<int> entriesPlacedOn(const QDate& date);
    bool hasRowOn(std::unique_ptr<Query>& q, const char* table, const char* keyColumn, int key, const QDate& date);
    void writePriorities(const QDate& date);
    void decSessionsPlayed(int groupPlayerId);
    void moveScheduleRow(int from, const QDate& date, int to);
    QVector<ReconcileLine> unevenEntries(double expected);
    void evenOut(double expected);
    static QString whyUneven(const ReconcileLine& line, double expected);
    void walkWeeks(const QDate& startDate, int duration, double total);
    void readDaysOff();
    bool playDay(int k) const;
    bool wantsMoreDates(int count, double total);
    void scheduleDate(const QDate& date);
    void runWeeks(const QDate& startDate, double total);
    QString progressPrefix() const;
    int execWrite(Query& q);
    Query& query(std::unique_ptr<Query>& q, const char* sql);

    GroupDatasets& ds;
    ScheduleHost& host;
    std::mt19937& rng;
    RunState& state;

    bool loaded = false;
    int groupId = 0;
    RecordKind recordKind = RecordKind::Group;
    int runPlayersPerSession = 0;   // N of the run, also after NUMPERSES was adjusted
    QVector<Entry> entries;         // the entries list, in its order
    QHash<int, int> indexOfEntry;   // GROUPPLAYERID -> index
    QVector<int> courts;            // COURTID of the courts list, in its order
    // While the weeks are walked nothing else writes: the days off of the
    // entries' players are read once, and the rows of the date being filled
    // are the ones the run wrote.
    bool walking = false;
    QSet<QPair<int, QDate>> daysOff;   // (PLAYERID, DATE)
    QDate fillingDate;
    QSet<int> placedOnDate;   // entries placed on fillingDate
    std::unique_ptr<LeaguePairing> league;
    QString reconcileShortfall;   // who could not be evened out, and why
    bool printWanted = false;     // the last run asks for its printed schedule
    // Seating by who met whom; off keeps the seats in the order of the picks.
    bool mixing = false;
    CourtSeating seating;
    // Entries picked for the date being filled, before their rows are written.
    QSet<int> pendingIds;
    QDate pendingDate;
    QDate lockedBefore;   // set while ContinueFrom walks
    qint64 writes = 0;
    YieldPacer pacer;

    // Tests of a pick and of the run
    std::unique_ptr<Query> qgroupoff, qplayeroff, qisscheduled, qmaxpriority, qscheduledon;
    // Counters and schedule rows
    std::unique_ptr<Query> qupriorities, qupriority, qclearschedule, qudsesplayed;
    // Ball and home marking
    std::unique_ptr<Query> qbbpriority, quhome, qupbbpriority;
    // Reconciliation
    std::unique_ptr<Query> qreconcile, qdates, qgivedate, qgetdate, qmoveschedule;
};
