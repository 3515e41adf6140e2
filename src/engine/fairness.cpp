#include "fairness.h"
#include <QHash>
#include <QMap>
#include <QSet>
#include <algorithm>

namespace {

// Entries a court holds when the pairing needs exact numbers; 0 when any number goes.
int fixedCourtSize(const Season& s)
{
    if (s.isLeague())
        return 2;
    if (s.matchType == MatchType::Singles)
        return 2;
    if (s.matchType == MatchType::Doubles)
        return 4;
    return 0;
}

bool fourToACourt(const Season& s)
{
    return !s.isLeague() && s.matchType != MatchType::Singles;
}

QString dateText(const QDate& d)
{
    return d.toString(QStringLiteral("ddd d MMM yyyy"));
}

QString plural(int n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

void countEntries(const Season& s, FairnessFigures& f)
{
    QHash<int, int> index;
    for (const SeasonEntry& e : s.entries) {
        index.insert(e.id, int(f.entries.size()));
        EntryFairness ef;
        ef.entryId = e.id;
        ef.number = e.number;
        ef.name = e.fullName();
        ef.daysOff = int(s.playerDaysOff.value(e.player.id).size());
        ef.freeDates = f.dateCount - ef.daysOff;
        ef.perCourt.fill(0, s.courtOrder.size());
        f.entries << ef;
    }
    QHash<int, int> courtColumn;
    for (int i = 0; i < s.courtOrder.size(); ++i)
        courtColumn.insert(s.courtOrder[i], i);

    // Per entry: the dates it plays (with how many rows) and its ball dates.
    QVector<QHash<QDate, int>> rowsOn(f.entries.size());
    QVector<QSet<QDate>> ballDates(f.entries.size());
    for (const CourtSession& cs : s.sessions) {
        QSet<int> onCourt;
        for (int id : cs.entryIds) {
            const int i = index.value(id, -1);
            if (i < 0)
                continue;
            ++rowsOn[i][cs.date];
            if (!onCourt.contains(id)) {
                onCourt.insert(id);
                ++f.entries[i].perCourt[courtColumn.value(cs.courtId)];
            }
            if (cs.homeIds.contains(id))
                ballDates[i].insert(cs.date);
        }
    }
    for (int i = 0; i < f.entries.size(); ++i) {
        EntryFairness& ef = f.entries[i];
        ef.datesPlayed = int(rowsOn[i].size());
        ef.balls = int(ballDates[i].size());
        for (int n : rowsOn[i])
            ef.doubleBooked += n > 1 ? 1 : 0;
        int run = 0;
        for (const QDate& d : s.dates) {
            run = rowsOn[i].contains(d) ? 0 : run + 1;
            ef.longestGap = std::max(ef.longestGap, run);
        }
    }
}

void countSpreads(FairnessFigures& f)
{
    if (f.entries.isEmpty())
        return;
    const auto [lo, hi] =
        std::minmax_element(f.entries.begin(), f.entries.end(), [](const EntryFairness& a, const EntryFairness& b) {
            return a.datesPlayed < b.datesPlayed;
        });
    f.fewestPlayed = lo->datesPlayed;
    f.mostPlayed = hi->datesPlayed;
    f.playedSpread = f.mostPlayed - f.fewestPlayed;

    QMap<int, QPair<int, int>> ballRange;   // dates played -> fewest, most balls
    for (const EntryFairness& e : f.entries) {
        auto it = ballRange.find(e.datesPlayed);
        if (it == ballRange.end())
            ballRange.insert(e.datesPlayed, {e.balls, e.balls});
        else
            *it = {std::min(it->first, e.balls), std::max(it->second, e.balls)};
    }
    for (auto it = ballRange.begin(); it != ballRange.end(); ++it)
        if (it == ballRange.begin() || it->second - it->first > f.ballSpread) {
            f.ballSpread = it->second - it->first;
            f.ballSpreadPlayed = it.key();
        }
}

void countPairs(const Season& s, FairnessFigures& f)
{
    f.hasPairs = fourToACourt(s);
    f.splitsSides = f.hasPairs && s.matchType == MatchType::Doubles;
    if (!f.hasPairs)
        return;
    const int n = int(s.entries.size());
    QHash<int, int> index;
    for (int i = 0; i < n; ++i)
        index.insert(s.entries[i].id, i);
    QVector<PairFairness> grid(n * n);
    auto cell = [&](int a, int b) -> PairFairness& { return grid[std::min(a, b) * n + std::max(a, b)]; };

    for (const CourtSession& cs : s.sessions) {
        const QVector<QVector<int>> sides = s.sides(cs);
        auto sideOf = [&](int id) {
            for (int k = 0; k < sides.size(); ++k)
                if (sides[k].contains(id))
                    return k;
            return -1;
        };
        QVector<int> ids;
        for (int id : cs.entryIds)
            if (index.contains(id) && !ids.contains(id))
                ids << id;
        for (int x = 0; x < ids.size(); ++x)
            for (int y = x + 1; y < ids.size(); ++y) {
                PairFairness& p = cell(index[ids[x]], index[ids[y]]);
                ++p.together;
                if (f.splitsSides)
                    ++(sideOf(ids[x]) == sideOf(ids[y]) ? p.partners : p.opponents);
            }
    }
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            PairFairness p = grid[a * n + b];
            p.first = s.entries[a].number;
            p.second = s.entries[b].number;
            f.pairs << p;
        }
    if (f.pairs.isEmpty())
        return;
    const auto [lo, hi] =
        std::minmax_element(f.pairs.begin(), f.pairs.end(),
                            [](const PairFairness& a, const PairFairness& b) { return a.together < b.together; });
    f.fewestMet = lo->together;
    f.mostMet = hi->together;
}

void warnAboutDates(const Season& s, FairnessFigures& f)
{
    int places = 0;
    for (const EntryFairness& e : f.entries)
        places += e.datesPlayed;
    const int n = int(f.entries.size());
    if (f.playedSpread > 1)
        f.warnings << QStringLiteral("Dates played differ by %1: some entries play %2 dates, others only %3.")
                          .arg(f.playedSpread)
                          .arg(f.mostPlayed)
                          .arg(f.fewestPlayed);
    else if (f.playedSpread == 1 && places % n != 0)
        f.warnings << QStringLiteral("The %1 places of the season cannot be shared equally among %2 entries, "
                                     "so some play one date more than others.")
                          .arg(places)
                          .arg(n);
    else if (f.playedSpread == 1)
        f.warnings << QStringLiteral("Dates played differ by 1 although the %1 places could be shared equally "
                                     "among %2 entries.")
                          .arg(places)
                          .arg(n);
    for (const EntryFairness& e : f.entries) {
        if (e.datesPlayed == 0)
            f.warnings << QStringLiteral("%1. %2 plays no date at all.").arg(e.number).arg(e.name);
        else if (e.datesPlayed < f.mostPlayed && e.daysOff > 0 && e.freeDates < f.mostPlayed)
            f.warnings << QStringLiteral("%1. %2 could play on only %3 of the %4 dates because of %5, while "
                                         "others play up to %6.")
                              .arg(e.number)
                              .arg(e.name)
                              .arg(e.freeDates)
                              .arg(f.dateCount)
                              .arg(plural(e.daysOff, "day off", "days off"))
                              .arg(f.mostPlayed);
        if (e.doubleBooked > 0)
            f.warnings << QStringLiteral("%1. %2 is placed more than once on %3.")
                              .arg(e.number)
                              .arg(e.name)
                              .arg(plural(e.doubleBooked, "date", "dates"));
    }
    Q_UNUSED(s);
}

QString unfilledText(const ShortDate& d)
{
    return QStringLiteral("Too few players were free to fill %1.").arg(shortDateText(d));
}

// A group's run leaves a seat empty rather than place an entry twice; the
// dates where it did stay visible here long after its message is gone.
void warnAboutUnfilledDates(const Season& s, FairnessFigures& f)
{
    if (s.isLeague())
        return;
    for (const QDate& date : s.dates) {
        const int placed = int(s.rowsOn(date).size());
        if (placed >= s.playersPerSession)
            continue;
        const int off = int(std::count_if(s.entries.cbegin(), s.entries.cend(),
                                          [&](const SeasonEntry& e) { return s.isOff(e, date); }));
        f.unfilledDates << ShortDate{date, placed, s.playersPerSession, off, int(s.entries.size())};
        f.warnings << unfilledText(f.unfilledDates.last());
    }
}

void warnAboutCourts(const Season& s, FairnessFigures& f)
{
    const int size = fixedCourtSize(s);
    if (size == 0)
        return;
    for (const CourtSession& cs : s.sessions)
        if (cs.entryIds.size() != size)
            f.warnings << QStringLiteral("On %1, %2 has %3 instead of %4.")
                              .arg(dateText(cs.date), s.courtName(cs.courtId),
                                   plural(int(cs.entryIds.size()), "entry", "entries"))
                              .arg(size);
}

void warnAboutBallsAndPairs(const Season& s, FairnessFigures& f)
{
    if ((s.bringBallsOn || s.isLeague()) && f.ballSpread > 1)
        f.warnings << QStringLiteral("Among the entries that play %1 dates, %2 differs by %3.")
                          .arg(f.ballSpreadPlayed)
                          .arg(s.isLeague() ? QStringLiteral("home and ball duty") : QStringLiteral("ball duty"))
                          .arg(f.ballSpread);
    if (f.hasPairs && f.fewestMet == 0 && f.mostMet >= 2) {
        const int never =
            int(std::count_if(f.pairs.begin(), f.pairs.end(), [](const PairFairness& p) { return p.together == 0; }));
        f.warnings << QStringLiteral("%1 never share a court, while others meet up to %2 times.")
                          .arg(plural(never, "pair of entries", "pairs of entries"))
                          .arg(f.mostMet);
    }
}

}   // namespace

FairnessFigures computeFairness(const Season& season)
{
    FairnessFigures f;
    f.dateCount = int(season.dates.size());
    countEntries(season, f);
    countSpreads(f);
    countPairs(season, f);
    if (season.sessions.isEmpty()) {
        f.warnings << QStringLiteral("There is no schedule yet: generate it first.");
        return f;
    }
    warnAboutDates(season, f);
    warnAboutUnfilledDates(season, f);
    warnAboutCourts(season, f);
    warnAboutBallsAndPairs(season, f);
    return f;
}

PairSpread pairSpread(const FairnessFigures& f, int PairFairness::*count)
{
    PairSpread spread;
    long total = 0;
    for (const PairFairness& p : f.pairs) {
        spread.most = std::max(spread.most, p.*count);
        spread.never += p.*count == 0;
        total += p.*count;
    }
    spread.mean = f.pairs.isEmpty() ? 0 : double(total) / f.pairs.size();
    return spread;
}

namespace FairnessText {

QString title(const Season& season)
{
    return QStringLiteral("Fairness of ") + season.name;
}

QStringList summary(const Season& season, const FairnessFigures& f)
{
    QStringList lines;
    lines << QStringLiteral("Dates of play: %1").arg(f.dateCount);
    lines << QStringLiteral("Dates played: most %1, fewest %2, spread %3")
                 .arg(f.mostPlayed)
                 .arg(f.fewestPlayed)
                 .arg(f.playedSpread);
    lines << QStringLiteral("Spread of %1 among entries that play equally often: %2")
                     .arg(season.isLeague() ? QStringLiteral("home and ball duty") : QStringLiteral("ball duty"))
                     .arg(f.ballSpread) +
                 (f.entries.isEmpty() ? QString()
                                      : QStringLiteral(" (those playing %1 dates)").arg(f.ballSpreadPlayed));
    return lines;
}

QStringList tableHeaders(const Season& season)
{
    QStringList h{
        QStringLiteral("#"),           QStringLiteral("Name"),
        QStringLiteral("Played"),      QStringLiteral("Days off"),
        QStringLiteral("Longest gap"), season.isLeague() ? QStringLiteral("Home/balls") : QStringLiteral("Balls")};
    for (int court : season.courtOrder)
        h << season.courtName(court);
    return h;
}

QVector<QStringList> tableRows(const FairnessFigures& f)
{
    QVector<QStringList> rows;
    for (const EntryFairness& e : f.entries) {
        QStringList r{QString::number(e.number),      e.name,
                      QString::number(e.datesPlayed), QString::number(e.daysOff),
                      QString::number(e.longestGap),  QString::number(e.balls)};
        for (int n : e.perCourt)
            r << QString::number(n);
        rows << r;
    }
    return rows;
}

namespace {
QString pairText(const PairFairness& p)
{
    return QStringLiteral("%1 and %2").arg(p.first).arg(p.second);
}

QStringList neverMet(const FairnessFigures& f)
{
    QStringList never;
    for (const PairFairness& p : f.pairs)
        if (p.together == 0)
            never << pairText(p);
    return never;
}

// The first `listed` pairs, then how many more there are.
QString listOf(const QStringList& pairs, int listed, const QString& restElsewhere = {})
{
    if (pairs.size() <= listed)
        return pairs.join(QStringLiteral("; "));
    return pairs.mid(0, listed).join(QStringLiteral("; ")) +
           QStringLiteral("; and %1 more").arg(pairs.size() - listed) + restElsewhere;
}
}   // namespace

QStringList pairLines(const FairnessFigures& f, int listed)
{
    if (!f.hasPairs || f.pairs.isEmpty())
        return {};
    auto describe = [&](const PairFairness& p) {
        QString text = pairText(p);
        if (f.splitsSides)
            text += QStringLiteral(" (%1 as partners, %2 as opponents)").arg(p.partners).arg(p.opponents);
        return text;
    };
    QStringList most, fewest;
    for (const PairFairness& p : f.pairs) {
        if (p.together == f.mostMet)
            most << describe(p);
        if (p.together == f.fewestMet && f.fewestMet > 0)
            fewest << describe(p);
    }
    const QStringList never = neverMet(f);
    QStringList lines;
    lines << QStringLiteral("Met most often, %1 times: %2").arg(f.mostMet).arg(listOf(most, listed));
    if (!fewest.isEmpty())
        lines << QStringLiteral("Met fewest times, %1: %2").arg(f.fewestMet).arg(listOf(fewest, listed));
    lines << (never.isEmpty() ? QStringLiteral("Every pair of entries met.")
                              : QStringLiteral("Never met, %1: %2")
                                    .arg(plural(int(never.size()), "pair", "pairs"),
                                         listOf(never, listed, QStringLiteral("; the full list is in the CSV"))));
    return lines;
}

QVector<QStringList> neverMetRecords(const FairnessFigures& f)
{
    const QStringList never = f.hasPairs ? neverMet(f) : QStringList{};
    if (never.isEmpty())
        return {};
    QVector<QStringList> records{{}, {QStringLiteral("Never met")}};
    for (const QString& pair : never)
        records << QStringList{pair};
    return records;
}

QVector<QStringList> unfilledRecords(const FairnessFigures& f)
{
    if (f.unfilledDates.isEmpty())
        return {};
    QVector<QStringList> records{{}, {QStringLiteral("Warnings")}};
    for (const ShortDate& d : f.unfilledDates)
        records << QStringList{unfilledText(d)};
    return records;
}

QString plainText(const Season& season, const FairnessFigures& f)
{
    QStringList out{title(season), QString()};
    out << summary(season, f);
    if (!f.warnings.isEmpty()) {
        out << QString() << QStringLiteral("Warnings:");
        for (const QString& w : f.warnings)
            out << QStringLiteral("- ") + w;
    }
    const QStringList headers = tableHeaders(season);
    const QVector<QStringList> rows = tableRows(f);
    QVector<int> width(headers.size());
    for (int c = 0; c < headers.size(); ++c) {
        width[c] = int(headers[c].size());
        for (const QStringList& r : rows)
            width[c] = std::max(width[c], int(r[c].size()));
    }
    auto line = [&](const QStringList& cells) {
        QStringList padded;
        for (int c = 0; c < cells.size(); ++c)
            padded << (c == 1 ? cells[c].leftJustified(width[c]) : cells[c].rightJustified(width[c]));
        QString text = padded.join(QStringLiteral("  "));
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text;
    };
    out << QString() << line(headers);
    for (const QStringList& r : rows)
        out << line(r);
    const QStringList pairs = pairLines(f);
    if (!pairs.isEmpty())
        out << QString() << pairs;
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}   // namespace FairnessText
