#pragma once
#include "database.h"
#include "kinds.h"
#include "query.h"
#include "table.h"
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <random>

class QWidget;

// The shared data module: owns the connection and the services several
// windows share. Created once, right after the frame; Tdmglobal::instance()
// reaches it from everywhere.
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
    void showControlHint(QWidget* control);
    QString datasetStateNames(const Table& table);
    std::function<void(int panel, const QString& text)> statusPanelHandler;

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

    // --- captions, hints, help contexts of the active child window ---
    void loadFieldDefs(const QString& formKey);
    std::function<QWidget*()> activeChildWindow;

    // --- services the app installs (they live above this library) ---
    std::function<void(int helpContext)> helpHandler;        // 0 = contents
    std::function<void(int groupId)> printScheduleHandler;
    std::function<void()> beepHandler;
    void showHelp(int helpContext);
    void printSchedule(int groupId);
    void beep();

    // One random source per run; tests may reseed it.
    std::mt19937& random() { return rng; }

private:
    void runDelete(std::unique_ptr<Query>& q, const char* sql, const char* param, int value);

    std::unique_ptr<Database> dbvantrel;
    std::unique_ptr<Query> qdelschedule, qdeldaysoff, qdelgrpdayoff, qdelgrpplayers, qdelgrpcourts;
    std::unique_ptr<Query> qfielddef;
    std::mt19937 rng;
};

// The help context number of a widget (property "helpContext").
int helpContextOf(const QWidget* widget);
void setHelpContext(QWidget* widget, int helpContext);
