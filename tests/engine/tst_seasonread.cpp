// The season model reads each group's own rows, in the printed order, however
// the rows of many groups lie in the file: written together by one run,
// split by a re-plan around other groups' rows, scattered far apart, or
// moved by hand.
#include "random_groups.h"
#include "engine/runstate.h"
#include "engine/season.h"
#include "engine/seasonops.h"
#include <QSqlQuery>
#include <QtTest>

class TestSeasonRead : public QObject {
    Q_OBJECT

    // The group's rows straight from the file: id, entry, date, court, slot
    // and ball mark, by date, court and the order they were written in.
    static QStringList storedRows(EngineFixture& f, int group)
    {
        QSqlQuery q(f.db().connection());
        q.prepare("SELECT s.SCHEDULEID, s.GRPPLAYRID, s.DATE, s.GRPCOURTID, s.SLOTCODE, s.HOME FROM SCHEDULE s "
                  "JOIN GRPPLAYR e ON e.GROUPPLAYERID = s.GRPPLAYRID WHERE e.GROUPID = ? "
                  "ORDER BY s.DATE, s.GRPCOURTID, s.SCHEDULEID");
        q.addBindValue(group);
        q.exec();
        QStringList rows;
        while (q.next())
            rows << QStringLiteral("%1 %2 %3 %4 %5 %6")
                        .arg(q.value(0).toLongLong())
                        .arg(q.value(1).toInt())
                        .arg(q.value(2).toString())
                        .arg(q.value(3).toInt())
                        .arg(q.value(4).toInt())
                        .arg(q.value(5).toInt() != 0);
        return rows;
    }

    static QStringList modelRows(const Season& s)
    {
        QStringList rows;
        for (const SeasonRow& r : s.rows)
            rows << QStringLiteral("%1 %2 %3 %4 %5 %6")
                        .arg(r.scheduleId)
                        .arg(r.entry)
                        .arg(r.date.toString(Qt::ISODate))
                        .arg(r.court)
                        .arg(r.slot)
                        .arg(r.home);
        return rows;
    }

    // The courts of each date hold the rows of that date and court, in order.
    static QString sessionFault(const Season& s)
    {
        qsizetype held = 0;
        for (const CourtSession& cs : s.sessions) {
            QVector<int> entries;
            for (const SeasonRow* r : s.rowsOn(cs.date))
                if (r->court == cs.courtId)
                    entries << r->entry;
            if (entries != cs.entryIds)
                return QStringLiteral("court %1 on %2").arg(cs.courtId).arg(cs.date.toString(Qt::ISODate));
            held += cs.entryIds.size();
        }
        return held == s.rows.size() ? QString()
                                     : QStringLiteral("%1 of %2 rows in courts").arg(held).arg(s.rows.size());
    }

private slots:
    void init() { runState() = RunState(); }

    void everyGroupReadsItsOwnRows()
    {
        int groups = 0;
        for (unsigned seed = 1; seed <= 12; ++seed) {
            EngineFixture f;
            std::mt19937 r(seed);
            QVector<RandomGroup> made;
            for (int i = 0; i < 8; ++i) {
                const RandomGroup g = addRandomGroup(f, r);
                runState() = RunState();
                ScriptedHost host;
                std::mt19937 rng(seed * 100 + i);
                ScheduleEngine engine(f.db(), g.groupId, host, rng);
                engine.GenerateSchedule();
                if (!engine.written())
                    continue;
                made << g;
            }
            // Re-plans move the later dates of some groups past every other
            // group's rows: the first by far, the others a little.
            for (int k = 0; k < made.size(); k += 3) {
                const int group = made[k].groupId;
                const QVector<QDate> dates = loadSeason(f.db(), group).dates;
                if (dates.size() < 2)
                    continue;
                runState() = RunState();
                std::mt19937 rng(seed);
                SeasonOps(f.db(), group)
                    .replan(dates[k == 0 ? dates.size() - 1 : dates.size() / 2], rng,
                            [](const QVector<ReplanCount>&) { return true; });
            }
            // Rows moved by hand to another date and court come out of the
            // order they were written in.
            for (int k = 1; k < made.size(); k += 3) {
                const Season s = loadSeason(f.db(), made[k].groupId);
                if (s.rows.isEmpty())
                    continue;
                for (int moves = 0; moves < 3; ++moves) {
                    const SeasonRow& row = s.rows[pick(r, 0, int(s.rows.size()) - 1)];
                    f.exec("UPDATE SCHEDULE SET DATE = ?, GRPCOURTID = ? WHERE SCHEDULEID = ?",
                           {s.dates[pick(r, 0, int(s.dates.size()) - 1)].toString(Qt::ISODate),
                            s.courtOrder[pick(r, 0, int(s.courtOrder.size()) - 1)], row.scheduleId});
                }
            }
            for (const RandomGroup& g : made) {
                const Season s = loadSeason(f.db(), g.groupId);
                const QString where = QStringLiteral("seed %1, %2").arg(seed).arg(g.description);
                QCOMPARE(modelRows(s), storedRows(f, g.groupId));
                QVERIFY2(sessionFault(s).isEmpty(), qPrintable(where + ": " + sessionFault(s)));
                QVERIFY2(std::is_sorted(s.dates.cbegin(), s.dates.cend()) &&
                             std::adjacent_find(s.dates.cbegin(), s.dates.cend()) == s.dates.cend(),
                         qPrintable(where));
                ++groups;
            }
        }
        QVERIFY(groups > 60);
    }
};

QTEST_MAIN(TestSeasonRead)
#include "tst_seasonread.moc"
