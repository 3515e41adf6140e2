#pragma once
#include "query.h"
#include <QSqlDatabase>
#include <QString>
#include <functional>

// The one connection to the Vantrel database: a file, or a club's database
// on a PostgreSQL server. A missing file (an empty server database) is
// created with the full schema; an existing one must carry our schema
// version and every table and column of it, else it is refused untouched.
// Another Vantrel may have the same database open: a write it holds makes
// ours wait a moment and then fail with a message that says so.
class Database {
public:
    // Opens (creating if missing) `vantrel.db` in a directory, or the
    // database a PostgreSQL URI names ("postgresql://user@host:5432/club",
    // "postgresql:///club?host=/run/postgresql"). The password comes from
    // ~/.pgpass or the PG* variables, never from us.
    explicit Database(const QString& location);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The directory from the settings (key VANTREL32 of section Aliases, in
    // any case; "~" is the home directory), or the application data
    // directory when there is no setting. A relative path is a DbError; a
    // server URI is taken as it is.
    static QString configuredDirectory();
    // True for a PostgreSQL URI (postgresql:// or postgres://).
    static bool isServerLocation(const QString& location);
    static QString fileName(const QString& directory);
    // "~" and "~/..." as the user's home; the shell leaves a quoted "~" alone.
    static QString expandHome(const QString& directory);

    // The server's advisory locks, by their first key: a run of a group
    // (the second key is the group's id), the one write transaction at a
    // time, and the making of the schema in an empty database.
    enum ServerLock { RunOfGroup = 1, WriteTransaction = 2, SchemaMaking = 3 };

    // How long a write waits for another Vantrel's write to end.
    static constexpr int BusyTimeoutMs = 1500;
    // Below this much free space a file is not opened or created.
    static constexpr qint64 MinimumFreeBytes = 1024 * 1024;
    // Free bytes on the disk of a directory; tests stand in a full disk.
    static void setFreeSpaceSource(std::function<qint64(const QString& directory)> source);

    QSqlDatabase& connection() { return db; }
    Engine engine() const { return dbEngine; }
    bool isServer() const { return dbEngine == Engine::PostgreSQL; }
    // What to call the database to the user: the file's path, or "club on
    // host" for a server (never a password).
    QString displayName() const;
    // What the user should hear about the opening (an older file upgraded);
    // empty when there is nothing to say.
    QString upgradeNotice() const { return notice; }
    // The file's path; for a server, the URI without its password.
    QString path() const { return filePath; }
    // The file's own random id (VANTREL_META), which keeps the calendar
    // events exported from two databases apart. A file that lost it gets a
    // new one.
    QString calendarId();

    bool inTransaction() const { return transactionActive; }
    void startTransaction();
    // Takes the write lock at once (BEGIN IMMEDIATE; on a server, a lock
    // every such transaction takes): a long run of writes then cannot meet
    // another program's writer halfway through.
    void startWriteTransaction();
    void commit();
    void rollback();
    // Runs `work` in one transaction, so that a failure leaves nothing of it
    // written; inside a transaction already open it simply joins that one.
    template <typename F>
    void runInTransaction(F&& work);

    // Runs a statement with no result; a failure is a DbError.
    void exec(const QString& sql);

private:
    void openFile(const QString& directory);
    void openConnection();
    void openServer(const QString& uri);
    void requireServerSchema();

    QString connectionName;
    Engine dbEngine = Engine::SQLite;
    QString filePath;
    QString serverName;   // "club on host"
    QString notice;
    QSqlDatabase db;
    bool transactionActive = false;
};

template <typename F>
void Database::runInTransaction(F&& work)
{
    const bool own = !transactionActive;
    if (own)
        startTransaction();
    try {
        work();
    } catch (...) {
        if (own && transactionActive)
            rollback();
        throw;
    }
    if (own)
        commit();
}
