#include "rosterdeletes.h"
#include "data/database.h"
#include "data/datamodule.h"
#include "data/table.h"

RosterDeletes::RosterDeletes(Database& database) : db(database) {}

void RosterDeletes::deletePlayer(Table& players)
{
    if (players.state() == Table::State::Edit)
        players.cancel();
    const QVariant playerId = players.value("PLAYERID");
    db.runInTransaction([&] {
        if (!playerId.isNull()) {
            // No schedule row may point at an entry that is gone.
            if (!qdelplayerschedule)
                qdelplayerschedule = std::make_unique<Query>(
                    db, "DELETE FROM \"SCHEDULE.db\"\n WHERE GRPPLAYRID IN\n"
                        " (SELECT GROUPPLAYERID FROM \"GRPPLAYR.db\" WHERE PLAYERID = :playerid)");
            qdelplayerschedule->setInteger("playerid", playerId.toInt());
            qdelplayerschedule->execSql();
            Tdmglobal::instance().deletePlayerEntries(playerId.toInt());
            Tdmglobal::instance().deletePlayerDaysOff(playerId.toInt());
        }
        players.remove();
    });
}

void RosterDeletes::deleteCourt(Table& courts)
{
    if (courts.state() == Table::State::Edit)
        courts.cancel();
    const QVariant courtId = courts.value("COURTID");
    db.runInTransaction([&] {
        if (!courtId.isNull())
            Tdmglobal::instance().deleteCourtAssignments(courtId.toInt());
        courts.remove();
    });
}
