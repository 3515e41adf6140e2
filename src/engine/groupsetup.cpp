#include "groupsetup.h"
#include "data/database.h"
#include "data/query.h"

namespace {

const char* const WeekdayFlags[7] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

SetupPerson personFrom(const Query& q, const char* id, const char* first, const char* last)
{
    return {q.asInt(id), q.asString(first), q.asString(last)};
}

bool samePerson(const SetupPerson& a, const SetupPerson& b)
{
    return a.id == b.id;
}

}   // namespace

bool GroupSetup::isDoublesLeague() const
{
    return ::isDoublesLeague(recordKind, matchType);
}

int GroupSetup::playDayCount() const
{
    return int(std::count(std::begin(playDays), std::end(playDays), true));
}

int GroupSetup::entriesPerCourt() const
{
    return matchType == MatchType::Singles ? 2 : 4;
}

int GroupSetup::placesPerCourt() const
{
    return matchType == MatchType::Singles || isDoublesLeague() ? 2 : 4;
}

bool GroupSetup::playerOff(int playerId, const QDate& date) const
{
    const auto it = playerDaysOff.constFind(playerId);
    return it != playerDaysOff.cend() && it->contains(date);
}

bool GroupSetup::entryOff(int index, const QDate& date) const
{
    const SetupEntry& e = entries[index];
    return playerOff(e.player.id, date) || (isDoublesLeague() && e.partner.id != 0 && playerOff(e.partner.id, date));
}

QString GroupSetup::playersOffText(int index, const QDate& date) const
{
    const SetupEntry& e = entries[index];
    QVector<SetupPerson> off;
    if (playerOff(e.player.id, date))
        off << e.player;
    if (isDoublesLeague() && e.partner.id != 0 && playerOff(e.partner.id, date))
        off << e.partner;
    std::sort(off.begin(), off.end(), [](const SetupPerson& a, const SetupPerson& b) {
        return a.lastName != b.lastName ? a.lastName < b.lastName : a.firstName < b.firstName;
    });
    QStringList names;
    for (const SetupPerson& p : off)
        names << p.fullName();
    return names.join(QStringLiteral(" and "));
}

QString GroupSetup::entryText(int index) const
{
    const SetupEntry& e = entries[index];
    QString name = e.player.fullName();
    if (e.partner.id != 0)
        name += QLatin1Char('/') + e.partner.fullName();
    return QStringLiteral("entry %1 (%2)").arg(e.number).arg(name);
}

bool GroupSetup::sameForRun(const GroupSetup& o) const
{
    if (groupId != o.groupId || recordKind != o.recordKind || matchType != o.matchType || startDate != o.startDate ||
        duration != o.duration || playersPerSession != o.playersPerSession || mixPairs != o.mixPairs ||
        !std::equal(std::begin(playDays), std::end(playDays), std::begin(o.playDays)) || courts != o.courts ||
        groupDaysOff != o.groupDaysOff || playerDaysOff != o.playerDaysOff || entries.size() != o.entries.size())
        return false;
    for (int i = 0; i < entries.size(); ++i) {
        const SetupEntry &a = entries[i], &b = o.entries[i];
        if (a.id != b.id || a.number != b.number || !samePerson(a.player, b.player) ||
            !samePerson(a.partner, b.partner))
            return false;
    }
    return true;
}

GroupSetup GroupSetup::read(Database& db, int groupId)
{
    GroupSetup s;
    Query group(db, "SELECT GROUPID, NAME, RTYPE, TYPE, STARTDATE, DURATION, NumPerSes, MIXPAIRS, SUNDAY, MONDAY, "
                    "TUESDAY, WEDNESDAY, THURSDAY, FRIDAY, SATURDAY FROM \"group.DB\" WHERE GROUPID = :groupid");
    group.setInteger("groupid", groupId);
    group.open();
    if (group.eof())
        return s;
    s.groupId = groupId;
    s.name = group.asString("NAME");
    s.recordKind = recordKindFrom(group.asInt("RTYPE"));
    s.matchType = matchTypeFrom(group.asInt("TYPE"));
    s.startDate = group.asDate("STARTDATE");
    s.durationStored = !group.isNull("DURATION");
    s.duration = group.asInt("DURATION");
    s.playersPerSessionStored = !group.isNull("NumPerSes");
    s.playersPerSession = group.asInt("NumPerSes");
    s.mixPairs = s.isGroup() && group.asBool("MIXPAIRS");
    for (int k = 0; k < 7; ++k)
        s.playDays[k] = group.asBool(QString::fromLatin1(WeekdayFlags[k]));

    Query entries(db, "SELECT g.GROUPPLAYERID, g.GRPSEQNUM, g.PRIORITY, g.BBPRIORITY, g.SESPLAYED, g.PLAYERID, "
                      "p.FNAME, p.LNAME, g.SHARESLOTID, q.FNAME AS QFNAME, q.LNAME AS QLNAME "
                      "FROM \"GRPPLAYR.db\" g LEFT JOIN \"PLAYERS.db\" p ON p.PLAYERID = g.PLAYERID "
                      "LEFT JOIN \"PLAYERS.db\" q ON q.PLAYERID = g.SHARESLOTID "
                      "WHERE g.GROUPID = :groupid ORDER BY g.GROUPPLAYERID");
    entries.setInteger("groupid", groupId);
    entries.open();
    for (entries.first(); !entries.eof(); entries.next()) {
        SetupEntry e;
        e.id = entries.asInt("GROUPPLAYERID");
        e.number = entries.asInt("GRPSEQNUM");
        e.priority = entries.asFloat("PRIORITY");
        e.ballPriority = entries.asFloat("BBPRIORITY");
        e.played = entries.asFloat("SESPLAYED");
        e.player = personFrom(entries, "PLAYERID", "FNAME", "LNAME");
        if (s.isDoublesLeague())
            e.partner = personFrom(entries, "SHARESLOTID", "QFNAME", "QLNAME");
        s.indexOfEntry.insert(e.id, int(s.entries.size()));
        s.entries.append(e);
    }

    Query courts(db, "SELECT COURTID FROM \"COURTSLT.db\" WHERE GROUPID = :groupid ORDER BY GRPCRTID");
    courts.setInteger("groupid", groupId);
    courts.open();
    for (courts.first(); !courts.eof(); courts.next())
        s.courts.append(courts.asInt("COURTID"));

    Query groupOff(db, "SELECT \"DATE\" FROM \"groupoff.DB\" WHERE GROUPID = :groupid");
    groupOff.setInteger("groupid", groupId);
    groupOff.open();
    for (groupOff.first(); !groupOff.eof(); groupOff.next())
        s.groupDaysOff.insert(groupOff.asDate("DATE"));

    // The days off of every player of an entry, partners included.
    Query playerOff(db, "SELECT DISTINCT o.PLAYERID, o.\"DATE\" FROM \"playroff.db\" o, \"GRPPLAYR.db\" g "
                        "WHERE g.GROUPID = :groupid AND (o.PLAYERID = g.PLAYERID OR o.PLAYERID = g.SHARESLOTID)");
    playerOff.setInteger("groupid", groupId);
    playerOff.open();
    for (playerOff.first(); !playerOff.eof(); playerOff.next())
        s.playerDaysOff[playerOff.asInt("PLAYERID")].insert(playerOff.asDate("DATE"));
    return s;
}
