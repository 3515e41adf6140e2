#include "data/table.h"
#include "reportpdf_helpers.h"
#include "reports/labeltypedialog.h"
#include "reports/playerlabels.h"
#include "reportsfixture.h"
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest>

namespace {
// The players table as the players window opens it.
std::unique_ptr<Table> openPlayers(ReportsFixture& fx)
{
    auto t = std::make_unique<Table>(fx.db(), "PLAYERS.db");
    t->setIndexName("lastname");
    t->open();
    return t;
}

// Texts of the label whose box starts at `left`, `top` (inches).
QStringList labelTexts(const ReportPage& page, double left, double top)
{
    QStringList out;
    for (const TextOp& t : page.texts())
        if (t.x >= left && t.x < left + 2.625 && t.baseline > top && t.baseline < top + 1.0)
            out << t.text;
    return out;
}
}   // namespace

class TestLabels : public QObject {
    Q_OBJECT
private slots:
    void threeAndFourLineLabels();
    void thirtyOnePlayersTakeTwoSheets();
    void emptyTableGivesOneEmptyLabel();
    void reportSettings();
    void dialogListsStocksByDescription();
    void dialogChoicesApplyOnlyKnownStocks();
    void labelsOfAWindowLiveWithIt();
    void pdfEndToEnd();
};

void TestLabels::threeAndFourLineLabels()
{
    ReportsFixture fx;
    fx.addPlayer("Ann", "Adams", {}, "12 Oak Street", {}, "Springfield", "IL", "62701-");
    fx.addPlayer("Bob", "Baker", {}, "9 Elm Road", "Apt 4", "Shelbyville", "IL", "62565-1234");
    auto players = openPlayers(fx);
    TPlayerLabels labels(*players);
    const auto pages = labels.rsLabels.generate();
    QCOMPARE(pages.size(), 1);
    QCOMPARE(labelTexts(pages[0], 0.188, 0.5),
             (QStringList{"Ann Adams", "12 Oak Street", "Springfield IL 62701"}));   // no hyphen without the last four
    QCOMPARE(labelTexts(pages[0], 0.188 + 2.75, 0.5),
             (QStringList{"Bob Baker", "9 Elm Road", "Apt 4", "Shelbyville IL 62565-1234"}));
    // Lines follow each other inside the label, one line height apart.
    const auto t = pages[0].texts();
    QVERIFY(qAbs(t[1].baseline - t[0].baseline - 1.2 * 10 / 72) < 1e-9);
    QVERIFY(players->eof());   // printing leaves the table past its last row
}

void TestLabels::thirtyOnePlayersTakeTwoSheets()
{
    ReportsFixture fx;
    for (int i = 1; i <= 31; ++i)
        fx.addPlayer(QString("P%1").arg(i), QString("L%1").arg(i, 2, 10, QChar('0')), {}, "Street", {}, "City", "ST",
                     "00000-");
    auto players = openPlayers(fx);
    TPlayerLabels labels(*players);
    const auto pages = labels.rsLabels.generate();
    QCOMPARE(pages.size(), 2);
    const TextOp first = pages[0].texts().first();
    QCOMPARE(first.text, QString("P1 L01"));
    QVERIFY(qAbs(first.x - (0.188 + labels.lsPlayers.InnerMarginLeft)) < 1e-9);
    QVERIFY(first.baseline > 0.5 && first.baseline < 0.5 + 0.3);
    // The 30th ends the first sheet at the bottom right; the 31st starts the next at the top left.
    QCOMPARE(labelTexts(pages[0], 0.188 + 2 * 2.75, 9.5).first(), QString("P30 L30"));
    const TextOp last = pages[1].texts().first();
    QCOMPARE(last.text, QString("P31 L31"));
    QCOMPARE(last.x, first.x);
    QCOMPARE(last.baseline, first.baseline);
    QCOMPARE(pages[1].texts().size(), 3);
}

void TestLabels::emptyTableGivesOneEmptyLabel()
{
    ReportsFixture fx;
    auto players = openPlayers(fx);
    TPlayerLabels labels(*players);
    const auto pages = labels.rsLabels.generate();
    QCOMPARE(pages.size(), 1);
    for (const TextOp& t : pages[0].texts())
        QVERIFY(t.text.trimmed().isEmpty());
}

void TestLabels::reportSettings()
{
    ReportsFixture fx;
    auto players = openPlayers(fx);
    TPlayerLabels labels(*players);
    QCOMPARE(labels.rsLabels.TitleSetup, QString("Report Setup"));
    QCOMPARE(labels.rsLabels.TitleStatus, QString("Report Status"));
    QCOMPARE(labels.rsLabels.TitlePreview, QString("Report Preview"));
    QCOMPARE(labels.rsLabels.printerTitle, QString("ReportPrinter Report"));
    QCOMPARE(labels.lsPlayers.brand(), TLabelShell::lbAV8160);
    QCOMPARE(labels.lsPlayers.labelsPerSheet(), 30);
    QCOMPARE(labels.lsPlayers.Shape, TLabelShell::lsRoundRect);
}

void TestLabels::dialogListsStocksByDescription()
{
    ReportsFixture fx;
    Tdlglabels dialog(fx.db());
    QCOMPARE(dialog.windowTitle(), QString("Available Label Types"));
    // The designed layout, widened as far as the longest description needs.
    const int extra = dialog.width() - 438;
    QVERIFY(extra >= 0);
    QCOMPARE(dialog.height(), 179);
    QVERIFY(dialog.helpButton->isHidden());
    QCOMPARE(dialog.okButton->geometry(), QRect(355 + extra, 9, 77, 27));
    QCOMPARE(dialog.labelTypesList->geometry(), QRect(15, 12, 332 + extra, 152));
    QStringList codes, descs;
    for (int i = 0; i < dialog.labelTypesList->count(); ++i) {
        codes << dialog.labelTypesList->item(i)->data(Qt::UserRole).toString();
        descs << dialog.labelTypesList->item(i)->text();
    }
    QVERIFY(codes.contains("lbAV5160") && codes.contains("lbAV8160"));
    QStringList sorted = descs;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(descs, sorted);

    // OK without a selection gives an empty result.
    dialog.okButton->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.resultCode(), QString());
}

void TestLabels::dialogChoicesApplyOnlyKnownStocks()
{
    ReportsFixture fx;
    auto players = openPlayers(fx);
    TPlayerLabels labels(*players);
    labels.lsPlayers.setBrand(TLabelShell::lbCustom);
    labels.lsPlayers.NumDown = 7;

    // Cancel keeps the settings.
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<Tdlglabels*>(QApplication::activeModalWidget()))
            d->cancelButton->click();
    });
    labels.ChooseLabelType(nullptr);
    QCOMPARE(labels.lsPlayers.NumDown, 7);

    // Choosing 5160 sets the whole sheet.
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<Tdlglabels*>(QApplication::activeModalWidget())) {
            for (int i = 0; i < d->labelTypesList->count(); ++i)
                if (d->labelTypesList->item(i)->data(Qt::UserRole) == "lbAV5160")
                    d->labelTypesList->setCurrentRow(i);
            d->okButton->click();
        }
    });
    labels.ChooseLabelType(nullptr);
    QCOMPARE(labels.lsPlayers.brand(), TLabelShell::lbAV5160);
    QCOMPARE(labels.lsPlayers.NumDown, 10);

    // A stock the program does not know changes nothing.
    labels.lsPlayers.NumDown = 7;
    QVERIFY(!labels.applyLabelCode("lbAV5163"));
    QVERIFY(!labels.applyLabelCode(QString()));
    QCOMPARE(labels.lsPlayers.NumDown, 7);
    QCOMPARE(labels.lsPlayers.brand(), TLabelShell::lbAV5160);
    QVERIFY(labels.applyLabelCode("lbAV8160"));
    QCOMPARE(labels.lsPlayers.NumDown, 10);
}

void TestLabels::labelsOfAWindowLiveWithIt()
{
    ReportsFixture fx;
    auto players = openPlayers(fx);
    QWidget window1, window2;
    TPlayerLabels& first = playerLabelsOf(&window1, *players);
    first.applyLabelCode("lbAV5160");
    QCOMPARE(&playerLabelsOf(&window1, *players), &first);
    QCOMPARE(playerLabelsOf(&window1, *players).lsPlayers.brand(), TLabelShell::lbAV5160);
    QCOMPARE(playerLabelsOf(&window2, *players).lsPlayers.brand(), TLabelShell::lbAV8160);
}

void TestLabels::pdfEndToEnd()
{
    if (!ReportPdf::toolsAvailable())
        QSKIP("pdftotext is not installed");
    ReportsFixture fx;
    fx.addPlayer("Ann", "Adams", {}, "12 Oak Street", {}, "Springfield", "IL", "62701-");
    fx.addPlayer("Bob", "Baker", {}, "9 Elm Road", "Apt 4", "Shelbyville", "IL", "62565-1234");
    auto players = openPlayers(fx);
    TPlayerLabels labels(*players);
    const QString file = fx.path("labels.pdf");
    labels.rsLabels.setPresetDestination(TReportSystem::Destination::PdfFile, file);
    labels.PrintLabels(nullptr);
    const QStringList pages = ReportPdf::pages(file);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].contains(QRegularExpression("Ann Adams\\s+Bob Baker")));
    QVERIFY(pages[0].contains(QRegularExpression("12 Oak Street\\s+9 Elm Road")));
    QVERIFY(pages[0].contains(QRegularExpression("Springfield IL 62701\\s+Apt 4")));
    QVERIFY(pages[0].contains("Shelbyville IL 62565-1234"));
}

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"
