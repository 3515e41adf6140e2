#include "seasonchanges.h"
#include "shortnames.h"
#include "data/database.h"
#include "data/query.h"
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <algorithm>

namespace {

// Where an entry plays on one date, in the terms a player notices.
struct Place {
    int court = 0;
    bool balls = false;
    QVector<int> with;      // entries on the same side, sorted
    QVector<int> against;   // entries on the other side, sorted

    bool operator==(const Place& o) const
    {
        return court == o.court && balls == o.balls && with == o.with && against == o.against;
    }
};

quint64 key(int entry, const QDate& date)
{
    return (quint64(quint32(entry)) << 32) | quint32(date.toJulianDay());
}

using Places = QHash<quint64, Place>;

Places placesOf(const Season& s)
{
    Places places;
    places.reserve(s.rows.size());
    for (const CourtSession& session : s.sessions) {
        const QVector<QVector<int>> sides = s.sides(session);
        for (int side = 0; side < sides.size(); ++side)
            for (int entry : sides[side]) {
                Place p;
                p.court = session.courtId;
                p.balls = s.bringBallsOn && session.homeIds.contains(entry);
                for (int other : sides[side])
                    if (other != entry)
                        p.with.append(other);
                for (int o = 0; o < sides.size(); ++o)
                    if (o != side)
                        p.against += sides[o];
                std::sort(p.with.begin(), p.with.end());
                std::sort(p.against.begin(), p.against.end());
                places.insert(key(entry, session.date), p);
            }
    }
    return places;
}

QString listed(const EntryNames& name, const QVector<int>& entries)
{
    QStringList names;
    for (int id : entries)
        names << name(id);
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QString placeText(const Season& s, const EntryNames& names, const QDate& date, const Place& p)
{
    QString text = QStringLiteral("now plays %1 on %2").arg(playDateText(date), s.courtName(p.court));
    if (!p.with.isEmpty())
        text += QStringLiteral(" with ") + listed(names, p.with);
    if (!p.against.isEmpty())
        text += QStringLiteral(" against ") + listed(names, p.against);
    if (p.balls)
        text += QStringLiteral(", and brings the balls");
    return text;
}

QString differenceText(const Season& after, const EntryNames& names, const QDate& date, const Place* was,
                       const Place* is)
{
    if (!is)
        return QStringLiteral("no longer plays %1").arg(playDateText(date));
    // Only the ball duty moved: say just that.
    if (was && was->court == is->court && was->with == is->with && was->against == is->against)
        return is->balls ? QStringLiteral("now brings the balls on %1").arg(playDateText(date))
                         : QStringLiteral("no longer brings the balls on %1").arg(playDateText(date));
    return placeText(after, names, date, *is);
}

QVector<int> playersOf(const SeasonEntry& e)
{
    return e.isTeam() ? QVector<int>{e.player.id, e.partner.id} : QVector<int>{e.player.id};
}

}   // namespace

QString playDateText(const QDate& date)
{
    return QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy"));
}

QVector<PlayerChange> seasonChanges(const Season& before, const Season& after)
{
    const Places was = placesOf(before);
    const Places is = placesOf(after);
    struct Found {
        QDate date;
        int order;   // entry order: the after season's, then the removed ones
        int entry;
        bool fromBefore;
    };
    QVector<Found> found;
    auto orderOf = [&](int entry) {
        const int i = after.entryIndex(entry);
        return i >= 0 ? i : int(after.entries.size()) + before.entryIndex(entry);
    };
    for (auto it = is.cbegin(); it != is.cend(); ++it) {
        const auto old = was.constFind(it.key());
        if (old == was.cend() || !(*old == *it)) {
            const int entry = int(it.key() >> 32);
            found.append({QDate::fromJulianDay(qint64(quint32(it.key()))), orderOf(entry), entry, false});
        }
    }
    for (auto it = was.cbegin(); it != was.cend(); ++it)
        if (!is.contains(it.key())) {
            const int entry = int(it.key() >> 32);
            found.append({QDate::fromJulianDay(qint64(quint32(it.key()))), orderOf(entry), entry, true});
        }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return std::tie(a.date, a.order) < std::tie(b.date, b.order); });

    const EntryNames names(after);
    QVector<PlayerChange> changes;
    for (const Found& f : found) {
        const quint64 k = key(f.entry, f.date);
        const auto old = was.constFind(k);
        const auto now = is.constFind(k);
        const QString what = differenceText(after, names, f.date, old == was.cend() ? nullptr : &*old,
                                            now == is.cend() ? nullptr : &*now);
        const SeasonEntry* e = f.fromBefore ? before.entry(f.entry) : after.entry(f.entry);
        if (!e)
            e = before.entry(f.entry);
        if (!e)
            continue;
        for (int player : playersOf(*e))
            if (player > 0)
                changes.append({player, f.date, what});
    }
    return changes;
}

void logSeasonChanges(Database& db, const Season& before, const Season& after, const QDateTime& at)
{
    const QVector<PlayerChange> changes = seasonChanges(before, after);
    if (changes.isEmpty())
        return;
    Query q(db, "INSERT INTO SCHEDLOG (GROUPID, PLAYERID, \"DATE\", CHANGEDAT, WHAT) VALUES (:groupid, :playerid, "
                ":date, :changedat, :what)");
    const QVariant stamp = at.toUTC().toString(Qt::ISODateWithMs);
    const QVariant group = after.exists() ? after.groupId : before.groupId;
    for (const PlayerChange& c : changes)
        q.execSql({group, c.playerId, c.date.toString(Qt::ISODate), stamp, c.what});
}
