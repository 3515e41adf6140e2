#pragma once
// Days off recorded after a schedule was made: the scheduled places they
// now clash with, group by group, and the words that tell the organiser.
// No widgets.
#include "season.h"
#include <QDate>
#include <QVector>

class Database;

struct GroupClashes {
    Season season;
    QVector<DayOffClash> clashes;   // from the date asked on, in date order
    QDate firstDate() const { return clashes.isEmpty() ? QDate() : clashes.first().date; }
};

// The groups and leagues that hold any of the players (as an entry's player
// or partner) and have places on days off from `from` on.
QVector<GroupClashes> clashesOfPlayers(Database& db, const QVector<int>& playerIds, const QDate& from);
// The same for the groups and leagues given.
QVector<GroupClashes> clashesOfGroups(Database& db, const QVector<int>& groupIds, const QDate& from);

// What clashes, a line per date and place, at most `maxLines` of them, then
// what to do about it.
QString clashReport(const GroupClashes& group, int maxLines = 10);
