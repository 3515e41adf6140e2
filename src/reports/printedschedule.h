#pragma once
// What the printed schedule shows of one group or league, read before any
// page is laid out: its heading, its courts as the grid's columns, the
// roster, and a grid row per date with each court's codes and the byes.
#include "scheduletext.h"
#include "data/kinds.h"
#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

class Database;
class EventPacer;

struct PrintedSchedule {
    struct Court {
        int id = 0;
        QString name;
    };
    struct RosterEntry {
        int slot = 0;
        ScheduleText::Person player;   // phone as stored
        bool hasPartner = false;       // SHARESLOTID set: a doubles-league team
        ScheduleText::Person partner;
    };
    struct GridRow {
        QDate date;
        QVector<QString> courts;   // one cell per court column
        QString byes;              // entry numbers of those who sit out, "3;7"
    };
    enum class Missing { Nothing, Schedule, Courts };

    QString name, notes;
    QVariant startTime, endTime;   // as stored
    RecordKind recordKind = RecordKind::Group;
    MatchType matchType = MatchType::None;
    bool bringBalls = false;
    QVector<Court> courts;   // assigned in court order, then those only the rows name
    QVector<RosterEntry> roster;
    QVector<GridRow> grid;
    Missing missing = Missing::Nothing;

    // Reads a group's schedule for printing. Rows are read a few entries at
    // a time and the grid is built a date at a time, with `pacer` (when
    // given) asked between the pieces, so that a 130,000-row season does
    // not hold the window still. The result is what one reading of the
    // whole schedule in date, court and row order gives: rows whose entry
    // has lost its player are left out as such a join leaves them out, and
    // a date's byes are the group's entries without a row on it.
    static PrintedSchedule read(Database& db, int groupId, EventPacer* pacer = nullptr);
};
