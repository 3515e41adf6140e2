#pragma once
#include <QDialog>
#include <memory>

class Database;
class QTableWidget;
class TFairnessReport;

// The fairness report of one group or league on screen, with Print (the
// report engine's setup: preview, printer or PDF file).
class TFairnessWindow : public QDialog {
    Q_OBJECT
public:
    TFairnessWindow(Database& db, int groupId, QWidget* parent = nullptr);
    ~TFairnessWindow() override;

    TFairnessReport& report() { return *fairness; }
    QTableWidget* table() const { return grid; }

private:
    void printClicked();

    std::unique_ptr<TFairnessReport> fairness;
    QTableWidget* grid;
};
