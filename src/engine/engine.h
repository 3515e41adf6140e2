#pragma once
// The scheduling engine of one group or league: generation of its session
// schedule, ball and home marking and reconciliation of play counts. It has
// no widget; it reads the group from the file, plans the whole schedule in
// memory, checks the plan and then writes it in one transaction. It talks
// to the window only through a ScheduleHost.
//
// How the group editor runs it (F8, command 7), inside its guard, once its
// pending edits are saved:
//
//     WidgetScheduleHost host(this);
//     ScheduleEngine engine(db, groupId, host, Tdmglobal::instance().random());
//     engine.GenerateSchedule();
//
// While a run is in progress runState().running is true: the editor's Cancel
// sets runState().stopRequest, every other command should beep, and a close
// request should call requestCloseDuringRun(...) (runstate.h) instead of
// closing. GenerateSchedule itself beeps and returns when a run is already
// in progress.
//
// Tests construct it with a scripted host and a seeded std::mt19937.
#include "groupsetup.h"
#include "pacer.h"
#include "plan.h"
#include "runstate.h"
#include "schedulehost.h"
#include "seating.h"
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>
#include <memory>
#include <random>

class Database;
class LeaguePairing;
class ScheduleHost;

class ScheduleEngine {
public:
    ScheduleEngine(Database& db, int groupId, ScheduleHost& host, std::mt19937& random, RunState& state = runState());
    ~ScheduleEngine();
    ScheduleEngine(const ScheduleEngine&) = delete;
    ScheduleEngine& operator=(const ScheduleEngine&) = delete;

    // The whole run: questions, plan, check, write.
    void GenerateSchedule();
    // The finished run asks for its printed schedule: true after a run that
    // completed or was stopped, false after a refusal, a question answered
    // No, a plan that was not written or a close of the window during the run.
    bool printRequested() const { return printWanted; }
    // True once the run's plan reached the file.
    bool written() const { return planWritten; }

    // Re-planning a running season: the run's walk from `from` for `dates`
    // more dates, on the counters the file holds now (and the league
    // pairings the caller set up), checked beside the rows before `from`
    // and written inside the caller's transaction; no date before `from`
    // changes. Throws DbError, changing nothing, when the plan breaks a rule.
    void ContinueFrom(const QDate& from, double dates, std::unique_ptr<LeaguePairing> pairing = nullptr);
    // A league pairing over this engine's plan, for ContinueFrom.
    std::unique_ptr<LeaguePairing> makeLeaguePairing();

    // The group as read at the start of the run, and what the run planned.
    const GroupSetup& setup();
    const SchedulePlan& plan() const { return schedule; }

    // --- steps of the run, public for the league pairing and the tests ---
    void FillGroupDate(int playersPerSession, const QDate& date);
    int PickPlayer(const QDate& date);   // GROUPPLAYERID, 0 when nobody may play
    bool IsGroupOff(const QDate& date);
    bool IsPlayerOff(int playerId, const QDate& date);
    bool IsScheduled(int groupPlayerId, const QDate& date);
    int CountPlayDays();
    void ResetPriorities();
    void UpdatePriorities(const QDate& date);
    // The PRIORITY the run holds for an entry.
    double priorityOf(int groupPlayerId) const;
    // A league entry's PRIORITY after a date it played or sat out.
    static double LeaguePriority(double priority, bool played);
    void RefreshPriorityThreshold();
    bool CheckSessionSize(int courts, int entries, int playersPerSession);
    void IncSessionsPlayed(int groupPlayerId);
    void AssignHomeAndBalls(const QDate& date);
    void ReconcileSchedule(bool equalPlay, double expected);
    // Both answer whether a row changed hands; when nobody can take or give
    // a date nothing changes, so no court is left a player short.
    bool GiveDate(int overPlayed, double expected);
    bool TakeDate(int underPlayed, double expected);
    // For steps walked by hand: the schedule and counters the file holds
    // become the plan, and the plan as it stands is written back.
    void adoptSchedule();
    void writePlan();
    // For the league pairing: a row of the plan, and the round's pairings.
    void addPlanRow(const PlanRow& row);
    // A league date whose courts could not all be given a match.
    void addShortDate(const ShortDate& date) { schedule.shortDates.append(date); }
    QVector<PlanMatch>& matches() { return schedule.matches; }

    // How a group's dates share out: E is whole exactly when T x N is a
    // multiple of P, decided in whole numbers; `expected` is E as shown.
    struct PlayShare {
        bool equal = true;
        double expected = 0;
    };
    static PlayShare SharePlay(int sessionTotal, int entries, int playersPerSession);

    // What keeps the group from being generated, in words that say what
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
    static const QString MoreThanEntriesRefusal;   // %1 players per session, %2 entries
    static const QString NoCourtsRefusal;
    static const QString NoPlayDaysRefusal;
    static const QString ReconcileIncomplete;   // starts the status message naming who is left uneven
    static const QString LeagueDayOffQuestion;
    static const QString FaultyPlanMessage;
    static const QString GroupChangedMessage;
    static const QString ReplaceHistoryQuestion;   // %1 name, %2 what would be lost

private:
    void ensureLoaded();
    int entryId(int index) const { return setupData.entries[index].id; }
    bool passes(int index, const QDate& date);
    bool isFree(int index, const QDate& date);
    int firstFreeEntry(const QDate& date);
    bool anyoneFree(const QDate& date);
    void startFilling(const QDate& date);
    int drawIndex();
    int takeEntry(int index, const QDate& date);
    void moveRow(int row, int toIndex);
    int rowOf(int index, const QDate& date) const;   // first row of the entry on the date, -1 for none
    QVector<QDate> datesOf(int index) const;         // latest first
    QVector<int> entriesBy(bool over, double expected) const;
    QVector<ReconcileLine> unevenEntries(double expected);
    void evenOut(double expected);
    bool moveAlongChain(int from, double expected);
    static QString whyUneven(const ReconcileLine& line, double expected);
    void walkWeeks(const QDate& startDate, int duration, double total);
    bool wantsMoreDates(int count, double total);
    void scheduleDate(const QDate& date);
    void runWeeks(const QDate& startDate, double total);
    void balanceBallDuty();
    QString progressPrefix() const;
    QString completionMessage() const;
    bool acceptPlan();
    bool mayReplaceHistory();
    void writeChecked();
    void writeOverSchedule();

    Database& database;
    int groupId;
    ScheduleHost& host;
    std::mt19937& rng;
    RunState& state;

    bool loaded = false;
    GroupSetup setupData;
    SchedulePlan schedule;
    // Rows of the plan per (entry, date), for the tests of a pick and the moves.
    QHash<qint64, int> rowIndex;             // (entry index, date) -> its first row
    QHash<QDate, QVector<int>> rowsByDate;   // date -> its rows
    QVector<QVector<int>> rowsOfEntry;       // entry index -> its rows
    QSet<int> placedOnDate;                  // entry indexes placed on fillingDate, picks included
    QDate fillingDate;
    int freeOnDate = -1;   // entries still free on fillingDate; -1 until counted
    std::unique_ptr<LeaguePairing> league;
    QString reconcileShortfall;   // who could not be evened out, and why
    QString leagueShortfall;      // how many dates a league took past its fewest
    bool printWanted = false;
    bool planWritten = false;
    CourtSeating seating;   // seating by who met whom when the group mixes pairs
    QDate lockedBefore;     // set while ContinueFrom walks
    YieldPacer pacer;
};
