#pragma once
#include <QDialog>
#include <memory>

class Database;
class QListWidget;
class QPushButton;
class Table;

// "Available Label Types": the label stocks of table LABEL by description;
// OK gives the chosen stock's code.
class Tdlglabels : public QDialog {
    Q_OBJECT
public:
    explicit Tdlglabels(Database& db, QWidget* parent = nullptr);
    ~Tdlglabels() override;

    // The LBLCODE chosen with OK; empty when nothing was selected.
    QString resultCode() const { return chosenCode; }

    QListWidget* labelTypesList;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

private:
    void OKBtnClick();

    std::unique_ptr<Table> tblabels;
    QString chosenCode;
};
