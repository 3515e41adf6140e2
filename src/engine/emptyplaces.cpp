#include "emptyplaces.h"
#include <QHash>
#include <algorithm>

namespace {

// Entries a group seats on one court: two for singles, four otherwise (the
// run's own figure).
int seatsPerCourt(const Season& s)
{
    return s.matchType == MatchType::Singles ? 2 : 4;
}

void groupDate(const Season& s, const QDate& date, QVector<EmptyPlace>& out)
{
    const int seats = seatsPerCourt(s);
    QHash<int, int> held;
    int placed = 0;
    for (const SeasonRow* r : s.rowsOn(date)) {
        ++held[r->court];
        ++placed;
    }
    int wanted = 0;
    if (s.playersPerSession > 0)
        wanted = std::min(s.playersPerSession, int(s.courtOrder.size()) * seats);
    else
        wanted = int(held.size()) * seats;
    int missing = wanted - placed;
    // Courts in use take the missing places first, in the grid's order;
    // then courts the date does not use.
    for (bool used : {true, false})
        for (int court : s.courtOrder) {
            if (missing <= 0)
                return;
            if (held.contains(court) != used)
                continue;
            const int here = std::min(seats - held.value(court), missing);
            if (here > 0) {
                out.append({date, court, here});
                missing -= here;
            }
        }
}

void leagueDate(const Season& s, const QDate& date, QVector<EmptyPlace>& out)
{
    QHash<int, int> held;
    for (const SeasonRow* r : s.rowsOn(date))
        ++held[r->court];
    for (int court : s.courtOrder)
        if (held.value(court) == 1)
            out.append({date, court, 1});
}

}   // namespace

QVector<EmptyPlace> emptyPlaces(const Season& season)
{
    QVector<EmptyPlace> places;
    for (const QDate& date : season.dates) {
        if (season.isLeague())
            leagueDate(season, date, places);
        else
            groupDate(season, date, places);
    }
    return places;
}

QString emptyPlacesText(int missing)
{
    return missing == 1 ? QStringLiteral("1 place empty") : QStringLiteral("%1 places empty").arg(missing);
}
