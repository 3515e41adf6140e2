#include "datamodule.h"
#include "dberror.h"
#include "textwidth.h"

namespace {
Tdmglobal* current = nullptr;
const int fullNameWidth = 51;
}   // namespace

Tdmglobal::Tdmglobal(const QString& directory, QObject* parent)
    : QObject(parent), dbvantrel(std::make_unique<Database>(directory)), rng(std::random_device{}())
{
    current = this;
}

Tdmglobal::~Tdmglobal()
{
    if (current == this)
        current = nullptr;
}

Tdmglobal& Tdmglobal::instance()
{
    if (!current)
        throw DbError(QStringLiteral("The database is not open."));
    return *current;
}

bool Tdmglobal::exists()
{
    return current != nullptr;
}

// ------------------------------------------------------------- status bar

void Tdmglobal::statusMessage(const QString& text)
{
    emit statusPanelChanged(1, text);
}

QString Tdmglobal::datasetStateNames(const Table& table)
{
    const QString name = stateName(table.state());
    emit statusPanelChanged(0, name);
    return name;
}

// ----------------------------------------------------------------- entries

void Tdmglobal::fullNameCalc(Table& entry, RecordKind recordKind, MatchType matchType)
{
    QString name = entry.asString("Fname") + ' ' + entry.asString("lname");
    if (isDoublesLeague(recordKind, matchType))
        name += '/' + entry.asString("p2fname") + ' ' + entry.asString("p2lname");
    entry.setValue("FullName", cutToWidth(name, fullNameWidth));
    entry.setValue("SLOTCODE", entry.recNo());
}

void Tdmglobal::addEntryNameFields(Table& entries, const Table& group)
{
    entries.addLookupField("Fname", "PLAYERID", "PLAYERS.db", "PLAYERID", "FNAME");
    entries.addLookupField("lname", "PLAYERID", "PLAYERS.db", "PLAYERID", "LNAME");
    entries.addLookupField("p2fname", "SHARESLOTID", "PLAYERS.db", "PLAYERID", "FNAME");
    entries.addLookupField("p2lname", "SHARESLOTID", "PLAYERS.db", "PLAYERID", "LNAME");
    entries.addCalcField("FullName", FieldType::String, fullNameWidth);
    entries.addCalcField("SLOTCODE", FieldType::Integer);
    entries.onCalcFields = [this, &group](Table& entry) {
        fullNameCalc(entry, recordKindFrom(group.asInt("RTYPE")), matchTypeFrom(group.asInt("TYPE")));
    };
}

// ----------------------------------------------------------- dependent rows

void Tdmglobal::runDelete(std::unique_ptr<Query>& q, const char* sql, const char* param, int value)
{
    if (!q)
        q = std::make_unique<Query>(*dbvantrel, QString::fromLatin1(sql));
    q->setInteger(QString::fromLatin1(param), value);
    q->prepare();
    q->execSql();
}

void Tdmglobal::deleteEntrySchedule(int entryId)
{
    runDelete(qdelschedule, "DELETE FROM \"schedule.db\"\n WHERE grpplayrid = :grpplayrid", "grpplayrid", entryId);
}

void Tdmglobal::deletePlayerDaysOff(int playerId)
{
    runDelete(qdeldaysoff, "DELETE FROM \"playroff.db\"\n WHERE playerid = :playerid", "playerid", playerId);
}

void Tdmglobal::deleteGroupDaysOff(int groupId)
{
    runDelete(qdelgrpdayoff, "DELETE FROM \"groupoff.db\"\n WHERE groupid = :groupid", "groupid", groupId);
}

void Tdmglobal::deletePlayerEntries(int playerId)
{
    runDelete(qdelgrpplayers, "DELETE FROM \"GRPPLAYR.db\"\n WHERE PLAYERID = :playerid", "playerid", playerId);
}

void Tdmglobal::deleteCourtAssignments(int courtId)
{
    runDelete(qdelgrpcourts, "DELETE FROM \"COURTSLT.db\"\n WHERE COURTID = :courtid", "courtid", courtId);
}

// ------------------------------------------------------------ transactions

void Tdmglobal::beginTransaction()
{
    if (!dbvantrel->inTransaction())
        dbvantrel->startTransaction();
}

void Tdmglobal::commit()
{
    if (dbvantrel->inTransaction())
        dbvantrel->commit();
}

void Tdmglobal::rollback()
{
    if (dbvantrel->inTransaction())
        dbvantrel->rollback();
}

// ------------------------------------------------------ field definitions

QVector<FormFieldDef> Tdmglobal::loadFieldDefs(const QString& formKey)
{
    if (!qfielddef)
        qfielddef =
            std::make_unique<Query>(*dbvantrel, "SELECT DISTINCT Fieldkey, LabelKey, Label, Hint, HelpContext\n"
                                                "FROM \"FIELDDEF.db\"\nWHERE (FormKey = :formkey)\nORDER BY Fieldkey");
    qfielddef->close();
    qfielddef->setString("formkey", formKey);
    qfielddef->prepare();
    qfielddef->open();
    QVector<FormFieldDef> defs;
    for (qfielddef->first(); !qfielddef->eof(); qfielddef->next())
        defs.append({qfielddef->asString("Fieldkey"), qfielddef->asString("LabelKey"), qfielddef->asString("Label"),
                     qfielddef->asString("Hint"), qfielddef->asInt("HelpContext")});
    return defs;
}

// ------------------------------------------------------------------ requests

void Tdmglobal::showHelp(int helpContext)
{
    emit helpRequested(helpContext);
}

void Tdmglobal::printSchedule(int groupId)
{
    emit printScheduleRequested(groupId);
}

void Tdmglobal::announceScheduleChange(int groupId)
{
    emit scheduleChanged(groupId);
}

void Tdmglobal::reviewDaysOff(bool groups, const QVector<int>& ids, QWidget* parent)
{
    if (!ids.isEmpty())
        emit daysOffAdded(groups, ids, parent);
}

void Tdmglobal::beep()
{
    emit beepRequested();
}
