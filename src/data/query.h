#pragma once
#include <QDate>
#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class Database;
class QSqlDatabase;

// The engines a Vantrel database lives in: a file of its own, or a club's
// server shared by several organisers.
enum class Engine { SQLite, PostgreSQL };
Engine engineOf(const QSqlDatabase& connection);

// Rewrites a statement of the program into the stored SQL: quoted file names
// ("PLAYERS.db", "groupoff.DB") become table names, the boolean literals
// False/True and "False"/"True" become 0/1, and named parameters become
// positional ones. `names` receives the parameter names in order. Every
// UPDATE of a table with a row version moves the version on, so that the
// optimistic check of a row sees any change, whoever wrote it.
//
// This is the one place where the engines' dialects differ: on PostgreSQL
// quoted names are lower-cased (the server folds bare names to lower case,
// while the file keeps them as the schema writes them), AUTOINCREMENT
// becomes an identity column, REAL a double, rowid the row's place and
// COLLATE NOCASE an order by the lower-case text.
QString translateSql(const QString& sql, QStringList* names = nullptr, Engine engine = Engine::SQLite);

// A statement with typed named parameters (":groupid"), prepared once and
// reused. `open` reads the whole result into memory so that the cursor can
// move both ways while other statements write.
class Query {
public:
    explicit Query(Database& db, const QString& sql = {});
    ~Query();

    void setSql(const QString& sql);   // closes and unprepares
    QString sql() const { return text; }
    void prepare();
    bool isPrepared() const { return prepared; }

    void setParam(const QString& name, const QVariant& value);
    void setInteger(const QString& name, qint64 value) { setParam(name, value); }
    void setFloat(const QString& name, double value) { setParam(name, value); }
    void setString(const QString& name, const QString& value) { setParam(name, value); }
    void setBool(const QString& name, bool value) { setParam(name, value ? 1 : 0); }
    void setDate(const QString& name, const QDate& value);

    void open();
    void close();
    bool isActive() const { return active; }
    // Executes a statement; returns the number of rows it changed.
    int execSql();
    // The same with the values bound by position, in the order the text
    // names its parameters: for a statement run thousands of times, where
    // looking parameters up by name would cost more than the write.
    int execSql(const QVector<QVariant>& values);
    QVariant lastInsertId() const { return insertId; }

    bool eof() const { return !active || row >= rows.size(); }
    bool bof() const { return row <= 0; }
    void first() { row = 0; }
    void next()
    {
        if (row < rows.size())
            ++row;
    }
    void prior()
    {
        if (row > 0)
            --row;
    }
    void last() { row = rows.isEmpty() ? 0 : int(rows.size()) - 1; }
    int recordCount() const { return int(rows.size()); }
    int recNo() const { return row + 1; }
    bool isEmpty() const { return rows.isEmpty(); }

    // The result's column names, spelt as the schema spells them on either engine.
    QStringList columns() const { return columnNames; }
    bool hasColumn(const QString& name) const { return columnIndex(name) >= 0; }
    QVariant value(const QString& name) const;
    QVariant value(int column) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    qint64 asInteger(const QString& name) const { return value(name).toLongLong(); }
    int asInt(const QString& name) const { return value(name).toInt(); }
    double asFloat(const QString& name) const { return value(name).toDouble(); }
    QString asString(const QString& name) const { return value(name).toString(); }
    bool asBool(const QString& name) const;
    QDate asDate(const QString& name) const;

private:
    int columnIndex(const QString& name) const;
    void bindAll();
    void run();

    Database& database;
    QString text;
    QStringList paramNames;
    QVector<QVariant> paramValues;
    std::unique_ptr<QSqlQuery> statement;
    bool prepared = false;
    bool active = false;
    QStringList columnNames;
    QVector<QVector<QVariant>> rows;
    int row = 0;
    QVariant insertId;
};
