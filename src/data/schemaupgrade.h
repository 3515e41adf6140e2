#pragma once
#include <QString>

class Database;

// Brings a file written by an earlier version of Vantrel up to today's
// schema, in place. A copy of the file as it was is kept beside it first
// ("vantrel.db.v1.bak" for a version 1 file); then every change is made in
// one transaction, so that a failure leaves the file exactly as it was.
namespace SchemaUpgrade {

// The oldest version the program can upgrade.
constexpr int oldestVersion = 1;

// True when `column` of `table` came with a version after `version`, so a
// file of `version` lacks it until upgraded.
bool addedAfter(int version, const QString& table, const QString& column);

// Upgrades the open database from `fromVersion`. Returns the message for the
// user, which says where the copy is. A failure is a DbError.
QString upgrade(Database& db, int fromVersion);

// Where the copy of a file of `fromVersion` goes: the first of
// "vantrel.db.v1.bak", "vantrel.db.v1.2.bak", ... that does not exist yet,
// so an earlier copy is never overwritten.
QString backupPath(const QString& filePath, int fromVersion);

}   // namespace SchemaUpgrade
