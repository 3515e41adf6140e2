#include "database.h"
#include "dberror.h"
#include "schema.h"
#include "schemaupgrade.h"
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("vantrel-%1").arg(++counter);
}

// Reads the schema version of an existing file without writing to it.
// Returns -1 when the file is not an SQLite database at all.
int storedVersion(const QString& path)
{
    const QString name = nextConnectionName() + "-probe";
    int version = -1;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase("QSQLITE", name);
        probe.setDatabaseName(path);
        probe.setConnectOptions("QSQLITE_OPEN_READONLY");
        if (probe.open()) {
            QSqlQuery q(probe);
            if (q.exec("PRAGMA user_version") && q.next()) {
                version = q.value(0).toInt();
                QSqlQuery t(probe);
                // A file of ours holds the players table; an empty SQLite file does not.
                if (version > 0 &&
                    !(t.exec("SELECT 1 FROM sqlite_master WHERE name = 'PLAYERS'") && t.next()))
                    version = 0;
            }
            probe.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return version;
}

void requireWritableDirectory(const QString& directory)
{
    if (!QDir().mkpath(directory))
        throw DbError(QStringLiteral("Cannot create the database directory %1. "
                                     "Choose a directory you can write to in the VANTREL32 setting.")
                          .arg(QDir::toNativeSeparators(directory)));
    QTemporaryFile probe(QDir(directory).filePath("vantrel-XXXXXX.tmp"));
    if (!probe.open())
        throw DbError(QStringLiteral("Cannot write to the database directory %1. "
                                     "Choose a directory you can write to in the VANTREL32 setting.")
                          .arg(QDir::toNativeSeparators(directory)));
}

} // namespace

QString Database::configuredDirectory()
{
    QSettings settings;
    const QString dir = settings.value("Aliases/VANTREL32").toString().trimmed();
    if (!dir.isEmpty())
        return dir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString Database::fileName(const QString& directory)
{
    return QDir(directory).filePath("vantrel.db");
}

Database::Database(const QString& directory)
    : connectionName(nextConnectionName()), filePath(fileName(directory))
{
    const bool existed = QFileInfo::exists(filePath);
    int version = Schema::version;
    if (existed) {
        version = storedVersion(filePath);
        if (version < 0 || version == 0)
            throw DbError(QStringLiteral("%1 is not a Vantrel database. It was left untouched; "
                                         "point the VANTREL32 setting at another directory.")
                              .arg(QDir::toNativeSeparators(filePath)));
        if (version > Schema::version)
            throw DbError(QStringLiteral("%1 was written by a newer version of Vantrel. It was left "
                                         "untouched; install the newer version to open it.")
                              .arg(QDir::toNativeSeparators(filePath)));
        if (version < SchemaUpgrade::oldestVersion)
            throw DbError(QStringLiteral("%1 has an unknown layout (version %2) and was left untouched.")
                              .arg(QDir::toNativeSeparators(filePath))
                              .arg(version));
    } else {
        requireWritableDirectory(directory);
    }

    db = QSqlDatabase::addDatabase("QSQLITE", connectionName);
    db.setDatabaseName(filePath);
    if (!db.open())
        throw DbError(QStringLiteral("Cannot open %1: %2")
                          .arg(QDir::toNativeSeparators(filePath), db.lastError().text()));
    configure();
    if (existed && version < Schema::version) {
        try {
            notice = SchemaUpgrade::upgrade(*this, version);
        } catch (...) {
            db.close();
            throw;
        }
    }
    if (!existed) {
        // All or nothing: a half-created file would later be refused as foreign.
        startTransaction();
        try {
            Schema::create(db);
            commit();
        } catch (...) {
            rollback();
            db.close();
            QFile::remove(filePath);
            throw;
        }
    }
}

Database::~Database()
{
    if (db.isOpen()) {
        if (transactionActive)
            db.rollback();
        db.close();
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

void Database::configure()
{
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
}

void Database::exec(const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError(q.lastError().text());
}

void Database::startTransaction()
{
    if (transactionActive)
        throw DbError(QStringLiteral("A transaction is already active."));
    if (!db.transaction())
        throw DbError(db.lastError().text());
    transactionActive = true;
}

void Database::commit()
{
    if (!transactionActive)
        throw DbError(QStringLiteral("No transaction is active."));
    if (!db.commit())
        throw DbError(db.lastError().text());
    transactionActive = false;
}

void Database::rollback()
{
    if (!transactionActive)
        throw DbError(QStringLiteral("No transaction is active."));
    transactionActive = false;
    if (!db.rollback())
        throw DbError(db.lastError().text());
}
