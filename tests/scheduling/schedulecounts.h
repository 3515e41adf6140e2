#pragma once
// Counts over a group's SCHEDULE rows, for the fairness tests: how often each
// pair of entries shared a court as partners and as opponents, the marks per
// court and date, and each entry's dates and marks. A court's rows are taken
// in SCHEDULEID order; on a court of four the first two and the last two are
// partners, as the printed schedule lists them.
#include "data/database.h"
#include <QDate>
#include <QHash>
#include <QMap>
#include <QPair>
#include <QSqlQuery>
#include <QVariant>
#include <QVector>
#include <algorithm>
#include <cmath>

struct PairFigures {
    int max = 0;
    double mean = 0;
    int never = 0;       // pairs with a count of 0
    double ratio() const { return mean > 0 ? max / mean : 0; }
};

class ScheduleCounts {
public:
    ScheduleCounts(Database& db, int groupId)
    {
        QSqlQuery q(db.connection());
        q.prepare("SELECT GROUPPLAYERID FROM GRPPLAYR WHERE GROUPID = ? ORDER BY GROUPPLAYERID");
        q.addBindValue(groupId);
        q.exec();
        while (q.next())
            entries << q.value(0).toInt();
        q.prepare("SELECT s.DATE, s.GRPCOURTID, s.GRPPLAYRID, s.HOME FROM SCHEDULE s JOIN GRPPLAYR g ON "
                  "g.GROUPPLAYERID = s.GRPPLAYRID WHERE g.GROUPID = ? ORDER BY s.DATE, s.GRPCOURTID, s.SCHEDULEID");
        q.addBindValue(groupId);
        q.exec();
        while (q.next()) {
            const QDate date = QDate::fromString(q.value(0).toString(), Qt::ISODate);
            const int entry = q.value(2).toInt();
            QVector<int>& court = courts[{date, q.value(1).toInt()}];
            court << entry;
            if (q.value(3).toBool()) {
                marksOnCourt[{date, q.value(1).toInt()}] += 1;
                marks[entry] += 1;
            }
            dates[entry].insert(date, true);
        }
        for (const QVector<int>& c : std::as_const(courts))
            for (int i = 0; i < c.size(); ++i)
                for (int j = i + 1; j < c.size(); ++j) {
                    const bool partners = c.size() == 4 && ((i == 0 && j == 1) || (i == 2 && j == 3));
                    (partners ? partner : opponent)[key(c[i], c[j])] += 1;
                }
    }

    PairFigures partners() const { return figures(partner, nullptr); }
    PairFigures opponents() const { return figures(opponent, nullptr); }
    PairFigures shared() const { return figures(partner, &opponent); }

    int played(int entry) const { return int(dates.value(entry).size()); }
    int marked(int entry) const { return marks.value(entry); }
    // Courts and dates whose mark count is not exactly one.
    int courtsWithoutOneMark() const
    {
        int wrong = 0;
        for (auto it = courts.cbegin(); it != courts.cend(); ++it)
            wrong += marksOnCourt.value(it.key()) != 1;
        return wrong;
    }
    // Largest difference of marks among entries that play equally often.
    int markSpreadAmongEqualPlayers() const
    {
        QHash<int, QPair<int, int>> range;   // dates played -> (fewest, most) marks
        for (int e : entries) {
            const int p = played(e), m = marked(e);
            auto it = range.find(p);
            if (it == range.end())
                range.insert(p, {m, m});
            else
                *it = {std::min(it->first, m), std::max(it->second, m)};
        }
        int spread = 0;
        for (const auto& r : std::as_const(range))
            spread = std::max(spread, r.second - r.first);
        return spread;
    }
    int minPlayed() const
    {
        int m = INT_MAX;
        for (int e : entries)
            m = std::min(m, played(e));
        return m;
    }
    int dateCount() const
    {
        QHash<QDate, bool> all;
        for (const auto& d : dates)
            for (auto it = d.cbegin(); it != d.cend(); ++it)
                all.insert(it.key(), true);
        return int(all.size());
    }

    QVector<int> entries;

private:
    static quint64 key(int a, int b)
    {
        if (a > b)
            std::swap(a, b);
        return (quint64(a) << 32) | quint32(b);
    }
    PairFigures figures(const QHash<quint64, int>& counts, const QHash<quint64, int>* more) const
    {
        PairFigures f;
        long total = 0;
        int pairs = 0;
        for (int i = 0; i < entries.size(); ++i)
            for (int j = i + 1; j < entries.size(); ++j) {
                const quint64 k = key(entries[i], entries[j]);
                const int c = counts.value(k) + (more ? more->value(k) : 0);
                f.max = std::max(f.max, c);
                f.never += c == 0;
                total += c;
                ++pairs;
            }
        f.mean = pairs ? double(total) / pairs : 0;
        return f;
    }

    QMap<QPair<QDate, int>, QVector<int>> courts;
    QMap<QPair<QDate, int>, int> marksOnCourt;
    QHash<quint64, int> partner, opponent;
    QHash<int, QMap<QDate, bool>> dates;
    QHash<int, int> marks;
};
