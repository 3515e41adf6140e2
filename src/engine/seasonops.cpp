#include "seasonops.h"
#include "balldutybalance.h"
#include "emptyplaces.h"
#include "replan.h"
#include "seasonchanges.h"
#include "seasonnotifier.h"
#include "standings.h"
#include "data/database.h"
#include "data/query.h"
#include "data/transaction.h"
#include <QLocale>
#include <algorithm>

namespace {

// "col = :param", or "col IS NULL" for an empty value: the value as read.
QString asRead(const QString& column, const QVariant& value, const QString& param)
{
    return value.isNull() ? column + QStringLiteral(" IS NULL") : column + QStringLiteral(" = :") + param;
}

void requireOne(int affected)
{
    if (affected != 1)
        throw StaleRowError();
}

}   // namespace

SeasonOps::SeasonOps(Database& database, int groupId) : db(database), group(groupId)
{
    reload();
}

void SeasonOps::reload()
{
    shown = loadSeason(db, group);
}

QString SeasonOps::dateText(const QDate& date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString SeasonOps::nobodyFree(const QDate& date)
{
    return QStringLiteral("Nobody is free on %1: every other entry plays that date or has it off.").arg(dateText(date));
}

void SeasonOps::afterChange(const Season& now)
{
    shown = now;
    emit SeasonNotifier::instance().scheduleChanged(group);
}

QString SeasonOps::change(const QString& description,
                          const std::function<bool(const Season& fresh, QString& refusal)>& work)
{
    QString refusal;
    Season now;
    try {
        Transaction transaction(db, Transaction::Lock::AtStart);
        const Season fresh = loadSeason(db, group);
        if (!fresh.exists())
            return QStringLiteral("This group no longer exists; close the window.");
        // What the user chose from may no longer be what is stored.
        if (!fresh.sameAs(shown))
            throw StaleRowError();
        const SeasonSnapshot before = SeasonSnapshot::take(db, group);
        if (!work(fresh, refusal))
            return refusal;
        const SeasonSnapshot after = SeasonSnapshot::take(db, group);
        now = loadSeason(db, group);
        logSeasonChanges(db, fresh, now);
        transaction.commit();
        history.push(UndoRecord::between(before, after, description));
    } catch (const StaleRowError&) {
        reload();
        throw;
    }
    afterChange(now);
    return {};
}

bool SeasonOps::undo()
{
    return replay(true);
}

bool SeasonOps::redo()
{
    return replay(false);
}

bool SeasonOps::replay(bool back)
{
    Season now;
    try {
        // The players hear of an undone change as of any other.
        Transaction transaction(db, Transaction::Lock::AtStart);
        if (!(back ? history.undo(db) : history.redo(db)))
            return false;
        now = loadSeason(db, group);
        logSeasonChanges(db, shown, now);
        transaction.commit();
    } catch (const StaleRowError&) {
        reload();
        throw;
    }
    afterChange(now);
    return true;
}

// ------------------------------------------------------------------ checks

bool SeasonOps::isOff(const SeasonEntry& e, const QDate& date)
{
    Query q(db, "SELECT COUNT(*) FROM \"PLAYROFF.db\" WHERE (PLAYERID = :one OR PLAYERID = :two) "
                "AND \"DATE\" = :date");
    q.setInteger("one", e.player.id);
    q.setInteger("two", e.partner.id > 0 ? e.partner.id : e.player.id);
    q.setDate("date", date);
    q.open();
    return q.value(0).toInt() > 0;
}

bool SeasonOps::isGroupOff(const QDate& date)
{
    Query q(db, "SELECT COUNT(*) FROM \"groupoff.DB\" WHERE GROUPID = :groupid AND \"DATE\" = :date");
    q.setInteger("groupid", group);
    q.setDate("date", date);
    q.open();
    return q.value(0).toInt() > 0;
}

// The entry plays on a date of the schedule.
QString SeasonOps::checkPlaces(const Season& fresh, int entry, const QDate& date) const
{
    if (!fresh.dates.contains(date))
        return QStringLiteral("The schedule has no date %1; choose one of its dates.").arg(dateText(date));
    if (!fresh.entry(entry))
        return QStringLiteral("This entry no longer belongs to the group.");
    if (!fresh.rowOf(entry, date))
        return QStringLiteral("Entry %1 does not play on %2.").arg(fresh.entryText(entry), dateText(date));
    return {};
}

// The entry could take a place on the date.
QString SeasonOps::checkFree(const Season& fresh, int entry, const QDate& date)
{
    const SeasonEntry* e = fresh.entry(entry);
    if (!e)
        return QStringLiteral("This entry no longer belongs to the group.");
    if (fresh.rowOf(entry, date))
        return QStringLiteral("Entry %1 already plays on %2; nobody plays twice on one date.")
            .arg(fresh.entryText(entry), dateText(date));
    if (isOff(*e, date))
        return QStringLiteral("Entry %1 has a day off on %2.").arg(fresh.entryText(entry), dateText(date));
    if (isGroupOff(date))
        return QStringLiteral("The group has a day off on %1.").arg(dateText(date));
    return {};
}

QString SeasonOps::checkNoResult(const Season& fresh, int entry, const QDate& date) const
{
    const SeasonMatch m = fresh.matchOf(entry, date);
    if (m.first && (m.first->winner != 0 || m.second->winner != 0))
        return QStringLiteral("The match of %1 on %2 already has a result; clear the result before "
                              "changing who plays.")
            .arg(fresh.entryText(entry), dateText(date));
    return {};
}

// ------------------------------------------------------------------ writes

// The entry's row on the date goes to another entry with its court, ball
// duty and result; in a league the match's first row names the new opponent.
void SeasonOps::moveRow(const Season& fresh, int from, const QDate& date, int to)
{
    const SeasonRow* row = shown.rowOf(from, date);
    if (!row)
        throw StaleRowError();
    const int number = fresh.entry(to)->number;
    Query q(db, "UPDATE \"SCHEDULE.db\" SET GRPPLAYRID = :receiver, SLOTCODE = :slotcode "
                "WHERE SCHEDULEID = :id AND GRPPLAYRID = :giver AND \"DATE\" = :date");
    q.setInteger("receiver", to);
    q.setInteger("slotcode", number);
    q.setInteger("id", row->scheduleId);
    q.setInteger("giver", from);
    q.setDate("date", date);
    requireOne(q.execSql());

    const SeasonMatch m = shown.matchOf(from, date);
    if (m.second && m.second->scheduleId == row->scheduleId) {
        Query vs(db, "UPDATE \"SCHEDULE.db\" SET VSGRPPLAYRID = :receiver, SLOTCODE2 = :slotcode "
                     "WHERE SCHEDULEID = :id AND VSGRPPLAYRID = :giver");
        vs.setInteger("receiver", to);
        vs.setInteger("slotcode", number);
        vs.setInteger("id", m.first->scheduleId);
        vs.setInteger("giver", from);
        requireOne(vs.execSql());
    }
}

void SeasonOps::setPlayed(int entry, double played)
{
    const SeasonEntry* e = shown.entry(entry);
    if (!e)
        throw StaleRowError();
    Query q(db, "UPDATE \"GRPPLAYR.db\" SET SESPLAYED = :played WHERE GROUPPLAYERID = :id AND SESPLAYED = :was");
    q.setFloat("played", played);
    q.setInteger("id", entry);
    q.setFloat("was", e->played);
    requireOne(q.execSql());
}

void SeasonOps::recordDayOff(int playerId, const QDate& date)
{
    Query seen(db, "SELECT COUNT(*) FROM \"PLAYROFF.db\" WHERE PLAYERID = :playerid AND \"DATE\" = :date");
    seen.setInteger("playerid", playerId);
    seen.setDate("date", date);
    seen.open();
    if (seen.value(0).toInt() > 0)
        return;
    Query q(db, "INSERT INTO \"PLAYROFF.db\" (PLAYERID, \"DATE\") VALUES (:playerid, :date)");
    q.setInteger("playerid", playerId);
    q.setDate("date", date);
    q.execSql();
}

// ------------------------------------------------------------- substitute

QVector<SubstituteCandidate> SeasonOps::substituteCandidates(int entry, const QDate& date)
{
    if (!shown.rowOf(entry, date))
        return {};
    return freeEntries(date, entry);
}

QVector<SubstituteCandidate> SeasonOps::placeCandidates(const QDate& date)
{
    if (!shown.dates.contains(date))
        return {};
    return freeEntries(date, 0);
}

QVector<SubstituteCandidate> SeasonOps::freeEntries(const QDate& date, int entry)
{
    QVector<SubstituteCandidate> list;
    if (isGroupOff(date))
        return list;
    for (const SeasonEntry& e : shown.entries) {
        if (e.id == entry || shown.rowOf(e.id, date) || isOff(e, date))
            continue;
        list.append({e.id, e.number, e.fullName(), int(e.played), shown.lastPlayedBefore(e.id, date)});
    }
    std::stable_sort(list.begin(), list.end(), [](const SubstituteCandidate& a, const SubstituteCandidate& b) {
        if (a.played != b.played)
            return a.played < b.played;
        if (a.lastPlayed != b.lastPlayed)
            return !a.lastPlayed.isValid() || (b.lastPlayed.isValid() && a.lastPlayed < b.lastPlayed);
        return a.number < b.number;
    });
    return list;
}

QString SeasonOps::substitute(int entry, const QDate& date, int sub)
{
    return change(QStringLiteral("Substitute"), [&](const Season& fresh, QString& refusal) {
        if (entry == sub)
            refusal = QStringLiteral("Choose another entry as the substitute.");
        if (refusal.isEmpty())
            refusal = checkPlaces(fresh, entry, date);
        if (refusal.isEmpty())
            refusal = checkFree(fresh, sub, date);
        if (refusal.isEmpty())
            refusal = checkNoResult(fresh, entry, date);
        if (!refusal.isEmpty())
            return false;
        moveRow(fresh, entry, date, sub);
        setPlayed(entry, shown.entry(entry)->played - 1);
        setPlayed(sub, shown.entry(sub)->played + 1);
        // A later re-plan must not put the one who dropped out back on the date.
        recordDayOff(fresh.entry(entry)->player.id, date);
        evenBallDuty(date);
        return true;
    });
}

// The rows moved may have carried marks off their courts or onto another
// court's: the ball duty is evened again from the first date changed on,
// leaving the dates before it as they were.
void SeasonOps::evenBallDuty(const QDate& from)
{
    BallDutyBalance(db).balance(group, from);
}

// ------------------------------------------------------------------- swap

QString SeasonOps::swap(int a, const QDate& dateA, int b, const QDate& dateB)
{
    return change(QStringLiteral("Swap"), [&](const Season& fresh, QString& refusal) {
        if (a == b || dateA == dateB)
            refusal = QStringLiteral("A swap needs two different entries on two different dates.");
        for (const QString& reason : {refusal, checkPlaces(fresh, a, dateA), checkPlaces(fresh, b, dateB)})
            if (refusal.isEmpty())
                refusal = reason;
        if (refusal.isEmpty())
            refusal = checkFree(fresh, a, dateB);
        if (refusal.isEmpty())
            refusal = checkFree(fresh, b, dateA);
        if (refusal.isEmpty())
            refusal = checkNoResult(fresh, a, dateA);
        if (refusal.isEmpty())
            refusal = checkNoResult(fresh, b, dateB);
        if (!refusal.isEmpty())
            return false;
        moveRow(fresh, a, dateA, b);
        moveRow(fresh, b, dateB, a);
        evenBallDuty(std::min(dateA, dateB));
        return true;
    });
}

// ---------------------------------------------------------------- results

QString SeasonOps::setWinner(int entry, const QDate& date, int winner)
{
    return change(
        winner ? QStringLiteral("Result") : QStringLiteral("Clear Result"), [&](const Season& fresh, QString& refusal) {
            if (!fresh.isLeague())
                refusal = QStringLiteral("Results are kept for league matches only.");
            if (refusal.isEmpty())
                refusal = checkPlaces(fresh, entry, date);
            const SeasonMatch m = fresh.matchOf(entry, date);
            if (refusal.isEmpty() && !m.first)
                refusal = QStringLiteral("Entry %1 has no opponent on %2 (a bye), so there is no result to keep.")
                              .arg(fresh.entryText(entry), dateText(date));
            if (refusal.isEmpty() && winner != 0 && winner != m.first->entry && winner != m.second->entry)
                refusal = QStringLiteral("The winner must be one of the two entries of the match.");
            if (!refusal.isEmpty())
                return false;
            const SeasonMatch was = shown.matchOf(entry, date);
            if (!was.first)
                throw StaleRowError();
            for (const SeasonRow* row : {was.first, was.second}) {
                Query q(db, "UPDATE \"SCHEDULE.db\" SET WINNER = :winner WHERE SCHEDULEID = :id AND " +
                                asRead("WINNER", row->winnerValue, "was"));
                q.setParam("winner", winner ? QVariant(winner) : QVariant());
                q.setInteger("id", row->scheduleId);
                q.setParam("was", row->winnerValue);
                requireOne(q.execSql());
            }
            writeStandings(loadSeason(db, group));
            return true;
        });
}

// Win, Loss and Rank of every entry from the results; only the entries
// whose figures change are written, each as this window read it.
void SeasonOps::writeStandings(const Season& fresh)
{
    for (const StandingLine& line : computeStandings(fresh)) {
        const SeasonEntry* e = shown.entry(line.entry);
        if (!e)
            throw StaleRowError();
        const bool same = !e->wins.isNull() && !e->losses.isNull() && !e->rank.isNull() &&
                          e->wins.toInt() == line.wins && e->losses.toInt() == line.losses &&
                          e->rank.toInt() == line.rank;
        if (same)
            continue;
        Query q(db, "UPDATE \"GRPPLAYR.db\" SET LWIN = :wins, LLOSSES = :losses, LRANKING = :rank "
                    "WHERE GROUPPLAYERID = :id AND " +
                        asRead("LWIN", e->wins, "w0") + " AND " + asRead("LLOSSES", e->losses, "l0") + " AND " +
                        asRead("LRANKING", e->rank, "r0"));
        q.setInteger("wins", line.wins);
        q.setInteger("losses", line.losses);
        q.setInteger("rank", line.rank);
        q.setInteger("id", line.entry);
        q.setParam("w0", e->wins);
        q.setParam("l0", e->losses);
        q.setParam("r0", e->rank);
        requireOne(q.execSql());
    }
}

// ----------------------------------------------------------------- re-plan

QString SeasonOps::replan(const QDate& from, std::mt19937& random,
                          const std::function<bool(const QVector<ReplanCount>&)>& confirm)
{
    return change(QStringLiteral("Re-plan"), [&](const Season& fresh, QString& refusal) {
        SeasonReplan plan(db, fresh, from, random);
        refusal = plan.refusal();
        if (!refusal.isEmpty())
            return false;
        plan.run();
        const Season after = loadSeason(db, group);
        if (after.isLeague())
            writeStandings(after);
        return confirm(plan.counts(after));
    });
}

// ------------------------------------------------------------ empty place

QString SeasonOps::fillPlace(const QDate& date, int court, int sub)
{
    return change(QStringLiteral("Substitute"), [&](const Season& fresh, QString& refusal) {
        if (!fresh.dates.contains(date))
            refusal = QStringLiteral("The schedule has no date %1; choose one of its dates.").arg(dateText(date));
        const QVector<EmptyPlace> places = emptyPlaces(fresh);
        const bool open = std::any_of(places.cbegin(), places.cend(),
                                      [&](const EmptyPlace& p) { return p.date == date && p.court == court; });
        if (refusal.isEmpty() && !open)
            refusal = QStringLiteral("No place is empty on that court on %1.").arg(dateText(date));
        if (refusal.isEmpty())
            refusal = checkFree(fresh, sub, date);
        const SeasonRow* lone = nullptr;   // a league court's one side left
        if (refusal.isEmpty() && fresh.isLeague()) {
            for (const SeasonRow* r : shown.rowsOn(date))
                if (r->court == court)
                    lone = r;
            if (!lone)
                throw StaleRowError();
            if (lone->winner != 0)
                refusal = QStringLiteral("The match on %1 already has a result; clear the result before "
                                         "changing who plays.")
                              .arg(dateText(date));
        }
        if (!refusal.isEmpty())
            return false;
        const int number = fresh.entry(sub)->number;
        if (lone) {
            // The side left names the substitute as its opponent, whether
            // it named the one who is gone or nobody: its row comes first,
            // as a match's rows are written.
            const QVariant was = lone->opponent != 0 ? QVariant(lone->opponent) : QVariant();
            Query vs(db, "UPDATE \"SCHEDULE.db\" SET VSGRPPLAYRID = :receiver, SLOTCODE2 = :slotcode "
                         "WHERE SCHEDULEID = :id AND " +
                             asRead("VSGRPPLAYRID", was, "was"));
            vs.setInteger("receiver", sub);
            vs.setInteger("slotcode", number);
            vs.setInteger("id", lone->scheduleId);
            vs.setParam("was", was);
            requireOne(vs.execSql());
        }
        Query q(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", HOME, GRPCOURTID, SLOTCODE) "
                    "VALUES (:entry, :date, :home, :court, :slotcode)");
        q.setInteger("entry", sub);
        q.setDate("date", date);
        q.setBool("home", false);
        q.setInteger("court", court);
        q.setInteger("slotcode", number);
        q.execSql();
        setPlayed(sub, shown.entry(sub)->played + 1);
        evenBallDuty(date);
        return true;
    });
}
