#include "dayoffclashes.h"
#include "seasonops.h"
#include "data/query.h"

namespace {

const char* const groupsOfPlayersSql = "SELECT DISTINCT GROUPID FROM \"GRPPLAYR.db\" WHERE PLAYERID IN (%1) "
                                       "OR SHARESLOTID IN (%1) ORDER BY GROUPID";

QVector<int> groupsOfPlayers(Database& db, const QVector<int>& playerIds)
{
    QStringList ids;
    for (int id : playerIds)
        ids << QString::number(id);
    QVector<int> groups;
    if (ids.isEmpty())
        return groups;
    Query q(db, QString::fromLatin1(groupsOfPlayersSql).arg(ids.join(QLatin1Char(','))));
    q.open();
    for (; !q.eof(); q.next())
        groups.append(q.value(0).toInt());
    return groups;
}

}   // namespace

QVector<GroupClashes> clashesOfGroups(Database& db, const QVector<int>& groupIds, const QDate& from)
{
    QVector<GroupClashes> found;
    for (int id : groupIds) {
        GroupClashes g{loadSeason(db, id), {}};
        g.clashes = dayOffClashes(g.season, from);
        if (!g.clashes.isEmpty())
            found.append(std::move(g));
    }
    return found;
}

QVector<GroupClashes> clashesOfPlayers(Database& db, const QVector<int>& playerIds, const QDate& from)
{
    return clashesOfGroups(db, groupsOfPlayers(db, playerIds), from);
}

QString clashReport(const GroupClashes& group, int maxLines)
{
    const Season& s = group.season;
    const QString whole = s.isLeague() ? QStringLiteral("league") : QStringLiteral("group");
    // A day off of the whole group is one line, however many play that date.
    QStringList items;
    QDate lastGroupOff;
    for (const DayOffClash& c : group.clashes) {
        if (c.groupOff && c.date == lastGroupOff)
            continue;
        if (c.groupOff)
            lastGroupOff = c.date;
        const QString who = c.groupOff ? QStringLiteral("the whole %1").arg(whole) : s.entryText(c.entry);
        items << QStringLiteral("  %1: %2 has the day off").arg(SeasonOps::dateText(c.date), who);
    }
    const qsizetype more = items.size() - maxLines;
    if (more > 0) {
        items.resize(maxLines);
        items << QStringLiteral("  and %1 more").arg(more);
    }
    return QStringLiteral("%1 is scheduled on days off recorded since the schedule was made:\n%2\n\n"
                          "Substitute for those who are off in the season window, or re-plan %1 from %3 "
                          "with the days off as they are now.")
        .arg(s.name, items.join(QLatin1Char('\n')), SeasonOps::dateText(group.firstDate()));
}
