#pragma once
// What a change to a season means for each player: the dates gained, the
// dates lost and the places that moved (court, partners, opponents, ball
// duty), in words a player understands. Kept in SCHEDLOG in the transaction
// of the change, so that the players can be told later, after the program
// was closed. No widgets.
#include "season.h"
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

class Database;

struct PlayerChange {
    int playerId = 0;
    QDate date;     // the date of play concerned
    QString what;   // "now plays Tue 12 Jan 2027 on Court 2 with Ann A. against Bob B."
};

// One line per player and date whose place differs between the two readings,
// by date, then in the entry order of `after`.
QVector<PlayerChange> seasonChanges(const Season& before, const Season& after);

// Writes the difference to SCHEDLOG, stamped `at` (UTC). Call inside the
// transaction of the change.
void logSeasonChanges(Database& db, const Season& before, const Season& after,
                      const QDateTime& at = QDateTime::currentDateTimeUtc());

// "Tue 12 Jan 2027", in English whatever the system's language, like the
// rest of the messages to players.
QString playDateText(const QDate& date);
