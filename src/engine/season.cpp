#include "season.h"
#include "data/query.h"
#include "data/transaction.h"
#include <algorithm>

namespace {

const char* const groupSql = "SELECT NAME, RTYPE, TYPE, STIME, ETIME, NOTES, BBON, NumPerSes "
                             "FROM \"group.DB\" WHERE GROUPID = :groupid";

const char* const entriesSql =
    "SELECT e.GROUPPLAYERID, e.GRPSEQNUM, e.PLAYERID, e.SHARESLOTID, e.SESPLAYED, e.LWIN, e.LLOSSES, e.LRANKING, "
    "p.FNAME, p.LNAME, p.PHONE1, q.FNAME, q.LNAME, q.PHONE1 "
    "FROM \"GRPPLAYR.db\" e LEFT JOIN \"PLAYERS.db\" p ON p.PLAYERID = e.PLAYERID "
    "LEFT JOIN \"PLAYERS.db\" q ON q.PLAYERID = e.SHARESLOTID "
    "WHERE e.GROUPID = :groupid ORDER BY e.GRPSEQNUM, e.GROUPPLAYERID";

const char* const courtsSql = "SELECT DISTINCT c.COURTID, c.NAME FROM \"COURTSLT.db\" s, \"COURTS.db\" c "
                              "WHERE s.GROUPID = :groupid AND c.COURTID = s.COURTID ORDER BY c.COURTID";

// The season's rows lie together in the table when one run wrote them:
// reading that stretch straight through is then much faster than looking
// each row up through the entries' index, which is the way otherwise.
const char* const rowSpanSql = "SELECT MIN(s.SCHEDULEID), MAX(s.SCHEDULEID), COUNT(*) FROM \"SCHEDULE.db\" s "
                               "JOIN \"GRPPLAYR.db\" e ON e.GROUPPLAYERID = s.GRPPLAYRID WHERE e.GROUPID = :groupid";
const char* const rowsInSpanSql =
    "SELECT SCHEDULEID, GRPPLAYRID, \"DATE\", VSGRPPLAYRID, HOME, WINNER, GRPCOURTID, SLOTCODE, SLOTCODE2 "
    "FROM \"SCHEDULE.db\" WHERE SCHEDULEID BETWEEN :first AND :last "
    "AND +GRPPLAYRID IN (SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = :groupid)";
const char* const rowsByEntrySql =
    "SELECT s.SCHEDULEID, s.GRPPLAYRID, s.\"DATE\", s.VSGRPPLAYRID, s.HOME, s.WINNER, s.GRPCOURTID, s.SLOTCODE, "
    "s.SLOTCODE2 FROM \"SCHEDULE.db\" s JOIN \"GRPPLAYR.db\" e ON e.GROUPPLAYERID = s.GRPPLAYRID "
    "WHERE e.GROUPID = :groupid";

// Courts the rows use that are no longer the group's.
const char* const otherCourtsSql =
    "SELECT DISTINCT c.COURTID, c.NAME FROM \"SCHEDULE.db\" s JOIN \"GRPPLAYR.db\" e "
    "ON e.GROUPPLAYERID = s.GRPPLAYRID JOIN \"COURTS.db\" c ON c.COURTID = s.GRPCOURTID "
    "WHERE e.GROUPID = :groupid AND s.GRPCOURTID NOT IN (SELECT COURTID FROM \"COURTSLT.db\" WHERE GROUPID = :groupid)";

const char* const daysOffSql = "SELECT DISTINCT o.PLAYERID, o.\"DATE\" FROM \"PLAYROFF.db\" o, \"GRPPLAYR.db\" e "
                               "WHERE e.GROUPID = :groupid AND (o.PLAYERID = e.PLAYERID OR o.PLAYERID = e.SHARESLOTID)";
const char* const groupDaysOffSql = "SELECT \"DATE\" FROM \"groupoff.DB\" WHERE GROUPID = :groupid";

bool flag(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString)
        return v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || v.toString() == "1";
    return v.toInt() != 0;
}

// Dates come as ISO text, in runs of the same date: each is parsed once.
class DateReader {
public:
    QDate operator()(const QVariant& v)
    {
        if (v.typeId() == QMetaType::QDate)
            return v.toDate();
        const QString text = v.toString().left(10);
        if (text != lastText) {
            lastText = text;
            lastDate = QDate::fromString(text, Qt::ISODate);
        }
        return lastDate;
    }

private:
    QString lastText;
    QDate lastDate;
};

SeasonPerson person(const Query& q, int id, int firstColumn)
{
    return SeasonPerson{id, q.value(firstColumn).toString().trimmed(), q.value(firstColumn + 1).toString().trimmed(),
                        q.value(firstColumn + 2).toString().trimmed()};
}

void readEntries(Database& db, Season& s)
{
    Query q(db, entriesSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    s.entries.reserve(q.recordCount());
    for (; !q.eof(); q.next()) {
        SeasonEntry e;
        e.id = q.value(0).toInt();
        e.number = q.value(1).toInt();
        e.player = person(q, q.value(2).toInt(), 8);
        // Only a doubles-league team has a second player; anything else in
        // the column is not a partner.
        const int partner = q.value(3).toInt();
        if (isDoublesLeague(s.recordKind, s.matchType) && partner != 0)
            e.partner = person(q, partner, 11);
        e.played = q.value(4).toDouble();
        e.wins = q.value(5);
        e.losses = q.value(6);
        e.rank = q.value(7);
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
        const int id = q.value(0).toInt();
        s.courtNames.insert(id, q.value(1).toString());
        s.courtOrder << id;
    }
}

void readRows(Database& db, Season& s)
{
    Query span(db, rowSpanSql);
    span.setInteger("groupid", s.groupId);
    span.open();
    const qint64 first = span.value(0).toLongLong(), last = span.value(1).toLongLong();
    const qint64 count = span.value(2).toLongLong();
    if (count == 0)
        return;
    // Other groups' rows in the stretch are passed over; where they would
    // far outnumber the season's own, the index costs less.
    const bool together = last - first + 1 <= 8 * count;
    Query q(db, together ? rowsInSpanSql : rowsByEntrySql);
    if (together) {
        q.setInteger("first", first);
        q.setInteger("last", last);
    }
    q.setInteger("groupid", s.groupId);
    q.open();
    s.rows.reserve(count);
    DateReader date;
    for (; !q.eof(); q.next()) {
        SeasonRow r;
        r.scheduleId = q.value(0).toLongLong();
        r.entry = q.value(1).toInt();
        r.date = date(q.value(2));
        r.opponent = q.value(3).toInt();
        r.home = flag(q.value(4));
        r.winnerValue = q.value(5);
        r.winner = r.winnerValue.toInt();
        r.court = q.value(6).toInt();
        r.slot = q.value(7).toInt();
        r.slot2 = q.value(8).toInt();
        s.rows.append(r);
    }
    // SCHEDULEID keeps the order in which the generator wrote a court's
    // entries, which is how the printed schedule pairs them.
    std::sort(s.rows.begin(), s.rows.end(), [](const SeasonRow& a, const SeasonRow& b) {
        if (a.date != b.date)
            return a.date < b.date;
        return a.court != b.court ? a.court < b.court : a.scheduleId < b.scheduleId;
    });
}

// A court taken off the group after its schedule was written keeps a place
// after the group's own, in the order its rows first use it.
void addOtherCourts(Database& db, Season& s)
{
    QSet<int> known(s.courtOrder.cbegin(), s.courtOrder.cend());
    QVector<int> others;
    for (const SeasonRow& r : std::as_const(s.rows))
        if (!known.contains(r.court)) {
            known.insert(r.court);
            others << r.court;
        }
    if (others.isEmpty())
        return;
    Query q(db, otherCourtsSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    for (; !q.eof(); q.next())
        s.courtNames.insert(q.value(0).toInt(), q.value(1).toString());
    s.courtOrder << others;
}

// The rows grouped by date and court, the courts of a date in the group's
// court order as the printed grid has them.
void groupSessions(Season& s)
{
    QHash<int, int> rank;
    for (int i = 0; i < s.courtOrder.size(); ++i)
        rank.insert(s.courtOrder[i], i);
    for (qsizetype i = 0; i < s.rows.size();) {
        const QDate date = s.rows[i].date;
        s.dates << date;
        const qsizetype firstOfDate = s.sessions.size();
        for (; i < s.rows.size() && s.rows[i].date == date;) {
            CourtSession session{date, s.rows[i].court, {}, {}};
            for (; i < s.rows.size() && s.rows[i].date == date && s.rows[i].court == session.courtId; ++i) {
                session.entryIds << s.rows[i].entry;
                if (s.rows[i].home)
                    session.homeIds.insert(s.rows[i].entry);
            }
            s.sessions << session;
        }
        std::stable_sort(s.sessions.begin() + firstOfDate, s.sessions.end(),
                         [&](const CourtSession& a, const CourtSession& b) {
                             return rank.value(a.courtId) < rank.value(b.courtId);
                         });
    }
}

void readDaysOff(Database& db, Season& s)
{
    const QSet<QDate> playDates(s.dates.cbegin(), s.dates.cend());
    Query q(db, daysOffSql);
    q.setInteger("groupid", s.groupId);
    q.open();
    DateReader date;
    for (; !q.eof(); q.next()) {
        const QDate d = date(q.value(1));
        if (playDates.contains(d))
            s.playerDaysOff[q.value(0).toInt()].insert(d);
    }
    Query g(db, groupDaysOffSql);
    g.setInteger("groupid", s.groupId);
    g.open();
    for (; !g.eof(); g.next())
        if (const QDate d = date(g.value(0)); playDates.contains(d))
            s.groupDaysOff.insert(d);
}

bool sameRow(const SeasonRow& a, const SeasonRow& b)
{
    return a.scheduleId == b.scheduleId && a.entry == b.entry && a.date == b.date && a.opponent == b.opponent &&
           a.home == b.home && a.winnerValue == b.winnerValue && a.court == b.court && a.slot == b.slot &&
           a.slot2 == b.slot2;
}

bool sameEntry(const SeasonEntry& a, const SeasonEntry& b)
{
    return a.id == b.id && a.player.id == b.player.id && a.partner.id == b.partner.id && a.number == b.number &&
           a.played == b.played && a.wins == b.wins && a.losses == b.losses && a.rank == b.rank;
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

bool Season::sameAs(const Season& other) const
{
    return name == other.name && recordKind == other.recordKind && matchType == other.matchType &&
           std::equal(rows.cbegin(), rows.cend(), other.rows.cbegin(), other.rows.cend(), sameRow) &&
           std::equal(entries.cbegin(), entries.cend(), other.entries.cbegin(), other.entries.cend(), sameEntry);
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

QString Season::entryText(int entryId) const
{
    const SeasonEntry* e = entry(entryId);
    return e ? QString::number(e->number) + QLatin1Char(' ') + e->fullName() : QStringLiteral("(removed entry)");
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

bool Season::isOff(const SeasonEntry& e, const QDate& date) const
{
    return playerDaysOff.value(e.player.id).contains(date) ||
           (e.partner.id != 0 && playerDaysOff.value(e.partner.id).contains(date));
}

QVector<QVector<int>> Season::sides(const CourtSession& session) const
{
    const int side = sideSize();
    if (side == 0 || session.entryIds.size() <= side)
        return {session.entryIds};
    return {session.entryIds.mid(0, side), session.entryIds.mid(side)};
}

QVector<const SeasonRow*> Season::rowsOn(const QDate& date) const
{
    QVector<const SeasonRow*> list;
    auto it = std::lower_bound(rows.cbegin(), rows.cend(), date,
                               [](const SeasonRow& r, const QDate& d) { return r.date < d; });
    for (; it != rows.cend() && it->date == date; ++it)
        list.append(&*it);
    return list;
}

const SeasonRow* Season::rowOf(int entry, const QDate& date) const
{
    for (const SeasonRow* r : rowsOn(date))
        if (r->entry == entry)
            return r;
    return nullptr;
}

QVector<int> Season::sittingOut(const QDate& date) const
{
    QSet<int> placed;
    for (const SeasonRow* r : rowsOn(date))
        placed.insert(r->entry);
    QVector<int> out;
    for (const SeasonEntry& e : entries)
        if (!placed.contains(e.id))
            out.append(e.id);
    return out;
}

SeasonMatch Season::matchOf(int entry, const QDate& date) const
{
    const SeasonRow* own = rowOf(entry, date);
    if (!own || !isLeague())
        return {};
    for (const SeasonRow* r : rowsOn(date)) {
        if (r == own || r->court != own->court)
            continue;
        if (own->opponent == r->entry && r->opponent == 0)
            return {own, r};
        if (r->opponent == entry && own->opponent == 0)
            return {r, own};
    }
    return {};
}

QDate Season::lastPlayedBefore(int entry, const QDate& date) const
{
    QDate last;
    for (const SeasonRow& r : rows) {
        if (r.date >= date)
            break;
        if (r.entry == entry)
            last = r.date;
    }
    return last;
}

int Season::homeCountBefore(int entry, const QDate& date) const
{
    int count = 0;
    for (const SeasonRow& r : rows) {
        if (r.date >= date)
            break;
        count += r.entry == entry && r.home;
    }
    return count;
}

Season loadSeason(Database& db, int groupId)
{
    Season s;
    // One snapshot for all the statements, so that another Vantrel writing
    // meanwhile cannot leave a season half old and half new. It only reads:
    // leaving the scope ends it.
    Transaction snapshot(db);
    Query q(db, groupSql);
    q.setInteger("groupid", groupId);
    q.open();
    if (q.isEmpty())
        return s;
    s.groupId = groupId;
    s.name = q.value(0).toString();
    s.recordKind = recordKindFrom(q.value(1).toInt());
    s.matchType = matchTypeFrom(q.value(2).toInt());
    s.startTime = q.value(3).toTime();
    s.endTime = q.value(4).toTime();
    s.notes = q.value(5).toString();
    s.bringBallsOn = flag(q.value(6));
    s.playersPerSession = q.value(7).toInt();
    readEntries(db, s);
    readCourts(db, s);
    readRows(db, s);
    addOtherCourts(db, s);
    groupSessions(s);
    readDaysOff(db, s);
    return s;
}

QVector<DayOffClash> dayOffClashes(const Season& s, const QDate& from)
{
    QVector<DayOffClash> clashes;
    auto it = std::lower_bound(s.rows.cbegin(), s.rows.cend(), from,
                               [](const SeasonRow& r, const QDate& d) { return r.date < d; });
    for (; it != s.rows.cend(); ++it) {
        const bool groupOff = s.groupDaysOff.contains(it->date);
        const SeasonEntry* e = s.entry(it->entry);
        if (groupOff || (e && s.isOff(*e, it->date)))
            clashes.append({it->date, it->entry, groupOff});
    }
    return clashes;
}
