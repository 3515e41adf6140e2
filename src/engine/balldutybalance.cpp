#include "balldutybalance.h"
#include "pacer.h"
#include "data/database.h"
#include "data/query.h"
#include <QHash>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace {
constexpr double StartWeight = 5000;
constexpr double BallWeight = 0.5;
}   // namespace

BallDutyBalance::BallDutyBalance(Database& database, YieldPacer* p) : db(&database), pacer(p) {}

BallDutyBalance::BallDutyBalance(YieldPacer* p) : pacer(p) {}

double BallDutyBalance::ballPriority(int marks)
{
    return StartWeight * std::pow(BallWeight, marks);
}

int BallDutyBalance::balance(int groupId, const QDate& from)
{
    int changed = 0;
    db->runInTransaction([&] {
        QVector<int> ids;
        Query q(*db, "SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE GROUPID = :groupid ORDER BY GROUPPLAYERID");
        q.setInteger("groupid", groupId);
        q.open();
        for (q.first(); !q.eof(); q.next())
            ids.append(q.asInt("GROUPPLAYERID"));
        const QVector<DutyRow> before = readRows(groupId);
        QVector<DutyRow> after = before;
        balanceRows(after, ids, from);
        write(before, after);
        for (int i = 0; i < before.size(); ++i)
            changed += before[i].home != after[i].home;
    });
    return changed;
}

QVector<int> BallDutyBalance::balanceRows(QVector<DutyRow>& rows, const QVector<int>& ids, const QDate& from)
{
    setEntries(ids);
    load(rows, from);
    chooseFirstMarks();
    while (improveOnce()) {
    }
    applyMarks(rows);
    return marks;
}

void BallDutyBalance::checkpoint()
{
    if (pacer)
        pacer->checkpoint();
}

void BallDutyBalance::setEntries(const QVector<int>& ids)
{
    entries = ids;
    const int n = int(entries.size());
    marks.fill(0, n);
    plays.fill(0, n);
    markedSlots = QVector<QVector<int>>(n);
    reachedAt.fill(0, n);
    cameFrom.fill(-1, n);
    viaSlot.fill(-1, n);
    viaRow.fill(-1, n);
    search = 0;
}

// The group's rows by date, court and SCHEDULEID. Sorted here rather than by
// the file: ordering a hundred thousand joined rows in SQL holds the window.
QVector<BallDutyBalance::DutyRow> BallDutyBalance::readRows(int groupId)
{
    Query q(*db, "SELECT s.SCHEDULEID, s.GRPPLAYRID, s.\"DATE\", s.GRPCOURTID, s.HOME FROM \"SCHEDULE.db\" s, "
                 "\"GRPPLAYR.db\" g WHERE (g.GROUPPLAYERID = s.GRPPLAYRID) AND (g.GROUPID = :groupid)");
    q.setInteger("groupid", groupId);
    q.open();
    QVector<DutyRow> rows;
    rows.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next()) {
        rows.append(
            {q.value(0).toLongLong(), q.value(1).toInt(), q.asDate("DATE"), q.value(3).toInt(), q.asBool("HOME")});
        if (rows.size() % 1024 == 0)
            checkpoint();
    }
    std::sort(rows.begin(), rows.end(), [](const DutyRow& a, const DutyRow& b) {
        return std::tie(a.date, a.court, a.id) < std::tie(b.date, b.court, b.id);
    });
    return rows;
}

// `rows` come by date, court, and row; a court of a date is one sitting.
void BallDutyBalance::load(const QVector<DutyRow>& all, const QDate& from)
{
    sittings.clear();
    seats = 0;
    sittingCount = 0;
    QHash<int, int> indexOf;
    for (int i = 0; i < entries.size(); ++i)
        indexOf.insert(entries[i], i);

    QDate lastDate;
    int lastCourt = 0;
    int dateNumber = 0;
    QVector<int> lastPlayed(entries.size(), 0);   // per entry: the dateNumber it last played
    for (int i = 0; i < all.size(); ++i) {
        const DutyRow& r = all[i];
        if (i % 1024 == 0)
            checkpoint();
        const int entry = indexOf.value(r.entry, -1);
        if (entry < 0)
            continue;
        const bool changes = !from.isValid() || r.date >= from;
        const bool newDate = dateNumber == 0 || r.date != lastDate;
        if (newDate)
            ++dateNumber;
        if (newDate || r.court != lastCourt) {
            ++sittingCount;
            if (changes)
                sittings.append(Slot{});
        }
        lastDate = r.date;
        lastCourt = r.court;
        ++seats;
        if (lastPlayed[entry] != dateNumber) {
            lastPlayed[entry] = dateNumber;
            plays[entry] += 1;
        }
        const Row row{i, entry, r.home};
        if (changes)
            sittings.last().rows.append(row);
        else if (row.home)
            marks[entry] += 1;   // a date that stays as it is: its marks only count
    }
}

// Marks `slot`'s row `row`, taking the mark from whoever had it.
void BallDutyBalance::setMark(int slot, int row)
{
    Slot& s = sittings[slot];
    if (s.marked >= 0) {
        const int was = s.rows[s.marked].entry;
        marks[was] -= 1;
        markedSlots[was].removeOne(slot);
    }
    s.marked = row;
    const int now = s.rows[row].entry;
    marks[now] += 1;
    markedSlots[now].append(slot);
}

// The mark a slot already carries stays where it is; a slot without one (its
// marked row went to another court or was deleted) takes the entry furthest
// below its share; a second mark on a slot is taken away.
void BallDutyBalance::chooseFirstMarks()
{
    for (int s = 0; s < sittings.size(); ++s) {
        const QVector<Row>& rows = sittings[s].rows;
        const auto home = std::find_if(rows.cbegin(), rows.cend(), [](const Row& r) { return r.home; });
        if (home != rows.cend())
            setMark(s, int(home - rows.cbegin()));
    }
    for (int s = 0; s < sittings.size(); ++s) {
        const QVector<Row>& rows = sittings[s].rows;
        if (sittings[s].marked >= 0)
            continue;
        int best = 0;
        for (int i = 1; i < rows.size(); ++i)
            if (deviation(rows[i].entry) < deviation(rows[best].entry))
                best = i;
        setMark(s, best);
    }
}

// (marks - share) x seats, where an entry's share is its dates played times
// sittings per seat: integers, so that equal entries compare exactly.
qint64 BallDutyBalance::deviation(int entry) const
{
    return qint64(marks[entry]) * seats - qint64(plays[entry]) * sittingCount;
}

bool BallDutyBalance::improveOnce()
{
    QVector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return deviation(a) > deviation(b); });
    if (order.isEmpty())
        return false;
    const qint64 lowest = deviation(order.last());
    for (int entry : std::as_const(order)) {
        // Nobody lies far enough below this entry (nor below any after it)
        // for a move to bring the two closer.
        if (deviation(entry) - lowest <= seats)
            return false;
        checkpoint();
        if (moveAlongPath(entry))
            return true;
    }
    return false;
}

// Looks for a chain of marks from `from` to the entry furthest below its
// share that `from` can reach: `from` hands a mark to someone on one of its
// marked courts, who hands one of theirs on, and so on. Moving one mark along
// the chain changes only the two ends. Taken when it brings the two ends
// closer together, which is what leaves equal entries at most one apart.
bool BallDutyBalance::moveAlongPath(int from)
{
    ++search;
    queue.clear();
    queue.append(from);
    reachedAt[from] = search;
    int target = from;
    for (int head = 0; head < queue.size(); ++head) {
        const int entry = queue[head];
        for (int s : std::as_const(markedSlots[entry])) {
            const QVector<Row>& rows = sittings[s].rows;
            for (int r = 0; r < rows.size(); ++r) {
                const int next = rows[r].entry;
                if (reachedAt[next] == search)
                    continue;
                reachedAt[next] = search;
                cameFrom[next] = entry;
                viaSlot[next] = s;
                viaRow[next] = r;
                queue.append(next);
                if (deviation(next) < deviation(target))
                    target = next;
            }
        }
    }
    if (deviation(from) - deviation(target) <= seats)
        return false;
    for (int entry = target; entry != from; entry = cameFrom[entry])
        setMark(viaSlot[entry], viaRow[entry]);
    return true;
}

// The marks the sittings settled on, set on the rows they came from.
int BallDutyBalance::applyMarks(QVector<DutyRow>& rows) const
{
    int changed = 0;
    for (const Slot& slot : sittings)
        for (int i = 0; i < slot.rows.size(); ++i) {
            bool& home = rows[slot.rows[i].index].home;
            changed += home != (i == slot.marked);
            home = i == slot.marked;
        }
    return changed;
}

void BallDutyBalance::write(const QVector<DutyRow>& before, const QVector<DutyRow>& after)
{
    Query home(*db, "UPDATE \"SCHEDULE.db\" SET HOME = :home WHERE SCHEDULEID = :scheduleid");
    for (int i = 0; i < after.size(); ++i) {
        if (after[i].home == before[i].home)
            continue;
        checkpoint();
        home.execSql({after[i].home ? 1 : 0, after[i].id});
    }
    Query weight(*db, "UPDATE \"GRPPLAYR.db\" SET BBPRIORITY = :bbpriority WHERE GROUPPLAYERID = :groupplayerid");
    for (int e = 0; e < entries.size(); ++e)
        weight.execSql({ballPriority(marks[e]), entries[e]});
}
