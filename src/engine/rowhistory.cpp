#include "rowhistory.h"
#include "data/database.h"
#include "data/query.h"
#include "data/schema.h"
#include "data/transaction.h"
#include <QSet>
#include <algorithm>
#include <memory>
#include <unordered_map>

namespace {

struct Source {
    const char* table;
    const char* key;
    const char* selection;
};

// What a season's operations may change: its schedule rows, its entries'
// counters and results, and the days off of its players.
const Source Sources[] = {
    {"SCHEDULE", "SCHEDULEID",
     "SELECT * FROM SCHEDULE WHERE GRPPLAYRID IN (SELECT GROUPPLAYERID FROM GRPPLAYR WHERE GROUPID = :groupid)"},
    {"GRPPLAYR", "GROUPPLAYERID", "SELECT * FROM GRPPLAYR WHERE GROUPID = :groupid"},
    {"PLAYROFF", "PLAYEROFFID",
     "SELECT * FROM PLAYROFF WHERE PLAYERID IN (SELECT PLAYERID FROM GRPPLAYR WHERE GROUPID = :groupid) "
     "OR PLAYERID IN (SELECT SHARESLOTID FROM GRPPLAYR WHERE GROUPID = :groupid)"},
};

TableRows readRows(Database& db, const Source& source, int groupId)
{
    TableRows t{QString::fromLatin1(source.table), QString::fromLatin1(source.key), {}, {}};
    Query q(db, QString::fromLatin1(source.selection));
    q.setInteger("groupid", groupId);
    q.open();
    t.columns = q.columns();
    const int keyColumn = int(t.columns.indexOf(t.key));
    for (q.first(); !q.eof(); q.next()) {
        QVector<QVariant> values(t.columns.size());
        for (int c = 0; c < values.size(); ++c)
            values[c] = q.value(c);
        t.rows.insert(values[keyColumn].toLongLong(), values);
    }
    return t;
}

// Two images are the same when every value has the same type and content.
bool sameImage(const QVector<QVariant>& a, const QVector<QVariant>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].isNull() != b[i].isNull())
            return false;
        if (!a[i].isNull() && (a[i].typeId() != b[i].typeId() || a[i] != b[i]))
            return false;
    }
    return true;
}

// The row version is the database's own: every update moves it on, undo
// and redo too, so it is neither put back nor compared; the records'
// columns are.
bool isRowVersion(const QString& column)
{
    return column.compare(Schema::rowVersionColumn, Qt::CaseInsensitive) == 0;
}

// "c1 = :w0 AND c2 IS NULL ...": the row exactly as it was read.
QString matching(const RowChange& c, const QVector<QVariant>& image)
{
    QStringList terms;
    for (int i = 0; i < c.columns.size(); ++i) {
        if (isRowVersion(c.columns[i]))
            continue;
        const QString column = QLatin1Char('"') + c.columns[i] + QLatin1Char('"');
        terms << (image[i].isNull() ? column + QStringLiteral(" IS NULL") : column + QStringLiteral(" = :w%1").arg(i));
    }
    return terms.join(QStringLiteral(" AND "));
}

void bindImage(Query& q, const RowChange& c, const QVector<QVariant>& image, const QString& prefix)
{
    for (int i = 0; i < image.size(); ++i)
        if ((!image[i].isNull() || prefix == QLatin1String("v")) && !(prefix == "w" && isRowVersion(c.columns[i])))
            q.setParam(prefix + QString::number(i), image[i]);
}

void requireOne(int affected)
{
    if (affected != 1)
        throw StaleRowError();
}

// Statements by their text, each prepared once for a whole record: a
// re-plan's record holds thousands of rows of a few shapes.
class Statements {
public:
    explicit Statements(Database& database) : db(database) {}
    Query& operator()(const QString& sql)
    {
        std::unique_ptr<Query>& q = cache[sql];
        if (!q)
            q = std::make_unique<Query>(db, sql);
        return *q;
    }

private:
    Database& db;
    std::unordered_map<QString, std::unique_ptr<Query>> cache;
};

void writeImage(Statements& statement, const RowChange& c, const QVector<QVariant>& expected,
                const QVector<QVariant>& target)
{
    const QString table = QLatin1Char('"') + c.table + QLatin1Char('"');
    if (target.isEmpty()) {
        Query& q = statement(QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, matching(c, expected)));
        bindImage(q, c, expected, QStringLiteral("w"));
        requireOne(q.execSql());
        return;
    }
    if (expected.isEmpty()) {
        Query& exists = statement(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"%2\" = :id").arg(table, c.key));
        exists.setInteger("id", c.id);
        exists.open();
        if (exists.value(0).toInt() != 0)
            throw StaleRowError();
        QStringList columns, values;
        for (int i = 0; i < c.columns.size(); ++i) {
            columns << QLatin1Char('"') + c.columns[i] + QLatin1Char('"');
            values << QStringLiteral(":v%1").arg(i);
        }
        Query& q = statement(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(", "), values.join(", ")));
        bindImage(q, c, target, QStringLiteral("v"));
        requireOne(q.execSql());
        return;
    }
    const auto restored = [&](int i) { return !sameImage({expected[i]}, {target[i]}) && !isRowVersion(c.columns[i]); };
    QStringList sets;
    for (int i = 0; i < c.columns.size(); ++i)
        if (restored(i))
            sets << QStringLiteral("\"%1\" = :v%2").arg(c.columns[i]).arg(i);
    if (sets.isEmpty())
        return;
    Query& q =
        statement(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table, sets.join(", "), matching(c, expected)));
    for (int i = 0; i < c.columns.size(); ++i)
        if (restored(i))
            q.setParam(QStringLiteral("v%1").arg(i), target[i]);
    bindImage(q, c, expected, QStringLiteral("w"));
    requireOne(q.execSql());
}

}   // namespace

SeasonSnapshot SeasonSnapshot::take(Database& db, int groupId)
{
    SeasonSnapshot s;
    for (const Source& source : Sources)
        s.tables.append(readRows(db, source, groupId));
    return s;
}

UndoRecord UndoRecord::between(const SeasonSnapshot& before, const SeasonSnapshot& after, const QString& description)
{
    UndoRecord record{description, {}};
    for (int t = 0; t < before.tables.size() && t < after.tables.size(); ++t) {
        const TableRows& b = before.tables[t];
        const TableRows& a = after.tables[t];
        QSet<qint64> keys;
        for (auto it = b.rows.cbegin(); it != b.rows.cend(); ++it)
            keys.insert(it.key());
        for (auto it = a.rows.cbegin(); it != a.rows.cend(); ++it)
            keys.insert(it.key());
        QList<qint64> ordered(keys.begin(), keys.end());
        std::sort(ordered.begin(), ordered.end());
        for (qint64 id : ordered) {
            const QVector<QVariant> was = b.rows.value(id);
            const QVector<QVariant> is = a.rows.value(id);
            if (!sameImage(was, is))
                record.changes.append(RowChange{b.table, b.key, b.columns, id, was, is});
        }
    }
    return record;
}

void UndoRecord::apply(Database& db, bool undo) const
{
    Statements statements(db);
    // Deletions first, so that a restored row never meets one still in the way.
    for (int pass = 0; pass < 2; ++pass)
        for (const RowChange& c : changes) {
            const QVector<QVariant>& expected = undo ? c.after : c.before;
            const QVector<QVariant>& target = undo ? c.before : c.after;
            if ((pass == 0) == target.isEmpty())
                writeImage(statements, c, expected, target);
        }
}

void UndoStack::push(UndoRecord record)
{
    if (record.isEmpty())
        return;
    records.resize(done);
    records.append(std::move(record));
    done = int(records.size());
}

bool UndoStack::undo(Database& db)
{
    if (!canUndo())
        return false;
    Transaction transaction(db, Transaction::Lock::AtStart);
    records[done - 1].apply(db, true);
    transaction.commit();
    --done;
    return true;
}

bool UndoStack::redo(Database& db)
{
    if (!canRedo())
        return false;
    Transaction transaction(db, Transaction::Lock::AtStart);
    records[done].apply(db, false);
    transaction.commit();
    ++done;
    return true;
}
