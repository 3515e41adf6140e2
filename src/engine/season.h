#pragma once
// One group's or league's schedule as its SCHEDULE rows stand, with the
// entries and their counts and results, the courts and the days off: what
// the season window shows and its operations check, and what the exports
// and the fairness report count. Read straight from the rows, so it also
// describes a schedule changed by hand. No widgets.
#include "data/kinds.h"
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QTime>
#include <QVariant>
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
    SeasonPerson partner;          // doubles-league team only
    double played = 0;             // SESPLAYED ("Days On")
    QVariant wins, losses, rank;   // LWIN, LLOSSES, LRANKING as stored
    bool isTeam() const { return partner.id != 0; }
    // "Ann Alder", or "Ann Alder/Bob Brown" for a team.
    QString fullName() const;
    // "3. Ann Alder"
    QString label() const;
};

// One SCHEDULE row.
struct SeasonRow {
    qint64 scheduleId = 0;
    int entry = 0;   // GRPPLAYRID
    QDate date;
    int opponent = 0;   // VSGRPPLAYRID, on the first row of a league match
    bool home = false;
    int winner = 0;         // WINNER, 0 when no result
    QVariant winnerValue;   // WINNER as stored
    int court = 0;          // GRPCOURTID
    int slot = 0;           // SLOTCODE
    int slot2 = 0;          // SLOTCODE2
};

// The two rows of one league match.
struct SeasonMatch {
    const SeasonRow* first = nullptr;   // carries the opponent
    const SeasonRow* second = nullptr;
    int otherThan(int entry) const { return first->entry == entry ? second->entry : first->entry; }
};

// One court on one date: the entries in the order the schedule wrote them.
struct CourtSession {
    QDate date;
    int courtId = 0;
    QVector<int> entryIds;   // GROUPPLAYERIDs; an entry placed twice appears twice
    QSet<int> homeIds;       // entries marked to bring the balls (home side)
};

struct Season {
    int groupId = 0;   // 0 when the group does not exist
    QString name;
    RecordKind recordKind = RecordKind::Group;
    MatchType matchType = MatchType::None;
    QTime startTime, endTime;
    QString notes;
    bool bringBallsOn = false;
    int playersPerSession = 0;   // NumPerSes

    QVector<SeasonEntry> entries;            // in entry-number order
    QHash<int, QString> courtNames;          // COURTID -> name
    QVector<int> courtOrder;                 // the group's courts, then any others its rows use
    QVector<SeasonRow> rows;                 // by date, court id, then as written
    QVector<CourtSession> sessions;          // by date, then court order
    QVector<QDate> dates;                    // the dates of play, ascending
    QHash<int, QSet<QDate>> playerDaysOff;   // PLAYERID -> days off on dates of play
    QSet<QDate> groupDaysOff;                // the group's days off on dates of play
    QHash<int, int> indexOfEntry;            // GROUPPLAYERID -> index in entries

    bool exists() const { return groupId != 0; }
    bool isLeague() const { return recordKind == RecordKind::League; }
    // The same rows and entry figures as `other`: nobody changed the season
    // between the two readings.
    bool sameAs(const Season& other) const;
    // Codes that make one side of a court: 2 in a doubles group, else 1, or
    // 0 in a group without pairing.
    int sideSize() const;
    const SeasonEntry* entry(int entryId) const;
    // Index of the entry in `entries`, -1 when the group has no such entry.
    int entryIndex(int entryId) const;
    // "3 Ann Lee", as the season window names an entry.
    QString entryText(int entryId) const;
    QString courtName(int courtId) const;
    // Entries that hold the player, as first player or as partner.
    QVector<int> entriesOfPlayer(int playerId) const;
    // The players of the season, each once, in entry order.
    QVector<SeasonPerson> players() const;
    // The entry's player (or its partner) has the date of play off.
    bool isOff(const SeasonEntry& e, const QDate& date) const;

    // The sides of a court, as the printed schedule pairs them.
    QVector<QVector<int>> sides(const CourtSession& session) const;

    QVector<const SeasonRow*> rowsOn(const QDate& date) const;
    // The row of an entry on a date, or null when it does not play then.
    const SeasonRow* rowOf(int entry, const QDate& date) const;
    // Entries without a row on the date, in entry-number order.
    QVector<int> sittingOut(const QDate& date) const;
    // The league match the entry plays on the date; both rows null for none.
    SeasonMatch matchOf(int entry, const QDate& date) const;
    // The latest date before `date` on which the entry plays.
    QDate lastPlayedBefore(int entry, const QDate& date) const;
    int homeCountBefore(int entry, const QDate& date) const;
};

// A place held on a date its entry's player or partner has off, or on a
// day off of the whole group: days off recorded after the schedule was made.
struct DayOffClash {
    QDate date;
    int entry = 0;
    bool groupOff = false;
};

// The season's clashes on dates from `from` on, in date order.
QVector<DayOffClash> dayOffClashes(const Season& s, const QDate& from);

// Reads the season of one group or league in a few statements, whatever its
// size; an unknown id gives groupId 0.
Season loadSeason(Database& db, int groupId);
