#include "table.h"
#include "database.h"
#include "dberror.h"
#include "query.h"
#include "textwidth.h"
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

const QString notEditing = QStringLiteral("Dataset not in edit or insert mode");
const QString emptyDataset = QStringLiteral("Cannot perform this operation on an empty dataset");

bool isStringType(FieldType t)
{
    return t == FieldType::String || t == FieldType::Memo;
}

// Stored representation: ISO dates, HH:MM:SS times, 0/1 booleans.
QVariant toStorage(FieldType type, const QVariant& v)
{
    if (v.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Date: {
        const QDate d = v.toDate();
        Schema::requireStorableDate(d);
        return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant();
    }
    case FieldType::Time: return v.toTime().isValid() ? QVariant(v.toTime().toString("HH:mm:ss")) : QVariant();
    case FieldType::Boolean: return v.toBool() ? 1 : 0;
    default: return v;
    }
}

QVariant fromStorage(FieldType type, const QVariant& v)
{
    if (v.isNull())
        return QVariant();
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt: return v.toInt();
    case FieldType::Float:
    case FieldType::Currency: return v.toDouble();
    case FieldType::Boolean:
        if (v.typeId() == QMetaType::QString)
            return v.toString().compare("true", Qt::CaseInsensitive) == 0 || v.toString() == "1";
        return v.toInt() != 0;
    case FieldType::Date: return QDate::fromString(v.toString().left(10), Qt::ISODate);
    case FieldType::Time: return QTime::fromString(v.toString().left(8), "HH:mm:ss");
    case FieldType::String:
    case FieldType::Memo: return v.toString();
    }
    return v;
}

int compareValues(const QVariant& a, const QVariant& b, FieldType type)
{
    if (a.isNull() || b.isNull())
        return int(b.isNull()) - int(a.isNull()) == 0 ? 0 : (a.isNull() ? -1 : 1);
    if (isStringType(type))
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    const QPartialOrdering o = QVariant::compare(a, b);
    if (o == QPartialOrdering::Less)
        return -1;
    if (o == QPartialOrdering::Greater)
        return 1;
    return 0;
}

QString vanishedMessage(const TableDef& table)
{
    return QStringLiteral("This %1 no longer exists. It was deleted in another Vantrel window; your change "
                          "was not saved.")
        .arg(table.recordNoun());
}

bool sameValue(const QVariant& a, const QVariant& b, FieldType type)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return compareValues(a, b, type) == 0;
}

}   // namespace

QString stateName(Table::State state)
{
    switch (state) {
    case Table::State::Inactive: return "Inactive";
    case Table::State::Browse: return "Browse";
    case Table::State::Edit: return "Edit";
    case Table::State::Insert: return "Insert";
    case Table::State::SetKey: return "Search";
    case Table::State::CalcFields: return "Calculate";
    case Table::State::Filter: return "Filtered";
    }
    return "Unknown";
}

Table::Table(Database& database, const QString& tableName, QObject* parent)
    : QObject(parent), db(database), def(&Schema::require(tableName))
{
    for (const auto& fd : def->fields)
        cols.append(Column{fd.name, fd.type, fd.size, Column::Stored});
    if (def->hasRowVersion())
        cols.append(Column{Schema::rowVersionColumn, FieldType::Integer, 0, Column::Version});
}

Table::~Table()
{
    if (master)
        master->details.removeAll(this);
    for (Table* d : details)
        d->master = nullptr;
}

// ---------------------------------------------------------------- settings

void Table::setIndexName(const QString& indexName)
{
    if (!indexName.isEmpty() && !def->index(indexName))
        throw DbError(QStringLiteral("Index does not exist: %1").arg(indexName));
    index = indexName;
    if (isActive())
        refresh();
}

void Table::setFilter(const QString& filter)
{
    filterText = filter;
    if (isActive() && filterOn)
        refresh();
}

void Table::setFiltered(bool on)
{
    filterOn = on;
    if (isActive())
        refresh();
}

void Table::setMasterSource(Table* m, const QString& mField, const QString& dField)
{
    if (master)
        master->details.removeAll(this);
    master = m;
    masterField = mField;
    detailField = dField;
    if (master) {
        requireColumn(dField);
        master->details.append(this);
    }
    if (isActive())
        refresh();
}

void Table::addLookupField(const QString& name, const QString& keyField, const QString& lookupTable,
                           const QString& lookupKey, const QString& resultField)
{
    const TableDef& other = Schema::require(lookupTable);
    const FieldDef* result = other.field(resultField);
    if (!result || !other.field(lookupKey))
        throw DbError(QStringLiteral("Field '%1' not found in %2").arg(resultField, lookupTable));
    Column c{name, result->type, result->size, Column::Lookup};
    c.keyColumn = requireColumn(keyField);
    c.lookupTable = other.sqlName();
    c.lookupKey = lookupKey;
    c.resultField = resultField;
    cols.append(c);
}

void Table::addCalcField(const QString& name, FieldType type, int size)
{
    cols.append(Column{name, type, size, Column::Calc});
}

// --------------------------------------------------------------- lifecycle

void Table::open()
{
    if (isActive())
        return;
    load(QVariant());
    state_ = State::Browse;
    emit stateChanged();
    emit afterOpen();
    emit afterScroll();
}

void Table::close()
{
    if (!isActive())
        return;
    if (state_ == State::Edit || state_ == State::Insert)
        cancel();
    rows.clear();
    cur = -1;
    atEof = atBof = true;
    setState(State::Inactive);
    emit rowsReset();
}

void Table::refresh()
{
    requireActive();
    checkBrowseMode();
    load(currentKey());
    emit rowsReset();
    emit afterScroll();
    notifyDetails();
}

void Table::emptyTable()
{
    if (readOnly)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    if (state_ == State::Edit || state_ == State::Insert)
        cancel();
    Query q(db, QStringLiteral("DELETE FROM %1").arg(def->sqlName()));
    q.execSql();
    rows.clear();
    cur = -1;
    atEof = atBof = true;
    if (isActive()) {
        emit rowsReset();
        emit afterScroll();
        notifyDetails();
    }
}

void Table::setSetKeyState()
{
    requireActive();
    checkBrowseMode();
    setState(State::SetKey);
}

QString Table::selectSql(QVariantList& binds) const
{
    QStringList names;
    for (const auto& c : cols)
        if (c.kind == Column::Stored || c.kind == Column::Version)
            names << '"' + c.name + '"';
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(names.join(", "), def->sqlName());
    QStringList where;
    if (filterOn && !filterText.trimmed().isEmpty())
        where << '(' + filterText + ')';
    if (master) {
        where << '"' + cols[requireColumn(detailField)].name + "\" = ?";
        binds << toStorage(cols[requireColumn(detailField)].type, linkedValue);
    }
    if (!where.isEmpty())
        sql += " WHERE " + where.join(" AND ");
    if (index.isEmpty() && !def->primaryKey())
        return translateSql(sql + " ORDER BY rowid", nullptr, db.engine());   // the order the rows were written
    QStringList order;
    const QStringList orderCols = index.isEmpty() ? QStringList{def->primaryKey()->name} : def->index(index)->columns;
    for (const auto& oc : orderCols) {
        const FieldDef* fd = def->field(oc);
        order << '"' + oc + '"' + (fd && isStringType(fd->type) ? " COLLATE NOCASE" : "");
    }
    sql += " ORDER BY " + order.join(", ");
    return translateSql(sql, nullptr, db.engine());
}

void Table::load(const QVariant& keepKey)
{
    rows.clear();
    lookupCache.clear();
    linkedValue = masterValue();
    const bool unlinked = master && linkedValue.isNull();
    if (!appendOnly && !unlinked) {
        QVariantList binds;
        const QString sql = selectSql(binds);
        QSqlQuery sq(db.connection());
        sq.setForwardOnly(true);
        if (!sq.prepare(sql))
            throw engineError(sq.lastError());
        for (int i = 0; i < binds.size(); ++i)
            sq.bindValue(i, binds[i]);
        if (!sq.exec())
            throw engineError(sq.lastError());
        int stored = 0;
        for (const auto& c : cols)
            stored += c.kind == Column::Stored || c.kind == Column::Version;
        while (sq.next()) {
            Row r(cols.size());
            for (int i = 0; i < stored; ++i)
                r[i] = fromStorage(cols[i].type, sq.value(i));
            rows.append(std::move(r));
        }
    }
    fillAllDerived();
    cur = rows.isEmpty() ? -1 : 0;
    if (!keepKey.isNull() && def->primaryKey()) {
        const int pk = requireColumn(def->primaryKey()->name);
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i][pk] == keepKey) {
                cur = i;
                break;
            }
    }
    atBof = true;
    atEof = rows.isEmpty();
}

// ---------------------------------------------------------- derived columns

QVariant Table::lookupValue(const Column& c, const QVariant& key) const
{
    if (key.isNull())
        return QVariant();
    const int ci = int(&c - cols.data());
    auto& cache = lookupCache[ci];
    const QString k = key.toString();
    auto hit = cache.constFind(k);
    if (hit != cache.constEnd())
        return *hit;
    auto& q = lookupQueries[ci];
    if (!q)
        q = std::make_shared<Query>(
            db,
            QStringLiteral("SELECT \"%1\" FROM %2 WHERE \"%3\" = :key").arg(c.resultField, c.lookupTable, c.lookupKey));
    q->setParam("key", key);
    q->open();
    const QVariant v = q->eof() ? QVariant() : fromStorage(c.type, q->value(0));
    q->close();
    cache.insert(k, v);
    return v;
}

void Table::fillDerived(int row)
{
    Row& r = rows[row];
    bool anyCalc = false;
    for (int i = 0; i < cols.size(); ++i) {
        const Column& c = cols[i];
        if (c.kind == Column::Lookup)
            r[i] = lookupValue(c, r[c.keyColumn]);
        else if (c.kind == Column::Calc) {
            r[i] = QVariant();
            anyCalc = true;
        }
    }
    if (anyCalc && onCalcFields) {
        // The row being calculated is the one values are read from and
        // written to, and its record number is what recNo() tells.
        const State saved = state_;
        const int savedCalc = calcRow;
        state_ = State::CalcFields;
        calcRow = row;
        try {
            onCalcFields(*this);
        } catch (...) {
            state_ = saved;
            calcRow = savedCalc;
            throw;
        }
        state_ = saved;
        calcRow = savedCalc;
    }
}

void Table::fillAllDerived()
{
    bool derived = false;
    for (const auto& c : cols)
        derived |= c.kind != Column::Stored;
    if (!derived)
        return;
    for (int i = 0; i < rows.size(); ++i)
        fillDerived(i);
}

// -------------------------------------------------------------- navigation

void Table::moveTo(int row)
{
    cur = row;
    emit afterScroll();
    notifyDetails();
}

void Table::first()
{
    requireActive();
    checkBrowseMode();
    atBof = true;
    atEof = rows.isEmpty();
    moveTo(rows.isEmpty() ? -1 : 0);
}

void Table::last()
{
    requireActive();
    checkBrowseMode();
    atEof = true;
    atBof = rows.isEmpty();
    moveTo(int(rows.size()) - 1);
}

void Table::next()
{
    requireActive();
    checkBrowseMode();
    atBof = false;
    if (cur + 1 < rows.size())
        moveTo(cur + 1);
    else
        atEof = true;
}

void Table::prior()
{
    requireActive();
    checkBrowseMode();
    atEof = false;
    if (cur > 0)
        moveTo(cur - 1);
    else
        atBof = true;
}

int Table::recNo() const
{
    if (calcRow >= 0)
        return calcRow + 1;
    return cur + 1;
}

void Table::setRecNo(int recNo)
{
    requireActive();
    if (recNo < 1 || recNo > rows.size() || recNo == cur + 1)
        return;
    checkBrowseMode();
    atBof = atEof = false;
    moveTo(recNo - 1);
}

bool Table::findKey(const QVariantList& key)
{
    requireActive();
    checkBrowseMode();
    QStringList keyCols = index.isEmpty() || !def->index(index)
                              ? QStringList{def->primaryKey() ? def->primaryKey()->name : QString()}
                              : def->index(index)->columns;
    QVector<int> ci;
    for (int i = 0; i < key.size() && i < keyCols.size(); ++i)
        ci << requireColumn(keyCols[i]);
    for (int r = 0; r < rows.size(); ++r) {
        bool match = true;
        for (int i = 0; i < ci.size() && match; ++i)
            match = sameValue(rows[r][ci[i]], convertIn(cols[ci[i]], key[i]), cols[ci[i]].type);
        if (match) {
            atBof = atEof = false;
            moveTo(r);
            return true;
        }
    }
    return false;
}

bool Table::locate(const QString& field, const QVariant& value)
{
    requireActive();
    checkBrowseMode();
    const int c = requireColumn(field);
    const QVariant v = value.isNull() ? QVariant() : convertIn(cols[c], value);
    for (int r = 0; r < rows.size(); ++r)
        if (sameValue(rows[r][c], v, cols[c].type)) {
            atBof = atEof = false;
            moveTo(r);
            return true;
        }
    return false;
}

QVariant Table::lookup(const QString& keyField, const QVariant& key, const QString& resultField) const
{
    const int k = requireColumn(keyField);
    const int res = requireColumn(resultField);
    for (const auto& r : rows)
        if (sameValue(r[k], key, cols[k].type))
            return r[res];
    return QVariant();
}

// ----------------------------------------------------------------- editing

void Table::startNewRow(bool atEnd)
{
    requireActive();
    if (readOnly)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    checkBrowseMode();
    if (beforeInsert)
        beforeInsert(*this);
    buffer = Row(cols.size());
    if (master) {
        const int d = requireColumn(detailField);
        buffer[d] = convertIn(cols[d], masterValue());
    }
    rowBeforeInsert = cur;
    insertAt = atEnd || cur < 0 ? int(rows.size()) : cur;
    rows.insert(insertAt, buffer);
    cur = insertAt;
    state_ = State::Insert;
    try {
        if (onNewRecord)
            onNewRecord(*this);
    } catch (...) {
        rows.remove(insertAt);
        cur = std::min(insertAt, int(rows.size()) - 1);
        state_ = State::Browse;
        throw;
    }
    rows[cur] = buffer;
    atBof = atEof = false;
    emit stateChanged();
    emit rowsReset();
    emit afterScroll();
    notifyDetails();
}

void Table::append()
{
    startNewRow(true);
}

void Table::insert()
{
    startNewRow(false);
}

void Table::edit()
{
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (readOnly)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    if (rows.isEmpty()) {
        append();
        return;
    }
    if (beforeEdit)
        beforeEdit(*this);
    buffer = rows[cur];
    setState(State::Edit);
}

void Table::checkRequired() const
{
    for (int i = 0; i < cols.size(); ++i) {
        const FieldDef* fd = cols[i].kind == Column::Stored ? def->field(cols[i].name) : nullptr;
        if (fd && fd->required && buffer[i].isNull())
            throw DbError(QStringLiteral("Field '%1' must have a value").arg(fd->name));
    }
}

void Table::post()
{
    requireActive();
    requireEditing();
    if (beforePost)
        beforePost(*this);
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].kind == Column::Stored && cols[i].type == FieldType::Boolean && buffer[i].isNull())
            buffer[i] = false;   // an unset flag counts as false everywhere
    checkRequired();
    if (state_ == State::Insert) {
        try {
            writeInsert();
        } catch (const RowConflict&) {
            cancel();   // the row has nowhere to go
            throw;
        }
    } else if (!writeUpdate())
        refuseStaleWrite(rows[cur], QStringLiteral("This %1 was changed in another Vantrel window since you "
                                                   "opened it; your change was not saved. The current values "
                                                   "are shown."));
    rows[cur] = buffer;
    if (appendOnly) {
        // Only the row just posted is kept: a table written row by row for a
        // whole schedule would otherwise be re-sorted at every post.
        rows = {buffer};
        cur = 0;
    }
    state_ = State::Browse;
    sortRows();
    fillAllDerived();
    emit stateChanged();
    emit rowsReset();
    emit afterPost();
    notifyDetails();
}

void Table::cancel()
{
    if (state_ == State::Insert) {
        rows.remove(cur);
        // Back to the row that was current before the insert; removing the
        // new row undoes any shift it caused.
        cur = rowBeforeInsert;
        cur = std::clamp(cur, rows.isEmpty() ? -1 : 0, int(rows.size()) - 1);
        state_ = State::Browse;
        fillAllDerived();
        emit stateChanged();
        emit rowsReset();
        emit afterCancel();
        emit afterScroll();
        notifyDetails();
    } else if (state_ == State::Edit) {
        buffer.clear();
        setState(State::Browse);
        emit rowChanged(cur);
        emit afterCancel();
    } else if (state_ == State::SetKey) {
        setState(State::Browse);
    }
}

void Table::remove()
{
    requireActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireRows();
    if (readOnly)
        throw DbError(QStringLiteral("Cannot modify a read-only dataset"));
    if (state_ == State::Edit)
        cancel();
    if (beforeDelete)
        beforeDelete(*this);
    if (!def->primaryKey())
        throw DbError(QStringLiteral("Table %1 has no key; its rows cannot be deleted one by one").arg(def->name));
    if (asReadStatement(deleteStmt, QStringLiteral("DELETE FROM %1").arg(def->sqlName()), rows[cur]).execSql() == 0)
        refuseStaleWrite(rows[cur], QStringLiteral("This %1 was changed in another Vantrel window since you "
                                                   "opened it, so it was not deleted. The current values are "
                                                   "shown."));
    rows.remove(cur);
    cur = std::min(cur, int(rows.size()) - 1);
    atEof = rows.isEmpty();
    fillAllDerived();
    emit rowsReset();
    emit afterDelete();
    emit afterScroll();
    notifyDetails();
}

void Table::checkBrowseMode()
{
    if (state_ == State::Edit || state_ == State::Insert)
        post();
    else if (state_ == State::SetKey)
        setState(State::Browse);
}

void Table::writeInsert()
{
    requireMasterRow();
    QStringList names, params;
    for (const auto& c : cols)
        if (c.kind == Column::Stored && c.type != FieldType::AutoInc) {
            names << '"' + c.name + '"';
            params << ':' + c.name;
        }
    // Both engines name the new key in the statement's own result.
    const FieldDef* key = def->primaryKey();
    if (!insertStmt)
        insertStmt = std::make_unique<Query>(
            db,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(def->sqlName(), names.join(", "), params.join(", ")) +
                (key ? QStringLiteral(" RETURNING \"%1\"").arg(key->name) : QString()));
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].kind == Column::Stored && cols[i].type != FieldType::AutoInc)
            insertStmt->setParam(cols[i].name, toStorage(cols[i].type, buffer[i]));
    if (!key) {
        insertStmt->execSql();
        return;
    }
    insertStmt->open();
    buffer[requireColumn(key->name)] = insertStmt->value(0).toInt();
    insertStmt->close();
    buffer[versionColumn()] = 0;
}

int Table::versionColumn() const
{
    return requireColumn(Schema::rowVersionColumn);
}

// False when the row as it was read is no longer stored.
bool Table::writeUpdate()
{
    if (!def->primaryKey())
        throw DbError(QStringLiteral("Table %1 has no key; its rows cannot be changed one by one").arg(def->name));
    QStringList sets;
    for (const auto& c : cols)
        if (c.kind == Column::Stored && c.type != FieldType::AutoInc)
            sets << QStringLiteral("\"%1\" = :%1").arg(c.name);
    // The statement moves the row version on by itself (translateSql).
    Query& update =
        asReadStatement(updateStmt, QStringLiteral("UPDATE %1 SET %2").arg(def->sqlName(), sets.join(", ")), rows[cur]);
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].kind == Column::Stored && cols[i].type != FieldType::AutoInc)
            update.setParam(cols[i].name, toStorage(cols[i].type, buffer[i]));
    if (update.execSql() == 0)
        return false;
    buffer[versionColumn()] = rows[cur][versionColumn()].toLongLong() + 1;
    return true;
}

// `head` limited to the row as it was read: its key and its row version,
// which every update moves on, so a change made by another Vantrel
// meanwhile makes the statement change nothing. On the server such a
// statement waits for the other writer's transaction and then finds the
// version moved.
Query& Table::asReadStatement(std::unique_ptr<Query>& statement, const QString& head, const Row& asRead)
{
    const QString key = def->primaryKey()->name;
    if (!statement)
        statement =
            std::make_unique<Query>(db, head + QStringLiteral(" WHERE \"%1\" = :was_key AND \"%2\" = :was_version")
                                                   .arg(key, Schema::rowVersionColumn));
    statement->setParam("was_key", asRead[requireColumn(key)]);
    statement->setParam("was_version", asRead[versionColumn()]);
    return *statement;
}

bool Table::isStored(const QVariant& key) const
{
    Query q(db, QStringLiteral("SELECT 1 FROM %1 WHERE \"%2\" = :key").arg(def->sqlName(), def->primaryKey()->name));
    q.setParam("key", key);
    q.open();
    return !q.isEmpty();
}

// A detail row is never written under a master row that another Vantrel
// deleted: it could never be reached or removed again.
void Table::requireMasterRow()
{
    if (!master || !master->def->primaryKey() ||
        master->def->primaryKey()->name.compare(masterField, Qt::CaseInsensitive) != 0)
        return;
    const QVariant key = masterValue();
    if (key.isNull() || master->isStored(key))
        return;
    emit master->rowVanished();
    throw RowConflict(vanishedMessage(*master->def));
}

// Nothing was written: the edit is dropped, the rows are read again so that
// the current row shows what is stored now, and the user is told why.
void Table::refuseStaleWrite(const Row& asRead, const QString& changedMessage)
{
    const QVariant key = asRead[requireColumn(def->primaryKey()->name)];
    const bool vanished = !isStored(key);
    const QString message = vanished ? vanishedMessage(*def) : changedMessage.arg(def->recordNoun());
    const int at = cur;
    buffer.clear();
    state_ = State::Browse;
    load(key);
    if (vanished)
        cur = std::min(at, int(rows.size()) - 1);   // the neighbour takes its place
    emit stateChanged();
    emit rowsReset();
    emit afterCancel();
    emit afterScroll();
    notifyDetails();
    if (vanished)
        emit rowVanished();
    throw RowConflict(message);
}

void Table::sortRows()
{
    if (rows.size() < 2)
        return;
    const QStringList orderCols = index.isEmpty() || !def->index(index)
                                      ? QStringList{def->primaryKey() ? def->primaryKey()->name : QString()}
                                      : def->index(index)->columns;
    QVector<int> ci;
    for (const auto& c : orderCols)
        if (columnIndex(c) >= 0)
            ci << columnIndex(c);
    if (ci.isEmpty())
        return;
    const Row current = rows[cur];
    auto less = [&](const Row& a, const Row& b) {
        for (int c : ci) {
            const int r = compareValues(a[c], b[c], cols[c].type);
            if (r != 0)
                return r < 0;
        }
        return false;
    };
    std::stable_sort(rows.begin(), rows.end(), less);
    const int pk = def->primaryKey() ? columnIndex(def->primaryKey()->name) : -1;
    for (int i = 0; i < rows.size(); ++i)
        if (pk >= 0 && rows[i][pk] == current[pk]) {
            cur = i;
            break;
        }
}

// ------------------------------------------------------------------ values

QVariant Table::value(const QString& field) const
{
    const int c = requireColumn(field);
    if (calcRow >= 0)
        return rows[calcRow][c];
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer[c];
    if (cur < 0 || cur >= rows.size())
        return QVariant();
    return rows[cur][c];
}

QVariant Table::valueAt(int row, const QString& field) const
{
    const int c = requireColumn(field);
    if (isEditingRow(row))
        return buffer[c];
    if (row < 0 || row >= rows.size())
        return QVariant();
    return rows[row][c];
}

QVariant Table::convertIn(const Column& c, const QVariant& v) const
{
    if (v.isNull())
        return QVariant();
    if (v.typeId() == QMetaType::QString && v.toString().isEmpty() && !isStringType(c.type))
        return QVariant();
    bool ok = true;
    switch (c.type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt: {
        const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
        if (!ok || d != std::floor(d))
            throw DbError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(v.toString(), c.name));
        const qint64 n = qint64(d);
        if (c.type == FieldType::SmallInt && (n < Schema::smallintMin || n > Schema::smallintMax))
            throw DbError(QStringLiteral("Value %1 is out of range for field '%2' (%3 to %4)")
                              .arg(n)
                              .arg(c.name)
                              .arg(Schema::smallintMin)
                              .arg(Schema::smallintMax));
        if (n < INT32_MIN || n > INT32_MAX)
            throw DbError(QStringLiteral("Value %1 is out of range for field '%2'").arg(n).arg(c.name));
        return int(n);
    }
    case FieldType::Float:
    case FieldType::Currency: {
        const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid number for field '%2'").arg(v.toString(), c.name));
        return d;
    }
    case FieldType::Boolean:
        if (v.typeId() == QMetaType::QString)
            return v.toString().compare("true", Qt::CaseInsensitive) == 0 || v.toString() == "1";
        return v.toBool();
    case FieldType::Date: {
        if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
            return v.toDate();
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        if (!d.isValid())
            throw DbError(QStringLiteral("'%1' is not a valid date for field '%2'").arg(v.toString(), c.name));
        return d;
    }
    case FieldType::Time: {
        if (v.typeId() == QMetaType::QTime)
            return v.toTime();
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().time();
        QTime t = QTime::fromString(v.toString(), "HH:mm:ss");
        if (!t.isValid())
            t = QTime::fromString(v.toString(), "HH:mm");
        if (!t.isValid())
            throw DbError(QStringLiteral("'%1' is not a valid time for field '%2'").arg(v.toString(), c.name));
        return t;
    }
    case FieldType::String: {
        if (wholeText.contains(c.name.toUpper()))
            return v.toString();
        return cutToWidth(v.toString(), c.size > 0 ? c.size : -1);   // cut to the column, as stored
    }
    case FieldType::Memo: return v.toString();
    }
    return v;
}

void Table::setValue(const QString& field, const QVariant& v)
{
    const int c = requireColumn(field);
    if (calcRow >= 0) {
        if (cols[c].kind == Column::Stored)
            throw DbError(QStringLiteral("Field '%1' cannot be modified").arg(field));
        rows[calcRow][c] = convertIn(cols[c], v);
        return;
    }
    requireEditing();
    if (cols[c].kind == Column::Lookup)
        throw DbError(QStringLiteral("Field '%1' cannot be modified").arg(field));
    buffer[c] = convertIn(cols[c], v);
    // Looked-up names follow a changed key at once.
    bool dependent = false;
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].kind == Column::Lookup && cols[i].keyColumn == c) {
            buffer[i] = lookupValue(cols[i], buffer[c]);
            dependent = true;
        }
    Q_UNUSED(dependent);
    emit rowChanged(cur);
}

bool Table::isStoredField(const QString& field) const
{
    const int c = columnIndex(field);
    return c >= 0 && cols[c].kind == Column::Stored;
}

FieldType Table::fieldType(const QString& field) const
{
    return cols[requireColumn(field)].type;
}

int Table::fieldSize(const QString& field) const
{
    return cols[requireColumn(field)].size;
}

int Table::columnIndex(const QString& field) const
{
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Table::requireColumn(const QString& field) const
{
    const int c = columnIndex(field);
    if (c < 0)
        throw DbError(QStringLiteral("%1: Field '%2' not found").arg(def->name, field));
    return c;
}

// ------------------------------------------------------------ state, links

void Table::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged();
}

void Table::requireActive() const
{
    if (!isActive())
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Table::requireEditing() const
{
    if (state_ != State::Edit && state_ != State::Insert)
        throw DbError(notEditing);
}

void Table::requireRows() const
{
    if (rows.isEmpty())
        throw DbError(emptyDataset);
}

QVariant Table::currentKey() const
{
    const FieldDef* pk = def->primaryKey();
    if (!pk || cur < 0 || cur >= rows.size())
        return QVariant();
    return rows[cur][columnIndex(pk->name)];
}

QVariant Table::masterValue() const
{
    if (!master || !master->isActive())
        return QVariant();
    return master->value(masterField);
}

void Table::masterMoved()
{
    if (!isActive())
        return;
    const QVariant now = masterValue();
    if (now == linkedValue && !(now.isNull() && !rows.isEmpty()))
        return;
    checkBrowseMode();
    load(QVariant());
    emit rowsReset();
    emit afterScroll();
    notifyDetails();
}

void Table::notifyDetails()
{
    const auto list = details;
    for (Table* d : list)
        d->masterMoved();
}
