#include "setupdialog.h"
#include "paperchoice.h"
#include "pdftarget.h"
#include "reportsystem.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using RS = TReportSystem;

ReportSetupDialog::ReportSetupDialog(TReportSystem& r, QWidget* parent) : QDialog(parent), report(r)
{
    setWindowTitle(report.TitleSetup);
    const auto setups = report.systemSetups;

    auto* destBox = new QGroupBox(tr("Destination"));
    rbPreview = new QRadioButton(tr("Pre&view"));
    rbPrinter = new QRadioButton(tr("P&rinter"));
    rbFile = new QRadioButton(tr("PDF &file"));
    // Each report proposes its own file, so that OK never writes over the
    // file of the report before.
    edFile = new QLineEdit(QDir::toNativeSeparators(report.proposedPdfPath()));
    edFile->setAccessibleName(tr("PDF file name"));
    btnBrowse = new QPushButton(tr("&Browse..."));
    lblPrinter = new QLabel;
    rbPreview->setEnabled(setups & RS::ssAllowDestPreview);
    rbPrinter->setEnabled(setups & RS::ssAllowDestPrinter);
    rbFile->setEnabled(setups & RS::ssAllowDestFile);
    auto* group = new QButtonGroup(this);
    group->addButton(rbPreview);
    group->addButton(rbPrinter);
    group->addButton(rbFile);
    switch (report.destination) {
    case RS::Destination::Preview: rbPreview->setChecked(true); break;
    case RS::Destination::Printer: rbPrinter->setChecked(true); break;
    case RS::Destination::PdfFile: rbFile->setChecked(true); break;
    }
    if (!group->checkedButton() || !group->checkedButton()->isEnabled())
        for (QAbstractButton* b : group->buttons())
            if (b->isEnabled()) {
                b->setChecked(true);
                break;
            }
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(edFile, 1);
    fileRow->addWidget(btnBrowse);
    auto* destLayout = new QVBoxLayout(destBox);
    destLayout->addWidget(rbPreview);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(rbPrinter);
    printerRow->addWidget(lblPrinter, 1);
    destLayout->addLayout(printerRow);
    destLayout->addWidget(rbFile);
    destLayout->addLayout(fileRow);

    auto* copiesBox = new QGroupBox(tr("Copies"));
    spCopies = new QSpinBox;
    spCopies->setRange(1, 999);
    spCopies->setValue(report.copies);
    spCopies->setEnabled(setups & RS::ssAllowCopies);
    cbCollate = new QCheckBox(tr("&Collate"));
    cbCollate->setChecked(report.collate);
    cbCollate->setEnabled(setups & RS::ssAllowCollate);
    cbDuplex = new QComboBox;
    cbDuplex->addItem(tr("One side"), int(QPrinter::DuplexNone));
    cbDuplex->addItem(tr("Both sides, long edge"), int(QPrinter::DuplexLongSide));
    cbDuplex->addItem(tr("Both sides, short edge"), int(QPrinter::DuplexShortSide));
    cbDuplex->setCurrentIndex(qMax(0, cbDuplex->findData(int(report.duplex))));
    cbDuplex->setEnabled(setups & RS::ssAllowDuplex);
    auto* copiesLayout = new QFormLayout(copiesBox);
    copiesLayout->addRow(tr("Number of c&opies:"), spCopies);
    copiesLayout->addRow(QString(), cbCollate);
    copiesLayout->addRow(tr("&Duplex:"), cbDuplex);

    spZoom = new QSpinBox;
    spZoom->setRange(25, 400);
    spZoom->setSuffix(" %");
    spZoom->setValue(qRound(report.previewZoom));
    spZoom->setEnabled(setups & RS::ssAllowPreviewSetup);
    copiesLayout->addRow(tr("Preview &zoom:"), spZoom);
    cbPaper = new QComboBox;
    cbPaper->addItem(tr("Letter (8.5 x 11 in)"), int(PaperChoice::Paper::Letter));
    cbPaper->addItem(tr("A4 (210 x 297 mm)"), int(PaperChoice::Paper::A4));
    lblPaper = new QLabel;
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(cbPaper);
    paperRow->addWidget(lblPaper, 1);
    copiesLayout->addRow(tr("P&aper:"), paperRow);
    cbCurrency = new QComboBox;
    cbCurrency->setEditable(true);
    cbCurrency->setMaxCount(8);
    for (const QString& sign : {PaperChoice::currencyOf(QLocale::system()), QString("$"), QString(QChar(0x20AC))})
        if (cbCurrency->findText(sign) < 0)
            cbCurrency->addItem(sign);
    cbCurrency->setCurrentText(PaperChoice::currency());
    copiesLayout->addRow(tr("C&urrency sign:"), cbCurrency);

    btnPrinterSetup = new QPushButton(tr("&Printer Setup..."));
    btnPrinterSetup->setEnabled(setups & RS::ssAllowPrinterSetup);
    btnPageSetup = new QPushButton(tr("Pa&ge Setup..."));
    btnPageSetup->setEnabled(setups & RS::ssAllowPrinterSetup);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(btnPrinterSetup, QDialogButtonBox::ActionRole);
    buttons->addButton(btnPageSetup, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(destBox);
    layout->addWidget(copiesBox);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btnBrowse, &QPushButton::clicked, this, &ReportSetupDialog::browseFile);
    connect(btnPrinterSetup, &QPushButton::clicked, this, &ReportSetupDialog::printerSetup);
    connect(btnPageSetup, &QPushButton::clicked, this, &ReportSetupDialog::pageSetup);
    connect(group, &QButtonGroup::buttonToggled, this, &ReportSetupDialog::updateEnabled);
    connect(cbPaper, &QComboBox::activated, this, [this] {
        report.paper = PaperChoice::geometry(PaperChoice::Paper(cbPaper->currentData().toInt()));
        showPaper();
    });
    showPrinterName();
    updateEnabled();
    showPaper();
}

// A sheet that is neither Letter nor A4 (from a printer's setup) is shown by its size.
void ReportSetupDialog::showPaper()
{
    const std::optional<PaperChoice::Paper> named = PaperChoice::paperNamed(report.paper);
    if (named)
        cbPaper->setCurrentIndex(cbPaper->findData(int(*named)));
    lblPaper->setText(named ? QString() : tr("%1 x %2 in").arg(report.paper.width).arg(report.paper.height));
}

// The pages are laid out on the paper chosen in the printer or page setup.
void ReportSetupDialog::takePaperFromPrinter()
{
    const QSizeF size = report.printer().pageLayout().fullRect(QPageLayout::Inch).size();
    if (size.width() > 0 && size.height() > 0)
        report.paper = PaperGeometry{size.width(), size.height()};
    showPaper();
}

void ReportSetupDialog::pageSetup()
{
    // Without a printer the paper can still be chosen, for the preview and PDF.
    if (!RS::printerInstalled())
        report.printer().setOutputFormat(QPrinter::PdfFormat);
    QPageSetupDialog dialog(&report.printer(), this);
    if (dialog.exec() == QDialog::Accepted)
        takePaperFromPrinter();
}

void ReportSetupDialog::showPrinterName()
{
    lblPrinter->setText(RS::printerInstalled() ? report.printer().printerName() : tr("(no printer installed)"));
}

void ReportSetupDialog::updateEnabled()
{
    const bool toFile = rbFile->isChecked();
    edFile->setEnabled(toFile);
    btnBrowse->setEnabled(toFile);
}

void ReportSetupDialog::browseFile()
{
    QString start = edFile->text().trimmed();
    if (start.isEmpty())
        start = report.proposedPdfPath();
    // OK asks about an existing file, for a typed name as for a chosen one.
    const QString name = QFileDialog::getSaveFileName(this, tr("Save as PDF"), start, tr("PDF files (*.pdf)"), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (!name.isEmpty())
        edFile->setText(QDir::toNativeSeparators(PdfTarget::withPdfSuffix(name)));
}

void ReportSetupDialog::printerSetup()
{
    if (!RS::printerInstalled()) {
        QMessageBox::warning(this, report.TitleSetup, RS::noPrinterMessage());
        return;
    }
    QPrintDialog dialog(&report.printer(), this);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, bool(report.systemSetups & RS::ssAllowCollate));
    if (dialog.exec() == QDialog::Accepted) {
        spCopies->setValue(report.printer().copyCount());
        cbCollate->setChecked(report.printer().collateCopies());
        cbDuplex->setCurrentIndex(qMax(0, cbDuplex->findData(int(report.printer().duplex()))));
        showPrinterName();
        takePaperFromPrinter();
    }
}

QString ReportSetupDialog::validationError() const
{
    if (rbPrinter->isChecked() && !RS::printerInstalled())
        return RS::noPrinterMessage();
    if (rbFile->isChecked()) {
        const QString name = PdfTarget::withPdfSuffix(edFile->text());
        if (name.isEmpty())
            return tr("Enter the name of the PDF file to save the report in.");
        const QFileInfo dir(QFileInfo(name).absolutePath());
        if (!dir.isDir() || !dir.isWritable())
            return tr("The folder %1 does not exist or cannot be written. Choose another folder.")
                .arg(QDir::toNativeSeparators(dir.filePath()));
    }
    return {};
}

void ReportSetupDialog::accept()
{
    const QString error = validationError();
    if (!error.isEmpty()) {
        QMessageBox::warning(this, report.TitleSetup, error);
        return;
    }
    const QString file = QDir::fromNativeSeparators(PdfTarget::withPdfSuffix(edFile->text()));
    if (rbFile->isChecked()) {
        if (!PdfTarget::confirmReplace(this, report.TitleSetup, file))
            return;
        PdfTarget::rememberFolder(file);
    }
    if (rbPrinter->isChecked())
        report.destination = RS::Destination::Printer;
    else if (rbFile->isChecked())
        report.destination = RS::Destination::PdfFile;
    else
        report.destination = RS::Destination::Preview;
    report.pdfFileName = file;
    report.copies = spCopies->value();
    report.collate = cbCollate->isChecked();
    report.duplex = QPrinter::DuplexMode(cbDuplex->currentData().toInt());
    report.previewZoom = spZoom->value();
    // The paper and sign chosen here hold for every report after; the
    // system's own are kept as "follow the system".
    const std::optional<PaperChoice::Paper> paper = PaperChoice::paperNamed(report.paper);
    if (paper)
        PaperChoice::choosePaper(*paper == PaperChoice::paperOf(QLocale::system()) ? std::nullopt : paper);
    const QString sign = cbCurrency->currentText().trimmed();
    PaperChoice::chooseCurrency(sign == PaperChoice::currencyOf(QLocale::system()) ? QString() : sign);
    QDialog::accept();
}
