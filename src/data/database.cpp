#include "database.h"
#include "dberror.h"
#include "fileprobe.h"
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

// A file left by a start that failed before it wrote anything (a full disk)
// holds nothing to keep; it is made anew.
bool needsCreating(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() == 0);
}

void removeWithCompanions(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

// Builds the whole schema in a file of its own and gives it the database's
// name only when it is complete, so a failure (a full disk) leaves nothing.
void createFile(const QString& directory, const QString& path)
{
    QString building;
    {
        QTemporaryFile reserve(QDir(directory).filePath("vantrel-XXXXXX.db.new"));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            throw DbError(QStringLiteral("Cannot write to the database directory %1. Make it writable, or "
                                         "choose a directory you can write to in the VANTREL32 setting.")
                              .arg(QDir::toNativeSeparators(directory)));
        building = reserve.fileName();
    }
    const QString name = nextConnectionName() + "-create";
    try {
        {
            QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", name);
            c.setDatabaseName(building);
            if (!c.open())
                throw engineError(c.lastError());
            QSqlQuery q(c);
            if (!q.exec("PRAGMA journal_mode=WAL"))
                throw engineError(q.lastError());
            q.finish();   // its result row would hold the commit back
            if (!c.transaction())
                throw engineError(c.lastError());
            try {
                Schema::create(c);
            } catch (...) {
                c.rollback();
                throw;
            }
            if (!c.commit())
                throw engineError(c.lastError());
            c.close();   // the last connection folds the journal into the file
        }
        QSqlDatabase::removeDatabase(name);
    } catch (...) {
        QSqlDatabase::removeDatabase(name);
        removeWithCompanions(building);
        throw;
    }
    // An empty leftover gives way; a file another Vantrel made meanwhile is kept.
    if (QFileInfo::exists(path) && QFileInfo(path).size() == 0)
        QFile::remove(path);
    if (!QFile::rename(building, path)) {
        removeWithCompanions(building);
        if (!QFileInfo::exists(path))
            throw DbError(QStringLiteral("Cannot create %1 in the database directory. Make the directory "
                                         "writable, then start Vantrel again.")
                              .arg(QDir::toNativeSeparators(path)));
    }
}

// The alias of the settings file, its section and key compared without
// regard to case, as the settings are edited by hand.
QString aliasSetting()
{
    QSettings settings;
    for (const QString& group : settings.childGroups()) {
        if (group.compare(QLatin1String("Aliases"), Qt::CaseInsensitive) != 0)
            continue;
        settings.beginGroup(group);
        for (const QString& key : settings.childKeys())
            if (key.compare(QLatin1String("VANTREL32"), Qt::CaseInsensitive) == 0)
                return settings.value(key).toString().trimmed();
        settings.endGroup();
    }
    return {};
}

}   // namespace

QString Database::expandHome(const QString& dir)
{
    if (dir == QLatin1String("~"))
        return QDir::homePath();
    if (dir.startsWith(QLatin1String("~/")))
        return QDir::homePath() + dir.mid(1);
    return dir;
}

bool Database::isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://"));
}

QString Database::displayName() const
{
    return QDir::toNativeSeparators(filePath);
}

QString Database::configuredDirectory()
{
    const QString setting = aliasSetting();
    if (setting.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (isServerLocation(setting))
        return setting;
    const QString dir = expandHome(setting);
    if (QDir::isRelativePath(dir))
        throw DbError(QStringLiteral("The VANTREL32 setting in %1 names the directory \"%2\", which is not a "
                                     "full path. Write the whole path (for example /home/club/vantrel or "
                                     "~/vantrel), then start Vantrel again.")
                          .arg(QDir::toNativeSeparators(QSettings().fileName()), setting));
    return QDir::cleanPath(dir);
}

QString Database::fileName(const QString& directory)
{
    return QDir(directory).filePath("vantrel.db");
}

void Database::setFreeSpaceSource(std::function<qint64(const QString&)> source)
{
    FileProbe::setFreeSpaceSource(std::move(source));
}

Database::Database(const QString& directory) : connectionName(nextConnectionName()), filePath(fileName(directory))
{
    int version = Schema::version;
    if (needsCreating(filePath)) {
        FileProbe::requireWritable(directory, QString());
        createFile(directory, filePath);
    } else {
        version = FileProbe::requireVantrelFile(filePath);
        FileProbe::requireWritable(directory, filePath);
    }
    openConnection();
    if (version < Schema::version) {
        try {
            notice = SchemaUpgrade::upgrade(*this, version);
        } catch (...) {
            db.close();
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

void Database::openConnection()
{
    db = QSqlDatabase::addDatabase("QSQLITE", connectionName);
    db.setDatabaseName(filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    try {
        if (!db.open())
            throw engineError(db.lastError());
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=NORMAL");
    } catch (const DbError& e) {
        db.close();
        throw DbError(QStringLiteral("Cannot open %1.\n%2").arg(QDir::toNativeSeparators(filePath), e.message()));
    }
}

QString Database::calendarId()
{
    QString id = Schema::metaValue(db, Schema::calendarIdKey);
    if (id.isEmpty()) {
        runInTransaction([&] { Schema::createMeta(db); });
        id = Schema::metaValue(db, Schema::calendarIdKey);
    }
    return id;
}

void Database::exec(const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw engineError(q.lastError());
}

void Database::startTransaction()
{
    if (transactionActive)
        throw DbError(QStringLiteral("A transaction is already active."));
    if (!db.transaction())
        throw engineError(db.lastError());
    transactionActive = true;
}

void Database::startWriteTransaction()
{
    if (transactionActive)
        throw DbError(QStringLiteral("A transaction is already active."));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw engineError(q.lastError());
    transactionActive = true;
}

void Database::commit()
{
    if (!transactionActive)
        throw DbError(QStringLiteral("No transaction is active."));
    if (!db.commit())
        throw engineError(db.lastError());
    transactionActive = false;
}

void Database::rollback()
{
    if (!transactionActive)
        throw DbError(QStringLiteral("No transaction is active."));
    transactionActive = false;
    if (!db.rollback())
        throw engineError(db.lastError());
}
