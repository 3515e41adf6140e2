#pragma once
#include "groupdatasets.h"
#include "windows/childwindow.h"
#include "windows/dbgrid.h"
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <functional>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTextEdit;
class QTimeEdit;
class TableModel;

// The editor of one group or league: its record, entries and courts, and the
// commands that schedule, print and inspect it.
class Tfrmgroup : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    // `recordKind`: the kind of the records it adds.
    explicit Tfrmgroup(RecordKind recordKind, QWidget* parent = nullptr);
    ~Tfrmgroup() override;

    int windowKind() const override { return GroupEditor; }
    QString datasetStateName() const override;
    RecordKind recordKind() const { return kindOfRecord; }

    // Opens an editor as the group list asks: groupId 0 starts a new record.
    // `addToFrame` makes the widget a child window of the frame before its
    // record loads. Returns null when the record does not exist (the editor
    // has told the user and closed).
    static QWidget* openFromList(RecordKind listKind, int groupId, const QString& caption, int helpContext,
                                 const std::function<void(QWidget*)>& addToFrame);

    // Appends a new record of the editor's kind and sets the window up for it.
    void newRecord();
    // Positions on the record; false (after telling the user and closing
    // the window) when there is no such record.
    bool openRecord(int groupId);

    void commandAddNew() override;
    void commandSave() override;
    void commandCancel() override;
    void commandDelete() override;
    void commandSchedule() override;
    void commandPrint() override;
    void commandTimeOff() override;
    void commandEditSchedule() override;
    void commandSeason() override;

    // --- what the scheduling engine uses ---
    GroupDatasets& datasets() { return ds; }
    void save();
    int EntryNumber(int groupPlayerId) { return ds.entryNumber(groupPlayerId); }

    // --- the assignments after their pickers closed with OK ---
    // One entry per player, in order (the picker's checked ids).
    void addPlayerEntries(const QList<int>& playerIds);
    // One team entry; refused unless two different players are given.
    void addTeamEntry(int playerOne, int playerTwo);
    void addCourts(const QList<int>& courtIds);
    // Remove: the current entry with its schedule rows, then renumber 1..n.
    void removeEntry();
    void removeCourt();

    QTableView* entriesGrid() const { return entriesView; }
    QTableView* courtsGrid() const { return courtsView; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    QWidget* createRecordPanel();
    QWidget* createCourtsPanel();
    QWidget* createEntriesPanel();
    void wireDatasets();
    void wireFieldHints();
    void setUpForKind();
    void loadControls();
    void storePickers();
    void requireName();
    QString kindWord() const;
    void showStoredTitle();
    bool hasUnsavedChanges() const;
    void discardChanges();
    QString recordName() const;
    void startEditing();
    void setField(const QString& field, const QVariant& value);
    void matchTypeClicked(int index);
    void moveStartToFirstPlayDay();
    void orderTabs();
    void selectMatchType();

    void storeNewRecordFirst();
    bool ensureStored();
    void deleteCurrentEntry();
    void deleteWholeRecord();
    void renumberEntries();
    void appendEntry(const QVariant& playerId, const QVariant& partnerId);
    void closeWindow();
    // Runs `work` in one transaction; after a failure the entries and courts
    // are read again from what the rollback left.
    void allOrNothing(const std::function<void()>& work);
    bool busyWithRun();
    bool confirmDelete();
    void assignPlayersClicked();
    void assignCourtsClicked();
    void chooseTeam();
    void choosePlayers();

    RecordKind kindOfRecord;
    GroupDatasets ds;
    bool loading = false;           // controls are being filled from the record
    bool touched = false;           // the user changed the shown record
    bool startDateChosen = false;   // the user set the new record's start date

    QLabel *nameLabel, *durationLabel, *playersPerSessionLabel, *startDateLabel, *startTimeLabel, *endTimeLabel,
        *feeLabel, *notesLabel, *courtsLabel, *entriesLabel;
    QLineEdit *nameEdit, *durationEdit, *playersPerSessionEdit, *feeEdit;
    QGroupBox* matchTypeBox;
    QVector<QRadioButton*> pairingButtons;
    QVector<int> pairingValues;
    QDateEdit* startDatePicker;
    QTimeEdit *startTimeEdit, *endTimeEdit;
    QGroupBox* playDaysBox;
    QVector<QCheckBox*> dayBoxes;
    QTextEdit* notesEdit;
    QCheckBox* bringBallsCheck;
    QCheckBox* mixPairsCheck;
    DbGrid *entriesView, *courtsView;
    QPushButton *assignPlayersButton, *removeEntryButton, *assignCourtsButton, *removeCourtButton;
    QVector<QWidget*> fieldControls;
};
