#pragma once
#include "pageops.h"
#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolButton;
class TReportSystem;

// The pages as they will come out of the printer: browsable, zoomable, and
// printable or savable from here when the report allows it.
class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(TReportSystem& report, QVector<ReportPage> pages, QWidget* parent = nullptr);

    int currentPage() const { return page; }   // 0-based
    double zoom() const { return zoomPercent; }
    void showPage(int index);
    void setZoom(double percent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void render();
    void printFromPreview();
    void saveFromPreview();
    void zoomChosen(int index);
    double screenDpi() const;

    TReportSystem& report;
    QVector<ReportPage> pages;
    int page = 0;
    double zoomPercent = 100.0;
    QScrollArea* scroll;
    QLabel* pageView;
    QLabel* pageLabel;
    QComboBox* zoomBox;
    QToolButton *btnFirst, *btnPrior, *btnNext, *btnLast;
};
