#pragma once
// What an organiser does to a schedule that is already out: a substitute
// for an entry who drops out of a date, two entries trading dates, a re-plan
// of the rest of the season from a date, and league results. No widget: the
// season window asks and shows, these check and write. Each change is one
// transaction with an undo record; a refusal says why and changes nothing.
#include "rowhistory.h"
#include "season.h"
#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
#include <random>

class Database;

struct SubstituteCandidate {
    int entry = 0;
    int number = 0;
    QString name;
    int played = 0;     // "Days On"
    QDate lastPlayed;   // before the date; invalid when never
};

struct ReplanCount {
    int entry = 0;
    int number = 0;
    QString name;
    int before = 0;
    int after = 0;
};

class SeasonOps {
public:
    SeasonOps(Database& db, int groupId);

    // Reads the season again (after a change elsewhere, or a failure).
    void reload();
    const Season& season() const { return shown; }
    int groupId() const { return group; }

    // The entries free on the date: not placed, no day off of their own
    // (or their partner's) or of the group; fewest dates played first, then
    // the longest since they last played.
    QVector<SubstituteCandidate> substituteCandidates(int entry, const QDate& date);
    // Why the entry has no place to give up on the date; empty when it has.
    QString notPlaced(int entry, const QDate& date) const { return checkPlaces(shown, entry, date); }
    static QString nobodyFree(const QDate& date);
    // The same for an empty place of the date, which nobody gives up.
    QVector<SubstituteCandidate> placeCandidates(const QDate& date);

    // Each answers an empty text when done, else the reason for refusing.
    QString substitute(int entry, const QDate& date, int substitute);
    // `substitute` takes an empty place on the court of the date (see
    // emptyPlaces); in a league it becomes the other side of the match.
    QString fillPlace(const QDate& date, int court, int substitute);
    QString swap(int entryA, const QDate& dateA, int entryB, const QDate& dateB);
    // `winner` 0 clears the result.
    QString setWinner(int entry, const QDate& date, int winner);
    // Everything before `from` stays; from it on the season is generated
    // again. `confirm` sees the play counts before and after and answers
    // whether to keep them; false leaves everything as it was.
    QString replan(const QDate& from, std::mt19937& random,
                   const std::function<bool(const QVector<ReplanCount>&)>& confirm);

    bool canUndo() const { return history.canUndo(); }
    bool canRedo() const { return history.canRedo(); }
    QString undoText() const { return history.undoText(); }
    QString redoText() const { return history.redoText(); }
    bool undo();
    bool redo();

    static QString dateText(const QDate& date);

private:
    // Runs `work` on a fresh reading of the season in one transaction, with
    // snapshots around it; work answers true to keep what it wrote.
    QString change(const QString& description, const std::function<bool(const Season& fresh, QString& refusal)>& work);
    void afterChange(const Season& now);
    bool replay(bool back);
    QString checkPlaces(const Season& fresh, int entry, const QDate& date) const;
    QString checkFree(const Season& fresh, int entry, const QDate& date);
    QString checkNoResult(const Season& fresh, int entry, const QDate& date) const;
    bool isOff(const SeasonEntry& e, const QDate& date);
    bool isGroupOff(const QDate& date);
    void moveRow(const Season& fresh, int from, const QDate& date, int to);
    void setPlayed(int entry, double played);
    void recordDayOff(int playerId, const QDate& date);
    QVector<SubstituteCandidate> freeEntries(const QDate& date, int except);
    void evenBallDuty(const QDate& from);
    void writeStandings(const Season& fresh);

    Database& db;
    int group;
    Season shown;   // what the window shows: writes name these values
    UndoStack history;
};
