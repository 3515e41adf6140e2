#pragma once
// Random groups and leagues for property tests: sizes near the edges (players
// per session close to the entries, few courts), days off of players and of
// the group, doubles teams, mixing. Player ids never equal entry ids, so a
// query joined on the wrong id column shows.
#include "engine_fixture.h"
#include <QDate>
#include <QString>
#include <random>

struct RandomGroup {
    int groupId = 0;
    int rtype = 1;
    QString description;   // enough to rebuild the case by hand
};

inline int pick(std::mt19937& r, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(r);
}

inline RandomGroup addRandomGroup(EngineFixture& f, std::mt19937& r)
{
    RandomGroup g;
    g.rtype = pick(r, 1, 10) <= 7 ? 1 : 2;
    GroupShape s;
    s.start = QDate(2027, 1, 4).addDays(pick(r, 0, 60));
    s.weekdays.clear();
    for (int k = 1; k <= 7; ++k)
        if (pick(r, 1, 7) <= 2)
            s.weekdays << k;
    if (s.weekdays.isEmpty())
        s.weekdays << pick(r, 1, 7);
    if (g.rtype == 1) {
        s.type = pick(r, 0, 2);
        s.courts = pick(r, 1, 4);
        const int need = s.courts * (s.type == 1 ? 2 : 4);
        // Mostly the figure the courts need, sometimes one the run questions.
        s.perSession = pick(r, 1, 4) == 1 ? std::max(1, need + pick(r, -3, 3)) : need;
        s.entries = std::max(2, need + pick(r, -2, 8));
        s.weeks = pick(r, 2, 12);
    } else {
        s.type = pick(r, 1, 2);
        s.entries = pick(r, 3, 12);
        s.courts = pick(r, 1, std::max(1, s.entries / 2));
        s.perSession = 2 * s.courts;
        s.weeks = pick(r, 1, 2);   // rounds
    }
    // Players that are in no group push the player ids away from the entry ids.
    for (int i = pick(r, 1, 9); i > 0; --i)
        f.addPlayer(QStringLiteral("Spare%1").arg(i), QStringLiteral("Player"));
    GroupShape empty = s;
    empty.entries = 0;
    empty.courts = 0;
    g.groupId = f.addGroup(empty, g.rtype);
    const bool teams = g.rtype == 2 && s.type == 2;
    QVector<int> players;
    for (int i = 1; i <= s.entries; ++i) {
        const int player = f.addPlayer(QStringLiteral("P%1").arg(i), QStringLiteral("L%1").arg(i));
        players << player;
        const int entry = f.addEntry(g.groupId, player, i);
        if (teams) {
            const int partner = f.addPlayer(QStringLiteral("Q%1").arg(i), QStringLiteral("M%1").arg(i));
            players << partner;
            f.exec("UPDATE GRPPLAYR SET SHARESLOTID = ? WHERE GROUPPLAYERID = ?", {partner, entry});
        }
    }
    for (int c = 1; c <= s.courts; ++c)
        f.addCourt(g.groupId, QStringLiteral("Court %1").arg(c));
    if (g.rtype == 1 && pick(r, 1, 4) == 1)
        f.exec("UPDATE \"group\" SET MIXPAIRS = 1 WHERE GROUPID = ?", {g.groupId});
    // Days off over the first weeks of the season, some of them bunched on
    // one date so that fewer entries are free than a session needs.
    const int span = 7 * std::max(2, s.weeks);
    for (int i = pick(r, 0, 3 * s.entries); i > 0; --i)
        f.playerOff(players[pick(r, 0, int(players.size()) - 1)], s.start.addDays(pick(r, -3, span)));
    if (pick(r, 1, 3) == 1) {
        const QDate crowded = s.start.addDays(pick(r, 0, 13));
        for (int i = pick(r, 1, s.entries); i > 0; --i)
            f.playerOff(players[pick(r, 0, int(players.size()) - 1)], crowded);
    }
    if (pick(r, 1, 4) == 1)
        f.groupOff(g.groupId, s.start.addDays(pick(r, 0, span)));
    g.description = QStringLiteral("%1 type %2, %3 entries, %4 a session, %5 courts, %6 x %7 days from %8")
                        .arg(g.rtype == 1 ? "group" : "league")
                        .arg(s.type)
                        .arg(s.entries)
                        .arg(s.perSession)
                        .arg(s.courts)
                        .arg(s.weeks)
                        .arg(s.weekdays.size())
                        .arg(s.start.toString(Qt::ISODate));
    return g;
}
