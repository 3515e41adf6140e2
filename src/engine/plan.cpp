#include "plan.h"
#include "groupsetup.h"
#include "pacer.h"
#include "data/database.h"
#include "data/query.h"
#include <QHash>
#include <QLocale>
#include <QMap>

namespace {

qint64 entryDateKey(int entry, const QDate& date)
{
    return (qint64(entry) << 32) | qint64(date.toJulianDay() & 0xffffffff);
}

class Faults {
public:
    explicit Faults(YieldPacer* p) : pacer(p) {}
    // A hundred thousand rows take a while: the window gets its turn.
    void step()
    {
        if (pacer && ++steps % 1024 == 0)
            pacer->checkpoint();
    }
    void on(const QDate& date, const QString& what) { lines << planDateText(date) + QStringLiteral(": ") + what; }
    void add(const QString& what) { lines << what; }
    QStringList lines;

private:
    YieldPacer* pacer;
    qint64 steps = 0;
};

QString courtText(const GroupSetup& setup, int court)
{
    const int at = int(setup.courts.indexOf(court));
    return at >= 0 ? QStringLiteral("court %1").arg(at + 1) : QStringLiteral("a court not in the list (%1)").arg(court);
}

// Nobody twice on a date, nobody on a day off they were not asked about, no
// date off the group's days of play, and each entry counted as often as it plays.
void checkEntries(const GroupSetup& setup, const SchedulePlan& plan, const QVector<PlanRow>& kept, Faults& f)
{
    QHash<qint64, int> rowsOn;
    QVector<int> datesPlayed(setup.entries.size(), 0);
    const auto visit = [&](const PlanRow& r, bool planned) {
        f.step();
        const int index = setup.indexOf(r.entry);
        if (index < 0) {
            f.on(r.date, QStringLiteral("a row names entry id %1, which is not in the group").arg(r.entry));
            return;
        }
        const int times = ++rowsOn[entryDateKey(r.entry, r.date)];
        if (times == 1)
            datesPlayed[index] += 1;
        else if (times == 2)
            f.on(r.date, setup.entryText(index) + QStringLiteral(" is placed more than once"));
        if (!planned || times > 1)
            return;
        const bool off = setup.entryOff(index, r.date) || setup.groupDaysOff.contains(r.date);
        if (off && !plan.placedOnDayOff.contains({r.entry, r.date}))
            f.on(r.date, setup.entryText(index) + QStringLiteral(" plays on a day off"));
        if (!setup.playDays[r.date.dayOfWeek() % 7])
            f.on(r.date, QStringLiteral("%1 is placed on a weekday the %2 does not play")
                             .arg(setup.entryText(index), setup.isGroup() ? "group" : "league"));
    };
    for (const PlanRow& r : kept)
        visit(r, false);
    for (const PlanRow& r : plan.rows)
        visit(r, true);
    for (int i = 0; i < setup.entries.size() && i < plan.counters.size(); ++i)
        if (plan.counters[i].played != datesPlayed[i])
            f.add(QStringLiteral("%1 is counted as playing %2 dates but is placed on %3")
                      .arg(setup.entryText(i))
                      .arg(plan.counters[i].played)
                      .arg(datesPlayed[i]));
}

// Each court of a date holds its seats (only the last court used may hold
// fewer) and carries one ball mark; a league court holds one match.
void checkCourts(const GroupSetup& setup, const SchedulePlan& plan, Faults& f)
{
    QMap<QDate, QMap<int, QVector<const PlanRow*>>> byDate;   // date -> court position -> rows
    QHash<int, int> courtAt;
    for (int i = 0; i < setup.courts.size(); ++i)
        courtAt.insert(setup.courts[i], i);
    for (const PlanRow& r : plan.rows) {
        f.step();
        const int at = courtAt.value(r.court, -1);
        byDate[r.date][at >= 0 ? at : int(setup.courts.size()) + r.court].append(&r);
    }
    const int seats = setup.isGroup() ? setup.entriesPerCourt() : 2;
    for (auto date = byDate.cbegin(); date != byDate.cend(); ++date) {
        const int lastCourt = date->lastKey();
        for (auto court = date->cbegin(); court != date->cend(); ++court) {
            f.step();
            const QVector<const PlanRow*>& rows = *court;
            const QString where = courtText(setup, rows.first()->court);
            if (court.key() >= setup.courts.size())
                f.on(date.key(), where + QStringLiteral(" is used"));
            const int held = int(rows.size());
            if (held > seats || (held < seats && (court.key() != lastCourt || !setup.isGroup())))
                f.on(date.key(), QStringLiteral("%1 holds %2 of its %3 places").arg(where).arg(held).arg(seats));
            const int marks = int(std::count_if(rows.cbegin(), rows.cend(), [](const PlanRow* r) { return r->home; }));
            if (marks != 1)
                f.on(date.key(), QStringLiteral("%1 has %2 ball marks instead of one").arg(where).arg(marks));
            if (!setup.isGroup() && held == 2 && (rows[0]->opponent != rows[1]->entry || rows[1]->opponent != 0))
                f.on(date.key(), where + QStringLiteral(" holds two rows that do not make one match"));
        }
    }
}

// Every pairing once in each round: the matches, in the order they were
// written, fall into rounds of one pairing each.
void checkRounds(const GroupSetup& setup, const SchedulePlan& plan, Faults& f)
{
    const qint64 n = setup.entries.size();
    const qint64 perRound = n * (n - 1) / 2;
    if (perRound == 0)
        return;
    QSet<qint64> round;
    int roundNumber = 1;
    for (const PlanRow& r : plan.rows) {
        f.step();
        if (r.opponent == 0)
            continue;
        const qint64 pairing = (qint64(std::min(r.entry, r.opponent)) << 32) | qint64(std::max(r.entry, r.opponent));
        if (round.contains(pairing)) {
            const int a = setup.indexOf(r.entry), b = setup.indexOf(r.opponent);
            f.on(r.date, QStringLiteral("%1 meets %2 a second time in round %3")
                             .arg(a >= 0 ? setup.entryText(a) : QString::number(r.entry),
                                  b >= 0 ? setup.entryText(b) : QString::number(r.opponent))
                             .arg(roundNumber));
        }
        round.insert(pairing);
        if (round.size() == perRound) {
            round.clear();
            ++roundNumber;
        }
    }
}

}   // namespace

QString planDateText(const QDate& date)
{
    return QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy"));
}

QString shortDateText(const ShortDate& d)
{
    return QStringLiteral("%1 (%2 of %3 places; %4 of %5 players have this date off)")
        .arg(planDateText(d.date))
        .arg(d.placed)
        .arg(d.wanted)
        .arg(d.entriesOff)
        .arg(d.entries);
}

QStringList planProblems(const GroupSetup& setup, const SchedulePlan& plan, const QVector<PlanRow>& kept,
                         YieldPacer* pacer)
{
    Faults f(pacer);
    checkEntries(setup, plan, kept, f);
    checkCourts(setup, plan, f);
    // Rounds are counted from the season's first match: a re-plan continues
    // rounds whose start it does not hold.
    if (!setup.isGroup() && kept.isEmpty())
        checkRounds(setup, plan, f);
    return f.lines;
}

SchedulePlan SchedulePlan::read(Database& db, const GroupSetup& setup)
{
    SchedulePlan plan;
    plan.league = !setup.isGroup();
    plan.playersPerSession = setup.playersPerSession;
    Query q(db,
            "SELECT s.\"DATE\", s.GRPPLAYRID, s.SLOTCODE, s.GRPCOURTID, s.VSGRPPLAYRID, s.SLOTCODE2, s.HOME "
            "FROM \"SCHEDULE.db\" s, \"GRPPLAYR.db\" g WHERE g.GROUPPLAYERID = s.GRPPLAYRID AND g.GROUPID = :groupid "
            "ORDER BY s.SCHEDULEID");
    q.setInteger("groupid", setup.groupId);
    q.open();
    for (q.first(); !q.eof(); q.next())
        plan.rows.append({q.asDate("DATE"), q.asInt("GRPPLAYRID"), q.asInt("SLOTCODE"), q.asInt("GRPCOURTID"),
                          q.asInt("VSGRPPLAYRID"), q.asInt("SLOTCODE2"), q.asBool("HOME")});
    for (const SetupEntry& e : setup.entries)
        plan.counters.append({e.priority, e.ballPriority, int(e.played)});
    return plan;
}
