#include "databasecopy.h"
#include "database.h"
#include "dberror.h"
#include "query.h"
#include "schema.h"
#include "transaction.h"
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Every table a club's records live in, as statements name it.
QStringList copiedTables()
{
    QStringList names;
    for (const TableDef& t : Schema::tables())
        names << '"' + t.fileName + '"';
    names << Schema::changeLogTable;
    return names;
}

QString plainName(const QString& statementName)
{
    if (const TableDef* t = Schema::find(statementName))
        return t->name;
    return statementName;
}

// Tables whose rows every new database ships with: the target's give way to the source's.
bool isShipped(const QString& statementName)
{
    const QString name = plainName(statementName);
    return name == QLatin1String("LABEL") || name == QLatin1String("FIELDDEF");
}

qint64 rowCount(Database& db, const QString& table)
{
    Query q(db, QStringLiteral("SELECT COUNT(*) AS N FROM %1").arg(table));
    q.open();
    return q.asInteger("N");
}

// A target that is not empty: refused as it is, not as a failed copy.
class NotEmpty : public DbError {
public:
    using DbError::DbError;
};

void requireNoRecords(Database& to)
{
    for (const CopiedTable& t : recordCounts(to))
        if (t.rows > 0)
            throw NotEmpty(QStringLiteral("%1 already holds a club's records (table %2). Copy only into a new or "
                                          "empty database; nothing was changed.")
                               .arg(to.displayName(), t.table));
}

// Row by row through one prepared statement, ids included; returns the rows read.
qint64 copyTable(Database& from, Database& to, const QString& table)
{
    Query read(from, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
    read.open();
    QStringList columns, params;
    for (const QString& c : read.columns()) {
        columns << '"' + c + '"';
        params << QStringLiteral(":c%1").arg(params.size());
    }
    Query write(to, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(table, columns.join(QStringLiteral(", ")), params.join(QStringLiteral(", "))));
    QVector<QVariant> values(columns.size());
    for (read.first(); !read.eof(); read.next()) {
        for (int c = 0; c < values.size(); ++c)
            values[c] = read.value(c);
        write.execSql(values);
    }
    return read.recordCount();
}

// Calendar events exported before the move keep their ids after it.
void copyCalendarId(Database& from, Database& to)
{
    Query read(from, QStringLiteral("SELECT VALUE FROM %1 WHERE NAME = :name").arg(Schema::metaTable));
    read.setString("name", Schema::calendarIdKey);
    read.open();
    if (read.eof())
        return;
    Query drop(to, QStringLiteral("DELETE FROM %1 WHERE NAME = :name").arg(Schema::metaTable));
    drop.setString("name", Schema::calendarIdKey);
    drop.execSql();
    Query write(to, QStringLiteral("INSERT INTO %1 (NAME, VALUE) VALUES (:name, :value)").arg(Schema::metaTable));
    write.execSql({Schema::calendarIdKey, read.value(0)});
}

void runRaw(QSqlQuery& q, const QString& sql)
{
    if (!q.exec(sql))
        throw engineError(q.lastError());
}

// Rows inserted with their ids leave a server's identity counters behind:
// the next new row would take an id already used. SQLite's counters follow
// the largest id by themselves.
void resetIdentityCounters(Database& to)
{
    if (!to.isServer())
        return;
    QSqlQuery q(to.connection());
    runRaw(q, QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                             "WHERE table_schema = current_schema() AND is_identity = 'YES'"));
    QVector<QPair<QString, QString>> identities;
    while (q.next())
        identities.append({q.value(0).toString(), q.value(1).toString()});
    q.finish();
    for (const auto& [table, column] : identities)
        runRaw(q, QStringLiteral("SELECT setval(pg_get_serial_sequence('\"%1\"', '%2'), COALESCE(MAX(\"%2\"), 0) + 1, "
                                 "false) FROM \"%1\"")
                      .arg(table, column));
}

QVector<CopiedTable> copyAll(Database& from, Database& to)
{
    requireNoRecords(to);
    QVector<CopiedTable> counts;
    for (const QString& table : copiedTables()) {
        if (isShipped(table))
            Query(to, QStringLiteral("DELETE FROM %1").arg(table)).execSql();
        const qint64 read = copyTable(from, to, table);
        const qint64 written = rowCount(to, table);
        if (written != read)
            throw DbError(QStringLiteral("Table %1 holds %2 rows after the copy, but %3 were read.")
                              .arg(plainName(table))
                              .arg(written)
                              .arg(read));
        counts.append({plainName(table), written});
    }
    copyCalendarId(from, to);
    resetIdentityCounters(to);
    return counts;
}

}   // namespace

QVector<CopiedTable> recordCounts(Database& db)
{
    QVector<CopiedTable> counts;
    for (const QString& table : copiedTables())
        if (!isShipped(table))
            counts.append({plainName(table), rowCount(db, table)});
    return counts;
}

QVector<CopiedTable> copyDatabase(Database& from, Database& to)
{
    if (from.path() == to.path())
        throw DbError(QStringLiteral("%1 cannot be copied onto itself; name another database to copy to.")
                          .arg(from.displayName()));
    try {
        // One view of the source, however other organisers change it meanwhile.
        Transaction reading(from);
        if (from.isServer())
            from.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
        Transaction writing(to, Transaction::Lock::AtStart);
        QVector<CopiedTable> counts = copyAll(from, to);
        writing.commit();
        reading.commit();
        return counts;
    } catch (const NotEmpty&) {
        throw;
    } catch (const DbError& e) {
        throw DbError(
            QStringLiteral("The copy failed, and nothing was written to %1.\n%2").arg(to.displayName(), e.message()));
    }
}
