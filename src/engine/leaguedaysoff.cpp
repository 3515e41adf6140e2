#include "leaguedaysoff.h"
#include "data/database.h"
#include <QLocale>
#include <algorithm>
#include <cmath>

LeagueDaysOff::LeagueDaysOff(Database& database, int group, bool doublesLeague)
    : db(database), groupId(group), doubles(doublesLeague)
{
    qentriesoff = std::make_unique<Query>(
        db,
        "SELECT DISTINCT g.GROUPPLAYERID FROM \"GRPPLAYR.db\" g, \"playroff.db\" o WHERE (g.GROUPID = :groupid) "
        "AND (o.\"DATE\" = :date) AND ((o.PLAYERID = g.PLAYERID) OR (:doubles = 1 AND o.PLAYERID = g.SHARESLOTID))");
    qallentries = std::make_unique<Query>(db, "SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = :groupid");
    qgroupoff = std::make_unique<Query>(
        db, "SELECT GROUPID FROM \"groupoff.DB\" WHERE (GROUPID = :groupid) AND (\"DATE\" = :date)");
    qplayersoff = std::make_unique<Query>(
        db, "SELECT DISTINCT p.FNAME, p.LNAME FROM \"GRPPLAYR.db\" g, \"playroff.db\" o, \"PLAYERS.db\" p "
            "WHERE (g.GROUPPLAYERID = :entry) AND (o.\"DATE\" = :date) AND (p.PLAYERID = o.PLAYERID) AND "
            "((o.PLAYERID = g.PLAYERID) OR (:doubles = 1 AND o.PLAYERID = g.SHARESLOTID)) ORDER BY p.LNAME, p.FNAME");
}

LeagueDaysOff::~LeagueDaysOff() = default;

QSet<int> LeagueDaysOff::entriesOff(const QDate& date)
{
    qgroupoff->prepare();
    qgroupoff->setInteger("groupid", groupId);
    qgroupoff->setDate("date", date);
    qgroupoff->open();
    const bool groupOff = !qgroupoff->isEmpty();
    qgroupoff->close();

    Query& q = groupOff ? *qallentries : *qentriesoff;
    q.prepare();
    q.setInteger("groupid", groupId);
    if (!groupOff) {
        q.setDate("date", date);
        q.setInteger("doubles", doubles ? 1 : 0);
    }
    q.open();
    QSet<int> off;
    for (q.first(); !q.eof(); q.next())
        off.insert(q.value(0).toInt());
    q.close();
    return off;
}

void LeagueDaysOff::setPlan(double plannedDates, int roundsWanted)
{
    planned = plannedDates;
    rounds = std::max(1, roundsWanted);
}

bool LeagueDaysOff::nextDateMayOverride()
{
    ++datesSeen;
    const double roundOfDates = std::ceil(planned / rounds);
    return datesSeen > planned + std::max(1.0, roundOfDates);
}

QString LeagueDaysOff::playersOff(int entry, const QDate& date)
{
    Query& q = *qplayersoff;
    q.prepare();
    q.setInteger("entry", entry);
    q.setDate("date", date);
    q.setInteger("doubles", doubles ? 1 : 0);
    q.open();
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << q.asString("FNAME") + QLatin1Char(' ') + q.asString("LNAME");
    q.close();
    return names.join(QStringLiteral(" and "));
}

void LeagueDaysOff::notePlacement(const QDate& date, int first, int second, int firstNumber, int secondNumber)
{
    QStringList whose;
    for (int entry : {first, second})
        if (const QString names = playersOff(entry, date); !names.isEmpty())
            whose << names;
    if (whose.isEmpty())
        return;
    notes << QStringLiteral("%1: entries %2 and %3 play on a day off of %4.")
                 .arg(QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy")))
                 .arg(firstNumber)
                 .arg(secondNumber)
                 .arg(whose.join(QStringLiteral(" and ")));
}
