#include "previewdialog.h"
#include "pagepainter.h"
#include "pdftarget.h"
#include "reporterror.h"
#include "reportsystem.h"
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const double zoomSteps[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};
}

ReportPreviewDialog::ReportPreviewDialog(TReportSystem& r, QVector<ReportPage> p, QWidget* parent)
    : QDialog(parent), report(r), pages(std::move(p))
{
    setWindowTitle(report.TitlePreview);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto button = [this](const QString& text, const QString& tip) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    btnFirst = button("|<", tr("First page (Home)"));
    btnPrior = button("<", tr("Previous page (Page Up)"));
    btnNext = button(">", tr("Next page (Page Down)"));
    btnLast = button(">|", tr("Last page (End)"));
    pageLabel = new QLabel;
    auto* zoomOut = button("-", tr("Zoom out (-)"));
    auto* zoomIn = button("+", tr("Zoom in (+)"));
    zoomBox = new QComboBox;
    for (double z : zoomSteps)
        zoomBox->addItem(QString::number(z) + " %", z);
    zoomBox->addItem(tr("Page width"), -1.0);
    zoomBox->addItem(tr("Whole page"), -2.0);
    auto* btnPrint = new QToolButton;
    btnPrint->setText(tr("&Print..."));
    btnPrint->setEnabled(report.systemOptions & TReportSystem::soAllowPrintFromPreview);
    auto* btnSave = new QToolButton;
    btnSave->setText(tr("&Save as PDF..."));
    auto* btnClose = new QToolButton;
    btnClose->setText(tr("&Close"));

    auto* bar = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(btnFirst), static_cast<QWidget*>(btnPrior), static_cast<QWidget*>(pageLabel),
          static_cast<QWidget*>(btnNext), static_cast<QWidget*>(btnLast)})
        bar->addWidget(w);
    bar->addSpacing(16);
    bar->addWidget(zoomOut);
    bar->addWidget(zoomBox);
    bar->addWidget(zoomIn);
    bar->addStretch(1);
    bar->addWidget(btnPrint);
    bar->addWidget(btnSave);
    bar->addWidget(btnClose);

    pageView = new QLabel;
    pageView->setAlignment(Qt::AlignCenter);
    scroll = new QScrollArea;
    scroll->setWidget(pageView);
    scroll->setWidgetResizable(true);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(scroll, 1);

    connect(btnFirst, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(btnPrior, &QToolButton::clicked, this, [this] { showPage(page - 1); });
    connect(btnNext, &QToolButton::clicked, this, [this] { showPage(page + 1); });
    connect(btnLast, &QToolButton::clicked, this, [this] { showPage(int(pages.size()) - 1); });
    connect(zoomIn, &QToolButton::clicked, this, [this] { setZoom(zoomPercent * 1.25); });
    connect(zoomOut, &QToolButton::clicked, this, [this] { setZoom(zoomPercent / 1.25); });
    connect(zoomBox, &QComboBox::activated, this, &ReportPreviewDialog::zoomChosen);
    connect(btnPrint, &QToolButton::clicked, this, &ReportPreviewDialog::printFromPreview);
    connect(btnSave, &QToolButton::clicked, this, &ReportPreviewDialog::saveFromPreview);
    connect(btnClose, &QToolButton::clicked, this, &QDialog::accept);

    resize(900, 700);
    zoomPercent = report.previewZoom > 0 ? report.previewZoom : 100.0;
    showPage(0);
}

double ReportPreviewDialog::screenDpi() const
{
    const QScreen* s = screen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

void ReportPreviewDialog::showPage(int index)
{
    page = qBound(0, index, qMax(0, int(pages.size()) - 1));
    render();
}

void ReportPreviewDialog::setZoom(double percent)
{
    zoomPercent = qBound(10.0, percent, 400.0);
    render();
}

void ReportPreviewDialog::zoomChosen(int index)
{
    const double choice = zoomBox->itemData(index).toDouble();
    const QSize room = scroll->viewport()->size() - QSize(24, 24);
    const double dpi = screenDpi();
    const PaperGeometry sheet = pages.isEmpty() ? report.paper : pages[page].paper;
    if (choice == -1.0)
        setZoom(100.0 * room.width() / (sheet.width * dpi));
    else if (choice == -2.0)
        setZoom(100.0 * qMin(room.width() / (sheet.width * dpi), room.height() / (sheet.height * dpi)));
    else
        setZoom(choice);
}

void ReportPreviewDialog::render()
{
    const int count = int(pages.size());
    pageLabel->setText(tr("Page %1 of %2").arg(count ? page + 1 : 0).arg(count));
    btnFirst->setEnabled(page > 0);
    btnPrior->setEnabled(page > 0);
    btnNext->setEnabled(page + 1 < count);
    btnLast->setEnabled(page + 1 < count);
    zoomBox->setEditText(QString::number(qRound(zoomPercent)) + " %");
    const int i = zoomBox->findData(zoomPercent);
    if (i >= 0)
        zoomBox->setCurrentIndex(i);
    if (!count) {
        pageView->setText(tr("The report has no pages."));
        return;
    }
    const double dpi = screenDpi() * zoomPercent / 100.0;
    // The preview shows the pages scaled as they will print.
    const PagePainter::Scale scale{report.scaleX / 100.0, report.scaleY / 100.0};
    pageView->setPixmap(QPixmap::fromImage(PagePainter::image(pages[page], pages[page].paper, dpi, scale)));
}

void ReportPreviewDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageDown: showPage(page + 1); return;
    case Qt::Key_PageUp: showPage(page - 1); return;
    case Qt::Key_Home: showPage(0); return;
    case Qt::Key_End: showPage(int(pages.size()) - 1); return;
    case Qt::Key_Plus: setZoom(zoomPercent * 1.25); return;
    case Qt::Key_Minus: setZoom(zoomPercent / 1.25); return;
    default: QDialog::keyPressEvent(event);
    }
}

void ReportPreviewDialog::printFromPreview()
{
    if (!TReportSystem::printerInstalled()) {
        QMessageBox::warning(this, report.TitlePreview, TReportSystem::noPrinterMessage());
        return;
    }
    QPrintDialog dialog(&report.printer(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        report.printPages(pages, true, this);
    } catch (const ReportError& e) {
        QMessageBox::warning(this, report.TitlePreview, e.message());
    }
}

void ReportPreviewDialog::saveFromPreview()
{
    // The replace question is ours, because ".pdf" may still be added to the name.
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("Save as PDF"), report.proposedPdfPath(), tr("PDF files (*.pdf)"),
                                     nullptr, QFileDialog::DontConfirmOverwrite);
    const QString name = PdfTarget::withPdfSuffix(chosen);
    if (name.isEmpty() || !PdfTarget::confirmReplace(this, report.TitlePreview, name))
        return;
    try {
        report.savePdf(pages, name);
        report.pdfFileName = name;
        PdfTarget::rememberFolder(name);
    } catch (const ReportError& e) {
        QMessageBox::warning(this, report.TitlePreview, e.message());
    }
}
