#pragma once
// One group's or league's schedule as its SCHEDULE rows stand, with the
// names, courts and days off that describe it. Read straight from the rows,
// so it also describes a schedule changed by hand. No widgets.
#include "data/kinds.h"
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QTime>
#include <QVector>

class Database;

struct SeasonPerson {
    int id = 0;   // PLAYERID, 0 when there is none
    QString firstName, lastName, phone;
    QString fullName() const;
};

struct SeasonEntry {
    int id = 0;       // GROUPPLAYERID
    int number = 0;   // GRPSEQNUM
    SeasonPerson player;
    SeasonPerson partner;   // doubles-league team only
    bool isTeam() const { return partner.id != 0; }
    // "Ann Alder", or "Ann Alder/Bob Brown" for a team.
    QString fullName() const;
    // "3. Ann Alder"
    QString label() const;
};

// One court on one date: the entries in the order the schedule wrote them.
struct CourtSession {
    QDate date;
    int courtId = 0;
    QVector<int> entryIds;   // GROUPPLAYERIDs; an entry placed twice appears twice
    QSet<int> homeIds;       // entries marked to bring the balls (home side)
};

struct Season {
    int groupId = 0;
    QString name;
    RecordKind recordKind = RecordKind::Group;
    MatchType matchType = MatchType::None;
    QTime startTime, endTime;
    QString notes;
    bool bringBallsOn = false;

    QVector<SeasonEntry> entries;            // in entry-number order
    QHash<int, QString> courtNames;          // COURTID -> name
    QVector<int> courtOrder;                 // the group's courts, then any others its rows use
    QVector<CourtSession> sessions;          // by date, then court order
    QVector<QDate> dates;                    // the dates of play, ascending
    QHash<int, QSet<QDate>> playerDaysOff;   // PLAYERID -> days off on dates of play
    QHash<int, int> indexOfEntry;            // GROUPPLAYERID -> index in entries

    bool isLeague() const { return recordKind == RecordKind::League; }
    // Codes that make one side of a court: 2 in a doubles group, else 1, or
    // 0 in a group without pairing.
    int sideSize() const;
    const SeasonEntry* entry(int entryId) const;
    QString courtName(int courtId) const;
    // Index of the entry in `entries`, -1 when the group has no such entry.
    int entryIndex(int entryId) const;
    // Entries that hold the player, as first player or as partner.
    QVector<int> entriesOfPlayer(int playerId) const;
    // The players of the season, each once, in entry order.
    QVector<SeasonPerson> players() const;

    // The sides of a court, as the printed schedule pairs them.
    QVector<QVector<int>> sides(const CourtSession& session) const;
};

// Reads the season of one group or league; an unknown id gives groupId 0.
Season loadSeason(Database& db, int groupId);
