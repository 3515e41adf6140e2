#include "reportengine/fonts.h"
#include "reportengine/labelshell.h"
#include "reportengine/pdftarget.h"
#include "reportengine/pagepainter.h"
#include "reportengine/paperchoice.h"
#include "reportengine/previewdialog.h"
#include "reportengine/reporterror.h"
#include "reportengine/reportsystem.h"
#include "reportengine/setupdialog.h"
#include "reportengine/statuswindow.h"
#include "reportpdf_helpers.h"
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QSettings>
#include <QToolButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include "whenmodal.h"

namespace {
// Two pages: a centred title and a boxed line, then a second page.
void twoPages(ReportCanvas& c)
{
    c.setFont("Arial", 18);
    c.setYPos(0.5);
    c.printCenter("Thursday Doubles", c.paperWidth() / 2);
    c.newLine();
    c.setFont("Arial", 10);
    c.clearTabs();
    c.setTab(0.5, ReportCanvas::Justify::Left, 3.0, 2, ReportCanvas::BoxAll, 0);
    c.setTab(ReportCanvas::AfterPrevious, ReportCanvas::Justify::Left, 3.0, 2, ReportCanvas::BoxAll, 0);
    c.print("\tFirst cell\tSecond cell");
    c.newLine();
    c.newPage();
    c.print("Page two text");
}

}   // namespace

class TestReportSystem : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfRoundTrip();
    void pdfFailuresSayWhatToDo();
    void printerWithoutPrinterIsRefused();
    void previewGetsThePagesAndBrowses();
    void setupDialogWritesChoices();
    void pdfNames();
    void setupProposesTheDocumentAndAsksBeforeReplacing();
    void previewSaveProposesTheDocumentAndAsks();
    void statusTextAndGeneration();
    void statusWindowFollowsThePages();
    void pagesRenderAtAnyResolution();
    void labelShellPlacesLabelsBySheet();
    void labelShellByColumn();
    void paperFollowsTheLocaleOrTheSetup();
    void everyPageIsMarked();

private:
    QTemporaryDir dir;
};

// The folder last used for a PDF is a setting: the tests keep theirs apart.
void TestReportSystem::initTestCase()
{
    QCoreApplication::setOrganizationName("Vantrel");
    QCoreApplication::setApplicationName("Vantrel");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
}

void TestReportSystem::pdfRoundTrip()
{
    if (!ReportPdf::toolsAvailable())
        QSKIP("pdftotext is not installed");
    TReportSystem report;
    report.OnPrint = twoPages;
    const QString file = dir.filePath("round.pdf");
    report.setPresetDestination(TReportSystem::Destination::PdfFile, file);
    QCOMPARE(report.execute(), TReportSystem::Outcome::Saved);
    const QStringList pages = ReportPdf::pages(file);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains("Thursday Doubles"));
    QVERIFY(pages[0].contains(QRegularExpression("First cell\\s+Second cell")));
    QVERIFY(pages[1].contains("Page two text"));
    QCOMPARE(report.pages().size(), 2);
}

void TestReportSystem::pdfFailuresSayWhatToDo()
{
    TReportSystem report;
    report.OnPrint = twoPages;
    report.setPresetDestination(TReportSystem::Destination::PdfFile, dir.filePath("missing/folder/x.pdf"));
    try {
        report.execute();
        QFAIL("saving into a missing folder succeeded");
    } catch (const ReportError& e) {
        QVERIFY2(e.message().contains("does not exist"), qPrintable(e.message()));
    }
    report.setPresetDestination(TReportSystem::Destination::PdfFile, QString());
    QVERIFY_THROWS_EXCEPTION(ReportError, report.execute());
}

void TestReportSystem::printerWithoutPrinterIsRefused()
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed here");
    TReportSystem report;
    bool drawn = false;
    report.OnPrint = [&](ReportCanvas&) { drawn = true; };
    report.setPresetDestination(TReportSystem::Destination::Printer);
    try {
        report.execute();
        QFAIL("printing without a printer succeeded");
    } catch (const ReportError& e) {
        QCOMPARE(e.message(), TReportSystem::noPrinterMessage());
    }
    QVERIFY(!drawn);   // nothing is laid out for a printer that is not there
}

void TestReportSystem::previewGetsThePagesAndBrowses()
{
    TReportSystem report;
    report.OnPrint = twoPages;
    report.setPresetDestination(TReportSystem::Destination::Preview);
    int received = 0;
    report.previewHandler = [&](const QVector<ReportPage>& pages) { received = int(pages.size()); };
    QCOMPARE(report.execute(), TReportSystem::Outcome::Previewed);
    QCOMPARE(received, 2);

    ReportPreviewDialog preview(report, report.pages());
    QCOMPARE(preview.windowTitle(), QString("Report Preview"));
    QCOMPARE(preview.zoom(), 100.0);
    preview.showPage(5);
    QCOMPARE(preview.currentPage(), 1);
    preview.showPage(-1);
    QCOMPARE(preview.currentPage(), 0);
    preview.setZoom(1000);
    QCOMPARE(preview.zoom(), 400.0);
}

void TestReportSystem::setupDialogWritesChoices()
{
    TReportSystem report;
    report.TitleSetup = "Schedule Setup";
    report.systemSetups &= ~TReportSystem::SystemSetups(TReportSystem::ssAllowDestFile);
    {
        ReportSetupDialog dialog(report);
        QCOMPARE(dialog.windowTitle(), QString("Schedule Setup"));
        QVERIFY(!dialog.fileButton()->isEnabled());
        QVERIFY(dialog.previewButton()->isChecked());
    }
    report.systemSetups |= TReportSystem::ssAllowDestFile;
    ReportSetupDialog dialog(report);
    dialog.fileButton()->setChecked(true);
    dialog.fileEdit()->setText(dir.filePath("chosen"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(report.destination, TReportSystem::Destination::PdfFile);
    QCOMPARE(report.pdfFileName, dir.filePath("chosen.pdf"));

    if (QPrinterInfo::availablePrinters().isEmpty()) {
        ReportSetupDialog again(report);
        again.printerButton()->setChecked(true);
        QString shown;
        QTimer::singleShot(50, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        again.accept();   // refused: the dialog stays open
        QCOMPARE(shown, TReportSystem::noPrinterMessage());
        QCOMPARE(report.destination, TReportSystem::Destination::PdfFile);
    }
}

void TestReportSystem::pdfNames()
{
    using namespace PdfTarget;
    QCOMPARE(withPdfSuffix("Tues. Ladies"), QString("Tues. Ladies.pdf"));   // a dot is not a suffix
    QCOMPARE(withPdfSuffix(" spring.PDF "), QString("spring.PDF"));
    QCOMPARE(withPdfSuffix(""), QString());
    QCOMPARE(fileBaseName("Tues/Thurs: 9:00?", "Vantrel"), QString("Tues-Thurs- 9-00-"));
    QCOMPARE(fileBaseName("..hidden.", "Vantrel"), QString("hidden"));
    QCOMPARE(fileBaseName("  ", "Vantrel"), QString("Vantrel"));
    // Until a PDF was saved the home folder is proposed; then the folder used.
    QSettings().remove("Reports/PdfFolder");
    QCOMPARE(lastFolder(), QDir::homePath());
    rememberFolder(dir.filePath("x.pdf"));
    QCOMPARE(lastFolder(), dir.path());
    QCOMPARE(proposedPath("Spring League", "Vantrel"), dir.filePath("Spring League.pdf"));
}

namespace {
void writeFile(const QString& name, const QByteArray& content)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray contentOf(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}   // namespace

// The setup of one report never offers the file of the report before, and
// OK asks before it replaces a file; Return on the question keeps it.
void TestReportSystem::setupProposesTheDocumentAndAsksBeforeReplacing()
{
    PdfTarget::rememberFolder(dir.filePath("x.pdf"));
    TReportSystem report;
    report.TitleSetup = "Schedule Setup";
    report.destination = TReportSystem::Destination::PdfFile;
    report.pdfFileName = dir.filePath("Tuesday Ladies.pdf");   // saved by the report before
    report.documentName = "Spring League";
    const QString existing = dir.filePath("Spring League.pdf");
    writeFile(existing, "saved before");

    ReportSetupDialog dialog(report);
    QCOMPARE(QDir::fromNativeSeparators(dialog.fileEdit()->text()), existing);
    QString asked;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        asked = box->text();
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
        box->defaultButton()->click();
    });
    dialog.accept();
    QCOMPARE(asked, PdfTarget::replaceQuestion(existing));
    QVERIFY(dialog.result() != QDialog::Accepted);   // still open, nothing chosen
    QCOMPARE(report.pdfFileName, dir.filePath("Tuesday Ladies.pdf"));

    // Yes replaces; a name typed without ".pdf" gets it, and the question is about that file.
    dialog.fileEdit()->setText(dir.filePath("Spring League"));
    whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(report.pdfFileName, existing);

    // A new name needs no question, and its folder is proposed next time.
    QDir(dir.path()).mkdir("league");
    ReportSetupDialog next(report);
    next.fileEdit()->setText(dir.filePath("league/Spring League"));
    next.accept();
    QCOMPARE(next.result(), int(QDialog::Accepted));
    QCOMPARE(report.pdfFileName, dir.filePath("league/Spring League.pdf"));
    QCOMPARE(PdfTarget::lastFolder(), dir.filePath("league"));
}

void TestReportSystem::previewSaveProposesTheDocumentAndAsks()
{
    PdfTarget::rememberFolder(dir.filePath("x.pdf"));
    TReportSystem report;
    report.OnPrint = twoPages;
    report.documentName = "Thursday Doubles";
    report.pdfFileName = dir.filePath("Vantrel.pdf");
    const QString existing = dir.filePath("Thursday Doubles.pdf");
    writeFile(existing, "saved before");
    ReportPreviewDialog preview(report, report.generate());
    QToolButton* save = nullptr;
    for (QToolButton* b : preview.findChildren<QToolButton*>())
        if (b->text() == "&Save as PDF...")
            save = b;
    QVERIFY(save);

    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString proposed;
        whenModal<QFileDialog>([&](QFileDialog* files) {
            proposed = files->selectedFiles().value(0);
            whenModal<QMessageBox>([answer](QMessageBox* box) { box->button(answer)->click(); });
            files->selectFile(dir.filePath("Thursday Doubles"));   // typed without ".pdf"
            static_cast<QDialog*>(files)->accept();
        });
        save->click();
        QCOMPARE(proposed, existing);
        if (answer == QMessageBox::No)
            QCOMPARE(contentOf(existing), QByteArray("saved before"));
    }
    QVERIFY(contentOf(existing).startsWith("%PDF"));
}

void TestReportSystem::statusTextAndGeneration()
{
    QCOMPARE(TReportSystem::statusText("Generating page %p", 12), QString("Generating page 12"));
    TReportSystem report;
    int calls = 0;
    report.OnPrint = [&](ReportCanvas& c) {
        ++calls;
        c.println("a");
        c.newPage();
        c.newPage();
    };
    QCOMPARE(report.generate().size(), 3);
    QCOMPARE(report.generate().size(), 3);   // every run starts afresh
    QCOMPARE(calls, 2);
}

void TestReportSystem::statusWindowFollowsThePages()
{
    TReportSystem report;
    report.TitleStatus = "Schedule Status";
    report.systemSetups &= ~TReportSystem::SystemSetups(TReportSystem::ssAllowSetup);   // no setup dialog
    report.previewHandler = [](const QVector<ReportPage>&) {};
    QStringList seen;
    auto statusText = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* s = qobject_cast<ReportStatusWindow*>(w); s && s->isVisible())
                seen << s->windowTitle() + ": " + s->text();
    };
    report.OnPrint = [&](ReportCanvas& c) {
        statusText();
        c.newPage();
        statusText();
    };
    report.execute();
    QCOMPARE(seen, (QStringList{"Schedule Status: Generating page 1", "Schedule Status: Generating page 2"}));
}

void TestReportSystem::pagesRenderAtAnyResolution()
{
    ReportCanvas c;
    c.setPen(Qt::black, Qt::SolidLine, 1);
    c.setTab(1.0, ReportCanvas::Justify::Left, 2.0, 0, ReportCanvas::BoxTop, 50);
    c.setYPos(1.0);
    c.tab(ReportCanvas::LineAsIs, ReportCanvas::LineAsIs, -5);   // 0.05 inch top line
    for (double dpi : {72.0, 150.0}) {
        const QImage img = PagePainter::image(c.pages().first(), PaperGeometry{}, dpi);
        QCOMPARE(img.width(), qRound(8.5 * dpi));
        // The heavy line covers about 0.05 inch around y = 1.0 at every resolution.
        const int x = qRound(2.0 * dpi);
        int dark = 0;
        for (int y = qRound(0.9 * dpi); y < qRound(1.1 * dpi); ++y)
            if (qGray(img.pixel(x, y)) < 60)
                ++dark;
        QVERIFY2(qAbs(dark - 0.05 * dpi) <= 2, qPrintable(QString("%1 at %2 dpi").arg(dark).arg(dpi)));
        // Half-shaded cell below it.
        const int grey = qGray(img.pixel(x, qRound((1.0 + c.lineHeight() * 0.7) * dpi)));
        QVERIFY(grey > 100 && grey < 160);
    }
}

void TestReportSystem::labelShellPlacesLabelsBySheet()
{
    TLabelShell shell;
    QCOMPARE(shell.brand(), TLabelShell::lbAV8160);
    QCOMPARE(shell.labelsPerSheet(), 30);
    ReportCanvas c;
    int remaining = 31;
    QList<QPointF> origins;
    QList<int> pageOf;
    shell.OnLabelPrint = [&](ReportCanvas& rc, TLabelShell&, bool&) {
        origins << QPointF(rc.xPos(), rc.yPos());
        pageOf << rc.pageNumber();
        rc.println(QString("label %1").arg(origins.size()));
    };
    shell.OnLabelAfter = [&](ReportCanvas&, TLabelShell&, bool& valid) { valid = --remaining > 0; };
    shell.print(c);
    QCOMPARE(origins.size(), 31);
    QCOMPARE(c.pageNumber(), 2);
    QCOMPARE(pageOf[29], 1);
    QCOMPARE(pageOf[30], 2);
    const double m = shell.InnerMarginLeft, t = shell.InnerMarginTop;
    QCOMPARE(origins[0], QPointF(0.188 + m, 0.5 + t));
    QCOMPARE(origins[2], QPointF(0.188 + 2 * 2.75 + m, 0.5 + t));
    QCOMPARE(origins[3], QPointF(0.188 + m, 1.5 + t));
    QCOMPARE(origins[29], QPointF(0.188 + 2 * 2.75 + m, 9.5 + t));
    QCOMPARE(origins[30], origins[0]);
    QCOMPARE(c.pages()[1].texts().size(), 1);
    // Writing is limited to the label (the last one, top left of sheet 2).
    QCOMPARE(c.sectionRight(), 0.188 + 2.625 - shell.InnerMarginRight);
}

void TestReportSystem::labelShellByColumn()
{
    TLabelShell shell;
    shell.setBrand(TLabelShell::lbCustom);
    shell.NumAcross = 2;
    shell.NumDown = 2;
    shell.PrintByRow = false;
    ReportCanvas c;
    QList<QPair<int, int>> cells;
    shell.OnLabelAfter = [&](ReportCanvas&, TLabelShell& s, bool& valid) {
        cells << qMakePair(s.row(), s.column());
        valid = cells.size() < 3;
    };
    shell.print(c);
    const QList<QPair<int, int>> expected{{1, 1}, {2, 1}, {1, 2}};
    QCOMPARE(cells, expected);
    QCOMPARE(c.pageNumber(), 1);

    shell.setBrand(TLabelShell::lbAV5160);
    QCOMPARE(shell.NumAcross, 3);
    QCOMPARE(shell.SpacingLeft, 0.188);
    QVERIFY(shell.PrintByRow);
}

void TestReportSystem::paperFollowsTheLocaleOrTheSetup()
{
    using PaperChoice::Paper;
    QCOMPARE(PaperChoice::paperOf(QLocale(QLocale::German, QLocale::Germany)), Paper::A4);
    QCOMPARE(PaperChoice::currencyOf(QLocale(QLocale::German, QLocale::Germany)), QString(QChar(0x20AC)));
    QCOMPARE(PaperChoice::paperOf(QLocale(QLocale::English, QLocale::UnitedStates)), Paper::Letter);
    QCOMPARE(PaperChoice::currencyOf(QLocale(QLocale::English, QLocale::UnitedStates)), QString("$"));

    TReportSystem report;   // this system's C locale: Letter
    QCOMPARE(report.paper.width, 8.5);
    ReportSetupDialog dialog(report);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.paperBox()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    dialog.currencyBox()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);   // "$" is this system's: "€" follows
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(report.paper, PaperChoice::geometry(Paper::A4));
    QCOMPARE(TReportSystem().paper, PaperChoice::geometry(Paper::A4));   // kept for the reports after
    QCOMPARE(PaperChoice::currency(), QString(QChar(0x20AC)));
    PaperChoice::choosePaper(std::nullopt);
    PaperChoice::chooseCurrency(QString());
}

// The heading and "Page N of M" at the foot of every page, below all the
// report wrote, on each page's own sheet.
void TestReportSystem::everyPageIsMarked()
{
    TReportSystem report;
    report.pageHeading = "Thursday Doubles";
    report.OnPrint = [](ReportCanvas& c) {
        twoPages(c);
        while (c.linesLeft() > 0)
            c.println("filler");
        c.newPage();
        c.setPaper(c.paperGeometry().turned());
        c.print("turned");
    };
    const QVector<ReportPage> pages = report.generate();
    QCOMPARE(pages.size(), 3);
    for (int i = 0; i < pages.size(); ++i) {
        const QVector<TextOp> texts = pages[i].texts();
        const TextOp number = texts.last(), heading = texts[texts.size() - 2];
        QCOMPARE(number.text, QString("Page %1 of 3").arg(i + 1));
        QCOMPARE(heading.text, QString("Thursday Doubles"));
        QCOMPARE(heading.x, 0.5);
        QVERIFY(qAbs(number.x + number.width - (pages[i].paper.width - 0.5)) < 1e-9);
        QVERIFY(number.baseline < pages[i].paper.height - 0.25);
        for (int t = 0; t < texts.size() - 2; ++t)
            QVERIFY2(texts[t].baseline + ReportFonts::descent(texts[t].font) <=
                         heading.baseline - ReportFonts::ascent(heading.font) + 1e-9,
                     qPrintable(texts[t].text));
    }
    QVERIFY(pages[2].paper.landscape() && !pages[1].paper.landscape());
}

QTEST_MAIN(TestReportSystem)
#include "tst_reportsystem.moc"
