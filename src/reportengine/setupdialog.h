#pragma once
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TReportSystem;

// Where the pages go and how many: preview, printer or PDF file, copies,
// collate, duplex, printer setup. OK writes the choices into the report.
class ReportSetupDialog : public QDialog {
    Q_OBJECT
public:
    ReportSetupDialog(TReportSystem& report, QWidget* parent = nullptr);

    QRadioButton* previewButton() const { return rbPreview; }
    QRadioButton* printerButton() const { return rbPrinter; }
    QRadioButton* fileButton() const { return rbFile; }
    QLineEdit* fileEdit() const { return edFile; }
    QComboBox* paperBox() const { return cbPaper; }
    QComboBox* currencyBox() const { return cbCurrency; }

    void accept() override;

private:
    void browseFile();
    void printerSetup();
    void pageSetup();
    void takePaperFromPrinter();
    void updateEnabled();
    void showPrinterName();
    void showPaper();
    QString validationError() const;

    TReportSystem& report;
    QRadioButton *rbPreview, *rbPrinter, *rbFile;
    QLineEdit* edFile;
    QPushButton* btnBrowse;
    QLabel* lblPrinter;
    QSpinBox* spCopies;
    QCheckBox* cbCollate;
    QComboBox* cbDuplex;
    QPushButton* btnPrinterSetup;
    QPushButton* btnPageSetup;
    QComboBox* cbPaper;
    QLabel* lblPaper;
    QComboBox* cbCurrency;
    QSpinBox* spZoom;
};
