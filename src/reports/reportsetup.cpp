#include "reportsetup.h"

void setUpReport(TReportSystem& report, const QString& name, const PageMargins& margins,
                 std::function<void(ReportCanvas&)> onPrint)
{
    using RS = TReportSystem;
    report.TitleSetup = name + " Setup";
    report.TitleStatus = name + " Status";
    report.TitlePreview = name + " Preview";
    // Saving as a PDF file goes beyond printing and preview, and is welcome.
    report.systemSetups = RS::ssAllowSetup | RS::ssAllowCopies | RS::ssAllowCollate | RS::ssAllowDuplex |
                          RS::ssAllowDestPreview | RS::ssAllowDestPrinter | RS::ssAllowPrinterSetup |
                          RS::ssAllowPreviewSetup | RS::ssAllowDestFile;
    report.systemOptions = RS::soShowStatus | RS::soPreviewModal | RS::soAllowPrintFromPreview;
    report.filerStatusFormat = "Generating page %p";
    report.printerStatusFormat = "Printing page %p";
    report.previewFormState = RS::FormState::Maximized;
    report.previewZoom = 100.0;
    report.margins = margins;
    report.scaleX = report.scaleY = 100.0;
    report.unitsFactor = 1.0;
    report.printerTitle = "Vantrel";
    report.OnPrint = std::move(onPrint);
}
