#pragma once
#include "database.h"
#include "kinds.h"
#include "query.h"
#include "table.h"
#include <QObject>
#include <QString>
#include <QVector>
#include <memory>
#include <random>

class QWidget;

// One FIELDDEF row of a form: the control it describes (by object name), the
// label that captions it, the control's hint and its help context.
struct FormFieldDef {
    QString fieldKey;
    QString labelKey;
    QString label;
    QString hint;
    int helpContext = 0;
};

// The shared data module: owns the connection and the services several
// windows share. Created once at start-up, before the frame, which it
// outlives; Tdmglobal::instance() reaches it from everywhere. It holds no
// widget: what the windows should show or do it announces by its signals,
// which the application connects to the frame.
class Tdmglobal : public QObject {
    Q_OBJECT
public:
    // Opens the database in `directory` (see Database::configuredDirectory).
    explicit Tdmglobal(const QString& directory, QObject* parent = nullptr);
    ~Tdmglobal() override;
    static Tdmglobal& instance();
    static bool exists();

    Database& database() { return *dbvantrel; }

    // --- status bar: panel 0 dataset state, panel 1 message ---
    void statusMessage(const QString& text);
    QString datasetStateNames(const Table& table);

    // --- entries ---
    // Fills FullName and SLOTCODE of the row being calculated.
    void fullNameCalc(Table& entry, RecordKind recordKind, MatchType matchType);
    // Adds the looked-up names and the calculated FullName/SLOTCODE that
    // every list of a record's entries shows; `group` holds the record.
    void addEntryNameFields(Table& entries, const Table& group);

    // --- dependent rows ---
    void deleteEntrySchedule(int entryId);
    void deletePlayerDaysOff(int playerId);
    void deleteGroupDaysOff(int groupId);
    void deletePlayerEntries(int playerId);
    void deleteCourtAssignments(int courtId);

    // --- transactions of the days-off dialogs ---
    void beginTransaction();
    void commit();
    void rollback();

    // --- captions, hints, help contexts of a form's controls ---
    QVector<FormFieldDef> loadFieldDefs(const QString& formKey);

    // --- requests served above this library (see the signals) ---
    void showHelp(int helpContext);
    void printSchedule(int groupId);
    void beep();
    // Rows of the group's schedule went with something deleted here (a
    // player): whatever shows the schedule reads it again.
    void announceScheduleChange(int groupId);
    // Days off were added to these players (or groups, with `groups`):
    // whatever knows the schedules tells the organiser what now clashes.
    void reviewDaysOff(bool groups, const QVector<int>& ids, QWidget* parent);

    // One random source per run; tests may reseed it.
    std::mt19937& random() { return rng; }

signals:
    // Panel 0 of the frame's status bar names a dataset state, panel 1 holds a message.
    void statusPanelChanged(int panel, const QString& text);
    void helpRequested(int helpContext);   // 0 = contents
    void printScheduleRequested(int groupId);
    void beepRequested();
    void scheduleChanged(int groupId);
    void daysOffAdded(bool groups, const QVector<int>& ids, QWidget* parent);

private:
    void runDelete(std::unique_ptr<Query>& q, const char* sql, const char* param, int value);

    std::unique_ptr<Database> dbvantrel;
    std::unique_ptr<Query> qdelschedule, qdeldaysoff, qdelgrpdayoff, qdelgrpplayers, qdelgrpcourts;
    std::unique_ptr<Query> qfielddef;
    std::mt19937 rng;
};
