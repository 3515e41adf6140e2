#include "rosterdeletes.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/table.h"
#include <algorithm>

RosterDeletes::RosterDeletes(Database& database) : db(database) {}

QVector<PlayerPlace> RosterDeletes::placesOf(int playerId, const QDate& today)
{
    Query q(db, "SELECT g.GROUPID, g.NAME, e.PLAYERID, p.FNAME, p.LNAME, "
                "(SELECT COUNT(DISTINCT s.\"DATE\") FROM \"SCHEDULE.db\" s "
                " WHERE s.GRPPLAYRID = e.GROUPPLAYERID AND s.\"DATE\" >= :today) AS TOCOME "
                "FROM \"GRPPLAYR.db\" e JOIN \"group.DB\" g ON g.GROUPID = e.GROUPID "
                "LEFT JOIN \"PLAYERS.db\" p ON p.PLAYERID = e.PLAYERID "
                "WHERE e.PLAYERID = :playerid OR (e.SHARESLOTID = :partnerid AND g.RTYPE = 2 AND g.TYPE = 2) "
                "ORDER BY g.NAME, g.GROUPID, e.GROUPPLAYERID");
    q.setDate("today", today);
    q.setInteger("playerid", playerId);
    q.setInteger("partnerid", playerId);
    q.open();
    QVector<PlayerPlace> places;
    for (q.first(); !q.eof(); q.next()) {
        const int groupId = q.asInt("GROUPID");
        const bool own = q.asInt("PLAYERID") == playerId;
        // Two entries of the player in one group make one place to name.
        auto same = std::find_if(places.begin(), places.end(), [&](const PlayerPlace& p) {
            return p.groupId == groupId && p.partnerOf.isEmpty() == own;
        });
        if (same == places.end()) {
            PlayerPlace place;
            place.groupId = groupId;
            place.groupName = q.asString("NAME");
            if (!own)
                place.partnerOf =
                    (q.asString("FNAME").trimmed() + QLatin1Char(' ') + q.asString("LNAME").trimmed()).trimmed();
            places.append(place);
            same = places.end() - 1;
        }
        if (own)
            same->datesToCome += q.asInt("TOCOME");
    }
    return places;
}

QString RosterDeletes::deleteQuestion(const QString& playerName, const QVector<PlayerPlace>& places)
{
    QStringList named;
    for (const PlayerPlace& p : places) {
        if (!p.partnerOf.isEmpty())
            named << QStringLiteral("%1 (as %2's partner)").arg(p.groupName, p.partnerOf);
        else if (p.datesToCome > 0)
            named << QStringLiteral("%1 (%2 %3 to come)")
                         .arg(p.groupName)
                         .arg(p.datesToCome)
                         .arg(p.datesToCome == 1 ? QStringLiteral("date") : QStringLiteral("dates"));
        else
            named << p.groupName;
    }
    QString list = named.value(0);
    for (int i = 1; i < named.size(); ++i)
        list += (i == named.size() - 1 ? QStringLiteral(" and ") : QStringLiteral(", ")) + named[i];
    return QStringLiteral("%1 plays in %2. Delete them and their dates?").arg(playerName, list);
}

void RosterDeletes::deletePlayer(Table& players, const QDate& today)
{
    if (players.state() == Table::State::Edit)
        players.cancel();
    const QVariant playerId = players.value("PLAYERID");
    db.runInTransaction([&] {
        if (!playerId.isNull()) {
            // A court of a date to come is not left without anyone to bring
            // the balls: the first other entry of the group on it does.
            if (!qpassballs)
                qpassballs = std::make_unique<Query>(
                    db, "UPDATE \"SCHEDULE.db\" SET HOME = :home WHERE SCHEDULEID IN\n"
                        " (SELECT MIN(o.SCHEDULEID) FROM \"SCHEDULE.db\" s, \"GRPPLAYR.db\" se, \"SCHEDULE.db\" o,"
                        " \"GRPPLAYR.db\" oe WHERE se.PLAYERID = :playerid AND s.GRPPLAYRID = se.GROUPPLAYERID"
                        " AND s.HOME = :marked AND s.\"DATE\" >= :today AND o.\"DATE\" = s.\"DATE\""
                        " AND o.GRPCOURTID = s.GRPCOURTID AND oe.GROUPPLAYERID = o.GRPPLAYRID"
                        " AND oe.GROUPID = se.GROUPID AND (oe.PLAYERID IS NULL OR oe.PLAYERID <> :same)"
                        " GROUP BY s.SCHEDULEID)");
            qpassballs->setBool("home", true);
            qpassballs->setInteger("playerid", playerId.toInt());
            qpassballs->setBool("marked", true);
            qpassballs->setDate("today", today);
            qpassballs->setInteger("same", playerId.toInt());
            qpassballs->execSql();
            // No schedule row may point at an entry that is gone.
            if (!qdelplayerschedule)
                qdelplayerschedule = std::make_unique<Query>(
                    db, "DELETE FROM \"SCHEDULE.db\"\n WHERE GRPPLAYRID IN\n"
                        " (SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE PLAYERID = :playerid)");
            qdelplayerschedule->setInteger("playerid", playerId.toInt());
            qdelplayerschedule->execSql();
            Tdmglobal::instance().deletePlayerEntries(playerId.toInt());
            Tdmglobal::instance().deletePlayerDaysOff(playerId.toInt());
        }
        players.remove();
    });
}

void RosterDeletes::deleteCourt(Table& courts)
{
    if (courts.state() == Table::State::Edit)
        courts.cancel();
    const QVariant courtId = courts.value("COURTID");
    db.runInTransaction([&] {
        if (!courtId.isNull())
            Tdmglobal::instance().deleteCourtAssignments(courtId.toInt());
        courts.remove();
    });
}
