#pragma once
#include "data/query.h"
#include <QDate>
#include <QVector>
#include <memory>

class Database;
class Table;

// Deleting a player or a court together with the rows that depend on it.
// Each deletion runs in one transaction, so that a failure leaves nothing
// half-deleted; inside an open transaction it simply joins it.
// A group or league a player belongs to, as the question before deleting
// the player names it.
struct PlayerPlace {
    int groupId = 0;
    QString groupName;
    int datesToCome = 0;   // dates from today on of the player's own entries
    QString partnerOf;     // in a doubles-league team as this player's partner
};

class RosterDeletes {
public:
    explicit RosterDeletes(Database& db);

    // Every group and league in which the player has an entry or is the
    // second player of a team, by name.
    QVector<PlayerPlace> placesOf(int playerId, const QDate& today);
    // "Ann Alder plays in Tue/Thu Doubles (12 dates to come) and Monday
    // Ladder. Delete them and their dates?"
    static QString deleteQuestion(const QString& playerName, const QVector<PlayerPlace>& places);

    // The current player of `players`: the schedule rows of the player's
    // entries, the entries, the days off, then the player. Entries in which
    // the player is the team's second player (SHARESLOTID) stay. Where the
    // player brought the balls on a date from `today` on, another player of
    // that court does.
    void deletePlayer(Table& players, const QDate& today = QDate::currentDate());
    // The current court of `courts`: its assignments, then the court.
    // Schedule rows that name the court stay.
    void deleteCourt(Table& courts);

private:
    Database& db;
    std::unique_ptr<Query> qdelplayerschedule, qpassballs;
};
