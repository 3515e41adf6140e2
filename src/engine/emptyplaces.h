#pragma once
// The places of a schedule that nobody holds: a doubles court left with
// three players when one was deleted, a league match that lost one side, a
// date the run could not fill. The season window marks them and offers a
// substitute for each. No widgets.
#include "seasonsheet.h"
#include <QDate>
#include <QVector>

class Database;

struct EmptyPlace {
    QDate date;
    int court = 0;     // COURTID
    int missing = 0;   // places on that court nobody holds
};

// By date, then court. `playersPerSession` is the group's NumPerSes as
// stored (0 when unset): a group's date wants that many places, spread over
// its courts as a run fills them (full courts first, the last may hold
// fewer); a league's court wants the two sides of one match.
QVector<EmptyPlace> emptyPlaces(const SeasonSheet& season, int playersPerSession);
// NumPerSes of the group, 0 when unset or when there is no such group.
int storedPlayersPerSession(Database& db, int groupId);
// "1 place empty", "3 places empty"
QString emptyPlacesText(int missing);
