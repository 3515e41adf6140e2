#pragma once
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>

struct GroupSetup;

// The days off a league's pairing honours: an entry cannot play on a date
// when its player, or in a doubles league either partner, has a day off then,
// or when the league itself has the day off.
//
// Rounds go on past the planned dates until every pairing is played; a
// pairing whose entries are never free together would hold the league up
// for good. So once the run is a round's worth of dates past its plan, a
// date's courts that stay empty may take pairings on a day off; each such
// placement is noted, in words, for the organiser to accept.
class LeagueDaysOff {
public:
    explicit LeagueDaysOff(const GroupSetup& setup);

    // GROUPPLAYERIDs of the league's entries that cannot play on the date.
    QSet<int> entriesOff(const QDate& date) const;

    // The dates the run plans (its session total) and the rounds wanted.
    void setPlan(double plannedDates, int rounds);
    // Counts a scheduled date; true when its free courts may now take
    // pairings on a day off.
    bool nextDateMayOverride();
    // Dates still to come before one may take pairings on a day off.
    int datesBeforeOverride() const;

    // Notes that entries `first` and `second` (GROUPPLAYERIDs) play on
    // `date` although one of them is off; does nothing when neither is.
    void notePlacement(const QDate& date, int first, int second);
    QStringList placementsOnDaysOff() const { return notes; }
    // (GROUPPLAYERID, date) of every entry so placed.
    QSet<QPair<int, QDate>> entriesPlacedOff() const { return placed; }

private:
    double overrideAfter() const;

    const GroupSetup& setup;
    double planned = 0;
    int rounds = 1;
    int datesSeen = 0;
    QStringList notes;
    QSet<QPair<int, QDate>> placed;
};
