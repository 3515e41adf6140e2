#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

class QSqlDatabase;

enum class FieldType { AutoInc, Integer, SmallInt, Float, Currency, Boolean, Date, Time, String, Memo };

struct FieldDef {
    QString name;
    FieldType type;
    int size = 0;   // characters, for String
    bool required = false;
};

struct IndexDef {
    QString name;          // as the program names it ("lastname", "PARENT")
    QStringList columns;   // leading column first
};

struct TableDef {
    QString name;       // stored table name ("PLAYERS", "group")
    QString fileName;   // the name statements use ("PLAYERS.db")
    QVector<FieldDef> fields;
    QVector<IndexDef> indexes;

    const FieldDef* field(const QString& column) const;      // case-insensitive
    const IndexDef* index(const QString& indexName) const;   // case-insensitive
    const FieldDef* primaryKey() const;                      // the auto-increment column
    // Rows edited one by one (those with a key) carry a row version.
    bool hasRowVersion() const { return primaryKey() != nullptr; }
    // The stored columns in order, the row version last where there is one.
    QStringList columnNames() const;
    QString sqlName() const;      // quoted where needed
    QString recordNoun() const;   // "player", "group or league"
};

namespace Schema {

// Every table of the database.
const QVector<TableDef>& tables();

// A table by stored name or file name, in any case ("groupoff.DB",
// "SCHEDULE.db", "players"); nullptr when there is none.
const TableDef* find(const QString& nameOrFile);

// Same, but a missing table is a DbError.
const TableDef& require(const QString& nameOrFile);

// Version written to PRAGMA user_version. An older file is upgraded when it
// is opened (schemaupgrade.h); a newer one is refused.
// 2: group.MIXPAIRS, "Mix partners and opponents".
// 3: VANTREL_META with the file's CALENDARID.
// 4: PLAYERS.EMAIL, PLAYERS.LINKTOKEN naming a player's published pages, and
//    SCHEDLOG, what changed for whom in a season already out.
// 5: ROWVER on every table with a key, moved on by every update, so that a
//    write can name the row as it was read by its key and version alone.
constexpr int version = 5;

// The row version column: not a field of the records, so the windows never
// show it.
inline const QString rowVersionColumn = QStringLiteral("ROWVER");
QString rowVersionDefinition();

// The schema version stored in the database: PRAGMA user_version in a file,
// a row of VANTREL_META on a server. 0 for a database without one.
int storedVersion(QSqlDatabase& db);
void setStoredVersion(QSqlDatabase& db, int version);
// The next id the key column of `table` hands out: tests start each table's
// ids apart, and a copied database goes on after its highest id.
void setNextId(QSqlDatabase& db, const TableDef& table, qint64 next);
// A column name as the schema spells it ("numperses" -> "NumPerSes"): the
// server gives result columns in lower case. A name of no column stays.
QString columnSpelling(const QString& name);
// Runs one statement of the schema's own, in the engine's dialect.
void exec(QSqlDatabase& db, const QString& sql);

// Facts about the file itself, NAME -> VALUE, beside the tables of records.
inline const QString metaTable = QStringLiteral("VANTREL_META");
// 128 random bits in hex, made once per file: it keeps calendar events of
// two databases apart.
inline const QString calendarIdKey = QStringLiteral("CALENDARID");
// The schema version of a database on a server (a file keeps it in its header).
inline const QString versionKey = QStringLiteral("SCHEMAVERSION");

// Creates VANTREL_META where it is missing and gives the file its calendar
// id where it has none; changes nothing in a file that has both.
void createMeta(QSqlDatabase& db);
// What a change to a season meant for each player, one line a player and date
// of play, kept so that the players can be told later.
inline const QString changeLogTable = QStringLiteral("SCHEDLOG");
// Creates SCHEDLOG where it is missing.
void createChangeLog(QSqlDatabase& db);
// A value of VANTREL_META; empty when there is none.
QString metaValue(QSqlDatabase& db, const QString& name);

// A column as CREATE TABLE and ALTER TABLE ADD COLUMN write it.
QString columnDefinition(const FieldDef& field);

// Creates every table and index and the shipped FIELDDEF and LABEL rows.
void create(QSqlDatabase& db);

// Dates after this cannot be written: ISO text has four digits of year.
const QDate& lastStorableDate();
// A DbError for a valid date past lastStorableDate().
void requireStorableDate(const QDate& date);

// Largest value a smallint column takes.
constexpr int smallintMax = 32767;
constexpr int smallintMin = -32768;

}   // namespace Schema
