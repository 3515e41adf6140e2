#pragma once
#include <QString>
#include <QVector>

class Database;

// How many rows one table holds after a copy (the same in both databases).
struct CopiedTable {
    QString table;
    qint64 rows = 0;
};

// The rows of each table that holds a club's records (not the rows every
// new database ships with); all zero for a new or empty database.
QVector<CopiedTable> recordCounts(Database& db);

// Copies a club's whole database into another, on either engine: every row
// of every table with its id, the file's calendar id, and on a server the
// id counters moved past the copied ids. The target must hold no records
// yet (only what a new database ships with). It is written in one
// transaction that is committed only when every table holds as many rows as
// in the source; any failure leaves the target as it was and is a DbError
// that says so.
QVector<CopiedTable> copyDatabase(Database& from, Database& to);
