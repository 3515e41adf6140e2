#include "seasonsheet.h"
#include "data/query.h"
#include <QSet>
#include <algorithm>

namespace {

QVector<SheetEntry> readEntries(Database& db, int groupId, bool teams)
{
    Query q(db, "SELECT e.GROUPPLAYERID, e.PLAYERID, e.SHARESLOTID, e.GRPSEQNUM, e.SESPLAYED, e.LWIN, e.LLOSSES, "
                "e.LRANKING, p.FNAME AS FNAME1, p.LNAME AS LNAME1, p2.FNAME AS FNAME2, p2.LNAME AS LNAME2 "
                "FROM \"GRPPLAYR.db\" e LEFT JOIN \"PLAYERS.db\" p ON p.PLAYERID = e.PLAYERID "
                "LEFT JOIN \"PLAYERS.db\" p2 ON p2.PLAYERID = e.SHARESLOTID "
                "WHERE e.GROUPID = :groupid ORDER BY e.GRPSEQNUM, e.GROUPPLAYERID");
    q.setInteger("groupid", groupId);
    q.open();
    QVector<SheetEntry> list;
    for (q.first(); !q.eof(); q.next()) {
        SheetEntry e;
        e.id = q.asInt("GROUPPLAYERID");
        e.playerId = q.asInt("PLAYERID");
        e.partnerId = q.asInt("SHARESLOTID");
        e.number = q.asInt("GRPSEQNUM");
        e.name = q.asString("FNAME1") + QLatin1Char(' ') + q.asString("LNAME1");
        if (teams)
            e.name += QLatin1Char('/') + q.asString("FNAME2") + QLatin1Char(' ') + q.asString("LNAME2");
        e.played = q.asFloat("SESPLAYED");
        e.wins = q.value("LWIN");
        e.losses = q.value("LLOSSES");
        e.rank = q.value("LRANKING");
        list.append(e);
    }
    return list;
}

QVector<SheetRow> readRows(Database& db, int groupId)
{
    Query q(db, "SELECT s.SCHEDULEID, s.GRPPLAYRID, s.\"DATE\", s.VSGRPPLAYRID, s.HOME, s.WINNER, s.GRPCOURTID, "
                "s.SLOTCODE, s.SLOTCODE2 FROM \"SCHEDULE.db\" s JOIN \"GRPPLAYR.db\" e "
                "ON e.GROUPPLAYERID = s.GRPPLAYRID WHERE e.GROUPID = :groupid "
                "ORDER BY s.\"DATE\", s.GRPCOURTID, s.SCHEDULEID");
    q.setInteger("groupid", groupId);
    q.open();
    QVector<SheetRow> rows;
    rows.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next()) {
        SheetRow r;
        r.scheduleId = q.asInteger("SCHEDULEID");
        r.entry = q.asInt("GRPPLAYRID");
        r.date = q.asDate("DATE");
        r.opponent = q.asInt("VSGRPPLAYRID");
        r.home = q.asBool("HOME");
        r.winnerValue = q.value("WINNER");
        r.winner = r.winnerValue.toInt();
        r.court = q.asInt("GRPCOURTID");
        r.slot = q.asInt("SLOTCODE");
        r.slot2 = q.asInt("SLOTCODE2");
        rows.append(r);
    }
    return rows;
}

// The courts in the printed schedule's order; a court that still has rows
// but is no longer assigned gets a column after them.
QVector<SheetCourt> readCourts(Database& db, int groupId, const QVector<SheetRow>& rows)
{
    Query q(db, "SELECT DISTINCT d1.COURTID, d1.NAME FROM \"COURTSLT.db\" d, \"COURTS.db\" d1 "
                "WHERE (d.GROUPID = :groupid) AND (d1.COURTID = d.COURTID) ORDER BY d1.COURTID, d1.NAME");
    q.setInteger("groupid", groupId);
    q.open();
    QVector<SheetCourt> courts;
    QSet<int> known;
    for (q.first(); !q.eof(); q.next()) {
        courts.append({q.asInt("COURTID"), q.asString("NAME")});
        known.insert(courts.last().id);
    }
    for (const SheetRow& r : rows)
        if (!known.contains(r.court)) {
            known.insert(r.court);
            courts.append({r.court, QStringLiteral("Court %1").arg(r.court)});
        }
    return courts;
}

}   // namespace

SeasonSheet SeasonSheet::read(Database& db, int groupId)
{
    SeasonSheet s;
    s.groupId = groupId;
    Query g(db, "SELECT NAME, RTYPE, TYPE, BBON FROM \"group.DB\" WHERE GROUPID = :groupid");
    g.setInteger("groupid", groupId);
    g.open();
    if (g.eof())
        return s;
    s.name = g.asString("NAME");
    if (s.name.isNull())
        s.name = QStringLiteral("");
    s.recordKind = recordKindFrom(g.asInt("RTYPE"));
    s.matchType = matchTypeFrom(g.asInt("TYPE"));
    s.bringBalls = g.asBool("BBON");
    s.entries = readEntries(db, groupId, isDoublesLeague(s.recordKind, s.matchType));
    s.rows = readRows(db, groupId);
    s.courts = readCourts(db, groupId, s.rows);
    return s;
}

namespace {

bool sameRow(const SheetRow& a, const SheetRow& b)
{
    return a.scheduleId == b.scheduleId && a.entry == b.entry && a.date == b.date && a.opponent == b.opponent &&
           a.home == b.home && a.winnerValue == b.winnerValue && a.court == b.court && a.slot == b.slot &&
           a.slot2 == b.slot2;
}

bool sameEntry(const SheetEntry& a, const SheetEntry& b)
{
    return a.id == b.id && a.playerId == b.playerId && a.partnerId == b.partnerId && a.number == b.number &&
           a.played == b.played && a.wins == b.wins && a.losses == b.losses && a.rank == b.rank;
}

}   // namespace

bool SeasonSheet::sameAs(const SeasonSheet& other) const
{
    return name == other.name && recordKind == other.recordKind && matchType == other.matchType &&
           std::equal(rows.cbegin(), rows.cend(), other.rows.cbegin(), other.rows.cend(), sameRow) &&
           std::equal(entries.cbegin(), entries.cend(), other.entries.cbegin(), other.entries.cend(), sameEntry);
}

QVector<QDate> SeasonSheet::dates() const
{
    QVector<QDate> list;
    for (const SheetRow& r : rows)
        if (list.isEmpty() || list.last() != r.date)
            list.append(r.date);
    return list;
}

const SheetEntry* SeasonSheet::entry(int id) const
{
    for (const SheetEntry& e : entries)
        if (e.id == id)
            return &e;
    return nullptr;
}

QString SeasonSheet::entryText(int id) const
{
    const SheetEntry* e = entry(id);
    return e ? QString::number(e->number) + QLatin1Char(' ') + e->name : QStringLiteral("(removed entry)");
}

QVector<const SheetRow*> SeasonSheet::rowsOn(const QDate& date) const
{
    QVector<const SheetRow*> list;
    auto it = std::lower_bound(rows.cbegin(), rows.cend(), date,
                               [](const SheetRow& r, const QDate& d) { return r.date < d; });
    for (; it != rows.cend() && it->date == date; ++it)
        list.append(&*it);
    return list;
}

const SheetRow* SeasonSheet::rowOf(int entry, const QDate& date) const
{
    for (const SheetRow* r : rowsOn(date))
        if (r->entry == entry)
            return r;
    return nullptr;
}

QVector<int> SeasonSheet::sittingOut(const QDate& date) const
{
    QSet<int> placed;
    for (const SheetRow* r : rowsOn(date))
        placed.insert(r->entry);
    QVector<int> out;
    for (const SheetEntry& e : entries)
        if (!placed.contains(e.id))
            out.append(e.id);
    return out;
}

SheetMatch SeasonSheet::matchOf(int entry, const QDate& date) const
{
    const SheetRow* own = rowOf(entry, date);
    if (!own || !isLeague())
        return {};
    for (const SheetRow* r : rowsOn(date)) {
        if (r == own || r->court != own->court)
            continue;
        if (own->opponent == r->entry && r->opponent == 0)
            return {own, r};
        if (r->opponent == entry && own->opponent == 0)
            return {r, own};
    }
    return {};
}

QDate SeasonSheet::lastPlayedBefore(int entry, const QDate& date) const
{
    QDate last;
    for (const SheetRow& r : rows) {
        if (r.date >= date)
            break;
        if (r.entry == entry)
            last = r.date;
    }
    return last;
}

int SeasonSheet::homeCountBefore(int entry, const QDate& date) const
{
    int count = 0;
    for (const SheetRow& r : rows) {
        if (r.date >= date)
            break;
        count += r.entry == entry && r.home;
    }
    return count;
}
