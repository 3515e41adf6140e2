#pragma once
// A doubles group of five entries on two courts over four dates, written
// row by row as a hand-changed schedule would be, so that every figure of
// the fairness report and every exported line can be counted by hand:
//
//   date   court  side one   side two   balls   sits out
//   d1     A      1 & 2   v. 3 & 4      1       5
//   d2     A      1 & 3   v. 2 & 5      3       4
//   d3     B      2 & 5   v. 1 & 3      2       4
//   d4     A      1 & 2   v. 3 & 5      1       4
//
// Player 4 is off on d2 and d3; player 5 is off on a date the group does
// not play. d1 falls before and d2 after the start of daylight saving time
// in New York.
#include "engine_fixture.h"
#include <QDate>
#include <QVector>

struct HandSeason : EngineFixture {
    int groupId = 0;
    QVector<int> players;   // PLAYERID of entries 1..5 (index 0 unused)
    QVector<int> entries;   // GROUPPLAYERID of entries 1..5 (index 0 unused)
    int courtA = 0, courtB = 0;
    QVector<QDate> d{QDate(), QDate(2027, 3, 8), QDate(2027, 3, 15), QDate(2027, 3, 22), QDate(2027, 3, 29)};

    explicit HandSeason(const QString& name = QStringLiteral("Monday Doubles"))
    {
        groupId = exec("INSERT INTO \"group\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, BBON, MONDAY, "
                       "STIME, ETIME, NOTES) VALUES (?, '2027-03-08', 4, 4, 2, 1, 1, 1, '09:00:00', '10:30:00', ?)",
                       {name, QStringLiteral("Bring water; park behind the hall, please.\nNew balls: Zoë")});
        players = {0,
                   addPlayer(QStringLiteral("Ann \"Jo\""), QStringLiteral("O'Neil, Jr")),
                   addPlayer(QStringLiteral("Bob"), QStringLiteral("Brown")),
                   addPlayer(QStringLiteral("Cy"), QStringLiteral("Cole")),
                   addPlayer(QStringLiteral("Di"), QStringLiteral("Dunn")),
                   addPlayer(QStringLiteral("Zoë"), QStringLiteral("Élan"))};
        entries = {0};
        for (int i = 1; i <= 5; ++i)
            entries << addEntry(groupId, players[i], i);
        courtA = addCourt(groupId, QStringLiteral("Court A"));
        courtB = addCourt(groupId, QStringLiteral("Court B"));
        court(1, courtA, {1, 2, 3, 4}, 1);
        court(2, courtA, {1, 3, 2, 5}, 3);
        court(3, courtB, {2, 5, 1, 3}, 2);
        court(4, courtA, {1, 2, 3, 5}, 1);
        playerOff(players[4], d[2]);
        playerOff(players[4], d[3]);
        playerOff(players[5], QDate(2027, 3, 10));
    }

    // Schedule rows of one court on date k, in order; `home` brings the balls.
    void court(int k, int courtId, const QVector<int>& numbers, int home)
    {
        for (int n : numbers)
            exec("INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, SLOTCODE, HOME) VALUES (?, ?, ?, ?, ?)",
                 {entries[n], d[k].toString(Qt::ISODate), courtId, n, n == home ? 1 : QVariant()});
    }
    void removeRow(int k, int number)
    {
        exec("DELETE FROM SCHEDULE WHERE GRPPLAYRID = ? AND DATE = ?", {entries[number], d[k].toString(Qt::ISODate)});
    }
};
