#pragma once
#include "schema.h"
#include <QDate>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTime>
#include <QVariant>
#include <QVector>
#include <functional>
#include <map>
#include <memory>

class Database;
class Query;

// A navigable table: the rows that its link or filter selects, in the order
// of its index, with a cursor, an edit buffer and the events the windows hook.
class Table : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert, SetKey, CalcFields, Filter };

    // `tableName` is a stored or file name in any case ("GRPPLAYR.db").
    Table(Database& db, const QString& tableName, QObject* parent = nullptr);
    ~Table() override;

    const TableDef& definition() const { return *def; }
    Database& database() const { return db; }

    // --- settings, taking effect at open (or at once when open) ---
    void setIndexName(const QString& indexName);   // "" = primary key order
    QString indexName() const { return index; }
    // A WHERE expression in the program's forms ("RTYPE = 2", "PLAYED = False").
    void setFilter(const QString& filter);
    QString filter() const { return filterText; }
    void setFiltered(bool on);
    bool isFiltered() const { return filterOn; }
    // Detail of a master: only rows whose `detailField` equals the master's
    // current `masterField`; follows every move and post of the master.
    void setMasterSource(Table* master, const QString& masterField, const QString& detailField);
    Table* masterSource() const { return master; }
    void setReadOnly(bool on) { readOnly = on; }
    bool isReadOnly() const { return readOnly; }
    // Open without reading any row: for a table that is only appended to.
    void setAppendOnly(bool on) { appendOnly = on; }
    // A text column whose values a check before posting refuses when they
    // do not fit (a phone typed with its punctuation) keeps what is set
    // whole until then: cut to the column's size it could pass the check as
    // another value.
    void keepTextWhole(const QString& field) { wholeText.insert(field.toUpper()); }

    // Looked-up column: value of `resultField` of the row of `lookupTable`
    // whose `lookupKey` equals this row's `keyField`; empty when none.
    void addLookupField(const QString& name, const QString& keyField, const QString& lookupTable,
                        const QString& lookupKey, const QString& resultField);
    // Calculated column, filled by onCalcFields.
    void addCalcField(const QString& name, FieldType type, int size = 0);

    // --- lifecycle ---
    void open();
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    void refresh();      // re-reads the selection, keeps the current row by key
    void emptyTable();   // deletes every stored row of the table

    State state() const { return state_; }
    void setSetKeyState();   // search key entry (shown as "Search")

    // --- navigation ---
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return atEof; }
    bool bof() const { return atBof; }
    int recNo() const;   // 1-based; the row being calculated during calc
    void setRecNo(int recNo);
    int recordCount() const { return int(rows.size()); }
    bool isEmpty() const { return rows.isEmpty(); }
    // Exact match on the primary key, or on the leading columns of the index.
    bool findKey(const QVariantList& key);
    // Case-insensitive search of a column; moves to the first match.
    bool locate(const QString& field, const QVariant& value);
    // Another column of the row whose `keyField` equals `key`, without moving.
    QVariant lookup(const QString& keyField, const QVariant& key, const QString& resultField) const;

    // --- editing ---
    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    // A post or delete names the row as it was read. When another Vantrel
    // changed or deleted it meanwhile, nothing is written, the table shows
    // the row as it is now, and a RowConflict tells the user in words.
    void remove();            // deletes the current row
    void checkBrowseMode();   // posts a pending edit

    // --- values of the current row (or the row being calculated) ---
    QVariant value(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);
    void clear(const QString& field) { setValue(field, QVariant()); }
    bool isNull(const QString& field) const { return value(field).isNull(); }
    qint64 asInteger(const QString& field) const { return value(field).toLongLong(); }
    int asInt(const QString& field) const { return value(field).toInt(); }
    double asFloat(const QString& field) const { return value(field).toDouble(); }
    QString asString(const QString& field) const { return value(field).toString(); }
    bool asBool(const QString& field) const { return value(field).toBool(); }
    QDate asDate(const QString& field) const { return value(field).toDate(); }
    QTime asTime(const QString& field) const { return value(field).toTime(); }
    bool hasField(const QString& field) const { return columnIndex(field) >= 0; }

    // Random access for grids: row is 0-based, no cursor move.
    QVariant valueAt(int row, const QString& field) const;
    bool isStoredField(const QString& field) const;
    FieldType fieldType(const QString& field) const;
    int fieldSize(const QString& field) const;
    // The row at 0-based `row` is the one being edited or inserted.
    bool isEditingRow(int row) const { return (state_ == State::Edit || state_ == State::Insert) && row == cur; }

    // --- events ---
    std::function<void(Table&)> beforeInsert;
    std::function<void(Table&)> onNewRecord;
    std::function<void(Table&)> beforeEdit;
    std::function<void(Table&)> beforePost;
    std::function<void(Table&)> beforeDelete;
    std::function<void(Table&)> onCalcFields;

signals:
    void stateChanged();
    void afterScroll();
    void afterPost();
    void afterDelete();
    void afterCancel();
    void afterOpen();
    void rowsReset();           // the whole selection changed
    void rowChanged(int row);   // one row's values changed (0-based)
    // A write found the current row (or, for a detail, the master's row)
    // deleted by another Vantrel; the write was refused.
    void rowVanished();

private:
    struct Column {
        // Version: the row version as read, stored but never shown.
        enum Kind { Stored, Version, Lookup, Calc };
        Column(const QString& n, FieldType t, int s, Kind k) : name(n), type(t), size(s), kind(k) {}
        QString name;
        FieldType type;
        int size;
        Kind kind;
        int keyColumn = -1;   // lookup: our key column
        QString lookupTable, lookupKey, resultField;
    };
    using Row = QVector<QVariant>;

    int columnIndex(const QString& field) const;
    int requireColumn(const QString& field) const;
    void setState(State s);
    void requireActive() const;
    void requireEditing() const;
    void requireRows() const;
    void load(const QVariant& keepKey);
    QString selectSql(QVariantList& binds) const;
    void fillDerived(int row);
    void fillAllDerived();
    QVariant lookupValue(const Column& c, const QVariant& key) const;
    void startNewRow(bool atEnd);
    void writeInsert();
    bool writeUpdate();
    Query& asReadStatement(std::unique_ptr<Query>& statement, const QString& head, const Row& asRead);
    int versionColumn() const;
    bool isStored(const QVariant& key) const;
    void requireMasterRow();
    [[noreturn]] void refuseStaleWrite(const Row& asRead, const QString& changedMessage);
    void sortRows();
    void checkRequired() const;
    void moveTo(int row);
    QVariant currentKey() const;
    QVariant masterValue() const;
    void masterMoved();
    QVariant convertIn(const Column& c, const QVariant& v) const;
    void notifyDetails();

    Database& db;
    const TableDef* def;
    QVector<Column> cols;
    QString index;
    QString filterText;
    QSet<QString> wholeText;   // upper-case names of columns never cut
    bool filterOn = false;
    Table* master = nullptr;
    QString masterField, detailField;
    bool readOnly = false;
    bool appendOnly = false;

    State state_ = State::Inactive;
    QVector<Row> rows;
    int cur = -1;       // 0-based current row, -1 when empty
    int calcRow = -1;   // row being calculated
    bool atEof = true, atBof = true;
    Row buffer;   // edit/insert buffer
    int insertAt = -1;
    int rowBeforeInsert = -1;                                   // where cancelling an insert returns to
    mutable QHash<int, QHash<QString, QVariant>> lookupCache;   // per lookup column
    mutable QHash<int, std::shared_ptr<Query>> lookupQueries;
    QVector<Table*> details;   // detail tables following this one
    QVariant linkedValue;      // master value the rows were read for
    std::unique_ptr<Query> insertStmt;
    std::unique_ptr<Query> updateStmt, deleteStmt;
};

QString stateName(Table::State state);
