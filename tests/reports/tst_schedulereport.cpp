#include "data/kinds.h"
#include "data/settings.h"
#include "reportpdf_helpers.h"
#include "reportengine/eventpacer.h"
#include "reports/printedschedule.h"
#include "reports/schedulereport.h"
#include "reports/scheduletext.h"
#include "windows/guard.h"
#include "layoutchecks.h"
#include "reportsfixture.h"
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>
#include <random>

namespace {
const QDate day1(2027, 1, 5);

// The texts of the grid body line whose date cell reads `date`, in column order.
QStringList gridLine(const ReportPage& page, const QString& date)
{
    const TextOp* d = findText(page, date);
    if (!d)
        return {};
    QVector<TextOp> line;
    for (const TextOp& t : page.texts())
        if (qAbs(t.baseline - d->baseline) < 0.03)
            line << t;
    std::sort(line.begin(), line.end(), [](const TextOp& a, const TextOp& b) { return a.x < b.x; });
    QStringList out;
    for (const TextOp& t : line)
        out << t.text;
    return out;
}

// The right edge of the DATE column, wide enough for the weekday.
double dateRight(const ReportPage& page)
{
    const TextOp* date = findText(page, "DATE");
    const auto cell = date ? LayoutChecks::cellAround(page, *date) : std::nullopt;
    return cell ? cell->right() : 0.0;
}

// Singles group: one court, four players; entry 3 sits out on day 1.
ReportsFixture::Built singlesGroup(ReportsFixture& fx, bool bbon)
{
    ReportsFixture::GroupShape g;
    g.bbon = bbon;
    auto b = fx.buildGroup(g, 3, 1);
    fx.addScheduleRow(b.entries[0], day1, b.courts[0], 1, true);
    fx.addScheduleRow(b.entries[1], day1, b.courts[0], 2);
    fx.addScheduleRow(b.entries[0], day1.addDays(7), b.courts[0], 1);
    fx.addScheduleRow(b.entries[2], day1.addDays(7), b.courts[0], 3, true);
    return b;
}
// Three groups or leagues in one file with what a long-used file holds:
// entries whose player is gone, repeated and missing numbers, blank and
// accented names, missing partners, rows on courts no longer assigned or
// on none, and a row of no entry on a date.
QVector<int> untidyGroups(ReportsFixture& fx, std::mt19937& random)
{
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QStringList firsts{"Ann", "", "Zoë", "Bartholomew", "ann", "Émile", "Li"};
    const QStringList lasts{"Lee", "", "Worthington-Smythe", "lee", "Ångström", "O'Neil"};
    QSqlQuery raw(fx.db().connection());
    QVector<int> groups;
    for (int g = 0; g < 3; ++g) {
        ReportsFixture::GroupShape shape;
        shape.rtype = 1 + pick(2);
        shape.type = pick(4);
        shape.bbon = pick(2);
        const int group = fx.addGroup(shape);
        groups << group;
        QVector<int> courts;
        for (int c = 0, n = 1 + pick(4); c < n; ++c) {
            courts << fx.addCourt(QString("Court %1").arg(pick(9)));
            if (pick(5))
                fx.assignCourt(group, courts.last());
        }
        QVector<int> entries;
        for (int e = 0, n = 2 + pick(14); e < n; ++e) {
            const int player = fx.addPlayer(firsts[pick(firsts.size())], lasts[pick(lasts.size())],
                                            pick(3) ? QString("(555)000-%1").arg(pick(9999)) : QString());
            const QVariant partner = !pick(2)  ? QVariant()
                                     : pick(5) ? fx.addPlayer(firsts[pick(7)], lasts[pick(6)])
                                               : 99999;
            entries << fx.addEntry(group, player, pick(7) ? e + 1 : pick(5), partner);
            if (pick(12) == 0)
                raw.exec(QString("DELETE FROM PLAYERS WHERE PLAYERID = %1").arg(player));
        }
        QDate d = day1;
        for (int k = 0, n = pick(30); k < n; ++k, d = d.addDays(1 + pick(3)))
            for (int e = 0; e < entries.size(); ++e)
                if (pick(3))
                    fx.addScheduleRow(entries[e], d, courts[pick(courts.size())], pick(8) ? e + 1 : pick(4), pick(2));
    }
    raw.exec("UPDATE SCHEDULE SET GRPCOURTID = NULL WHERE SCHEDULEID % 17 = 0");
    raw.exec("UPDATE SCHEDULE SET SLOTCODE = NULL WHERE SCHEDULEID % 23 = 0");
    raw.exec("UPDATE GRPPLAYR SET GRPSEQNUM = NULL WHERE GROUPPLAYERID % 13 = 0");
    if (pick(2))
        raw.exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID) VALUES (NULL, '2027-01-07', 1)");
    return groups;
}

// The schedule as single statements over the whole of it give it: the
// rows of entries with players in date, court and row order, one roster
// line per number and player, and per date the entries not on it.
PrintedSchedule readAtOnce(Database& db, int group)
{
    PrintedSchedule p;
    Query rows(db, "SELECT d3.\"DATE\", d3.GRPCOURTID, d3.SLOTCODE, d3.HOME, D.TYPE, D.RTYPE, D.BBON "
                   "FROM \"group.DB\" D, \"PLAYERS.db\" d1, \"GRPPLAYR.db\" d2, \"SCHEDULE.db\" d3 "
                   "WHERE d2.GROUPID = D.GROUPID AND d2.PLAYERID = d1.PLAYERID AND d3.GRPPLAYRID = d2.GROUPPLAYERID "
                   "AND D.GROUPID = :g ORDER BY d3.\"DATE\", d3.GRPCOURTID, d3.SCHEDULEID");
    rows.setInteger("g", group);
    rows.open();
    Query courts(db, "SELECT DISTINCT d1.COURTID FROM \"COURTSLT.db\" d, \"COURTS.db\" d1 WHERE d.GROUPID = :g "
                     "AND d1.COURTID = d.COURTID ORDER BY d1.COURTID, d1.NAME");
    courts.setInteger("g", group);
    courts.open();
    if (rows.isEmpty() || courts.isEmpty())
        return p;
    QVector<int> columns;
    for (; !courts.eof(); courts.next())
        columns << courts.asInt("COURTID");
    QVector<int> extra;
    for (; !rows.eof(); rows.next())
        if (!columns.contains(rows.asInt("GRPCOURTID")) && !extra.contains(rows.asInt("GRPCOURTID")))
            extra << rows.asInt("GRPCOURTID");
    std::sort(extra.begin(), extra.end());
    columns += extra;
    rows.first();
    const int side = sideSize(recordKindFrom(rows.asInt("RTYPE")), matchTypeFrom(rows.asInt("TYPE")));
    QVector<ScheduleText::CourtCell> cells;
    for (; !rows.eof(); rows.next()) {
        if (p.grid.isEmpty() || p.grid.last().date != rows.asDate("DATE")) {
            p.grid.append({rows.asDate("DATE"), QVector<QString>(columns.size()), {}});
            cells = QVector<ScheduleText::CourtCell>(columns.size(), ScheduleText::CourtCell(side));
        }
        ScheduleText::CourtCell& cell = cells[int(columns.indexOf(rows.asInt("GRPCOURTID")))];
        cell.add(ScheduleText::code(rows.asInt("SLOTCODE"), rows.asBool("HOME"), rows.asBool("BBON")));
        p.grid.last().courts[int(columns.indexOf(rows.asInt("GRPCOURTID")))] = cell.text();
    }
    Query byes(db, "SELECT GRPSEQNUM FROM \"GRPPLAYR.db\" WHERE GROUPID = :g AND GROUPPLAYERID NOT IN "
                   "(SELECT GRPPLAYRID FROM \"SCHEDULE.db\" WHERE \"DATE\" = :d) ORDER BY GRPSEQNUM");
    for (PrintedSchedule::GridRow& row : p.grid) {
        byes.setInteger("g", group);
        byes.setDate("d", row.date);
        byes.open();
        QList<int> numbers;
        for (; !byes.eof(); byes.next())
            numbers << byes.asInt("GRPSEQNUM");
        row.byes = ScheduleText::byeList(numbers);
    }
    Query roster(db, "SELECT d3.SLOTCODE, d1.FNAME, d1.LNAME, d1.PHONE1, d2.SHARESLOTID "
                     "FROM \"PLAYERS.db\" d1, \"GRPPLAYR.db\" d2, \"SCHEDULE.db\" d3 WHERE d2.GROUPID = :g "
                     "AND d2.PLAYERID = d1.PLAYERID AND d3.GRPPLAYRID = d2.GROUPPLAYERID "
                     "GROUP BY d3.SLOTCODE, d1.FNAME, d1.LNAME, d1.PHONE1, d2.SHARESLOTID "
                     "ORDER BY d3.SLOTCODE, d1.LNAME, d1.FNAME, d1.PHONE1, d2.SHARESLOTID");
    roster.setInteger("g", group);
    roster.open();
    for (; !roster.eof(); roster.next())
        p.roster.append({roster.asInt("SLOTCODE"),
                         {roster.asString("FNAME"), roster.asString("LNAME"), roster.asString("PHONE1")},
                         !roster.isNull("SHARESLOTID"),
                         {}});
    return p;
}

QStringList textsOf(const QVector<ReportPage>& pages)
{
    QStringList out;
    for (const ReportPage& page : pages)
        out << textsOf(page);
    return out;
}
}   // namespace

class TestScheduleReport : public QObject {
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void courtCells();
    void noScheduleShowsMessageOnly();
    void noCourtsIsRefused();
    void headerAndFooter();
    void emptyTimesReadMidnight();
    void courtColumnWidths();
    void bringBallsMarksAndNote();
    void groupKindsCells();
    void byeCells();
    void missingCourtKeepsItsColumn();
    void courtNoLongerAssignedKeepsItsMatches();
    void doublesLeagueRoster();
    void oddRosterEndsAfterFirstColumn();
    void longScheduleRepeatsOnlyTheGridHeading();
    void longRosterContinuesOnNextPage();
    void pdfEndToEnd();
    void dataModulePrintsThroughInstalledReport();
    void readingInPiecesMatchesReadingAtOnce();
    void pacedReadingLetsEventsRun();
};

void TestScheduleReport::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    using namespace ScheduleText;
    QTest::newRow("morning") << sessionTimes(QTime(9, 0), QTime(10, 30)) << "at: 09:00 AM - 10:30 AM";
    QTest::newRow("evening") << sessionTimes(QTime(18, 15), QTime(12, 0)) << "at: 06:15 PM - 12:00 PM";
    QTest::newRow("empty") << sessionTimes(QTime(), QTime()) << "at: 12:00 AM - 12:00 AM";
    QTest::newRow("date") << gridDate(QDate(2027, 3, 9)) << "Tue 03/09/27";
    QTest::newRow("byes") << byeList({3, 7}) << "3;7";
    QTest::newRow("no byes") << byeList({}) << "";
    QTest::newRow("home") << code(4, true, true) << "(4)";
    QTest::newRow("home, balls off") << code(4, true, false) << "4";
    QTest::newRow("roster") << rosterEntry(3, {"Ann", "Lee", "(555)123-4567"}) << "3. Ann Lee (555)123-4567";
    QTest::newRow("team") << teamRosterEntry(1, {"Ann", "Lee", "1"}, {"Bea", "Cole", "2"})
                          << "1. Ann Lee 1 / Bea Cole 2";
    QTest::newRow("team, no phone") << teamRosterEntry(1, {"Ann", "Lee", ""}, {"Bea", "Cole", " "})
                                    << "1. Ann Lee / Bea Cole";
    QTest::newRow("no partner") << teamRosterEntry(1, {"Ann", "Lee", "1"}, {}) << "1. Ann Lee 1";
    QTest::newRow("stored time") << timeOf(QVariant("18:45:00")).toString("HH:mm") << "18:45";
}

void TestScheduleReport::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestScheduleReport::courtCells()
{
    using ScheduleText::CourtCell;
    auto cell = [](int side, const QStringList& codes) {
        CourtCell c(side);
        for (const QString& code : codes)
            c.add(code);
        return c.text();
    };
    QCOMPARE(cell(1, {"(1)", "2"}), QString("(1) v. 2"));
    QCOMPARE(cell(2, {"1", "2", "3", "4"}), QString("1&2 v. 3&4"));
    QCOMPARE(cell(0, {"(1)", "2", "3", "4"}), QString("(1) 2 3 4"));   // numbers stand apart
    QCOMPARE(cell(0, {"10", "11", "12"}), QString("10 11 12"));
    QCOMPARE(sideSize(RecordKind::League, MatchType::Doubles), 1);   // a league's entries are its sides
    QCOMPARE(sideSize(RecordKind::Group, MatchType::Doubles), 2);
    QCOMPARE(sideSize(RecordKind::Group, matchTypeFrom(7)), 0);   // an unknown TYPE pairs nothing
}

void TestScheduleReport::noScheduleShowsMessageOnly()
{
    ReportsFixture fx;
    const auto b = fx.buildGroup({}, 4, 1);
    QStringList shown;
    setErrorBoxHandler([&](const QString& m) { shown << m; });
    TScheduleReport report(fx.db());
    bool previewed = false;
    report.rsSchedule.setPresetDestination(TReportSystem::Destination::Preview);
    report.rsSchedule.previewHandler = [&](const QVector<ReportPage>&) { previewed = true; };
    QVERIFY(!report.PrintSchedule(b.groupId));
    QCOMPARE(shown, QStringList{"You must first generate the schedule before printing."});
    QVERIFY(!previewed);
    setErrorBoxHandler({});
}

void TestScheduleReport::noCourtsIsRefused()
{
    ReportsFixture fx;
    ReportsFixture::GroupShape g;
    const int group = fx.addGroup(g);
    const int e = fx.addEntry(group, fx.addPlayer("Ann", "Lee"), 1);
    fx.addScheduleRow(e, day1, 99, 1);
    TScheduleReport report(fx.db());
    QCOMPARE(report.prepare(group), TScheduleReport::noCourtsMessage());
    QVERIFY(report.rsSchedule.generate().first().ops.isEmpty());
}

void TestScheduleReport::headerAndFooter()
{
    ReportsFixture fx;
    setFooterText("Riverside Tennis Club - call 555-0100 with any changes");
    ReportsFixture::GroupShape g;
    g.notes = "Bring water.\nCourts open at 8:45.";
    auto b = singlesGroup(fx, false);
    Q_UNUSED(b);
    const auto pages = layoutSchedule(fx, 1);
    QCOMPARE(pages.size(), 1);
    const ReportPage& p = pages.first();
    const TextOp* name = findText(p, "Tuesday Ladies");
    QVERIFY(name);
    QCOMPARE(name->font.size, 18.0);
    QCOMPARE(name->font.family, QString("Arial"));
    QVERIFY(qAbs(name->x + name->width / 2 - 4.25) < 1e-6);
    QVERIFY(name->baseline > 0.5 && name->baseline < 0.8);
    const TextOp* times = findText(p, "at: 09:00 AM - 10:30 AM");
    QVERIFY(times);
    QCOMPARE(times->font.size, 12.0);
    QVERIFY(qAbs(times->x + times->width / 2 - 4.25) < 1e-6);

    // The rule: 0.5 to 8.0, 2/100 inch, at the top of the line after a blank one.
    const LineOp rule = p.lines().first();
    QCOMPARE(rule.x1, 0.5);
    QCOMPARE(rule.x2, 8.0);
    QCOMPARE(rule.inchWidth, 0.02);
    QVERIFY(qAbs(rule.y1 - (0.5 + 0.3 + 2 * 0.2)) < 1e-9);   // the name line is as tall as its 18 points

    const TextOp* footer = findText(p, footerText());
    QVERIFY(footer);
    QCOMPARE(footerText().size(), 51);   // cut to what the footer holds
    QCOMPARE(footer->x, 0.5);
    QVERIFY(footer->baseline > 10.25 - 1.2 * 10 / 72 && footer->baseline < 10.25);
    const TextOp* printed = findText(p, ScheduleText::printedOn(QDate::currentDate()));
    QVERIFY(printed);
    QVERIFY(qAbs(printed->x + printed->width - 8.0) < 1e-6);

    // The roster starts at 2.0 whatever the header took.
    const TextOp* first = findText(p, "1. First1 Last1 (555)000-0001");
    QVERIFY(first);
    QVERIFY(first->baseline > 2.0 && first->baseline < 2.0 + 1.2 * 10 / 72);
    QVERIFY(qAbs(first->x - 0.52) < 1e-9);
    setFooterText(QString());
}

void TestScheduleReport::emptyTimesReadMidnight()
{
    ReportsFixture fx;
    ReportsFixture::GroupShape g;
    g.start = g.end = QTime();
    auto b = fx.buildGroup(g, 2, 1);
    fx.addScheduleRow(b.entries[0], day1, b.courts[0], 1);
    QVERIFY(findText(layoutSchedule(fx, b.groupId).first(), "at: 12:00 AM - 12:00 AM"));
}

void TestScheduleReport::courtColumnWidths()
{
    for (int courts : {3, 1}) {
        ReportsFixture fx;
        auto b = fx.buildGroup({}, 2 * courts, courts);
        for (int c = 0; c < courts; ++c) {
            fx.addScheduleRow(b.entries[2 * c], day1, b.courts[c], 2 * c + 1);
            fx.addScheduleRow(b.entries[2 * c + 1], day1, b.courts[c], 2 * c + 2);
        }
        const ReportPage page = layoutSchedule(fx, b.groupId).first();
        const TextOp* date = findText(page, "DATE");
        QVERIFY(date);
        QVERIFY(date->font.bold);
        // Left edges of the heading cells.
        QList<double> edges;
        for (const LineOp& l : page.lines())
            if (l.x1 == l.x2 && l.y1 < date->baseline && l.y2 > date->baseline && !edges.contains(l.x1))
                edges << l.x1;
        std::sort(edges.begin(), edges.end());
        const double d = dateRight(page);
        QVERIFY(d > 1.25 && d < 1.5);
        QList<double> expected{0.5, d};
        for (int c = 1; c <= courts; ++c)
            expected << d + c * 6.0 / courts;
        expected << d + 6.5;
        QCOMPARE(edges.size(), expected.size());
        for (int i = 0; i < edges.size(); ++i)
            QVERIFY(qAbs(edges[i] - expected[i]) < 1e-9);
        const TextOp* court1 = findText(page, "Court 1");
        QVERIFY(qAbs(court1->x + court1->width / 2 - (d + 3.0 / courts)) < 1e-9);
        // Heavy lines in the heading; the body's lines use the 1-pixel pen.
        int heavy = 0;
        for (const LineOp& l : page.lines())
            if (l.inchWidth == 0.02 && l.y1 > 1.9)
                ++heavy;
        QCOMPARE(heavy, 2 * (courts + 2) + 3);   // top and bottom of each cell, outer sides
        const TextOp* row = findText(page, "Tue 01/05/27");
        QVERIFY(row && !row->font.bold);
    }
}

void TestScheduleReport::bringBallsMarksAndNote()
{
    const QString note = "NOTE: The player number in parenthesis's () is responsible for brining the tennis balls.";
    {
        ReportsFixture fx;
        auto b = singlesGroup(fx, true);
        const ReportPage page = layoutSchedule(fx, b.groupId).first();
        QCOMPARE(gridLine(page, "Tue 01/05/27"), (QStringList{"Tue 01/05/27", "(1) v. 2", "3"}));
        QCOMPARE(gridLine(page, "Tue 01/12/27"), (QStringList{"Tue 01/12/27", "1 v. (3)", "2"}));
        const TextOp* n = findText(page, note);
        QVERIFY(n);
        QVERIFY(n->baseline > findText(page, "Tue 01/12/27")->baseline + 0.3);   // after an empty line
    }
    {
        ReportsFixture fx;
        auto b = singlesGroup(fx, false);
        const ReportPage page = layoutSchedule(fx, b.groupId).first();
        QCOMPARE(gridLine(page, "Tue 01/05/27"), (QStringList{"Tue 01/05/27", "1 v. 2", "3"}));
        QVERIFY(!findText(page, note));
    }
}

void TestScheduleReport::groupKindsCells()
{
    struct Case {
        int rtype, type;
        QList<int> codes;
        QString expected;
    };
    const QList<Case> cases{
        {1, 2, {1, 2, 3, 4}, "1&2 v. 3&4"},   // doubles group
        {2, 1, {5, 9}, "5 v. 9"},             // league
        {2, 2, {3, 8}, "3 v. 8"},             // doubles league: teams are sides
        {1, 0, {1, 2, 3, 4}, "(1) 2 3 4"},    // no pairing, balls on
    };
    for (const Case& c : cases) {
        ReportsFixture fx;
        ReportsFixture::GroupShape g;
        g.rtype = c.rtype;
        g.type = c.type;
        g.bbon = c.type == 0;
        auto b = fx.buildGroup(g, 9, 1);
        for (int i = 0; i < c.codes.size(); ++i)
            fx.addScheduleRow(b.entries[c.codes[i] - 1], day1, b.courts[0], c.codes[i], i == 0);
        const QStringList line = gridLine(layoutSchedule(fx, b.groupId).first(), "Tue 01/05/27");
        QVERIFY2(line.size() >= 2, qPrintable(line.join('|')));
        QCOMPARE(line[1], c.expected);
    }
}

void TestScheduleReport::byeCells()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 8, 2);
    // Day 1: everybody plays on two courts of four (no pairing would do too).
    for (int i = 0; i < 4; ++i)
        fx.addScheduleRow(b.entries[i], day1, b.courts[0], i + 1);
    for (int i = 4; i < 8; ++i)
        fx.addScheduleRow(b.entries[i], day1, b.courts[1], i + 1);
    // Day 2: 3 and 7 sit out.
    for (int n : {1, 2, 4, 5})
        fx.addScheduleRow(b.entries[n - 1], day1.addDays(7), b.courts[0], n);
    for (int n : {6, 8})
        fx.addScheduleRow(b.entries[n - 1], day1.addDays(7), b.courts[1], n);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    QCOMPARE(gridLine(page, "Tue 01/05/27").size(), 3);   // date and two courts; the BYE cell is empty
    const QStringList second = gridLine(page, "Tue 01/12/27");
    QCOMPARE(second.last(), QString("3;7"));
    const TextOp* bye = findText(page, "3;7");
    const double d = dateRight(page);
    QVERIFY(qAbs(bye->x + bye->width / 2 - (d + 6.25)) < 1e-6);
    QCOMPARE(bye->font.size, 10.0);

    // A list too long for the 0.5 inch column takes room the courts do not
    // need: it prints on one line at its size, and the grid keeps its right edge.
    for (int n : {1, 2})
        fx.addScheduleRow(b.entries[n - 1], day1.addDays(14), b.courts[0], n);
    const ReportPage again = layoutSchedule(fx, b.groupId).first();
    const TextOp* many = findText(again, "3;4;5;6;7;8");
    QVERIFY(many);
    QCOMPARE(many->font.size, 10.0);
    QVERIFY(many->x < d + 6.0 && many->x + many->width < d + 6.5);
    const TextOp* date = findText(again, "Tue 01/19/27");
    QVERIFY(qAbs(many->baseline - date->baseline) < 1e-9);
    double right = 0;
    for (const LineOp& l : again.lines())
        if (l.x1 == l.x2)
            right = qMax(right, l.x1);
    QVERIFY(qAbs(right - (d + 6.5)) < 1e-9);
}

void TestScheduleReport::missingCourtKeepsItsColumn()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 4, 2);
    fx.addScheduleRow(b.entries[0], day1, b.courts[1], 1);
    fx.addScheduleRow(b.entries[1], day1, b.courts[1], 2);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    const TextOp* cell = findText(page, "1 v. 2");
    QVERIFY(cell);
    // Court 2 is the second court column, 3.0 to 6.0 after the date.
    const double d = dateRight(page);
    QVERIFY(qAbs(cell->x + cell->width / 2 - (d + 4.5)) < 1e-6);
    const TextOp* bye = findText(page, "3;4");
    QVERIFY(bye);
    QVERIFY(qAbs(bye->x + bye->width / 2 - (d + 6.25)) < 1e-6);
    // Every cell of the row is boxed, the empty one too: five cells, four sides.
    int rowLines = 0;
    for (const LineOp& l : page.lines())
        if (l.inchWidth == 0 && qMin(l.y1, l.y2) < cell->baseline && qMax(l.y1, l.y2) > cell->baseline - 0.2)
            ++rowLines;
    QVERIFY(rowLines >= 4 * 4);
}

void TestScheduleReport::courtNoLongerAssignedKeepsItsMatches()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 4, 1);
    const int removed = fx.addCourt("Old Court");   // played on, then taken off the group
    fx.addScheduleRow(b.entries[0], day1, b.courts[0], 1);
    fx.addScheduleRow(b.entries[1], day1, b.courts[0], 2);
    fx.addScheduleRow(b.entries[2], day1, removed, 3);
    fx.addScheduleRow(b.entries[3], day1, removed, 4);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    QVERIFY(findText(page, "Old Court"));
    QCOMPARE(gridLine(page, "Tue 01/05/27"), (QStringList{"Tue 01/05/27", "1 v. 2", "3 v. 4"}));
    const TextOp* cell = findText(page, "3 v. 4");
    QVERIFY(qAbs(cell->x + cell->width / 2 - (dateRight(page) + 3.0 + 1.5)) < 1e-6);
}

void TestScheduleReport::doublesLeagueRoster()
{
    ReportsFixture fx;
    ReportsFixture::GroupShape g;
    g.rtype = 2;
    g.type = 2;
    auto b = fx.buildGroup(g, 0, 1);
    const int ann = fx.addPlayer("Ann", "Lee", "(555)111-2222");
    const int bea = fx.addPlayer("Bea", "Cole");   // no phone
    const int cid = fx.addPlayer("Cid", "Moe", "(555)333-4444");
    const int dot = fx.addPlayer("Dot", "Fry", "(555)555-6666");
    const int t1 = fx.addEntry(b.groupId, ann, 1, bea);
    const int t2 = fx.addEntry(b.groupId, cid, 2, dot);
    fx.addScheduleRow(t1, day1, b.courts[0], 1);
    fx.addScheduleRow(t2, day1, b.courts[0], 2);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    const TextOp* first = findText(page, "1. Ann Lee (555)111-2222 / Bea Cole");
    const TextOp* second = findText(page, "2. Cid Moe (555)333-4444 / Dot Fry (555)555-6666");
    QVERIFY2(first && second, qPrintable(textsOf(page).join('|')));
    QCOMPARE(first->x, 1.25);
    QCOMPARE(second->x, 1.25);
    QVERIFY(qAbs(second->baseline - first->baseline - 1.2 * 10 / 72) < 1e-9);   // one entry a line
    QCOMPARE(gridLine(page, "Tue 01/05/27")[1], QString("1 v. 2"));
}

void TestScheduleReport::oddRosterEndsAfterFirstColumn()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 3, 1);
    for (int i = 0; i < 3; ++i)
        fx.addScheduleRow(b.entries[i], day1.addDays(7 * i), b.courts[0], i + 1);
    const ReportPage page = layoutSchedule(fx, b.groupId).first();
    const TextOp* e1 = findText(page, "1. First1 Last1 (555)000-0001");
    const TextOp* e2 = findText(page, "2. First2 Last2 (555)000-0002");
    const TextOp* e3 = findText(page, "3. First3 Last3 (555)000-0003");
    QVERIFY(e1 && e2 && e3);
    QCOMPARE(e1->baseline, e2->baseline);
    QVERIFY(qAbs(e2->x - 4.27) < 1e-9);
    QVERIFY(qAbs(e3->x - 0.52) < 1e-9);
    const double line = 1.2 * 10 / 72;
    QVERIFY(qAbs(e3->baseline - e1->baseline - 2 * line) < 1e-9);   // an empty line between
    // The grid heading comes two lines below the last roster line.
    const TextOp* date = findText(page, "DATE");
    QVERIFY(qAbs(date->baseline - e3->baseline - 2 * line) < 1e-3);
}

void TestScheduleReport::longScheduleRepeatsOnlyTheGridHeading()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 2, 1);
    for (int w = 0; w < 80; ++w) {
        fx.addScheduleRow(b.entries[0], day1.addDays(7 * w), b.courts[0], 1);
        fx.addScheduleRow(b.entries[1], day1.addDays(7 * w), b.courts[0], 2);
    }
    const auto pages = layoutSchedule(fx, b.groupId);
    QVERIFY(pages.size() >= 2);
    int rows = 0;
    for (int i = 0; i < pages.size(); ++i) {
        for (const TextOp& t : pages[i].texts())
            if (QRegularExpression("^\\w{3} \\d\\d/\\d\\d/\\d\\d$").match(t.text).hasMatch()) {
                ++rows;
                QVERIFY2(t.baseline < (i == 0 ? 9.5 : 10.75), qPrintable(t.text));
            }
        if (i > 0) {
            // The heading comes first, at the top margin, and the rows follow it.
            const TextOp heading = pages[i].texts().first();
            QCOMPARE(heading.text, QString("DATE"));
            QVERIFY(heading.font.bold);
            QVERIFY(heading.baseline > 0.25 && heading.baseline < 0.25 + 1.2 * 10 / 72);
            QVERIFY(findText(pages[i], "Court 1") && findText(pages[i], "BYE"));
            for (const TextOp& t : pages[i].texts())   // no title: the page mark names the group
                QVERIFY2(t.font.size < 18, qPrintable(t.text));
            QVERIFY(!findText(pages[i], ScheduleText::printedOn(QDate::currentDate())));
        }
    }
    QCOMPARE(rows, 80);
    // Page 1 breaks when at most one line is left above 9.5.
    double lastOnFirst = 0;
    for (const TextOp& t : pages[0].texts())
        if (t.text.contains('/') && t.baseline < 10)
            lastOnFirst = qMax(lastOnFirst, t.baseline);
    QVERIFY(9.5 - lastOnFirst < 3 * 1.2 * 10 / 72);
}

void TestScheduleReport::longRosterContinuesOnNextPage()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 120, 2);
    for (int i = 0; i < 120; ++i)
        fx.addScheduleRow(b.entries[i], day1, b.courts[i % 2], i + 1);
    const auto pages = layoutSchedule(fx, b.groupId);
    QVERIFY(pages.size() >= 2);
    const QString footer = ScheduleText::printedOn(QDate::currentDate());
    for (const TextOp& t : pages[0].texts())
        if (t.text != footer && !t.text.isEmpty() && t.baseline < 10.5)   // not the page marks
            QVERIFY2(t.baseline < 10.0, qPrintable(t.text));
    QVERIFY2(findText(pages.last(), "120. First120 Last120 (555)000-0120"),
             qPrintable(textsOf(pages.last()).join('|')));
    // The grid continues after the roster, once.
    int headings = 0;
    for (const ReportPage& p : pages)
        headings += findText(p, "DATE") ? 1 : 0;
    QCOMPARE(headings, 1);
}

void TestScheduleReport::pdfEndToEnd()
{
    if (!ReportPdf::toolsAvailable())
        QSKIP("pdftotext is not installed");
    ReportsFixture fx;
    setFooterText("Riverside Tennis Club");
    auto b = singlesGroup(fx, true);
    TScheduleReport report(fx.db());
    const QString file = fx.path("schedule.pdf");
    report.rsSchedule.setPresetDestination(TReportSystem::Destination::PdfFile, file);
    QVERIFY(report.PrintSchedule(b.groupId));
    const QStringList pages = ReportPdf::pages(file);
    QCOMPARE(pages.size(), 1);
    const QString& text = pages.first();
    QVERIFY(text.contains("Tuesday Ladies"));
    QVERIFY(text.contains("at: 09:00 AM - 10:30 AM"));
    QVERIFY(text.contains(QRegularExpression("1\\. First1 Last1 \\(555\\)000-0001\\s+2\\. First2 Last2")));
    QVERIFY(text.contains(QRegularExpression("DATE\\s+Court 1\\s+BYE")));
    QVERIFY(text.contains(QRegularExpression("01/05/27\\s+\\(1\\) v\\. 2\\s+3")));
    QVERIFY(text.contains("NOTE: The player number in parenthesis's () is responsible for brining the tennis balls."));
    QVERIFY(text.contains(QRegularExpression("Riverside Tennis Club\\s+Printed On: ")));
    setFooterText(QString());
}

void TestScheduleReport::dataModulePrintsThroughInstalledReport()
{
    ReportsFixture fx;
    auto b = singlesGroup(fx, false);
    TScheduleReport& report = installScheduleReport(Tdmglobal::instance());
    QCOMPARE(report.parent(), &Tdmglobal::instance());   // the data module owns it
    QCOMPARE(report.rsSchedule.TitleSetup, QString("Schedule Setup"));
    QCOMPARE(report.rsSchedule.TitlePreview, QString("Schedule Preview"));
    QCOMPARE(report.rsSchedule.printerTitle, QString("Vantrel"));
    QCOMPARE(report.rsSchedule.previewFormState, TReportSystem::FormState::Maximized);
    report.rsSchedule.setPresetDestination(TReportSystem::Destination::Preview);
    int pages = 0;
    report.rsSchedule.previewHandler = [&](const QVector<ReportPage>& p) { pages = int(p.size()); };
    Tdmglobal::instance().printSchedule(b.groupId);
    QCOMPARE(pages, 1);
}

// Whatever a file holds, the schedule read in pieces is the one that
// single statements over all of it give.
void TestScheduleReport::readingInPiecesMatchesReadingAtOnce()
{
    std::mt19937 random(7);
    int printed = 0;
    for (int round = 0; round < 25; ++round) {
        ReportsFixture fx;
        for (int group : untidyGroups(fx, random)) {
            const PrintedSchedule pieces = PrintedSchedule::read(fx.db(), group);
            const PrintedSchedule once = readAtOnce(fx.db(), group);
            const QString where = QString("round %1, group %2").arg(round).arg(group);
            QVERIFY2((pieces.missing == PrintedSchedule::Missing::Nothing) == !once.grid.isEmpty(), qPrintable(where));
            if (once.grid.isEmpty())
                continue;
            ++printed;
            QCOMPARE(pieces.grid.size(), once.grid.size());
            for (int i = 0; i < once.grid.size(); ++i) {
                QCOMPARE(pieces.grid[i].date, once.grid[i].date);
                QCOMPARE(pieces.grid[i].courts, once.grid[i].courts);
                QVERIFY2(pieces.grid[i].byes == once.grid[i].byes, qPrintable(where + ": " + pieces.grid[i].byes));
            }
            QCOMPARE(pieces.roster.size(), once.roster.size());
            for (int i = 0; i < once.roster.size(); ++i) {
                const auto &a = pieces.roster[i], &b = once.roster[i];
                QVERIFY2(a.slot == b.slot && a.player.firstName == b.player.firstName &&
                             a.player.lastName == b.player.lastName && a.player.phone == b.player.phone &&
                             a.hasPartner == b.hasPartner,
                         qPrintable(where + QString(": roster line %1").arg(i)));
            }
        }
    }
    QVERIFY(printed > 30);   // most of the groups had something to print
}

// Printing from the window reads with the window's events running between
// the pieces, at least once a date, and prints what reading at once does.
void TestScheduleReport::pacedReadingLetsEventsRun()
{
    ReportsFixture fx;
    auto b = fx.buildGroup({}, 12, 3);
    for (int d = 0; d < 40; ++d)
        for (int e = 0; e < 9; ++e)
            fx.addScheduleRow(b.entries[(d + e) % 12], day1.addDays(d), b.courts[e / 3], (d + e) % 12 + 1, e % 3 == 0);
    TScheduleReport report(fx.db());
    QVERIFY(report.prepare(b.groupId).isEmpty());
    const QStringList atOnce = textsOf(report.rsSchedule.generate());

    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    EventPacer everyPiece(0, [] { QCoreApplication::processEvents(); });
    QVERIFY(report.prepare(b.groupId, &everyPiece).isEmpty());
    QVERIFY(timerRan);
    QVERIFY(everyPiece.yields() >= 40);
    QCOMPARE(textsOf(report.rsSchedule.generate()), atOnce);
}

QTEST_MAIN(TestScheduleReport)
#include "tst_schedulereport.moc"
