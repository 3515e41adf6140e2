#pragma once
#include <QDialog>

class QLabel;

// Small window that shows which page is being generated or printed.
class ReportStatusWindow : public QDialog {
    Q_OBJECT
public:
    ReportStatusWindow(const QString& title, QWidget* parent = nullptr);
    void showStatus(const QString& text);
    QString text() const;

private:
    QLabel* label;
};
