#pragma once
#include "data/kinds.h"
#include "data/query.h"
#include "data/table.h"
#include <QDate>
#include <QObject>
#include <memory>

class Database;

// The datasets of one group editor, without any widget: the window binds its
// controls and grids to them and the scheduling engine works on them.
class GroupDatasets : public QObject {
    Q_OBJECT
public:
    explicit GroupDatasets(Database& db, QObject* parent = nullptr);

    Table tbgroup;      // group.DB, whole table, positioned on the record shown
    Table tbplayers;    // GRPPLAYR.db, detail of tbgroup on GROUPID, index PARENT
    Table tbcourtslt;   // COURTSLT.db, detail of tbgroup on GROUPID, index GROUPID
    Table tbschedule;   // SCHEDULE.db, opened for appending only

    // Opens all datasets (entries with their looked-up names and calculated
    // FullName/SLOTCODE, courts with their looked-up Name).
    void open();

    int groupId() const { return tbgroup.asInt("GROUPID"); }
    RecordKind recordKind() const { return recordKindFrom(tbgroup.asInt("RTYPE")); }
    MatchType matchType() const { return matchTypeFrom(tbgroup.asInt("TYPE")); }

    // Moves the entries to the one with this GROUPPLAYERID and returns its
    // GRPSEQNUM; 0 (and no move) when the record has no such entry.
    int entryNumber(int groupPlayerId);
    // SESPLAYED + 1 for one entry.
    void incSessionsPlayed(int groupPlayerId);
    // One schedule row of a run: an entry with its number on a court, and in
    // a league's first row of a match the opponent with its number.
    void appendScheduleRow(const QDate& date, int groupPlayerId, int entryNumber, int courtId, int opponent = 0,
                           int opponentNumber = 0);
    // GRPSEQNUM of the entry with this GROUPPLAYERID, 0 when there is none;
    // the list stays where it is.
    int numberOf(int groupPlayerId) const;

    // Posts whatever of the group, entry and court rows is being edited.
    void savePending();

private:
    Database& database;
    std::unique_ptr<Query> qincsesplayed;
    std::unique_ptr<Query> qinsertschedule;
};
