#include "schema.h"
#include "dberror.h"
#include "helpcontexts.h"
#include "query.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QHash>
#include <QRandomGenerator>
#include <QVariant>

namespace {

using T = FieldType;

FieldDef f(const char* name, FieldType type, int size = 0, bool required = false)
{
    return FieldDef{QString::fromLatin1(name), type, size, required};
}

QVector<TableDef> buildTables()
{
    QVector<TableDef> t;
    t.append({"PLAYERS",
              "PLAYERS.db",
              {f("PLAYERID", T::AutoInc), f("FNAME", T::String, 25), f("LNAME", T::String, 25),
               f("STREET1", T::String, 25), f("STREET2", T::String, 25), f("CITY", T::String, 25),
               f("STATE", T::String, 2), f("ZIPCODE", T::String, 10), f("WINS", T::Integer), f("LOSSES", T::Integer),
               f("RANKING", T::Float), f("NOTES", T::Memo), f("RELPLAYERS", T::Integer), f("PHONE1", T::String, 13),
               f("PHONE2", T::String, 13), f("EMAIL", T::String, 80), f("LINKTOKEN", T::String, 32)},
              {{"lastname", {"LNAME", "FNAME", "PLAYERID"}}}});
    t.append({"COURTS", "COURTS.db", {f("COURTID", T::AutoInc), f("NAME", T::String, 50)}, {}});
    t.append({"group",
              "group.DB",
              {f("GROUPID", T::AutoInc),
               f("NAME", T::String, 50, true),
               f("STARTDATE", T::Date, 0, true),
               f("DURATION", T::SmallInt),
               f("NumPerSes", T::SmallInt),
               f("TYPE", T::SmallInt),
               f("STIME", T::Time),
               f("ETIME", T::Time),
               f("FEE", T::Currency),
               f("SUNDAY", T::Boolean),
               f("MONDAY", T::Boolean),
               f("TUESDAY", T::Boolean),
               f("WEDNESDAY", T::Boolean),
               f("THURSDAY", T::Boolean),
               f("FRIDAY", T::Boolean),
               f("SATURDAY", T::Boolean),
               f("RTYPE", T::SmallInt),
               f("NOTES", T::Memo),
               f("BBON", T::Boolean),
               f("MIXPAIRS", T::Boolean)},
              {{"GNAME", {"NAME", "GROUPID"}}}});
    t.append({"GRPPLAYR",
              "GRPPLAYR.db",
              {f("GROUPPLAYERID", T::AutoInc), f("GROUPID", T::Integer), f("PLAYERID", T::Integer),
               f("BBPRIORITY", T::Float), f("PRIORITY", T::Float), f("SESPLAYED", T::Float), f("LWIN", T::Integer),
               f("LLOSSES", T::Integer), f("LRANKING", T::Integer), f("SHARESLOTID", T::Integer),
               f("GRPSEQNUM", T::SmallInt)},
              {{"PARENT", {"GROUPID", "GROUPPLAYERID"}}, {"BYPLAYER", {"PLAYERID"}}}});
    t.append({"COURTSLT",
              "COURTSLT.db",
              {f("GRPCRTID", T::AutoInc), f("COURTID", T::Integer), f("GROUPID", T::Integer)},
              {{"GROUPID", {"GROUPID", "GRPCRTID"}}, {"BYCOURT", {"COURTID"}}}});
    t.append({"SCHEDULE",
              "SCHEDULE.db",
              {f("SCHEDULEID", T::AutoInc), f("GRPPLAYRID", T::Integer), f("DATE", T::Date),
               f("VSGRPPLAYRID", T::Integer), f("HOME", T::Boolean), f("WINNER", T::Integer),
               f("GRPCOURTID", T::Integer), f("SLOTCODE", T::SmallInt), f("SLOTCODE2", T::SmallInt)},
              {{"BYENTRY", {"GRPPLAYRID", "DATE"}}, {"BYDATE", {"DATE", "GRPCOURTID"}}}});
    t.append({"PLAYROFF",
              "PLAYROFF.db",
              {f("PLAYEROFFID", T::AutoInc), f("PLAYERID", T::Integer), f("DATE", T::Date)},
              {{"parentid", {"PLAYERID", "DATE"}}}});
    t.append({"GROUPOFF",
              "groupoff.db",
              {f("GROUPOFFID", T::AutoInc), f("GROUPID", T::Integer), f("DATE", T::Date)},
              {{"parent", {"GROUPID", "DATE"}}}});
    // Entry ids are 32-bit everywhere else; a 16-bit pairing column would
    // wrap once the GRPPLAYR counter passes 32767.
    t.append({"MATCHES",
              "MATCHES.db",
              {f("MATCHID", T::AutoInc), f("PID1", T::Integer, 0, true), f("PID2", T::Integer, 0, true),
               f("PLAYED", T::Boolean), f("WEIGHT", T::Float), f("Mix", T::String, 10)},
              {}});
    t.append({"LABEL", "LABEL.DB", {f("LBLCODE", T::String, 20), f("DESC", T::String, 50)}, {}});
    t.append({"FIELDDEF",
              "FIELDDEF.db",
              {f("FormKey", T::String, 20), f("Fieldkey", T::String, 40), f("LabelKey", T::String, 40),
               f("Label", T::String, 60), f("Hint", T::String, 120), f("HelpContext", T::Integer)},
              {{"FORM", {"FormKey", "Fieldkey"}}}});
    return t;
}

QString sqlType(const FieldDef& fd)
{
    switch (fd.type) {
    case T::AutoInc: return "INTEGER PRIMARY KEY AUTOINCREMENT";
    case T::Integer:
    case T::SmallInt: return "INTEGER";
    case T::Boolean: return "INTEGER DEFAULT 0";
    case T::Float:
    case T::Currency: return "REAL";
    case T::Date:
    case T::Time:
    case T::String:
    case T::Memo: return "TEXT";
    }
    return "TEXT";
}

QString quoted(const QString& name)
{
    return '"' + name + '"';
}

// A statement of the schema prepared in the engine's dialect.
void prepare(QSqlDatabase& db, QSqlQuery& q, const QString& sql)
{
    if (!q.prepare(translateSql(sql, nullptr, engineOf(db))))
        throw engineError(q.lastError());
}

struct ShippedFieldDef {
    const char* form;
    const char* field;
    const char* label;
    const char* caption;
    const char* hint;
    int help;
};

// Captions and hints of the group editor per record kind; a league counts
// rounds where a group counts weeks.
const ShippedFieldDef shippedFieldDefs[] = {
    {"groups", "dbname", "lblname", "Name:", "The name of the group", HelpContext::GroupName},
    {"groups", "DBDURATION", "lblduration", "Number of Weeks:", "The number of weeks of play", HelpContext::Duration},
    {"groups", "dbedplayers", "lbldaysoff", "Players per session:", "The number of players which play during a session",
     HelpContext::PlayersPerSession},
    {"groups", "DPStartDate", "lblstartdate", "Start On:", "Select the start date", HelpContext::StartDate},
    {"groups", "gbdow", "", "", "Select the day(s) of the week to play on.", HelpContext::DaysToPlayOn},
    {"groups", "dbedfee", "Label5", "Fee:", "Enter the entry fee.", HelpContext::Fee},
    {"leagues", "dbname", "lblname", "Name:", "The name of the league", HelpContext::GroupName},
    {"leagues", "DBDURATION", "lblduration", "Number of Rounds:",
     "The number of rounds of play: each round every entry meets one opponent", HelpContext::Duration},
    {"leagues", "dbedplayers", "lbldaysoff", "Players per session:",
     "The number of players (or teams) which play during a session", HelpContext::PlayersPerSession},
    {"leagues", "DPStartDate", "lblstartdate", "Start On:", "Select the date of the first round",
     HelpContext::StartDate},
    {"leagues", "gbdow", "", "", "Select the day(s) of the week the rounds are played on.", HelpContext::DaysToPlayOn},
    {"leagues", "dbedfee", "Label5", "Fee:", "Enter the league entry fee.", HelpContext::Fee},
};

void insertShippedRows(QSqlDatabase& db)
{
    QSqlQuery q(db);
    prepare(db, q, "INSERT INTO LABEL (LBLCODE, \"DESC\") VALUES (?, ?)");
    const char* labels[][2] = {
        {"lbAV5160", "Avery 5160 address labels, 1\" x 2 5/8\", 30 per sheet (laser)"},
        {"lbAV8160", "Avery 8160 address labels, 1\" x 2 5/8\", 30 per sheet (ink jet)"},
    };
    for (auto& l : labels) {
        q.addBindValue(QString::fromUtf8(l[0]));
        q.addBindValue(QString::fromUtf8(l[1]));
        if (!q.exec())
            throw engineError(q.lastError());
    }
    prepare(db, q,
            "INSERT INTO FIELDDEF (FormKey, Fieldkey, LabelKey, Label, Hint, HelpContext) "
            "VALUES (?, ?, ?, ?, ?, ?)");
    for (const auto& r : shippedFieldDefs) {
        q.addBindValue(QString::fromUtf8(r.form));
        q.addBindValue(QString::fromUtf8(r.field));
        q.addBindValue(*r.label ? QVariant(QString::fromUtf8(r.label)) : QVariant(QMetaType(QMetaType::QString)));
        q.addBindValue(*r.caption ? QVariant(QString::fromUtf8(r.caption)) : QVariant(QMetaType(QMetaType::QString)));
        q.addBindValue(QString::fromUtf8(r.hint));
        q.addBindValue(r.help);
        if (!q.exec())
            throw engineError(q.lastError());
    }
}

}   // namespace

const FieldDef* TableDef::field(const QString& column) const
{
    for (const auto& fd : fields)
        if (fd.name.compare(column, Qt::CaseInsensitive) == 0)
            return &fd;
    return nullptr;
}

const IndexDef* TableDef::index(const QString& indexName) const
{
    for (const auto& ix : indexes)
        if (ix.name.compare(indexName, Qt::CaseInsensitive) == 0)
            return &ix;
    return nullptr;
}

const FieldDef* TableDef::primaryKey() const
{
    for (const auto& fd : fields)
        if (fd.type == FieldType::AutoInc)
            return &fd;
    return nullptr;
}

QStringList TableDef::columnNames() const
{
    QStringList names;
    for (const auto& fd : fields)
        names << fd.name;
    if (hasRowVersion())
        names << Schema::rowVersionColumn;
    return names;
}

QString TableDef::sqlName() const
{
    return quoted(name);
}

QString TableDef::recordNoun() const
{
    static const QHash<QString, QString> nouns = {{"PLAYERS", "player"},
                                                  {"COURTS", "court"},
                                                  {"group", "group or league"},
                                                  {"GRPPLAYR", "entry"},
                                                  {"COURTSLT", "court assignment"},
                                                  {"SCHEDULE", "schedule row"},
                                                  {"PLAYROFF", "day off"},
                                                  {"GROUPOFF", "day off"},
                                                  {"MATCHES", "match"},
                                                  {"LABEL", "label type"},
                                                  {"FIELDDEF", "field definition"}};
    return nouns.value(name, QStringLiteral("row"));
}

namespace Schema {

const QDate& lastStorableDate()
{
    static const QDate last(9999, 12, 31);
    return last;
}

void requireStorableDate(const QDate& date)
{
    if (date.isValid() && date > lastStorableDate())
        throw DbError(QStringLiteral("Vantrel cannot store dates after 31 December 9999. "
                                     "Choose an earlier date."));
}

const QVector<TableDef>& tables()
{
    static const QVector<TableDef> all = buildTables();
    return all;
}

const TableDef* find(const QString& nameOrFile)
{
    QString base = nameOrFile.trimmed();
    if (base.startsWith('"') && base.endsWith('"') && base.size() >= 2)
        base = base.mid(1, base.size() - 2);
    if (base.endsWith(".db", Qt::CaseInsensitive))
        base.chop(3);
    for (const auto& t : tables())
        if (t.name.compare(base, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const TableDef& require(const QString& nameOrFile)
{
    if (const TableDef* t = find(nameOrFile))
        return *t;
    throw DbError(QStringLiteral("Table does not exist: %1").arg(nameOrFile));
}

QString columnDefinition(const FieldDef& field)
{
    return quoted(field.name) + ' ' + sqlType(field) + (field.required ? " NOT NULL" : "");
}

QString rowVersionDefinition()
{
    return rowVersionColumn + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
}

QString columnSpelling(const QString& name)
{
    static const QHash<QString, QString> spelling = [] {
        QHash<QString, QString> all;
        for (const TableDef& t : tables())
            for (const QString& column : t.columnNames())
                all.insert(column.toLower(), column);
        for (const char* column : {"NAME", "VALUE", "LOGID", "CHANGEDAT", "WHAT"})
            all.insert(QString::fromLatin1(column).toLower(), QString::fromLatin1(column));
        return all;
    }();
    return spelling.value(name.toLower(), name);
}

void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(translateSql(sql, nullptr, engineOf(db))))
        throw engineError(q.lastError());
}

void create(QSqlDatabase& db)
{
    for (const auto& t : tables()) {
        QStringList cols;
        for (const auto& fd : t.fields)
            cols << columnDefinition(fd);
        if (t.hasRowVersion())
            cols << rowVersionDefinition();
        exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(t.sqlName(), cols.join(", ")));
        for (const auto& ix : t.indexes) {
            QStringList ixCols;
            for (const auto& c : ix.columns)
                ixCols << quoted(c);
            exec(db, QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                         .arg(quoted(t.name + '_' + ix.name), t.sqlName(), ixCols.join(", ")));
        }
    }
    insertShippedRows(db);
    createMeta(db);
    createChangeLog(db);
    setStoredVersion(db, version);
}

int storedVersion(QSqlDatabase& db)
{
    if (engineOf(db) == Engine::SQLite) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA user_version")))
            throw engineError(q.lastError());
        return q.next() ? q.value(0).toInt() : 0;
    }
    return metaValue(db, versionKey).toInt();
}

void setStoredVersion(QSqlDatabase& db, int newVersion)
{
    if (engineOf(db) == Engine::SQLite) {
        exec(db, QStringLiteral("PRAGMA user_version = %1").arg(newVersion));
        return;
    }
    QSqlQuery q(db);
    prepare(db, q,
            QStringLiteral("INSERT INTO %1 (NAME, VALUE) VALUES (?, ?) ON CONFLICT (NAME) DO UPDATE SET VALUE = "
                           "excluded.VALUE")
                .arg(metaTable));
    q.addBindValue(versionKey);
    q.addBindValue(QString::number(newVersion));
    if (!q.exec())
        throw engineError(q.lastError());
}

void setNextId(QSqlDatabase& db, const TableDef& table, qint64 next)
{
    const FieldDef* key = table.primaryKey();
    if (!key)
        return;
    if (engineOf(db) == Engine::PostgreSQL) {
        exec(db, QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 RESTART WITH %3")
                     .arg(table.sqlName(), quoted(key->name))
                     .arg(std::max<qint64>(next, 1)));
        return;
    }
    // The file's counter lives in sqlite_sequence, one row a table that has
    // handed out an id.
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?"));
    q.addBindValue(table.name);
    if (!q.exec())
        throw engineError(q.lastError());
    q.prepare(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
    q.addBindValue(table.name);
    q.addBindValue(next - 1);
    if (!q.exec())
        throw engineError(q.lastError());
}

void createMeta(QSqlDatabase& db)
{
    exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (NAME TEXT PRIMARY KEY, VALUE TEXT)").arg(metaTable));
    quint32 bits[4];
    QRandomGenerator::system()->fillRange(bits);
    QSqlQuery q(db);
    prepare(db, q,
            QStringLiteral("INSERT INTO %1 (NAME, VALUE) VALUES (?, ?) ON CONFLICT (NAME) DO NOTHING").arg(metaTable));
    q.addBindValue(calendarIdKey);
    q.addBindValue(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bits), sizeof bits).toHex()));
    if (!q.exec())
        throw engineError(q.lastError());
}

void createChangeLog(QSqlDatabase& db)
{
    exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (LOGID INTEGER PRIMARY KEY AUTOINCREMENT, GROUPID INTEGER "
                            "NOT NULL, PLAYERID INTEGER NOT NULL, \"DATE\" TEXT, CHANGEDAT TEXT NOT NULL, WHAT TEXT)")
                 .arg(changeLogTable));
    exec(
        db,
        QStringLiteral("CREATE INDEX IF NOT EXISTS SCHEDLOG_GROUPTIME ON %1 (GROUPID, CHANGEDAT)").arg(changeLogTable));
}

QString metaValue(QSqlDatabase& db, const QString& name)
{
    QSqlQuery q(db);
    prepare(db, q, QStringLiteral("SELECT VALUE FROM %1 WHERE NAME = ?").arg(metaTable));
    q.addBindValue(name);
    if (!q.exec())
        throw engineError(q.lastError());
    return q.next() ? q.value(0).toString() : QString();
}

}   // namespace Schema
