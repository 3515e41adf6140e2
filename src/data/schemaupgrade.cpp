#include "schemaupgrade.h"
#include "database.h"
#include "dberror.h"
#include "schema.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

struct AddedColumn {
    int version;   // the schema version that brought it
    const char* table;
    const char* column;
};

// Columns added since the first release, in version order. Existing rows
// take the column's default (a new option starts off for existing groups).
const AddedColumn addedColumns[] = {
    {2, "group", "MIXPAIRS"},
    {4, "PLAYERS", "EMAIL"},
    {4, "PLAYERS", "LINKTOKEN"},
};

void keepCopy(Database& db, const QString& path)
{
    // VACUUM INTO writes a consistent copy, including what still sits in the
    // write-ahead log, without touching the original.
    QString literal = path;
    literal.replace('\'', QStringLiteral("''"));
    QSqlQuery q(db.connection());
    if (!q.exec(QStringLiteral("VACUUM INTO '%1'").arg(literal))) {
        // A half-written copy (a full disk) would be stepped around by the
        // next upgrade and mislead whoever finds it.
        QFile::remove(path);
        throw DbError(QStringLiteral("Could not keep a copy of the database as %1 before upgrading it. %2 "
                                     "The database was left untouched.")
                          .arg(QDir::toNativeSeparators(path), engineError(q.lastError()).message()));
    }
}

void addColumns(Database& db, int fromVersion)
{
    for (const AddedColumn& added : addedColumns) {
        if (added.version <= fromVersion)
            continue;
        const TableDef& table = Schema::require(QString::fromLatin1(added.table));
        const FieldDef* field = table.field(QString::fromLatin1(added.column));
        if (!field)
            throw DbError(QStringLiteral("Column %1 is missing from table %2.").arg(added.column, added.table));
        db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table.sqlName(), Schema::columnDefinition(*field)));
    }
}

// The version that gave every table with a key its row version.
constexpr int rowVersionSince = 5;

void addRowVersions(Database& db, int fromVersion)
{
    if (fromVersion >= rowVersionSince)
        return;
    for (const TableDef& table : Schema::tables())
        if (table.hasRowVersion())
            db.exec(
                QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table.sqlName(), Schema::rowVersionDefinition()));
}

// Tables added since the first release. Made whenever missing, not only
// when coming from before the version that brought them: a file upgraded by
// a test build of that version may lack one.
void addTables(Database& db)
{
    Schema::createMeta(db.connection());
    Schema::createChangeLog(db.connection());
}

}   // namespace

namespace SchemaUpgrade {

bool addedAfter(int version, const QString& table, const QString& column)
{
    if (column.compare(Schema::rowVersionColumn, Qt::CaseInsensitive) == 0)
        return version < rowVersionSince;
    for (const AddedColumn& added : addedColumns)
        if (added.version > version && table.compare(QLatin1String(added.table), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1String(added.column), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString backupPath(const QString& filePath, int fromVersion)
{
    const QString first = QStringLiteral("%1.v%2.bak").arg(filePath).arg(fromVersion);
    if (!QFileInfo::exists(first))
        return first;
    for (int n = 2;; ++n) {
        const QString next = QStringLiteral("%1.v%2.%3.bak").arg(filePath).arg(fromVersion).arg(n);
        if (!QFileInfo::exists(next))
            return next;
    }
}

QString upgrade(Database& db, int fromVersion)
{
    // A server keeps its own backups; the transaction alone keeps it whole.
    const QString copy = db.isServer() ? QString() : backupPath(db.path(), fromVersion);
    if (!copy.isEmpty())
        keepCopy(db, copy);
    try {
        db.runInTransaction([&] {
            addColumns(db, fromVersion);
            addRowVersions(db, fromVersion);
            addTables(db);
            Schema::setStoredVersion(db.connection(), Schema::version);
        });
    } catch (const DbError& e) {
        // The file is as it was; a copy of it would only mislead.
        if (!copy.isEmpty())
            QFile::remove(copy);
        throw DbError(QStringLiteral("%1 could not be upgraded for this version of Vantrel and was left as it "
                                     "was: %2")
                          .arg(db.displayName(), e.message()));
    }
    if (copy.isEmpty())
        return QStringLiteral("The database %1 was upgraded for this version of Vantrel.").arg(db.displayName());
    return QStringLiteral("Your database %1 was upgraded for this version of Vantrel. A copy of it as it was "
                          "before is kept as %2.")
        .arg(QDir::toNativeSeparators(db.path()), QDir::toNativeSeparators(copy));
}

}   // namespace SchemaUpgrade
