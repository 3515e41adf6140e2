#include "groupdatasets.h"
#include "data/database.h"
#include "data/datamodule.h"

GroupDatasets::GroupDatasets(Database& db, QObject* parent)
    : QObject(parent), tbgroup(db, "group.DB"), tbplayers(db, "GRPPLAYR.db"), tbcourtslt(db, "COURTSLT.db"),
      tbschedule(db, "SCHEDULE.db"), database(db)
{
    tbplayers.setIndexName("PARENT");
    tbplayers.setMasterSource(&tbgroup, "GROUPID", "GROUPID");
    Tdmglobal::instance().addEntryNameFields(tbplayers, tbgroup);

    tbcourtslt.setIndexName("GROUPID");
    tbcourtslt.setMasterSource(&tbgroup, "GROUPID", "GROUPID");
    tbcourtslt.addLookupField("Name", "COURTID", "COURTS.db", "COURTID", "NAME");

    // Appending only: reading the rows of every group would be wasted.
    tbschedule.setAppendOnly(true);
}

void GroupDatasets::open()
{
    tbgroup.open();
    tbplayers.open();
    tbcourtslt.open();
    tbschedule.open();
}

int GroupDatasets::entryNumber(int groupPlayerId)
{
    const int keep = tbplayers.recNo();
    if (tbplayers.locate("GROUPPLAYERID", groupPlayerId))
        return tbplayers.asInt("GRPSEQNUM");
    tbplayers.setRecNo(keep);
    return 0;
}

void GroupDatasets::incSessionsPlayed(int groupPlayerId)
{
    if (!qincsesplayed)
        qincsesplayed = std::make_unique<Query>(database, "UPDATE \"GRPPLAYR.db\"\n"
                                                          "SET SESPLAYED = SESPLAYED + 1\n"
                                                          "WHERE GROUPPLAYERID = :groupplayerid");
    qincsesplayed->setInteger("groupplayerid", groupPlayerId);
    qincsesplayed->prepare();
    qincsesplayed->execSql();
}

void GroupDatasets::appendScheduleRow(const QDate& date, int groupPlayerId, int entryNumber, int courtId, int opponent,
                                      int opponentNumber)
{
    if (!qinsertschedule) {
        qinsertschedule = std::make_unique<Query>(
            database,
            "INSERT INTO \"SCHEDULE.db\" (\"DATE\", GRPPLAYRID, SLOTCODE, VSGRPPLAYRID, SLOTCODE2, GRPCOURTID) "
            "VALUES (:date, :grpplayrid, :slotcode, :vsgrpplayrid, :slotcode2, :grpcourtid)");
        qinsertschedule->prepare();
    }
    Query& q = *qinsertschedule;
    q.setDate("date", date);
    q.setInteger("grpplayrid", groupPlayerId);
    q.setInteger("slotcode", entryNumber);
    // The second row of a match, and every row of a group, has no opponent.
    q.setParam("vsgrpplayrid", opponent ? QVariant(opponent) : QVariant());
    q.setParam("slotcode2", opponent ? QVariant(opponentNumber) : QVariant());
    q.setInteger("grpcourtid", courtId);
    q.execSql();
}

int GroupDatasets::numberOf(int groupPlayerId) const
{
    for (int row = 0; row < tbplayers.recordCount(); ++row)
        if (tbplayers.valueAt(row, "GROUPPLAYERID").toInt() == groupPlayerId)
            return tbplayers.valueAt(row, "GRPSEQNUM").toInt();
    return 0;
}

void GroupDatasets::savePending()
{
    for (Table* t : {&tbgroup, &tbplayers, &tbcourtslt})
        if (t->state() == Table::State::Edit || t->state() == Table::State::Insert)
            t->post();
}
