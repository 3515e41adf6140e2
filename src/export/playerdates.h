#pragma once
// One player's part of a season: the courts they play on with whom and
// against whom, and their days off. What the published page and the printed
// schedule of one player both list. No widgets.
#include "engine/season.h"
#include <QDate>
#include <QHash>
#include <QVector>

// Each player's entries and courts, found in one walk of the season: a
// published season asks for a thousand players, and walking every court
// once per player cost more than writing their files.
class PlayerIndex {
public:
    explicit PlayerIndex(const Season& season);
    const Season& season() const { return s; }
    // The player by id; an empty person when the season does not hold them.
    SeasonPerson player(int playerId) const { return people.value(playerId); }
    QVector<int> entries(int playerId) const { return entriesOfPlayer.value(playerId); }
    // Indices into the season's sessions where the player plays, in date and court order.
    QVector<int> sessions(int playerId) const;

private:
    const Season& s;
    QHash<int, SeasonPerson> people;
    QHash<int, QVector<int>> entriesOfPlayer;
    QHash<int, QVector<int>> sessionsOfEntry;
};

struct PlayerDate {
    QDate date;
    int courtId = 0;
    int entry = 0;              // the player's own entry on the court
    QVector<int> partners;      // entries on the player's side; everyone else on a court without sides
    QVector<int> opponents;     // entries on the other side
    bool bringsBalls = false;   // only where the group shows ball duty
};

// The player's courts in date and court order.
QVector<PlayerDate> playerDates(const PlayerIndex& index, int playerId);
QVector<PlayerDate> playerDates(const Season& season, int playerId);
// The player's days off on the season's dates of play, ascending.
QVector<QDate> playerDaysOff(const Season& season, int playerId);
// The player by id; an empty person when the season does not hold them.
SeasonPerson seasonPlayer(const Season& season, int playerId);
