// The printed standings: the league's name, one boxed line per entry in the
// order given, the heading again on every page, and a PDF that reads back.
#include "reportpdf_helpers.h"
#include "reportsfixture.h"
#include "reports/standingsreport.h"
#include <QTemporaryDir>
#include <QtTest>

class TestStandingsReport : public QObject {
    Q_OBJECT

    static QVector<StandingsRow> rows(int count)
    {
        QVector<StandingsRow> list;
        for (int i = 1; i <= count; ++i)
            list.append({(i + 1) / 2, 10 + i, QString("Player %1/Partner %1").arg(i), count - i, i - 1});
        return list;
    }

private slots:
    void linesInOrderUnderTheHeading()
    {
        TStandingsReport report;
        report.setStandings("Spring League", rows(4));
        const QVector<ReportPage> pages = report.rsStandings.generate();
        QCOMPARE(pages.size(), 1);
        const QStringList texts = textsOf(pages[0]);
        QCOMPARE(texts.first(), QString("Spring League"));
        const int heading = int(texts.indexOf("Rank"));
        QVERIFY(heading > 0);
        QCOMPARE(texts.mid(heading, 5), (QStringList{"Rank", "Entry #", "Name", "Win", "Loss"}));
        // Ranks as given (two share each), numbers, names, wins and losses.
        QCOMPARE(texts.mid(heading + 5, 5), (QStringList{"1", "11", "Player 1/Partner 1", "3", "0"}));
        QCOMPARE(texts.mid(heading + 10, 5), (QStringList{"1", "12", "Player 2/Partner 2", "2", "1"}));
        const TextOp* first = findText(pages[0], "Player 1/Partner 1");
        const TextOp* second = findText(pages[0], "Player 2/Partner 2");
        QVERIFY(first && second && second->baseline > first->baseline);
        QVERIFY(!pages[0].lines().isEmpty());   // boxed cells
    }

    void longTablesRepeatTheHeading()
    {
        TStandingsReport report;
        report.setStandings("Big League", rows(90));
        const QVector<ReportPage> pages = report.rsStandings.generate();
        QVERIFY(pages.size() >= 2);
        int lines = 0;
        for (const ReportPage& page : pages) {
            const QStringList texts = textsOf(page);
            QVERIFY(texts.contains("Rank"));
            for (const TextOp& t : page.texts()) {
                // Nothing below the page's printing area but the page marks.
                QVERIFY(t.baseline < 10.6 || t.text.startsWith("Page ") || t.text == "Big League");
                lines += t.text.startsWith("Player ");
            }
        }
        QCOMPARE(lines, 90);
    }

    void savedAsPdf()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("standings.pdf");
        TStandingsReport report;
        report.setStandings("Spring League", rows(3));
        report.rsStandings.setPresetDestination(TReportSystem::Destination::PdfFile, file);
        QCOMPARE(report.rsStandings.execute(), TReportSystem::Outcome::Saved);
        if (!ReportPdf::toolsAvailable())
            QSKIP("pdftotext is not installed");
        const QString text = ReportPdf::text(file);
        QVERIFY2(text.contains("Spring League") && text.contains("Player 3/Partner 3"), qPrintable(text));
    }
};

QTEST_MAIN(TestStandingsReport)
#include "tst_standingsreport.moc"
