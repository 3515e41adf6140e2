#include "playerdates.h"
#include <algorithm>

QVector<PlayerDate> playerDates(const Season& s, int playerId)
{
    const QVector<int> mine = s.entriesOfPlayer(playerId);
    QVector<PlayerDate> dates;
    for (const CourtSession& cs : s.sessions) {
        int own = 0;
        for (int id : mine)
            if (cs.entryIds.contains(id))
                own = id;
        if (!own)
            continue;
        PlayerDate d{cs.date, cs.courtId, own, {}, {}, s.bringBallsOn && cs.homeIds.contains(own)};
        for (const QVector<int>& side : s.sides(cs)) {
            // Without pairing the court has no sides: everyone on it plays with the player.
            const bool ours = s.sideSize() == 0 || side.contains(own);
            for (int id : side)
                if (id != own)
                    (ours ? d.partners : d.opponents) << id;
        }
        dates << d;
    }
    return dates;
}

QVector<QDate> playerDaysOff(const Season& s, int playerId)
{
    const QSet<QDate> off = s.playerDaysOff.value(playerId);
    QVector<QDate> dates(off.cbegin(), off.cend());
    std::sort(dates.begin(), dates.end());
    return dates;
}

SeasonPerson seasonPlayer(const Season& s, int playerId)
{
    // Straight through the entries: a published season asks once per player.
    for (const SeasonEntry& e : s.entries)
        for (const SeasonPerson* p : {&e.player, &e.partner})
            if (p->id == playerId && playerId != 0)
                return *p;
    return {};
}
