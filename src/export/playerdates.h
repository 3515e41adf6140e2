#pragma once
// One player's part of a season: the courts they play on with whom and
// against whom, and their days off. What the published page and the printed
// schedule of one player both list. No widgets.
#include "engine/season.h"
#include <QDate>
#include <QVector>

struct PlayerDate {
    QDate date;
    int courtId = 0;
    int entry = 0;              // the player's own entry on the court
    QVector<int> partners;      // entries on the player's side; everyone else on a court without sides
    QVector<int> opponents;     // entries on the other side
    bool bringsBalls = false;   // only where the group shows ball duty
};

// The player's courts in date and court order.
QVector<PlayerDate> playerDates(const Season& season, int playerId);
// The player's days off on the season's dates of play, ascending.
QVector<QDate> playerDaysOff(const Season& season, int playerId);
// The player by id; an empty person when the season does not hold them.
SeasonPerson seasonPlayer(const Season& season, int playerId);
