#pragma once
#include <QSqlDatabase>
#include <QString>

// The one connection to the Vantrel database file. A missing file is created
// with the full schema; an existing one must carry our schema version, else it
// is refused untouched.
class Database {
public:
    // Opens (creating if missing) `vantrel.db` in the directory.
    explicit Database(const QString& directory);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The directory from the settings (key Aliases/VANTREL32), or the
    // application data directory when there is no setting.
    static QString configuredDirectory();
    static QString fileName(const QString& directory);

    QSqlDatabase& connection() { return db; }
    // What the user should hear about the opening (an older file upgraded);
    // empty when there is nothing to say.
    QString upgradeNotice() const { return notice; }
    QString path() const { return filePath; }

    bool inTransaction() const { return transactionActive; }
    void startTransaction();
    void commit();
    void rollback();
    // Runs `work` in one transaction, so that a failure leaves nothing of it
    // written; inside a transaction already open it simply joins that one.
    template <typename F>
    void runInTransaction(F&& work);

    // Runs a statement with no result; a failure is a DbError.
    void exec(const QString& sql);

private:
    void configure();

    QString connectionName;
    QString filePath;
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
