#pragma once
// The shared body of the two days-off dialogs (players and groups): a
// chooser, a date picker with "&Add", the chosen one's days off with
// "&Remove", and "&Done". Every add and remove is written at once inside a
// transaction that opening begins (unless one is active) and "&Done"
// commits; the close box and Escape do what "&Done" does.
#include <QDialog>
#include <memory>

class DbGrid;
class QComboBox;
class QDateEdit;
class QPushButton;
class Table;

class DaysOffDialog : public QDialog {
    Q_OBJECT
public:
    ~DaysOffDialog() override;

    QComboBox* chooser() const { return chooserBox; }
    QDateEdit* datePicker() const { return dateEdit; }
    DbGrid* daysOffGrid() const { return daysOffView; }
    QPushButton* addButton() const { return addDateButton; }
    QPushButton* removeButton() const { return removeDateButton; }
    QPushButton* doneButton() const { return okButton; }
    Table& chooserList() const { return *tblist; }
    Table& daysOff() const { return *tbdaysoff; }
    // Key of the player or group shown in the chooser; 0 when the list is empty.
    int chosenId() const;

    // Close box and Escape: the same as "&Done".
    void reject() override;
    // After the dialog closed: the days off added and kept may clash with
    // schedules already made; has the organiser told about them.
    void reviewAddedDaysOff();

protected:
    struct Setup {
        QString caption;
        int helpContext;
        QString listTable, listIndex, keyField, nameField, chooserName;
        QString daysOffTable, daysOffIndex;
        QString cancelCaption;
        QString noneToChoose;   // "There is no player ..." for an empty chooser
        bool groups = false;    // days off of groups, not of players
    };
    DaysOffDialog(QWidget* parent, const Setup& setup);
    // Opens the datasets, puts the chooser on `id` (or the first row) and
    // begins the transaction. Called by the concrete dialog once its list
    // table has its calculated fields.
    void load(int id);

private:
    void buildControls();
    void fillChooser();
    void chooserChange(int index);
    void btnaddClick();
    void btnremoveClick();
    void OKBtnClick();
    void CancelBtnClick();
    void finish();

    Setup setup;
    std::unique_ptr<Table> tblist;
    Table* tbdaysoff = nullptr;   // the grid's child: it outlives the grid's editors
    QComboBox* chooserBox = nullptr;
    QDateEdit* dateEdit = nullptr;
    DbGrid* daysOffView = nullptr;
    QPushButton *addDateButton = nullptr, *removeDateButton = nullptr, *okButton = nullptr, *helpButton = nullptr,
                *cancelButton = nullptr;
    QVector<int> addedFor;   // players or groups given a day off here
    bool kept = false;       // the adds were committed
    bool filling = false;
    bool finished = false;
};
