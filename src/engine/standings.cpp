#include "standings.h"
#include "season.h"
#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

struct Result {
    int winner = 0;
    int loser = 0;
};

QVector<Result> resultsOf(const Season& season)
{
    QVector<Result> results;
    for (const SeasonRow& r : season.rows) {
        if (r.opponent == 0 || r.winner == 0)
            continue;   // each match once, on its first row
        if (r.winner == r.entry)
            results.append({r.entry, r.opponent});
        else if (r.winner == r.opponent)
            results.append({r.opponent, r.entry});
    }
    return results;
}

// Wins of each entry of `level` against the others of `level`.
QHash<int, int> headToHead(const QVector<Result>& results, const QSet<int>& level)
{
    QHash<int, int> wins;
    for (const Result& r : results)
        if (level.contains(r.winner) && level.contains(r.loser))
            wins[r.winner] += 1;
    return wins;
}

bool sameRecord(const StandingLine& a, const StandingLine& b)
{
    return a.wins == b.wins && a.losses == b.losses;
}

// Orders one run of entries level on wins and losses by head to head and
// gives the ranks from `firstRank`.
void rankLevelRun(QVector<StandingLine>::iterator begin, QVector<StandingLine>::iterator end,
                  const QVector<Result>& results, int firstRank)
{
    QSet<int> level;
    for (auto it = begin; it != end; ++it)
        level.insert(it->entry);
    const QHash<int, int> h2h = headToHead(results, level);
    std::stable_sort(begin, end, [&](const StandingLine& a, const StandingLine& b) {
        return h2h.value(a.entry) > h2h.value(b.entry);
    });
    int rank = firstRank;
    for (auto it = begin; it != end; ++it) {
        if (it != begin && h2h.value(it->entry) != h2h.value((it - 1)->entry))
            rank = firstRank + int(it - begin);
        it->rank = rank;
    }
}

}   // namespace

QVector<StandingLine> computeStandings(const Season& season)
{
    const QVector<Result> results = resultsOf(season);
    QVector<StandingLine> lines;
    QHash<int, int> at;
    for (const SeasonEntry& e : season.entries) {
        at.insert(e.id, int(lines.size()));
        lines.append({e.id, e.number, e.fullName(), 0, 0, 0});
    }
    for (const Result& r : results) {
        if (at.contains(r.winner))
            lines[at.value(r.winner)].wins += 1;
        if (at.contains(r.loser))
            lines[at.value(r.loser)].losses += 1;
    }
    std::stable_sort(lines.begin(), lines.end(), [](const StandingLine& a, const StandingLine& b) {
        if (a.wins != b.wins)
            return a.wins > b.wins;
        if (a.losses != b.losses)
            return a.losses < b.losses;
        return a.number < b.number;
    });
    for (auto run = lines.begin(); run != lines.end();) {
        auto end = run;
        while (end != lines.end() && sameRecord(*end, *run))
            ++end;
        rankLevelRun(run, end, results, int(run - lines.begin()) + 1);
        run = end;
    }
    return lines;
}
