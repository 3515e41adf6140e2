#pragma once
// A group's or league's schedule as the season window shows it and the
// season operations check it: the entries with their counts and results,
// the courts, and every schedule row in date and court order.
#include "data/kinds.h"
#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

class Database;

struct SheetEntry {
    int id = 0;   // GROUPPLAYERID
    int playerId = 0;
    int partnerId = 0;             // SHARESLOTID of a doubles-league team
    int number = 0;                // GRPSEQNUM
    QString name;                  // first and last name, "/" and the partner's for a team
    double played = 0;             // SESPLAYED ("Days On")
    QVariant wins, losses, rank;   // LWIN, LLOSSES, LRANKING as stored
};

struct SheetCourt {
    int id = 0;   // COURTID
    QString name;
};

struct SheetRow {
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
struct SheetMatch {
    const SheetRow* first = nullptr;   // carries the opponent
    const SheetRow* second = nullptr;
    int otherThan(int entry) const { return first->entry == entry ? second->entry : first->entry; }
};

struct SeasonSheet {
    int groupId = 0;
    RecordKind recordKind = RecordKind::Group;
    MatchType matchType = MatchType::None;
    bool bringBalls = false;
    QString name;
    QVector<SheetEntry> entries;   // in entry-number order
    QVector<SheetCourt> courts;    // the grid's columns
    QVector<SheetRow> rows;        // by date, court, row

    static SeasonSheet read(Database& db, int groupId);

    bool isLeague() const { return recordKind == RecordKind::League; }
    // The same rows and entry figures as `other`: nobody changed the season
    // between the two readings.
    bool sameAs(const SeasonSheet& other) const;
    bool exists() const { return !name.isNull(); }
    QVector<QDate> dates() const;
    const SheetEntry* entry(int id) const;
    QString entryText(int id) const;   // "3 Ann Lee"
    // The row of an entry on a date, or null when it does not play then.
    const SheetRow* rowOf(int entry, const QDate& date) const;
    QVector<const SheetRow*> rowsOn(const QDate& date) const;
    // Entries without a row on the date, in entry-number order.
    QVector<int> sittingOut(const QDate& date) const;
    // The league match the entry plays on the date; both rows null for none.
    SheetMatch matchOf(int entry, const QDate& date) const;
    // The latest date before `date` on which the entry plays.
    QDate lastPlayedBefore(int entry, const QDate& date) const;
    int homeCountBefore(int entry, const QDate& date) const;
};
