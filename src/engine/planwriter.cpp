#include "planwriter.h"
#include "groupsetup.h"
#include "pacer.h"
#include "plan.h"
#include "data/database.h"
#include "data/query.h"
#include "data/transaction.h"

namespace {
// Rows deleted between two chances to yield: a few milliseconds' work.
constexpr int RowsPerPiece = 1000;
}   // namespace

PlanWriter::PlanWriter(Database& database, YieldPacer* p) : db(database), pacer(p) {}

void PlanWriter::checkpoint()
{
    if (pacer)
        pacer->checkpoint();
}

void PlanWriter::write(const GroupSetup& setup, const SchedulePlan& plan, const QDate& replaceFrom)
{
    Transaction writing(db, Transaction::Lock::AtStart);
    deleteOldRows(setup.groupId, replaceFrom);
    insertRows(plan);
    writeCounters(setup, plan);
    if (plan.league)
        writeMatches(plan);
    // A league written anew has no results yet: its standings start blank,
    // as the season's rows say.
    if (plan.league && !replaceFrom.isValid()) {
        Query q(db, "UPDATE \"GRPPLAYR.db\" SET LWIN = NULL, LLOSSES = NULL, LRANKING = NULL WHERE GROUPID = :groupid");
        q.execSql({setup.groupId});
    }
    if (plan.storePlayersPerSession) {
        Query q(db, "UPDATE \"group.DB\" SET NumPerSes = :numperses WHERE GROUPID = :groupid");
        q.execSql({plan.playersPerSession, setup.groupId});
    }
    writing.commit();
}

// A season of a thousand entries holds over a hundred thousand rows: one
// statement deleting them all would hold the window for most of a second.
void PlanWriter::deleteOldRows(int groupId, const QDate& from)
{
    const QString rowsOfGroup = QStringLiteral("SELECT s.SCHEDULEID FROM \"SCHEDULE.db\" s, \"GRPPLAYR.db\" g WHERE "
                                               "g.GROUPPLAYERID = s.GRPPLAYRID AND g.GROUPID = :groupid");
    const QString piece =
        from.isValid() ? QStringLiteral(" AND s.\"DATE\" >= :from LIMIT %1") : QStringLiteral(" LIMIT %1");
    Query q(db, QStringLiteral("DELETE FROM \"SCHEDULE.db\" WHERE SCHEDULEID IN (") + rowsOfGroup +
                    piece.arg(RowsPerPiece) + QLatin1Char(')'));
    QVector<QVariant> values{groupId};
    if (from.isValid())
        values << from.toString(Qt::ISODate);
    while (q.execSql(values) > 0)
        checkpoint();
}

void PlanWriter::insertRows(const SchedulePlan& plan)
{
    Query q(db, "INSERT INTO \"SCHEDULE.db\" (\"DATE\", GRPPLAYRID, SLOTCODE, VSGRPPLAYRID, SLOTCODE2, GRPCOURTID, "
                "HOME) VALUES (:date, :grpplayrid, :slotcode, :vsgrpplayrid, :slotcode2, :grpcourtid, :home)");
    checkpoint();
    QDate lastDate;
    QVariant dateText;
    QVector<QVariant> values(7);
    int sincePause = 0;
    for (const PlanRow& r : plan.rows) {
        if (r.date != lastDate) {
            lastDate = r.date;
            dateText = r.date.toString(Qt::ISODate);
        }
        values[0] = dateText;
        values[1] = r.entry;
        values[2] = r.number;
        // Only the first row of a league match names the opponent.
        values[3] = r.opponent ? QVariant(r.opponent) : QVariant();
        values[4] = r.opponent ? QVariant(r.opponentNumber) : QVariant();
        values[5] = r.court;
        values[6] = r.home ? QVariant(1) : QVariant();
        q.execSql(values);
        if (++sincePause == RowsPerPiece / 2) {
            sincePause = 0;
            checkpoint();
        }
    }
}

void PlanWriter::writeCounters(const GroupSetup& setup, const SchedulePlan& plan)
{
    Query q(db, "UPDATE \"GRPPLAYR.db\" SET PRIORITY = :priority, BBPRIORITY = :bbpriority, SESPLAYED = :sesplayed "
                "WHERE GROUPPLAYERID = :groupplayerid");
    for (int i = 0; i < setup.entries.size() && i < plan.counters.size(); ++i) {
        const PlanCounters& c = plan.counters[i];
        q.execSql({c.priority, c.ballPriority, double(c.played), setup.entries[i].id});
        if (i % 256 == 255)
            checkpoint();
    }
    checkpoint();
}

// The pairings table holds one round at a time, for every league alike.
void PlanWriter::writeMatches(const SchedulePlan& plan)
{
    Query empty(db, "DELETE FROM \"MATCHES.db\"");
    empty.execSql();
    Query q(db, "INSERT INTO \"MATCHES.db\" (PID1, PID2, PLAYED, WEIGHT, Mix) VALUES (:pid1, :pid2, :played, "
                ":weight, :mix)");
    for (const PlanMatch& m : plan.matches) {
        q.execSql(
            {m.pid1, m.pid2, m.played ? QVariant(1) : QVariant(), m.weight ? QVariant(*m.weight) : QVariant(), m.mix});
        checkpoint();
    }
}
