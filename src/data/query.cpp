#include "query.h"
#include "database.h"
#include "dberror.h"
#include "schema.h"
#include <QSqlError>
#include <QSqlRecord>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == '_';
}

// Replacement for a double-quoted token: a file name becomes its table,
// "False"/"True" become 0/1, anything else (a column such as "DATE") stays.
QString translateQuoted(const QString& inner)
{
    if (inner.compare("false", Qt::CaseInsensitive) == 0)
        return "0";
    if (inner.compare("true", Qt::CaseInsensitive) == 0)
        return "1";
    if (inner.endsWith(".db", Qt::CaseInsensitive))
        if (const TableDef* t = Schema::find(inner))
            return t->sqlName();
    return '"' + inner + '"';
}

}   // namespace

QString translateSql(const QString& sql, QStringList* names)
{
    QString out;
    out.reserve(sql.size());
    const int n = int(sql.size());
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == '\'') {   // string literal: copied as is
            int j = i + 1;
            while (j < n && !(sql[j] == '\'' && (j + 1 >= n || sql[j + 1] != '\'')))
                j += (sql[j] == '\'') ? 2 : 1;
            out += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == '"') {
            const int j = int(sql.indexOf('"', i + 1));
            if (j < 0) {
                out += sql.mid(i);
                break;
            }
            out += translateQuoted(sql.mid(i + 1, j - i - 1));
            i = j + 1;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_') &&
                   (i == 0 || !isWordChar(sql[i - 1]))) {
            int j = i + 1;
            while (j < n && isWordChar(sql[j]))
                ++j;
            if (names)
                names->append(sql.mid(i + 1, j - i - 1).toLower());
            out += '?';
            i = j;
        } else if (c.isLetter() || c == '_') {
            int j = i;
            while (j < n && isWordChar(sql[j]))
                ++j;
            const QString word = sql.mid(i, j - i);
            if (word.compare("false", Qt::CaseInsensitive) == 0)
                out += '0';
            else if (word.compare("true", Qt::CaseInsensitive) == 0)
                out += '1';
            else
                out += word;
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

Query::Query(Database& db, const QString& sql) : database(db)
{
    setSql(sql);
}

Query::~Query() = default;

void Query::setSql(const QString& sql)
{
    close();
    text = sql;
    prepared = false;
    statement.reset();
    paramNames.clear();
    paramValues.clear();
}

void Query::prepare()
{
    if (prepared)
        return;
    QStringList names;
    const QString translated = translateSql(text, &names);
    statement = std::make_unique<QSqlQuery>(database.connection());
    statement->setForwardOnly(true);
    if (!statement->prepare(translated))
        throw engineError(statement->lastError());
    // Values set before preparing are kept.
    QVector<QVariant> values(names.size());
    for (int i = 0; i < names.size(); ++i) {
        const int old = int(paramNames.indexOf(names[i]));
        if (old >= 0)
            values[i] = paramValues[old];
    }
    paramNames = names;
    paramValues = values;
    prepared = true;
}

void Query::setParam(const QString& name, const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        Schema::requireStorableDate(value.toDate());
    const QString key = (name.startsWith(':') ? name.mid(1) : name).toLower();
    bool found = false;
    for (int i = 0; i < paramNames.size(); ++i)
        if (paramNames[i] == key) {
            paramValues[i] = value;
            found = true;
        }
    if (found)
        return;
    if (prepared)
        throw DbError(QStringLiteral("Parameter '%1' not found").arg(name));
    paramNames.append(key);
    paramValues.append(value);
}

void Query::setDate(const QString& name, const QDate& value)
{
    Schema::requireStorableDate(value);
    setParam(name, value.isValid() ? QVariant(value.toString(Qt::ISODate)) : QVariant());
}

void Query::bindAll()
{
    for (int i = 0; i < paramValues.size(); ++i)
        statement->bindValue(i, paramValues[i]);
}

void Query::run()
{
    prepare();
    bindAll();
    if (!statement->exec())
        throw engineError(statement->lastError());
}

void Query::open()
{
    close();
    run();
    const QSqlRecord rec = statement->record();
    columnNames.clear();
    for (int c = 0; c < rec.count(); ++c)
        columnNames << rec.fieldName(c);
    while (statement->next()) {
        QVector<QVariant> r(rec.count());
        for (int c = 0; c < rec.count(); ++c)
            r[c] = statement->value(c);
        rows.append(std::move(r));
    }
    statement->finish();
    active = true;
    row = 0;
}

void Query::close()
{
    active = false;
    rows.clear();
    columnNames.clear();
    row = 0;
}

int Query::execSql(const QVector<QVariant>& values)
{
    close();
    prepare();
    if (values.size() != paramNames.size())
        throw DbError(
            QStringLiteral("The statement takes %1 values, not %2").arg(paramNames.size()).arg(values.size()));
    for (int i = 0; i < values.size(); ++i)
        statement->bindValue(i, values[i]);
    if (!statement->exec())
        throw engineError(statement->lastError());
    const int affected = statement->numRowsAffected();
    statement->finish();
    return affected;
}

int Query::execSql()
{
    close();
    run();
    const int affected = statement->numRowsAffected();
    insertId = statement->lastInsertId();
    statement->finish();
    return affected;
}

int Query::columnIndex(const QString& name) const
{
    for (int c = 0; c < columnNames.size(); ++c)
        if (columnNames[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QVariant Query::value(const QString& name) const
{
    const int c = columnIndex(name);
    if (c < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    return value(c);
}

QVariant Query::value(int column) const
{
    if (eof())
        return {};
    return rows[row].value(column);
}

bool Query::asBool(const QString& name) const
{
    const QVariant v = value(name);
    if (v.typeId() == QMetaType::QString)
        return v.toString().compare("true", Qt::CaseInsensitive) == 0 || v.toString() == "1";
    return v.toInt() != 0;
}

QDate Query::asDate(const QString& name) const
{
    const QVariant v = value(name);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}
