#include "playerdates.h"
#include <algorithm>

PlayerIndex::PlayerIndex(const Season& season) : s(season)
{
    for (const SeasonEntry& e : s.entries)
        for (const SeasonPerson* p : {&e.player, &e.partner})
            if (p->id != 0) {
                people.insert(p->id, *p);
                entriesOfPlayer[p->id] << e.id;
            }
    for (int i = 0; i < s.sessions.size(); ++i)
        for (int id : s.sessions[i].entryIds) {
            QVector<int>& at = sessionsOfEntry[id];
            if (at.isEmpty() || at.last() != i)
                at << i;
        }
}

QVector<int> PlayerIndex::sessions(int playerId) const
{
    const QVector<int> mine = entries(playerId);
    if (mine.size() == 1)
        return sessionsOfEntry.value(mine.first());
    QVector<int> all;
    for (int id : mine)
        all += sessionsOfEntry.value(id);
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

QVector<PlayerDate> playerDates(const Season& s, int playerId)
{
    return playerDates(PlayerIndex(s), playerId);
}

QVector<PlayerDate> playerDates(const PlayerIndex& index, int playerId)
{
    const Season& s = index.season();
    const QVector<int> mine = index.entries(playerId);
    QVector<PlayerDate> dates;
    for (int at : index.sessions(playerId)) {
        const CourtSession& cs = s.sessions[at];
        int own = 0;
        for (int id : mine)
            if (cs.entryIds.contains(id))
                own = id;
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
    for (const SeasonEntry& e : s.entries)
        for (const SeasonPerson* p : {&e.player, &e.partner})
            if (p->id == playerId && playerId != 0)
                return *p;
    return {};
}
