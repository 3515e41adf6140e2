#pragma once
// Undo and redo of the changes made to a running season. An operation takes
// a snapshot of the rows it may touch before and after its work (inside its
// transaction); the difference is its undo record, which puts every row back
// exactly as it was read, value for value and type for type.
#include "data/dberror.h"
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Database;

// A row to write meets something else than what this window last read: a
// second window or program changed the season meanwhile.
class StaleRowError : public DbError {
public:
    StaleRowError() : DbError(message()) {}
    static QString message()
    {
        return QStringLiteral("The schedule was changed in another window. It has been read again; "
                              "check it and try once more.");
    }
};

// The rows of one table that belong to a season, by key.
struct TableRows {
    QString table;
    QString key;
    QStringList columns;
    QHash<qint64, QVector<QVariant>> rows;
};

// The schedule rows, entries and player days off of one group or league.
struct SeasonSnapshot {
    static SeasonSnapshot take(Database& db, int groupId);
    QVector<TableRows> tables;
};

// One row as it was and as it became; an empty image means "no such row".
struct RowChange {
    QString table;
    QString key;
    QStringList columns;
    qint64 id = 0;
    QVector<QVariant> before;
    QVector<QVariant> after;
};

struct UndoRecord {
    QString description;   // "Substitute", "Swap", ...
    QVector<RowChange> changes;
    bool isEmpty() const { return changes.isEmpty(); }

    static UndoRecord between(const SeasonSnapshot& before, const SeasonSnapshot& after, const QString& description);
    // Writes the `before` images over rows that must still hold the `after`
    // images (undo), or the other way round (redo). A row that differs is a
    // StaleRowError. Call inside a transaction.
    void apply(Database& db, bool undo) const;
};

// The records of one window, newest last; a new record drops what was undone.
class UndoStack {
public:
    void push(UndoRecord record);
    bool canUndo() const { return done > 0; }
    bool canRedo() const { return done < records.size(); }
    QString undoText() const { return canUndo() ? records[done - 1].description : QString(); }
    QString redoText() const { return canRedo() ? records[done].description : QString(); }
    // Each in one transaction; false when there is nothing to undo/redo.
    bool undo(Database& db);
    bool redo(Database& db);
    int size() const { return int(records.size()); }

private:
    QVector<UndoRecord> records;
    int done = 0;
};
