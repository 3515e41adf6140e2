#include "season.h"
#include "data/query.h"

namespace {

const char* const groupSql =
    "SELECT GROUPID, NAME, RTYPE, TYPE, STIME, ETIME, NOTES, BBON FROM \"group.DB\" WHERE GROUPID = :groupid";

const char* const entriesSql =
    "SELECT e.GROUPPLAYERID, e.GRPSEQNUM, e.PLAYERID, e.SHARESLOTID, "
    "p.FNAME, p.LNAME, p.PHONE1, q.FNAME AS P2FNAME, q.LNAME AS P2LNAME, q.PHONE1 AS P2PHONE "
    "FROM \"GRPPLAYR.db\" e LEFT JOIN \"PLAYERS.db\" p ON p.PLAYERID = e.PLAYERID "
    "LEFT JOIN \"PLAYERS.db\" q ON q.PLAYERID = e.SHARESLOTID "
    "WHERE e.GROUPID = :groupid ORDER BY e.GRPSEQNUM, e.GROUPPLAYERID";

const char* const courtsSql = "SELECT DISTINCT c.COURTID, c.NAME FROM \"COURTSLT.db\" s, \"COURTS.db\" c "
                              "WHERE s.GROUPID = :groupid AND c.COURTID = s.COURTID ORDER BY c.COURTID";

// SCHEDULEID keeps the order in which the generator wrote a court's entries,
// which is how the printed schedule pairs them.
const char* const rowsSql = "SELECT s.\"DATE\", s.GRPCOURTID, s.GRPPLAYRID, s.HOME, c.NAME "
                            "FROM \"SCHEDULE.db\" s JOIN \"GRPPLAYR.db\" e ON e.GROUPPLAYERID = s.GRPPLAYRID "
                            "LEFT JOIN \"COURTS.db\" c ON c.COURTID = s.GRPCOURTID "
                            "WHERE e.GROUPID = :groupid ORDER BY s.\"DATE\", s.GRPCOURTID, s.SCHEDULEID";

const char* const daysOffSql = "SELECT DISTINCT o.PLAYERID, o.\"DATE\" FROM \"PLAYROFF.db\" o, \"GRPPLAYR.db\" e "
                               "WHERE e.GROUPID = :groupid AND (o.PLAYERID = e.PLAYERID OR o.PLAYERID = e.SHARESLOTID)";

SeasonPerson person(const Query& q, int id, const char* first, const char* last, const char* phone)
{
    return SeasonPerson{id, q.asString(first).trimmed(), q.asString(last).trimmed(), q.asString(phone).trimmed()};
}

void readEntries(Database& db, Season& s)
{
    Query q(db, entriesSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    for (; !q.eof(); q.next()) {
        SeasonEntry e;
        e.id = q.asInt("GROUPPLAYERID");
        e.number = q.asInt("GRPSEQNUM");
        e.player = person(q, q.asInt("PLAYERID"), "FNAME", "LNAME", "PHONE1");
        // Only a doubles-league team has a second player; anything else in
        // the column is not a partner.
        if (isDoublesLeague(s.recordKind, s.matchType) && q.asInt("SHARESLOTID") != 0)
            e.partner = person(q, q.asInt("SHARESLOTID"), "P2FNAME", "P2LNAME", "P2PHONE");
        s.indexOfEntry.insert(e.id, int(s.entries.size()));
        s.entries << e;
    }
}

void readCourts(Database& db, Season& s)
{
    Query q(db, courtsSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    for (; !q.eof(); q.next()) {
        const int id = q.asInt("COURTID");
        s.courtNames.insert(id, q.asString("NAME"));
        s.courtOrder << id;
    }
}

void readRows(Database& db, Season& s)
{
    Query q(db, rowsSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    QHash<QPair<QDate, int>, int> sessionIndex;
    QSet<QDate> seen;
    for (; !q.eof(); q.next()) {
        const QDate date = q.asDate("DATE");
        const int court = q.asInt("GRPCOURTID");
        if (!s.courtNames.contains(court)) {
            // A court taken off the group after its schedule was written.
            s.courtNames.insert(court, q.asString("NAME"));
            s.courtOrder << court;
        }
        const auto key = qMakePair(date, court);
        auto it = sessionIndex.find(key);
        if (it == sessionIndex.end()) {
            it = sessionIndex.insert(key, int(s.sessions.size()));
            s.sessions.append(CourtSession{date, court, {}, {}});
        }
        CourtSession& session = s.sessions[*it];
        const int entry = q.asInt("GRPPLAYRID");
        session.entryIds << entry;
        if (q.asBool("HOME"))
            session.homeIds.insert(entry);
        if (!seen.contains(date)) {
            seen.insert(date);
            s.dates << date;
        }
    }
    // Courts of one date in the group's court order, as the printed grid has them.
    QHash<int, int> rank;
    for (int i = 0; i < s.courtOrder.size(); ++i)
        rank.insert(s.courtOrder[i], i);
    std::stable_sort(s.sessions.begin(), s.sessions.end(), [&](const CourtSession& a, const CourtSession& b) {
        return a.date != b.date ? a.date < b.date : rank.value(a.courtId) < rank.value(b.courtId);
    });
}

void readDaysOff(Database& db, Season& s)
{
    const QSet<QDate> playDates(s.dates.begin(), s.dates.end());
    Query q(db, daysOffSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    for (; !q.eof(); q.next()) {
        const QDate date = q.asDate("DATE");
        if (playDates.contains(date))
            s.playerDaysOff[q.asInt("PLAYERID")].insert(date);
    }
}

}   // namespace

QString SeasonPerson::fullName() const
{
    return (firstName + QLatin1Char(' ') + lastName).trimmed();
}

QString SeasonEntry::fullName() const
{
    return isTeam() ? player.fullName() + QLatin1Char('/') + partner.fullName() : player.fullName();
}

QString SeasonEntry::label() const
{
    return QString::number(number) + QStringLiteral(". ") + fullName();
}

int Season::sideSize() const
{
    return ::sideSize(recordKind, matchType);
}

int Season::entryIndex(int entryId) const
{
    return indexOfEntry.value(entryId, -1);
}

const SeasonEntry* Season::entry(int entryId) const
{
    const int i = entryIndex(entryId);
    return i < 0 ? nullptr : &entries[i];
}

QString Season::courtName(int courtId) const
{
    const QString name = courtNames.value(courtId);
    return name.isEmpty() ? QStringLiteral("Court %1").arg(courtId) : name;
}

QVector<int> Season::entriesOfPlayer(int playerId) const
{
    QVector<int> ids;
    for (const SeasonEntry& e : entries)
        if (playerId != 0 && (e.player.id == playerId || e.partner.id == playerId))
            ids << e.id;
    return ids;
}

QVector<SeasonPerson> Season::players() const
{
    QVector<SeasonPerson> out;
    QSet<int> seen;
    for (const SeasonEntry& e : entries)
        for (const SeasonPerson& p : {e.player, e.partner})
            if (p.id != 0 && !seen.contains(p.id)) {
                seen.insert(p.id);
                out << p;
            }
    return out;
}

QVector<QVector<int>> Season::sides(const CourtSession& session) const
{
    const int side = sideSize();
    if (side == 0 || session.entryIds.size() <= side)
        return {session.entryIds};
    return {session.entryIds.mid(0, side), session.entryIds.mid(side)};
}

Season loadSeason(Database& db, int groupId)
{
    Season s;
    Query q(db, groupSql);
    q.setInteger("groupid", groupId);
    q.open();
    if (q.isEmpty())
        return s;
    s.groupId = groupId;
    s.name = q.asString("NAME");
    s.recordKind = recordKindFrom(q.asInt("RTYPE"));
    s.matchType = matchTypeFrom(q.asInt("TYPE"));
    s.startTime = q.value("STIME").toTime();
    s.endTime = q.value("ETIME").toTime();
    s.notes = q.asString("NOTES");
    s.bringBallsOn = q.asBool("BBON");
    readEntries(db, s);
    readCourts(db, s);
    readRows(db, s);
    readDaysOff(db, s);
    return s;
}
