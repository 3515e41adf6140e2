#include "balldutybalance.h"
#include "data/database.h"
#include "data/query.h"
#include <QMap>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace {
constexpr double StartWeight = 5000;
constexpr double BallWeight = 0.5;
} // namespace

BallDutyBalance::BallDutyBalance(Database& database) : db(database) {}

int BallDutyBalance::balance(int groupId)
{
    int changed = 0;
    db.runInTransaction([&] {
        load(groupId);
        chooseFirstMarks();
        while (improveOnce()) {
        }
        changed = write();
    });
    return changed;
}

void BallDutyBalance::load(int groupId)
{
    sittings.clear();
    entries.clear();
    marks.clear();
    plays.clear();
    seats = 0;

    Query q(db, "SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = :groupid ORDER BY GROUPPLAYERID");
    q.setInteger("groupid", groupId);
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        const int entry = q.asInt("GROUPPLAYERID");
        entries.append(entry);
        marks.insert(entry, 0);
        plays.insert(entry, 0);
    }
    q.close();

    Query rows(db, "SELECT s.SCHEDULEID, s.GRPPLAYRID, s.\"DATE\", s.GRPCOURTID, s.HOME FROM \"SCHEDULE.db\" s, "
                   "\"GRPPLAYR.db\" g WHERE (g.GROUPPLAYERID = s.GRPPLAYRID) AND (g.GROUPID = :groupid) "
                   "ORDER BY s.\"DATE\", s.GRPCOURTID, s.SCHEDULEID");
    rows.setInteger("groupid", groupId);
    rows.open();
    QDate lastDate;
    int lastCourt = 0;
    QSet<int> playedOnDate;
    for (rows.first(); !rows.eof(); rows.next()) {
        const QDate date = rows.asDate("DATE");
        const int court = rows.asInt("GRPCOURTID");
        if (sittings.isEmpty() || date != lastDate || court != lastCourt)
            sittings.append(Slot{});
        if (date != lastDate)
            playedOnDate.clear();
        lastDate = date;
        lastCourt = court;
        const Row row{rows.asInt("SCHEDULEID"), rows.asInt("GRPPLAYRID"), rows.asBool("HOME")};
        sittings.last().rows.append(row);
        ++seats;
        if (!playedOnDate.contains(row.entry)) {
            playedOnDate.insert(row.entry);
            plays[row.entry] += 1;
        }
    }
    rows.close();
}

// The mark a slot already carries stays where it is; a slot without one (its
// marked row went to another court or was deleted) takes the entry furthest
// below its share; a second mark on a slot is taken away.
void BallDutyBalance::chooseFirstMarks()
{
    for (Slot& slot : sittings)
        for (int i = 0; i < slot.rows.size(); ++i)
            if (slot.rows[i].home && slot.marked < 0) {
                slot.marked = i;
                marks[slot.rows[i].entry] += 1;
            }
    for (Slot& slot : sittings) {
        if (slot.marked >= 0)
            continue;
        int best = 0;
        for (int i = 1; i < slot.rows.size(); ++i)
            if (deviation(slot.rows[i].entry) < deviation(slot.rows[best].entry))
                best = i;
        slot.marked = best;
        marks[slot.rows[best].entry] += 1;
    }
}

// (marks - share) x seats, where an entry's share is its dates played times
// sittings per seat: integers, so that equal entries compare exactly.
qint64 BallDutyBalance::deviation(int entry) const
{
    return qint64(marks.value(entry)) * seats - qint64(plays.value(entry)) * sittings.size();
}

bool BallDutyBalance::improveOnce()
{
    QVector<int> order = entries;
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return deviation(a) > deviation(b); });
    for (int entry : std::as_const(order))
        if (moveAlongPath(entry))
            return true;
    return false;
}

// Looks for a chain of marks from `from` to the entry furthest below its
// share that `from` can reach: `from` hands a mark to someone on one of its
// marked courts, who hands one of theirs on, and so on. Moving one mark along
// the chain changes only the two ends. Taken when it brings the two ends
// closer together, which is what leaves equal entries at most one apart.
bool BallDutyBalance::moveAlongPath(int from)
{
    struct Step {
        int previous = 0;
        int slot = -1;
        int row = -1;
    };
    QHash<int, Step> reachedBy;
    reachedBy.insert(from, Step{});
    QVector<int> queue{from};
    QMap<int, QVector<int>> slotsMarkedBy;   // built once per search
    for (int s = 0; s < sittings.size(); ++s)
        slotsMarkedBy[sittings[s].rows[sittings[s].marked].entry].append(s);

    int target = from;
    for (int head = 0; head < queue.size(); ++head) {
        const int entry = queue[head];
        for (int s : slotsMarkedBy.value(entry)) {
            const Slot& slot = sittings[s];
            for (int r = 0; r < slot.rows.size(); ++r) {
                const int next = slot.rows[r].entry;
                if (reachedBy.contains(next))
                    continue;
                reachedBy.insert(next, Step{entry, s, r});
                queue.append(next);
                if (deviation(next) < deviation(target))
                    target = next;
            }
        }
    }
    if (deviation(from) - deviation(target) <= seats)
        return false;
    for (int entry = target; entry != from;) {
        const Step step = reachedBy.value(entry);
        sittings[step.slot].marked = step.row;
        entry = step.previous;
    }
    marks[from] -= 1;
    marks[target] += 1;
    return true;
}

int BallDutyBalance::write()
{
    Query home(db, "UPDATE \"SCHEDULE.db\" SET HOME = :home WHERE SCHEDULEID = :scheduleid");
    home.prepare();
    int changed = 0;
    for (const Slot& slot : std::as_const(sittings))
        for (int i = 0; i < slot.rows.size(); ++i) {
            const bool marked = i == slot.marked;
            if (marked == slot.rows[i].home)
                continue;
            home.setBool("home", marked);
            home.setInteger("scheduleid", slot.rows[i].scheduleId);
            home.execSql();
            ++changed;
        }
    Query weight(db, "UPDATE \"GRPPLAYR.db\" SET BBPRIORITY = :bbpriority WHERE GROUPPLAYERID = :groupplayerid");
    weight.prepare();
    for (int entry : std::as_const(entries)) {
        weight.setFloat("bbpriority", StartWeight * std::pow(BallWeight, marks.value(entry)));
        weight.setInteger("groupplayerid", entry);
        weight.execSql();
    }
    return changed;
}
