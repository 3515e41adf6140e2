#include "printedschedule.h"
#include "data/query.h"
#include "reportengine/eventpacer.h"
#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A piece of reading aims at this much work, whatever the machine and
// however many rows an entry has: well inside the pacer's interval.
constexpr double pieceMs = 10.0;

// The order SQLite gives ORDER BY and GROUP BY: NULL first, then numbers,
// then text by its UTF-8 bytes.
int sqlCompare(const QVariant& a, const QVariant& b)
{
    auto rank = [](const QVariant& v) {
        if (v.isNull())
            return 0;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Double: return 1;
        default: return 2;
        }
    };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const QByteArray x = a.toString().toUtf8(), y = b.toString().toUtf8();
    return x < y ? -1 : (x > y ? 1 : 0);
}

struct Entry {
    int id = 0;                    // GROUPPLAYERID
    QVariant number;               // GRPSEQNUM
    bool hasPlayer = false;        // its PLAYERID names a player
    QVariant first, last, phone;   // the player's
    QVariant partnerId;            // SHARESLOTID
    ScheduleText::Person partner;
};

struct Row {
    qint64 id = 0;   // SCHEDULEID
    int entry = 0;   // position in the entries
    int dateKey = 0;
    QVariant court;   // GRPCOURTID as stored
    QVariant slot;    // SLOTCODE as stored
    bool home = false;
};

class Reader {
public:
    Reader(Database& database, int group, EventPacer* eventPacer) : db(database), groupId(group), pacer(eventPacer) {}

    PrintedSchedule read()
    {
        PrintedSchedule p;
        if (readGroup(p)) {
            readEntries();
            readRows();
        }
        if (!anyPrinted()) {
            p.missing = PrintedSchedule::Missing::Schedule;
            return p;
        }
        readCourts(p);
        if (p.courts.isEmpty()) {
            p.missing = PrintedSchedule::Missing::Courts;
            return p;
        }
        readExtraCourts(p);
        sortRows();
        buildGrid(p);
        buildRoster(p);
        return p;
    }

private:
    void pace()
    {
        if (pacer)
            pacer->checkpoint();
    }

    bool readGroup(PrintedSchedule& p)
    {
        Query q(db, "SELECT NAME, STIME, ETIME, NOTES, TYPE, RTYPE, BBON FROM \"group.DB\" WHERE GROUPID = :groupid");
        q.setInteger("groupid", groupId);
        q.open();
        if (q.eof())
            return false;
        p.name = q.asString("NAME");
        p.notes = q.asString("NOTES");
        p.startTime = q.value("STIME");
        p.endTime = q.value("ETIME");
        p.recordKind = recordKindFrom(q.asInt("RTYPE"));
        p.matchType = matchTypeFrom(q.asInt("TYPE"));
        p.bringBalls = q.asBool("BBON");
        return true;
    }

    void readEntries()
    {
        Query q(db, "SELECT d2.GROUPPLAYERID, d2.GRPSEQNUM, d2.SHARESLOTID, d1.PLAYERID AS FOUND, d1.FNAME, d1.LNAME, "
                    "d1.PHONE1, p2.FNAME AS PARTNERFIRST, p2.LNAME AS PARTNERLAST, p2.PHONE1 AS PARTNERPHONE "
                    "FROM \"GRPPLAYR.db\" d2 LEFT JOIN \"PLAYERS.db\" d1 ON d1.PLAYERID = d2.PLAYERID "
                    "LEFT JOIN \"PLAYERS.db\" p2 ON p2.PLAYERID = d2.SHARESLOTID "
                    "WHERE d2.GROUPID = :groupid ORDER BY d2.GROUPPLAYERID");
        q.setInteger("groupid", groupId);
        q.open();
        for (; !q.eof(); q.next()) {
            Entry e;
            e.id = q.asInt("GROUPPLAYERID");
            e.number = q.value("GRPSEQNUM");
            e.hasPlayer = !q.isNull("FOUND");
            e.first = q.value("FNAME");
            e.last = q.value("LNAME");
            e.phone = q.value("PHONE1");
            e.partnerId = q.value("SHARESLOTID");
            e.partner = {q.asString("PARTNERFIRST"), q.asString("PARTNERLAST"), q.asString("PARTNERPHONE")};
            positionOf.insert(e.id, int(entries.size()));
            entries.append(e);
        }
        pace();
    }

    // A few entries' rows at a time: the entries' ids are in order, so a
    // range of them holds exactly those entries of the group.
    void readRows()
    {
        Query q(db, "SELECT d3.SCHEDULEID, d3.GRPPLAYRID, d3.\"DATE\", d3.GRPCOURTID, d3.SLOTCODE, d3.HOME "
                    "FROM \"GRPPLAYR.db\" d2, \"SCHEDULE.db\" d3 WHERE (d2.GROUPID = :groupid) "
                    "AND (d2.GROUPPLAYERID BETWEEN :first AND :last) AND (d3.GRPPLAYRID = d2.GROUPPLAYERID)");
        int count = 8;
        for (int from = 0; from < entries.size();) {
            const int to = int(qMin<qsizetype>(from + count, entries.size())) - 1;
            QElapsedTimer piece;
            piece.start();
            q.setInteger("groupid", groupId);
            q.setInteger("first", entries[from].id);
            q.setInteger("last", entries[to].id);
            q.open();
            for (; !q.eof(); q.next()) {
                Row r;
                r.id = q.asInteger("SCHEDULEID");
                r.entry = positionOf.value(q.asInt("GRPPLAYRID"));
                r.dateKey = dateKey(q);
                r.court = q.value("GRPCOURTID");
                r.slot = q.value("SLOTCODE");
                r.home = q.asBool("HOME");
                rows.push_back(r);
            }
            q.close();
            const double ms = piece.nsecsElapsed() / 1e6;
            count = ms < pieceMs / 4 ? count * 4 : qMax(1, int(count * pieceMs / ms));
            from = to + 1;
            pace();
        }
    }

    // The row's date as a small number: a date's text is read as a date
    // once, and the rows sort by their dates' order.
    int dateKey(const Query& q)
    {
        const QVariant stored = q.value("DATE");
        if (stored.isNull() && nullKey >= 0)
            return nullKey;
        const QString text = stored.toString();
        if (!stored.isNull())
            if (auto known = keyOf.constFind(text); known != keyOf.cend())
                return *known;
        const int key = int(keyValues.size());
        (stored.isNull() ? nullKey : keyOf[text]) = key;
        keyValues.append(stored);
        keyDates.append(q.asDate("DATE"));
        return key;
    }

    bool anyPrinted() const
    {
        return std::any_of(rows.cbegin(), rows.cend(), [this](const Row& r) { return entries[r.entry].hasPlayer; });
    }

    void readCourts(PrintedSchedule& p)
    {
        Query q(db, "SELECT DISTINCT d1.COURTID, d1.NAME FROM \"COURTSLT.db\" d, \"COURTS.db\" d1 "
                    "WHERE (d.GROUPID = :groupid) AND (d1.COURTID = d.COURTID) ORDER BY d1.COURTID, d1.NAME");
        q.setInteger("groupid", groupId);
        q.open();
        for (; !q.eof(); q.next())
            p.courts.append({q.asInt("COURTID"), q.asString("NAME")});
    }

    // A court that has rows but is no longer assigned gets a column after
    // the others, so that no match is lost.
    void readExtraCourts(PrintedSchedule& p)
    {
        QSet<int> known;
        for (const PrintedSchedule::Court& c : p.courts)
            known.insert(c.id);
        QList<int> extra;
        for (const Row& r : rows)
            if (entries[r.entry].hasPlayer && !known.contains(r.court.toInt())) {
                known.insert(r.court.toInt());
                extra.append(r.court.toInt());
            }
        std::sort(extra.begin(), extra.end());
        Query q(db, "SELECT NAME FROM \"COURTS.db\" WHERE COURTID = :courtid");
        for (int id : extra) {
            q.setInteger("courtid", id);
            q.open();
            const QString name = q.eof() ? QString() : q.asString("NAME");
            p.courts.append({id, name.isEmpty() ? QString("Court %1").arg(id) : name});
        }
        pace();
    }

    // Rows in date, court and row order, a date at a time.
    void sortRows()
    {
        QVector<int> keys(keyValues.size());
        std::iota(keys.begin(), keys.end(), 0);
        std::sort(keys.begin(), keys.end(),
                  [this](int a, int b) { return sqlCompare(keyValues[a], keyValues[b]) < 0; });
        QVector<int> rankOf(keys.size());
        for (int i = 0; i < keys.size(); ++i)
            rankOf[keys[i]] = i;
        byDate.assign(keys.size(), {});
        for (const Row& r : rows)
            byDate[rankOf[r.dateKey]].push_back(r);
        rows.clear();
        rows.shrink_to_fit();
        for (std::vector<Row>& date : byDate) {
            std::sort(date.begin(), date.end(), [](const Row& a, const Row& b) {
                const int court = sqlCompare(a.court, b.court);
                return court != 0 ? court < 0 : a.id < b.id;
            });
            pace();
        }
    }

    void buildGrid(PrintedSchedule& p)
    {
        QMap<int, int> columnOf;
        for (int i = 0; i < p.courts.size(); ++i)
            columnOf.insert(p.courts[i].id, i);
        const int side = sideSize(p.recordKind, p.matchType);
        QVector<ScheduleText::CourtCell> cells;
        auto finish = [&] {
            if (!p.grid.isEmpty())
                for (int i = 0; i < cells.size(); ++i)
                    p.grid.last().courts[i] = cells[i].text();
        };
        for (const std::vector<Row>& date : byDate) {
            for (const Row& r : date) {
                if (!entries[r.entry].hasPlayer)
                    continue;
                const QDate day = keyDates[r.dateKey];
                if (p.grid.isEmpty() || p.grid.last().date != day) {
                    finish();
                    p.grid.append({day, QVector<QString>(p.courts.size()), {}});
                    cells = QVector<ScheduleText::CourtCell>(p.courts.size(), ScheduleText::CourtCell(side));
                }
                cells[columnOf.value(r.court.toInt())].add(ScheduleText::code(r.slot.toInt(), r.home, p.bringBalls));
            }
            pace();
        }
        finish();
        buildByes(p);
    }

    // The entries of the group, by number, without a row on the date. A
    // row on the date without an entry leaves no byes at all, as the
    // NOT IN of SQL has it.
    void buildByes(PrintedSchedule& p)
    {
        std::vector<int> byNumber(entries.size());
        std::iota(byNumber.begin(), byNumber.end(), 0);
        std::stable_sort(byNumber.begin(), byNumber.end(),
                         [this](int a, int b) { return sqlCompare(entries[a].number, entries[b].number) < 0; });
        QSet<QString> orphanDates;
        Query orphans(db, "SELECT DISTINCT \"DATE\" FROM \"SCHEDULE.db\" WHERE GRPPLAYRID IS NULL");
        orphans.open();
        for (; !orphans.eof(); orphans.next())
            if (!orphans.isNull("DATE"))
                orphanDates.insert(orphans.asString("DATE"));
        QHash<QString, std::vector<bool>> placedOn;
        for (const std::vector<Row>& date : byDate)
            for (const Row& r : date)
                if (!keyValues[r.dateKey].isNull()) {
                    std::vector<bool>& placed = placedOn[keyValues[r.dateKey].toString()];
                    placed.resize(entries.size());
                    placed[r.entry] = true;
                }
        for (PrintedSchedule::GridRow& row : p.grid) {
            const QString stored = row.date.isValid() ? row.date.toString(Qt::ISODate) : QString();
            if (!stored.isNull() && orphanDates.contains(stored))
                continue;
            const auto placed = placedOn.constFind(stored);
            QList<int> numbers;
            for (int e : byNumber)
                if (stored.isNull() || placed == placedOn.cend() || !(*placed)[e])
                    numbers << entries[e].number.toInt();
            row.byes = ScheduleText::byeList(numbers);
            pace();
        }
    }

    // One line per number and player as the rows name them, ordered by
    // number and name.
    void buildRoster(PrintedSchedule& p)
    {
        struct Line {
            QVariant slot;
            int entry;
        };
        QVector<Line> lines;
        QSet<QPair<QString, int>> seen;
        for (const std::vector<Row>& date : byDate)
            for (const Row& r : date) {
                if (!entries[r.entry].hasPlayer)
                    continue;
                const QString slot = r.slot.isNull() ? QString() : r.slot.toString();
                if (!seen.contains({slot, r.entry})) {
                    seen.insert({slot, r.entry});
                    lines.append({r.slot, r.entry});
                }
            }
        // By number, last and first name; lines alike in all they print
        // and in the partner are one line.
        auto compare = [this](const Line& a, const Line& b) {
            const Entry &x = entries[a.entry], &y = entries[b.entry];
            const QVariant keysX[] = {a.slot, x.last, x.first, x.phone, x.partnerId};
            const QVariant keysY[] = {b.slot, y.last, y.first, y.phone, y.partnerId};
            for (int i = 0; i < 5; ++i)
                if (const int c = sqlCompare(keysX[i], keysY[i]))
                    return c;
            return 0;
        };
        std::sort(lines.begin(), lines.end(), [&](const Line& a, const Line& b) { return compare(a, b) < 0; });
        lines.erase(
            std::unique(lines.begin(), lines.end(), [&](const Line& a, const Line& b) { return compare(a, b) == 0; }),
            lines.end());
        for (const Line& l : lines) {
            const Entry& e = entries[l.entry];
            p.roster.append({l.slot.toInt(),
                             {e.first.toString(), e.last.toString(), e.phone.toString()},
                             !e.partnerId.isNull(),
                             e.partner});
        }
        pace();
    }

    Database& db;
    int groupId;
    EventPacer* pacer;
    QVector<Entry> entries;   // by GROUPPLAYERID
    QHash<int, int> positionOf;
    std::vector<Row> rows;
    QHash<QString, int> keyOf;   // a stored date's text to its key
    int nullKey = -1;
    QVector<QVariant> keyValues;   // by key: the date as stored
    QVector<QDate> keyDates;       // and as read
    std::vector<std::vector<Row>> byDate;
};

}   // namespace

PrintedSchedule PrintedSchedule::read(Database& db, int groupId, EventPacer* pacer)
{
    return Reader(db, groupId, pacer).read();
}
