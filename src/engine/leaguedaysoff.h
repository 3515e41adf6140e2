#pragma once
#include "data/query.h"
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class Database;

// The days off a league's pairing honours: an entry cannot play on a date
// when its player, or in a doubles league either partner, has a day off then,
// or when the league itself has the day off.
//
// Rounds go on past the planned dates until every pairing is played; a
// pairing whose entries are never free together would hold the league up
// for good. So once the run is a round's worth of dates past its plan, a
// date's courts that stay empty may take pairings on a day off, and each
// such placement is noted in words for the user.
class LeagueDaysOff {
public:
    LeagueDaysOff(Database& db, int groupId, bool doubles);
    ~LeagueDaysOff();

    // GROUPPLAYERIDs of the league's entries that cannot play on the date.
    QSet<int> entriesOff(const QDate& date);

    // The dates the run plans (its session total) and the rounds wanted.
    void setPlan(double plannedDates, int rounds);
    // Counts a scheduled date; true when its free courts may now take
    // pairings on a day off.
    bool nextDateMayOverride();

    // Notes that entries `first` and `second` (GROUPPLAYERIDs; the user
    // knows them by their entry numbers) play on `date` although one of them
    // is off; does nothing when neither is.
    void notePlacement(const QDate& date, int first, int second, int firstNumber, int secondNumber);
    QStringList placementsOnDaysOff() const { return notes; }

private:
    QString playersOff(int entry, const QDate& date);

    Database& db;
    int groupId;
    bool doubles;
    double planned = 0;
    int rounds = 1;
    int datesSeen = 0;
    QStringList notes;
    std::unique_ptr<Query> qentriesoff, qallentries, qgroupoff, qplayersoff;
};
