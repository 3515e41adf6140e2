#include "emptyplaces.h"
#include "data/query.h"
#include <QHash>
#include <algorithm>

namespace {

// Entries a group seats on one court: two for singles, four otherwise (the
// run's own figure).
int seatsPerCourt(const SeasonSheet& s)
{
    return s.matchType == MatchType::Singles ? 2 : 4;
}

void groupDate(const SeasonSheet& s, const QDate& date, int playersPerSession, QVector<EmptyPlace>& out)
{
    const int seats = seatsPerCourt(s);
    QHash<int, int> held;
    int placed = 0;
    for (const SheetRow* r : s.rowsOn(date)) {
        ++held[r->court];
        ++placed;
    }
    int wanted = 0;
    if (playersPerSession > 0)
        wanted = std::min(playersPerSession, int(s.courts.size()) * seats);
    else
        wanted = int(held.size()) * seats;
    int missing = wanted - placed;
    // Courts in use take the missing places first, in the grid's order;
    // then courts the date does not use.
    for (bool used : {true, false})
        for (const SheetCourt& c : s.courts) {
            if (missing <= 0)
                return;
            if (held.contains(c.id) != used)
                continue;
            const int here = std::min(seats - held.value(c.id), missing);
            if (here > 0) {
                out.append({date, c.id, here});
                missing -= here;
            }
        }
}

void leagueDate(const SeasonSheet& s, const QDate& date, QVector<EmptyPlace>& out)
{
    QHash<int, int> held;
    for (const SheetRow* r : s.rowsOn(date))
        ++held[r->court];
    for (const SheetCourt& c : s.courts)
        if (held.value(c.id) == 1)
            out.append({date, c.id, 1});
}

}   // namespace

QVector<EmptyPlace> emptyPlaces(const SeasonSheet& season, int playersPerSession)
{
    QVector<EmptyPlace> places;
    for (const QDate& date : season.dates()) {
        if (season.isLeague())
            leagueDate(season, date, places);
        else
            groupDate(season, date, playersPerSession, places);
    }
    return places;
}

int storedPlayersPerSession(Database& db, int groupId)
{
    Query q(db, "SELECT NumPerSes FROM \"group.DB\" WHERE GROUPID = :groupid");
    q.setInteger("groupid", groupId);
    q.open();
    return q.isEmpty() ? 0 : q.asInt("NumPerSes");
}

QString emptyPlacesText(int missing)
{
    return missing == 1 ? QStringLiteral("1 place empty") : QStringLiteral("%1 places empty").arg(missing);
}
