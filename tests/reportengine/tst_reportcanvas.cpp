#include "reportengine/fonts.h"
#include "reportengine/reportcanvas.h"
#include <QFontDatabase>
#include <QtTest>

// Layout of the page operations, read straight from the recorded pages.
class TestReportCanvas : public QObject {
    Q_OBJECT
private slots:
    void linesAndLimits();
    void textPositions();
    void footerOnBottomLine();
    void columnsAndBoxLines();
    void tabCharactersMoveIntoColumns();
    void memoWrapsWithinLimits();
    void newPageRestoresMarginsAndReports();
    void unitsFactorScalesPositions();
    void arialFallsBackToMetricCompatibleFace();
};

void TestReportCanvas::linesAndLimits()
{
    ReportCanvas c;
    c.setFont("Arial", 10);
    QCOMPARE(c.lineHeight(), 1.2 * 10 / 72.0);
    QCOMPARE(c.topLimit(), 0.25);
    QCOMPARE(c.bottomLimit(), 10.75);
    c.setTopLimit(0.5);
    c.home();
    QCOMPARE(c.yPos(), 0.5);
    c.newLine();
    QCOMPARE(c.yPos(), 0.5 + c.lineHeight());

    // 1.0 inch at 1/6 inch a line: six whole lines, the current one included.
    c.setFont("Arial", 10);
    c.setYPos(8.5);
    c.setBottomLimit(9.5);
    QCOMPARE(c.linesLeft(), 6);
    for (int i = 0; i < 5; ++i)
        c.newLine();
    QCOMPARE(c.linesLeft(), 1);
    c.newLine();
    QCOMPARE(c.linesLeft(), 0);
    c.newLine();
    QCOMPARE(c.linesLeft(), 0);
    QCOMPARE(c.pageNumber(), 1);   // ending lines never starts a page

    c.setYPos(2.0);
    c.setTopLimitToCurrent();
    c.setYPos(5.0);
    c.home();
    QCOMPARE(c.yPos(), 2.0);
}

void TestReportCanvas::textPositions()
{
    ReportCanvas c;
    c.setFont("Arial", 18);
    c.setYPos(0.5);
    c.printCenter("Tuesday Ladies", c.paperWidth() / 2);
    c.setFont("Arial", 12);
    c.printLeft("left", 1.25);
    c.printRight("right", 8.0);
    const auto t = c.pages().first().texts();
    QCOMPARE(t.size(), 3);
    QCOMPARE(t[0].font.size, 18.0);
    QVERIFY(t[0].width > 1.0);
    QVERIFY(qAbs(t[0].x + t[0].width / 2 - 4.25) < 1e-9);
    // The baseline sits inside the line that starts at 0.5.
    QVERIFY(t[0].baseline > 0.5 && t[0].baseline < 0.5 + 1.2 * 18 / 72.0);
    QCOMPARE(t[1].x, 1.25);
    QVERIFY(qAbs(t[2].x + t[2].width - 8.0) < 1e-9);

    c.setBold(true);
    QVERIFY(c.textWidth("trtr") > ReportFonts::textWidth(FontSpec{"Arial", 12}, "trtr"));
    c.setFont("Arial", 12);
    QVERIFY(!c.font().bold);   // a new font turns every style off
}

void TestReportCanvas::footerOnBottomLine()
{
    ReportCanvas c;
    c.setBottomLimit(10.25);
    c.setFont("Arial", 10);
    c.setYPos(3.0);
    c.printFooter("Club footer", ReportCanvas::Justify::Left);
    c.printFooter("Printed On: 1/2/27", ReportCanvas::Justify::Right);
    QCOMPARE(c.yPos(), 3.0);   // the footer leaves the position alone
    const auto t = c.pages().first().texts();
    QCOMPARE(t[0].x, 0.5);
    QVERIFY(qAbs(t[1].x + t[1].width - 8.0) < 1e-9);
    const double lineTop = 10.25 - c.lineHeight();
    QVERIFY(t[0].baseline > lineTop && t[0].baseline < 10.25);
    QCOMPARE(t[0].baseline, t[1].baseline);
}

void TestReportCanvas::columnsAndBoxLines()
{
    ReportCanvas c;
    c.setFont("Arial", 10);
    c.setYPos(2.0);
    c.clearTabs();
    c.setTab(0.5, ReportCanvas::Justify::Center, 0.75, 0, ReportCanvas::BoxAll, 0);
    c.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Right, 2.0, 10, ReportCanvas::BoxAll, 20);
    c.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Left, 1.0, 5, ReportCanvas::BoxTop, 0);
    QCOMPARE(c.tabCount(), 3);

    c.tab(-2, ReportCanvas::LineAsIs, -2, -2);
    c.print("DATE");
    c.tab(ReportCanvas::LineNone);
    c.print("R");
    c.tab(ReportCanvas::LineAsIs, -3);
    c.print("L");
    const ReportPage& page = c.pages().first();
    const auto lines = page.lines();
    // Column 1: top, bottom, left heavy (2/100), right with the pen.
    // Column 2: top, bottom, right; its left line suppressed.
    // Column 3: its own top line, and the forced right line of 3/100.
    QCOMPARE(lines.size(), 4 + 3 + 2);
    const double top = 2.0, bottom = 2.0 + c.lineHeight();
    QCOMPARE(lines[0].y1, top);
    QCOMPARE(lines[0].inchWidth, 0.02);
    QCOMPARE(lines[1].y1, bottom);
    QCOMPARE(lines[2].x1, 0.5);
    QCOMPARE(lines[2].inchWidth, 0.02);
    QCOMPARE(lines[3].x1, 1.25);
    QCOMPARE(lines[3].inchWidth, 0.0);
    QCOMPARE(lines[6].x1, 3.25);   // right of column 2: no left line before it
    QCOMPARE(lines[7].y1, top);
    QCOMPARE(lines[8].x1, 4.25);
    QCOMPARE(lines[8].inchWidth, 0.03);

    const auto shades = page.shades();
    QCOMPARE(shades.size(), 1);
    QCOMPARE(shades[0].left, 1.25);
    QCOMPARE(shades[0].right, 3.25);
    QCOMPARE(shades[0].percent, 20);

    const auto t = page.texts();
    QVERIFY(qAbs(t[0].x + t[0].width / 2 - 0.875) < 1e-9);   // centred
    QVERIFY(qAbs(t[1].x + t[1].width - 3.15) < 1e-9);        // right, inner margin 0.1
    QVERIFY(qAbs(t[2].x - 3.30) < 1e-9);                     // left, inner margin 0.05

    // Ending the line starts again before the first column.
    c.newLine();
    QCOMPARE(c.currentTab(), -1);
    c.tab();
    QCOMPARE(c.xPos(), 0.5);
}

void TestReportCanvas::tabCharactersMoveIntoColumns()
{
    ReportCanvas c;
    c.setTab(0.5, ReportCanvas::Justify::Left, 3.75, 2, ReportCanvas::BoxNone, 0);
    c.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Left, 3.75, 2, ReportCanvas::BoxNone, 0);
    c.print("\t1. Ann Lee\t2. Bob Ray");
    const auto t = c.pages().first().texts();
    QCOMPARE(t.size(), 2);
    QVERIFY(qAbs(t[0].x - 0.52) < 1e-9);
    QVERIFY(qAbs(t[1].x - 4.27) < 1e-9);
    QVERIFY(c.pages().first().lines().isEmpty());

    // A tab past the last column keeps writing where the text stands.
    c.newLine();
    c.print("\ta\tb\tc");
    const auto t2 = c.pages().first().texts();
    QCOMPARE(t2.size(), 5);
    QVERIFY(qAbs(t2[4].x - (t2[3].x + t2[3].width)) < 1e-9);
}

void TestReportCanvas::memoWrapsWithinLimits()
{
    ReportCanvas c;
    c.setFont("Arial", 10);
    c.setYPos(1.0);
    c.setPrintStart(0.5);
    c.setPrintEnd(3.0);
    const QString memo = "Bring water and a towel. Play starts at the hour sharp, so warm up before. "
                         "Courts three and four are indoors.\nCall the desk when you cannot come.\n"
                         "Thanks!\nA\nB\nC\nD";
    const int printed = c.printMemo(memo, 5);
    QCOMPARE(printed, 5);
    QCOMPARE(c.yPos(), 1.0 + 5 * c.lineHeight());
    const auto t = c.pages().first().texts();
    QCOMPARE(t.size(), 5);
    for (const TextOp& line : t) {
        QCOMPARE(line.x, 0.5);
        QVERIFY2(line.x + line.width <= 3.0 + 1e-6, qPrintable(line.text));
    }
    QVERIFY(t[0].text.startsWith("Bring water"));
    // Words are not split at a wrap and nothing is lost before the limit.
    QString joined;
    for (const TextOp& line : t)
        joined += line.text + ' ';
    QVERIFY(joined.contains("Call the desk"));

    // A word wider than the memo is cut rather than run past its end.
    const QStringList cut = c.wrapLines(QString(80, 'W'), 1.0);
    QVERIFY(cut.size() > 1);
    QCOMPARE(cut.join(QString()), QString(80, 'W'));
    for (const QString& line : cut)
        QVERIFY(c.textWidth(line) <= 1.0 + 1e-6);

    QCOMPARE(c.printMemo("   \n  ", 5), 0);
    QCOMPARE(c.wrapLines("one two", 5.0), QStringList{"one two"});
}

void TestReportCanvas::newPageRestoresMarginsAndReports()
{
    ReportCanvas c;
    QList<int> started;
    c.pageStarted = [&](int p) { started << p; };
    c.setTopLimit(2.0);
    c.setBottomLimit(9.5);
    c.setSection(1, 1, 2, 2);
    c.printLeft("first", 1);
    c.newPage();
    QCOMPARE(started, QList<int>{2});
    QCOMPARE(c.pageNumber(), 2);
    QCOMPARE(c.topLimit(), 0.25);
    QCOMPARE(c.bottomLimit(), 10.75);
    QCOMPARE(c.yPos(), 0.25);
    QCOMPARE(c.sectionLeft(), 0.5);
    QCOMPARE(c.sectionRight(), 8.0);
    c.print("second");
    QCOMPARE(c.pages()[0].texts().first().text, QString("first"));
    QCOMPARE(c.pages()[1].texts().first().x, 0.5);
}

void TestReportCanvas::unitsFactorScalesPositions()
{
    ReportCanvas c({}, {}, 2.0);   // two units an inch
    QCOMPARE(c.paperWidth(), 17.0);
    c.setYPos(4.0);
    c.printLeft("x", 2.0);
    const TextOp t = c.pages().first().texts().first();
    QCOMPARE(t.x, 1.0);
    QVERIFY(t.baseline > 2.0 && t.baseline < 2.2);
}

void TestReportCanvas::arialFallsBackToMetricCompatibleFace()
{
    const QString family = ReportFonts::resolvedFamily("Arial");
    QVERIFY(!family.isEmpty());
    if (!QFontDatabase::families().contains("Arial"))
        QCOMPARE(family, QString("Liberation Sans"));
    // Arial's advance of "0" is 0.556 em.
    const double w = ReportFonts::textWidth(FontSpec{"Arial", 72}, "0");
    QVERIFY2(qAbs(w - 0.556) < 0.01, qPrintable(QString::number(w)));
}

QTEST_MAIN(TestReportCanvas)
#include "tst_reportcanvas.moc"
