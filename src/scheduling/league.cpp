#include "league.h"
#include "groupdata.h"
#include "runstate.h"
#include "data/database.h"
#include <algorithm>

namespace {
// A pairing counts as open while PLAYED is false or was never set.
const char* const openPairings = "(PLAYED IS NULL OR PLAYED = False)";
}

LeaguePairing::LeaguePairing(GroupDatasets& datasets, RunState& runState, Database& database)
    : ds(datasets), state(runState), db(database),
      dayOffs(std::make_unique<LeagueDaysOff>(db, ds.groupId(), ds.matchType() == 2))
{
    const QString open = QString::fromLatin1(openPairings);
    qmatches = std::make_unique<Query>(
        db, "SELECT DISTINCT MATCHID, PID1, PID2, PLAYED, WEIGHT FROM \"MATCHES.db\" WHERE " + open +
                " ORDER BY WEIGHT Desc, PID1, PID2");
    // DISTINCT promises no order, so the order of building is asked for.
    qbyematches = std::make_unique<Query>(
        db, "SELECT DISTINCT MATCHID, PID1, PID2, PLAYED, WEIGHT FROM \"MATCHES.db\" WHERE " + open +
                " AND (PID1 <> :byeentry) AND (PID2 <> :byeentry) ORDER BY MATCHID");
    qudisablematch = std::make_unique<Query>(db, "UPDATE \"MATCHES.db\"\n"
                                                 "SET PLAYED= :mswitch\n"
                                                 "WHERE MATCHID = :matchid");
    qemptymatches = std::make_unique<Query>(db, "DELETE FROM \"MATCHES.db\"");
    qinsertmatch = std::make_unique<Query>(
        db, "INSERT INTO \"MATCHES.db\" (PID1, PID2, Mix) VALUES (:pid1, :pid2, :mix)");
    qweighmatches = std::make_unique<Query>(
        db, "UPDATE \"MATCHES.db\" SET WEIGHT ="
            " (SELECT PRIORITY FROM \"GRPPLAYR.db\" WHERE GROUPPLAYERID = PID1) +"
            " (SELECT PRIORITY FROM \"GRPPLAYR.db\" WHERE GROUPPLAYERID = PID2)"
            " WHERE " + open);
}

LeaguePairing::~LeaguePairing() = default;

QString LeaguePairing::RefusalReason(int courts, int playDays, int rounds)
{
    if (courts < 1)
        return QStringLiteral("Assign at least one court to the league before generating its schedule.");
    if (playDays < 1)
        return QStringLiteral("Check at least one day of the week on which the league plays "
                              "before generating its schedule.");
    if (rounds < 1)
        return QStringLiteral("Enter the number of rounds (at least 1) before generating the "
                              "league's schedule.");
    return {};
}

bool LeaguePairing::AllRoundsPlayed()
{
    return state.roundsBuilt >= state.roundsWanted && state.usedSinceBuild >= state.matchCount;
}

QVector<int> LeaguePairing::entryIds() const
{
    QVector<int> ids;
    const Table& entries = ds.tbplayers;
    for (int row = 0; row < entries.recordCount(); ++row)
        ids.append(entries.valueAt(row, "GROUPPLAYERID").toInt());
    return ids;
}

QVector<int> LeaguePairing::courtIds() const
{
    QVector<int> ids;
    const Table& courts = ds.tbcourtslt;
    for (int row = 0; row < courts.recordCount(); ++row)
        ids.append(courts.valueAt(row, "COURTID").toInt());
    return ids;
}

void LeaguePairing::BuildMatches()
{
    const QVector<int> ids = entryIds();
    qemptymatches->prepare();
    qemptymatches->execSql();
    qinsertmatch->prepare();
    int rows = 0;
    for (int i = 0; i < ids.size(); ++i)
        for (int j = i + 1; j < ids.size(); ++j) {
            qinsertmatch->setInteger("pid1", ids[i]);
            qinsertmatch->setInteger("pid2", ids[j]);
            qinsertmatch->setString("mix", QString::number(ids[j]) + QString::number(ids[i]));
            qinsertmatch->execSql();
            ++rows;
        }
    state.matchCount = rows;
    state.roundsBuilt += 1;
}

void LeaguePairing::MarkMatchPlayed(int matchId, bool played)
{
    qudisablematch->prepare();
    qudisablematch->setInteger("matchid", matchId);
    qudisablematch->setBool("mswitch", played);
    qudisablematch->execSql();
}

int LeaguePairing::TakeByeEntry()
{
    if (state.byeOrder.isEmpty())
        return 0;
    if (state.byeCursor < 0 || state.byeCursor >= state.byeOrder.size())
        state.byeCursor = 0;
    const int entry = state.byeOrder[state.byeCursor];
    state.byeCursor = (state.byeCursor + 1) % int(state.byeOrder.size());
    return entry;
}

Query& LeaguePairing::OpenSelection(int byeEntry)
{
    Query& q = state.byeFlag ? *qbyematches : *qmatches;
    q.close();
    q.prepare();
    if (state.byeFlag)
        q.setInteger("byeentry", byeEntry);
    q.open();
    q.first();
    selection = &q;
    return q;
}

bool LeaguePairing::Clashes(int pid1, int pid2, int next, const QSet<int>& busy) const
{
    if (busy.contains(pid1) || busy.contains(pid2))
        return true;
    for (int slot = 1; slot < next; ++slot) {
        const Pick& p = picked[slot];
        if (pid1 == p.pid1 || pid1 == p.pid2 || pid2 == p.pid1 || pid2 == p.pid2)
            return true;
    }
    return false;
}

int LeaguePairing::UndoPick(int next)
{
    const int k = next - 1;
    if (!selection)
        return 1;
    if (k < 1) {
        // Nothing left to withdraw: every combination has been tried.
        selection->last();
        selection->next();
        return 1;
    }
    const int matchId = picked[k].matchId;
    if (selection->eof())
        selection->last();
    while (selection->asInt("MATCHID") != matchId && !selection->bof())
        selection->prior();
    picked[k] = Pick{};
    selection->next();
    if (selection->eof())
        return UndoPick(k);
    return k;
}

// Depth-first search in row order for `target` disjoint pairings that share
// no entry with `busy`. Leaves the picks in slots 1..n and returns n; when no
// full set exists, n is the largest set the search came across.
int LeaguePairing::SearchPicks(int target, const QSet<int>& busy)
{
    Query& q = *selection;
    best.clear();
    int next = 1;
    while (!q.eof() && next - 1 < target && stepsLeft-- > 0) {
        const int pid1 = q.asInt("PID1");
        const int pid2 = q.asInt("PID2");
        if (!Clashes(pid1, pid2, next, busy)) {
            picked[next] = Pick{q.asInt("MATCHID"), pid1, pid2};
            ++next;
            if (next - 1 > best.size())
                best = picked.mid(1, next - 1);
        }
        q.next();
        if (q.eof() && next - 1 < target)
            next = UndoPick(next);
    }
    if (next - 1 == target)
        return target;
    for (int slot = 1; slot < picked.size(); ++slot)
        picked[slot] = slot <= best.size() ? best[slot - 1] : Pick{};
    return int(best.size());
}

void LeaguePairing::ScheduleLeagueDate(const QDate& date)
{
    const QVector<int> courts = courtIds();
    if (courts.isEmpty())
        return;
    picked = QVector<Pick>(courts.size() + 1);
    stepsLeft = SearchBudget;
    const int byeEntry = state.byeFlag ? TakeByeEntry() : 0;
    // Entries with a day off sit the date out, unless the league is overdue
    // and courts would stay empty: then a second pass may seat them.
    const QSet<int> off = dayOffs->entriesOff(date);
    const bool mayOverride = dayOffs->nextDateMayOverride();
    bool overriding = false;
    QSet<int> busy = off;
    int court = 0;
    // A date that completes a round writes its matches first and rebuilds
    // after, so its picks count toward their own round; courts still free
    // are then filled from the new round.
    while (court < courts.size()) {
        const int target = std::min<int>(courts.size() - court, state.matchCount - state.usedSinceBuild);
        if (target <= 0)
            break;
        OpenSelection(byeEntry);
        std::fill(picked.begin(), picked.end(), Pick{});
        const int found = SearchPicks(target, busy);
        selection->close();
        selection = nullptr;
        for (int slot = 1; slot <= found; ++slot) {
            WriteMatch(date, picked[slot], courts[court++]);
            busy << picked[slot].pid1 << picked[slot].pid2;
            state.usedSinceBuild += 1;
            if (overriding)
                dayOffs->notePlacement(date, picked[slot].pid1, picked[slot].pid2, ds.entryNumber(picked[slot].pid1),
                                       ds.entryNumber(picked[slot].pid2));
        }
        if (state.usedSinceBuild < state.matchCount || state.roundsBuilt >= state.roundsWanted) {
            if (mayOverride && !overriding && court < courts.size() && !off.isEmpty()) {
                overriding = true;
                busy.subtract(off);
                continue;
            }
            break;
        }
        BuildMatches();
        state.usedSinceBuild = 0;
    }
}

void LeaguePairing::WriteMatch(const QDate& date, const Pick& pick, int courtId)
{
    MarkMatchPlayed(pick.matchId, true);
    WriteScheduleRow(date, pick.pid1, pick.pid2, courtId);
    ds.incSessionsPlayed(pick.pid1);
    WriteScheduleRow(date, pick.pid2, 0, courtId);
    ds.incSessionsPlayed(pick.pid2);
}

// The opponent is recorded once, on the row of the match's first entry.
void LeaguePairing::WriteScheduleRow(const QDate& date, int entry, int opponent, int courtId)
{
    Table& schedule = ds.tbschedule;
    schedule.append();
    schedule.setValue("DATE", date);
    schedule.setValue("GRPPLAYRID", entry);
    schedule.setValue("SLOTCODE", ds.entryNumber(entry));
    if (opponent != 0) {
        schedule.setValue("VSGRPPLAYRID", opponent);
        schedule.setValue("SLOTCODE2", ds.entryNumber(opponent));
    }
    schedule.setValue("GRPCOURTID", courtId);
    schedule.post();
}

void LeaguePairing::WeighMatches()
{
    // With a bye the selection keeps the order of building; weights stay blank.
    if (state.byeFlag)
        return;
    qweighmatches->prepare();
    qweighmatches->execSql();
}
