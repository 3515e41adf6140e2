#pragma once
#include "pageops.h"
#include "reportcanvas.h"
#include <QObject>
#include <QPageLayout>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

// One report: its settings, and the run that asks where the pages go,
// lays them out through OnPrint and shows, prints or saves them.
class TReportSystem : public QObject {
    Q_OBJECT
public:
    enum SystemSetup {
        ssAllowSetup = 0x1,
        ssAllowCopies = 0x2,
        ssAllowCollate = 0x4,
        ssAllowDuplex = 0x8,
        ssAllowDestPreview = 0x10,
        ssAllowDestPrinter = 0x20,
        ssAllowPrinterSetup = 0x40,
        ssAllowPreviewSetup = 0x80,
        ssAllowDestFile = 0x100,   // PDF file
    };
    Q_DECLARE_FLAGS(SystemSetups, SystemSetup)
    enum SystemOption {
        soShowStatus = 0x1,
        soAllowPrintFromPreview = 0x2,
        soPreviewModal = 0x4,
        soAllowSaveFromPreview = 0x8,
    };
    Q_DECLARE_FLAGS(SystemOptions, SystemOption)
    enum class Destination { Preview, Printer, PdfFile };
    enum class FormState { Normal, Maximized };
    enum class Outcome { Cancelled, Previewed, Printed, Saved };

    explicit TReportSystem(QObject* parent = nullptr);
    ~TReportSystem() override;

    // --- settings ---
    QString TitleSetup = "Report Setup";
    QString TitleStatus = "Report Status";
    QString TitlePreview = "Report Preview";
    SystemSetups systemSetups = SystemSetups(0x1FF);
    SystemOptions systemOptions = SystemOptions(soShowStatus | soAllowPrintFromPreview | soPreviewModal);
    QString filerStatusFormat = "Generating page %p";
    QString printerStatusFormat = "Printing page %p";
    FormState previewFormState = FormState::Maximized;
    double previewZoom = 100.0;
    ReportCanvas::Margins margins;
    double scaleX = 100.0, scaleY = 100.0;
    double unitsFactor = 1.0;          // report units per inch
    QString printerTitle = "Report";   // print job and PDF title
    // What the pages are of (a group's name): the file name proposed for a PDF.
    QString documentName;
    PaperGeometry paper;   // Letter until a printer setup says otherwise
    // What every page names beside "Page N of M" (a group's name); empty
    // leaves the pages unmarked.
    QString pageHeading;

    std::function<void(ReportCanvas&)> OnPrint;

    // --- output settings the setup dialog edits ---
    Destination destination = Destination::Preview;
    QString pdfFileName;
    int copies = 1;
    bool collate = true;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;

    // Skips the setup dialog: the pages go straight to `dest` (tests, batch
    // output). A PDF needs the file name.
    void setPresetDestination(Destination dest, const QString& pdfFile = {});
    // The document's name as a PDF in the folder used last.
    QString proposedPdfPath() const;
    void clearPresetDestination() { preset = false; }

    // The whole run; a failure to print or save is a ReportError.
    Outcome execute(QWidget* parent = nullptr);

    // Lays the pages out without showing anything.
    QVector<ReportPage> generate();
    // The pages of the last run.
    const QVector<ReportPage>& pages() const { return lastPages; }

    // Text of a status format for a page ("Generating page 3").
    static QString statusText(const QString& format, int page);

    // --- devices ---
    QPrinter& printer();
    static bool printerInstalled();
    static QString noPrinterMessage();
    // `showStatus` shows the status window (over `parent`) while printing.
    void printPages(const QVector<ReportPage>& pages, bool showStatus, QWidget* parent = nullptr);
    void savePdf(const QVector<ReportPage>& pages, const QString& fileName) const;

    // Replaces the preview (tests); receives the pages instead of a window.
    std::function<void(const QVector<ReportPage>&)> previewHandler;

private:
    QVector<ReportPage> generateWithStatus(bool showStatus, QWidget* parent);
    void showPreview(QWidget* parent);
    bool showSetup(QWidget* parent);
    void applyPrinterSettings();

    bool preset = false;
    QVector<ReportPage> lastPages;
    std::unique_ptr<QPrinter> printerDevice;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TReportSystem::SystemSetups)
Q_DECLARE_OPERATORS_FOR_FLAGS(TReportSystem::SystemOptions)

using ReportSystem = TReportSystem;
