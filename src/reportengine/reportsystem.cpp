#include "reportsystem.h"
#include "pagepainter.h"
#include "paperchoice.h"
#include "pdftarget.h"
#include "previewdialog.h"
#include "reporterror.h"
#include "setupdialog.h"
#include "statuswindow.h"
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QBuffer>
#include <QPdfWriter>
#include <QSaveFile>
#include <QPrinterInfo>

namespace {
// The page's own sheet, either way up.
QPageLayout layoutOf(const PaperGeometry& sheet)
{
    const QSizeF upright(qMin(sheet.width, sheet.height), qMax(sheet.width, sheet.height));
    return QPageLayout(QPageSize(upright, QPageSize::Inch),
                       sheet.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

// A PDF is drawn at the resolution of a good laser printer; a pen of one
// device pixel then prints as a fine but visible line.
constexpr int pdfResolution = 600;
}   // namespace

TReportSystem::TReportSystem(QObject* parent) : QObject(parent), paper(PaperChoice::geometry(PaperChoice::paper())) {}
TReportSystem::~TReportSystem() = default;

void TReportSystem::setPresetDestination(Destination dest, const QString& pdfFile)
{
    preset = true;
    destination = dest;
    pdfFileName = pdfFile;
}

QString TReportSystem::proposedPdfPath() const
{
    return PdfTarget::proposedPath(documentName, printerTitle);
}

QString TReportSystem::statusText(const QString& format, int page)
{
    QString text = format;
    return text.replace("%p", QString::number(page));
}

bool TReportSystem::printerInstalled()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

QString TReportSystem::noPrinterMessage()
{
    return tr("No printer is installed on this computer. Install a printer, or choose Preview or PDF file "
              "as the destination.");
}

QPrinter& TReportSystem::printer()
{
    if (!printerDevice) {
        printerDevice = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printerDevice->setFullPage(true);
        printerDevice->setPageSize(QPageSize(QSizeF(paper.width, paper.height), QPageSize::Inch));
    }
    return *printerDevice;
}

QVector<ReportPage> TReportSystem::generate()
{
    return generateWithStatus(false, nullptr);
}

QVector<ReportPage> TReportSystem::generateWithStatus(bool showStatus, QWidget* parent)
{
    std::unique_ptr<ReportStatusWindow> status;
    if (showStatus && (systemOptions & soShowStatus))
        status = std::make_unique<ReportStatusWindow>(TitleStatus, parent);
    ReportCanvas canvas(paper, margins, unitsFactor);
    if (!pageHeading.isEmpty())
        canvas.reserveBottom(ReportCanvas::pageMarkHeight);
    if (status) {
        canvas.pageStarted = [&](int page) { status->showStatus(statusText(filerStatusFormat, page)); };
        canvas.pageStarted(1);
    }
    if (OnPrint)
        OnPrint(canvas);
    if (!pageHeading.isEmpty())
        canvas.addPageMarks(pageHeading);
    lastPages = canvas.pages();
    return lastPages;
}

void TReportSystem::applyPrinterSettings()
{
    QPrinter& p = printer();
    if (p.outputFormat() != QPrinter::NativeFormat) {
        // A page setup made without a printer used the PDF device.
        const QPageLayout layout = p.pageLayout();
        p.setOutputFormat(QPrinter::NativeFormat);
        p.setPageLayout(layout);
    }
    p.setDocName(printerTitle);
    p.setCopyCount(copies);
    p.setCollateCopies(collate);
    p.setDuplex(duplex);
}

void TReportSystem::printPages(const QVector<ReportPage>& pageList, bool showStatus, QWidget* parent)
{
    if (!printerInstalled())
        throw ReportError(noPrinterMessage());
    applyPrinterSettings();
    QPrinter& p = printer();
    std::unique_ptr<ReportStatusWindow> status;
    if (showStatus && (systemOptions & soShowStatus))
        status = std::make_unique<ReportStatusWindow>(TitleStatus, parent);
    QPainter painter;
    if (!painter.begin(&p))
        throw ReportError(tr("The printer %1 could not be started. Check that it is switched on and ready, "
                             "then print again.")
                              .arg(p.printerName()));
    const double dpi = p.resolution();
    for (int i = 0; i < pageList.size(); ++i) {
        if (status)
            status->showStatus(statusText(printerStatusFormat, i + 1));
        if (i == 0 || !(pageList[i].paper == pageList[i - 1].paper))
            p.setPageLayout(layoutOf(pageList[i].paper));
        if (i > 0)
            p.newPage();
        PagePainter::draw(painter, pageList[i], dpi, {}, {scaleX / 100.0, scaleY / 100.0});
    }
    painter.end();
}

void TReportSystem::savePdf(const QVector<ReportPage>& pageList, const QString& fileName) const
{
    const QFileInfo target(fileName);
    if (fileName.trimmed().isEmpty())
        throw ReportError(tr("Enter the name of the PDF file to save the report in."));
    if (!QFileInfo(target.absolutePath()).isDir())
        throw ReportError(tr("The folder %1 does not exist. Choose another folder for the PDF file.")
                              .arg(QDir::toNativeSeparators(target.absolutePath())));
    // Drawn in memory, then written beside the target and put in its place
    // only when every byte reached the disk: a full disk leaves no
    // half-written file and is reported, not hidden.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(pdfResolution);
        writer.setPageLayout(layoutOf(pageList.isEmpty() ? paper : pageList.first().paper));
        writer.setTitle(printerTitle);
        writer.setCreator("Vantrel");
        QPainter painter;
        if (!painter.begin(&writer))
            throw ReportError(tr("The report could not be drawn as a PDF file."));
        for (int i = 0; i < pageList.size(); ++i) {
            if (i > 0 && !(pageList[i].paper == pageList[i - 1].paper))
                writer.setPageLayout(layoutOf(pageList[i].paper));
            if (i > 0)
                writer.newPage();
            PagePainter::draw(painter, pageList[i], writer.resolution(), {}, {scaleX / 100.0, scaleY / 100.0});
        }
        painter.end();
    }
    QSaveFile file(fileName);
    const bool opened = file.open(QIODevice::WriteOnly);
    const QString openError = file.errorString();
    const bool written = opened && file.write(pdf.data()) == pdf.data().size() && file.flush() && file.commit();
    if (!written) {
        // Once open, a write that does not reach the disk is nearly always a full disk.
        const QString reason = opened ? tr("the disk may be full") : openError;
        file.cancelWriting();
        throw ReportError(tr("The file %1 could not be written (%2); nothing was saved. Check that the disk has "
                             "free space, that the file is not open in another program and that the folder may be "
                             "written, then save again.")
                              .arg(QDir::toNativeSeparators(fileName), reason));
    }
}

bool TReportSystem::showSetup(QWidget* parent)
{
    if (preset || !(systemSetups & ssAllowSetup))
        return true;
    ReportSetupDialog dialog(*this, parent);
    return dialog.exec() == QDialog::Accepted;
}

void TReportSystem::showPreview(QWidget* parent)
{
    if (previewHandler) {
        previewHandler(lastPages);
        return;
    }
    auto* preview = new ReportPreviewDialog(*this, lastPages, parent);
    if (systemOptions & soPreviewModal) {
        std::unique_ptr<ReportPreviewDialog> owner(preview);
        if (previewFormState == FormState::Maximized)
            preview->setWindowState(Qt::WindowMaximized);
        preview->exec();
    } else {
        preview->setAttribute(Qt::WA_DeleteOnClose);
        if (previewFormState == FormState::Maximized)
            preview->showMaximized();
        else
            preview->show();
    }
}

TReportSystem::Outcome TReportSystem::execute(QWidget* parent)
{
    if (!showSetup(parent))
        return Outcome::Cancelled;
    if (destination == Destination::Printer) {
        if (!printerInstalled())
            throw ReportError(noPrinterMessage());
        // Lay out on the paper the printer was set up with.
        const QSizeF size = printer().pageLayout().fullRect(QPageLayout::Inch).size();
        if (size.width() > 0 && size.height() > 0)
            paper = PaperGeometry{size.width(), size.height()};
    }
    // Runs with a preset destination (tests, batch output) show no windows.
    generateWithStatus(!preset, parent);
    switch (destination) {
    case Destination::Preview: showPreview(parent); return Outcome::Previewed;
    case Destination::Printer: printPages(lastPages, !preset, parent); return Outcome::Printed;
    case Destination::PdfFile: savePdf(lastPages, pdfFileName); return Outcome::Saved;
    }
    return Outcome::Cancelled;
}
