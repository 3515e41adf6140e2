#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Checks made on the database file and its directory before the file is
// opened for writing. None of them writes to the file or leaves anything
// beside it, so a refused file stays exactly as it was.
namespace FileProbe {

// The schema version of the Vantrel database at `path`; a DbError when it is
// not a complete Vantrel database of this or an earlier version that can be
// upgraded: not a database at all, written by a newer version, or missing
// tables or columns (named in the message).
int requireVantrelFile(const QString& path);
// Refuses a version this program cannot open: newer, or older than any
// it upgrades.
void requireKnownVersion(const QString& path, int stored);

// The tables and columns of the schema that the file lacks, as "SCHEDULE"
// or "PLAYERS.PHONE2"; empty for a complete file.
QStringList missingParts(const QString& path);

// A DbError when the directory cannot be created or written, the existing
// file cannot be written, or the disk is full.
void requireWritable(const QString& directory, const QString& path);

// Free bytes on the disk of `directory`, from the installed source.
qint64 freeBytes(const QString& directory);
void setFreeSpaceSource(std::function<qint64(const QString&)> source);

}   // namespace FileProbe
