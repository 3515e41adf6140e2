#pragma once
// One group or league as a run reads it from the file: its settings, its
// entries in list order with their counters, its courts and the days off
// that concern it. A run plans on this value, never on a window's cursors.
#include "data/kinds.h"
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

class Database;

struct SetupPerson {
    int id = 0;   // PLAYERID, 0 when there is none
    QString firstName, lastName;
    QString fullName() const { return firstName + QLatin1Char(' ') + lastName; }
};

struct SetupEntry {
    int id = 0;       // GROUPPLAYERID
    int number = 0;   // GRPSEQNUM
    SetupPerson player;
    SetupPerson partner;   // second player of a doubles-league team
    double priority = 0;
    double ballPriority = 0;
    double played = 0;   // SESPLAYED
};

struct GroupSetup {
    int groupId = 0;   // 0 when the file has no such group
    QString name;
    RecordKind recordKind = RecordKind::Group;
    MatchType matchType = MatchType::None;
    QDate startDate;
    int duration = 0;   // weeks or rounds
    int playersPerSession = 0;
    bool durationStored = false, playersPerSessionStored = false;
    bool playDays[7] = {};   // Sunday to Saturday
    bool mixPairs = false;

    QVector<SetupEntry> entries;   // in GROUPPLAYERID order, as the entries list shows them
    QVector<int> courts;           // COURTIDs in the order of the courts list
    QSet<QDate> groupDaysOff;
    QHash<int, QSet<QDate>> playerDaysOff;   // PLAYERID of an entry's player or partner -> dates

    static GroupSetup read(Database& db, int groupId);

    bool exists() const { return groupId != 0; }
    bool isGroup() const { return recordKind == RecordKind::Group; }
    bool isDoublesLeague() const;
    int playDayCount() const;
    int indexOf(int entryId) const { return indexOfEntry.value(entryId, -1); }
    // A group's entries per court when filling a date: singles 2, otherwise 4.
    int entriesPerCourt() const;
    // Places a court needs per session: a league's doubles entry is a team of two.
    int placesPerCourt() const;
    // Whether the player of the entry (in a doubles league either partner)
    // has the date off; the group's own days off are asked separately.
    bool entryOff(int index, const QDate& date) const;
    bool playerOff(int playerId, const QDate& date) const;
    // The players of the entry who have the date off, "Ann Lee and Bob Roe".
    QString playersOffText(int index, const QDate& date) const;
    // "entry 3 (Ann Lee)"
    QString entryText(int index) const;
    // The same group as `other` for a run: settings, entries, courts and days
    // off alike; the counters may differ.
    bool sameForRun(const GroupSetup& other) const;

private:
    QHash<int, int> indexOfEntry;   // GROUPPLAYERID -> index in entries
};
