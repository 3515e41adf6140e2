#pragma once
// A season fixture: a generated group or league in a private database, the
// season operations over it, and dumps of the tables they may change, with
// each value quoted as SQLite stores it so that a type change shows too.
#include "engine_fixture.h"
#include "engine/runstate.h"
#include "engine/seasonops.h"
#include <QSqlQuery>
#include <QSqlRecord>

struct SeasonFixture : EngineFixture {
    using EngineFixture::EngineFixture;

    void generate(int group, unsigned seed)
    {
        runState() = RunState();
        ScriptedHost host;
        auto ds = open(group);
        std::mt19937 random(seed);
        ScheduleEngine engine(ds->tbgroup.database(), ds->groupId(), host, random);
        engine.GenerateSchedule();
    }

    // A generated singles league: two entries a court, `rounds` rounds.
    int league(int entries, int courts, int rounds, unsigned seed)
    {
        GroupShape g;
        g.entries = entries;
        g.courts = courts;
        g.perSession = 2 * courts;
        g.type = 1;
        g.weeks = rounds;
        const int id = addGroup(g, 2);
        generate(id, seed);
        return id;
    }

    QString dump(const QString& table, const QString& where = QString())
    {
        QSqlQuery info(db().connection());
        info.exec("PRAGMA table_info(\"" + table + "\")");
        QStringList quoted;
        while (info.next())   // the row version is the database's, not the records'
            if (info.value(1).toString() != Schema::rowVersionColumn)
                quoted << "quote(\"" + info.value(1).toString() + "\")";
        QSqlQuery q(db().connection());
        q.exec("SELECT " + quoted.join(" || '|' || ") + " FROM \"" + table + "\" " + where + " ORDER BY 1");
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString();
        return rows.join('\n');
    }
    QString dumpAll() { return dump("SCHEDULE") + "\n--\n" + dump("GRPPLAYR") + "\n--\n" + dump("PLAYROFF"); }
    QString rowsBefore(const QDate& d) { return dump("SCHEDULE", "WHERE DATE < '" + d.toString(Qt::ISODate) + "'"); }

    // Spread of the play counts (most minus fewest) and whether the counts
    // match the rows.
    int spread(int group)
    {
        return scalar("SELECT MAX(SESPLAYED) - MIN(SESPLAYED) FROM GRPPLAYR WHERE GROUPID = ?", {group}).toInt();
    }
    bool countsMatchRows(int group)
    {
        return scalar("SELECT COUNT(*) FROM GRPPLAYR g WHERE GROUPID = ? AND SESPLAYED <> "
                      "(SELECT COUNT(*) FROM SCHEDULE s WHERE s.GRPPLAYRID = g.GROUPPLAYERID)",
                      {group})
                   .toInt() == 0;
    }
    int entryOn(int group, const QDate& d, bool placed)
    {
        return scalar(QString("SELECT MIN(GROUPPLAYERID) FROM GRPPLAYR g WHERE GROUPID = ? AND %1 EXISTS "
                              "(SELECT 1 FROM SCHEDULE s WHERE s.GRPPLAYRID = g.GROUPPLAYERID AND s.DATE = ?)")
                          .arg(placed ? "" : "NOT"),
                      {group, d.toString(Qt::ISODate)})
            .toInt();
    }
    // Two entries that can trade dates from the date at `first` on: a plays
    // on dA but not dB, b on dB but not dA. Zeros when there are none.
    struct SwapPick {
        int a = 0, b = 0;
        QDate dA, dB;
    };
    SwapPick swapPick(int group, int first = 0)
    {
        const QVector<QDate> d = dates(group);
        const QVector<int> ids = entryIds(group);
        auto plays = [&](int entry, const QDate& date) { return !cell(entry, date, "SCHEDULEID").isNull(); };
        for (int i = first; i < d.size(); ++i)
            for (int j = first; j < d.size(); ++j)
                for (int x : ids)
                    for (int y : ids)
                        if (i != j && plays(x, d[i]) && !plays(x, d[j]) && plays(y, d[j]) && !plays(y, d[i]))
                            return {x, y, d[i], d[j]};
        return {};
    }
    int playerOf(int entry) { return scalar("SELECT PLAYERID FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {entry}).toInt(); }
    QVariant cell(int entry, const QDate& d, const QString& column)
    {
        return scalar("SELECT " + column + " FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE = ?",
                      {entry, d.toString(Qt::ISODate)});
    }
};
