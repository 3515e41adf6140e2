#include "database.h"
#include "dberror.h"
#include "fileprobe.h"
#include "schema.h"
#include "schemaupgrade.h"
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>
#include <QUrlQuery>
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

// Where a server database is, read from its URI.
struct ServerAddress {
    QString host;   // a name, an address, or a socket directory
    int port = -1;
    QString user, password, databaseName;
    QStringList options;   // libpq's own, such as sslmode=require
};

ServerAddress serverAddress(const QString& uri)
{
    const QUrl url(uri);
    if (!url.isValid())
        throw DbError(QStringLiteral("The database address \"%1\" cannot be read. Write it as "
                                     "postgresql://user@host:port/database, then try again.")
                          .arg(uri));
    ServerAddress a;
    a.host = url.host();
    a.port = url.port();
    a.user = url.userName();
    a.password = url.password();
    a.databaseName = url.path().mid(1);
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            a.host = value;
        else if (key == QLatin1String("port"))
            a.port = value.toInt();
        else if (key == QLatin1String("user"))
            a.user = value;
        else if (key == QLatin1String("dbname"))
            a.databaseName = value;
        else if (key != QLatin1String("password"))
            a.options << key + '=' + value;
    }
    if (a.databaseName.isEmpty())
        throw DbError(QStringLiteral("The database address \"%1\" names no database. Write its name after "
                                     "the host, as in postgresql://host/club, then try again.")
                          .arg(uri));
    return a;
}

QString withoutPassword(const QString& uri)
{
    QUrl url(uri);
    url.setPassword(QString());
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("password"));
    url.setQuery(query);
    return url.toString();
}

}   // namespace

bool Database::isServerLocation(const QString& location)
{
    const QString l = location.trimmed();
    return l.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           l.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString Database::displayName() const
{
    return isServer() ? serverName : QDir::toNativeSeparators(filePath);
}

QString Database::expandHome(const QString& dir)
{
    if (dir == QLatin1String("~"))
        return QDir::homePath();
    if (dir.startsWith(QLatin1String("~/")))
        return QDir::homePath() + dir.mid(1);
    return dir;
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

Database::Database(const QString& location) : connectionName(nextConnectionName())
{
    if (isServerLocation(location))
        openServer(location.trimmed());
    else
        openFile(location);
}

void Database::openFile(const QString& directory)
{
    filePath = fileName(directory);
    int version = Schema::version;
    const bool existed = !needsCreating(filePath);
    if (!existed) {
        FileProbe::requireWritable(directory, QString());
        createFile(directory, filePath);
    } else {
        FileProbe::requireVantrelFile(filePath);
        FileProbe::requireWritable(directory, filePath);
    }
    openConnection();
    if (existed) {
        // The probe reads the main file alone; an upgrade still in the
        // write-ahead log (made by a Vantrel that is open, or was killed) is
        // seen only through the connection, and must not be made twice.
        try {
            version = Schema::storedVersion(db);
            FileProbe::requireKnownVersion(filePath, version);
        } catch (...) {
            db.close();
            throw;
        }
    }
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

void Database::openServer(const QString& uri)
{
    dbEngine = Engine::PostgreSQL;
    filePath = withoutPassword(uri);
    const ServerAddress address = serverAddress(uri);
    const bool local = address.host.isEmpty() || address.host.startsWith('/');
    serverName =
        QStringLiteral("%1 on %2").arg(address.databaseName, local ? QStringLiteral("this computer") : address.host);
    db = QSqlDatabase::addDatabase("QPSQL", connectionName);
    if (!db.isValid())
        throw DbError(QStringLiteral("Vantrel cannot reach PostgreSQL servers on this computer: the driver is "
                                     "missing. Install the package libqt6sql6-psql, then start Vantrel again."));
    db.setHostName(address.host);
    if (address.port > 0)
        db.setPort(address.port);
    db.setUserName(address.user);
    db.setPassword(address.password);
    db.setDatabaseName(address.databaseName);
    QStringList options = address.options;
    if (!address.options.join(' ').contains(QLatin1String("connect_timeout")))
        options << QStringLiteral("connect_timeout=10");
    db.setConnectOptions(options.join(';'));
    if (!db.open())
        throw DbError(QStringLiteral("Cannot connect to the database %1. Check that the server is running and "
                                     "that your user name and password (in ~/.pgpass) are right, then try "
                                     "again.\n%2")
                          .arg(serverName, db.lastError().text().trimmed()));
    try {
        exec(QStringLiteral("SET lock_timeout = %1").arg(BusyTimeoutMs));
        exec(QStringLiteral("SET client_min_messages = warning"));
        requireServerSchema();
    } catch (...) {
        if (transactionActive)
            db.rollback();
        transactionActive = false;
        db.close();
        throw;
    }
}

// An empty database gets the schema, as a missing file does; one that
// holds other tables, or ours from a newer Vantrel, is refused untouched.
void Database::requireServerSchema()
{
    const auto ourTables = [this] {
        Query q(*this, QStringLiteral("SELECT table_name FROM information_schema.tables "
                                      "WHERE table_schema = current_schema()"));
        q.open();
        QSet<QString> names;
        for (q.first(); !q.eof(); q.next())
            names.insert(q.value(0).toString().toLower());
        return names;
    };
    if (ourTables().isEmpty()) {
        runInTransaction([&] {
            // Two Vantrels starting on the new database at once make it once.
            exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1, 0)").arg(SchemaMaking));
            if (ourTables().isEmpty())
                Schema::create(db);
        });
    }
    const QSet<QString> present = ourTables();
    const int version = present.contains(Schema::metaTable.toLower()) ? Schema::storedVersion(db) : 0;
    if (version <= 0)
        throw DbError(QStringLiteral("The database %1 holds other tables and is not a Vantrel database. It was "
                                     "left untouched; give Vantrel an empty database of its own.")
                          .arg(serverName));
    if (version > Schema::version)
        throw DbError(QStringLiteral("The database %1 was written by a newer version of Vantrel. It was left "
                                     "untouched; install the newer version to open it.")
                          .arg(serverName));
    QStringList missing;
    for (const TableDef& t : Schema::tables())
        if (!present.contains(t.name.toLower()))
            missing << t.name;
    if (!missing.isEmpty())
        throw DbError(QStringLiteral("The database %1 is damaged: it lacks %2. It was left untouched; ask "
                                     "whoever keeps the server to put back a copy.")
                          .arg(serverName, missing.join(QStringLiteral(", "))));
    if (version < Schema::version)
        notice = SchemaUpgrade::upgrade(*this, version);
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
    if (!q.exec(translateSql(sql, nullptr, dbEngine)))
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
    if (!isServer()) {
        if (transactionActive)
            throw DbError(QStringLiteral("A transaction is already active."));
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            throw engineError(q.lastError());
        transactionActive = true;
        return;
    }
    // The server has no database-wide write lock: every such transaction
    // takes the same lock of its own instead, which waits as long as the
    // file's does and is freed with the transaction, however it ends.
    startTransaction();
    try {
        exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1, 0)").arg(WriteTransaction));
    } catch (...) {
        rollback();
        throw;
    }
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
