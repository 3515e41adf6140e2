#pragma once
// How evenly a season shares out dates, ball duty, courts and company,
// counted from its schedule rows (Season), with warnings in words where it
// is uneven. No widgets; the report window, the printed report and the
// command line show the same figures.
#include "plan.h"
#include "season.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <limits>

struct EntryFairness {
    int entryId = 0;
    int number = 0;
    QString name;
    int datesPlayed = 0;     // distinct dates with a schedule row
    int daysOff = 0;         // the entry's player off on a date of play
    int freeDates = 0;       // dates of play minus those days off
    int longestGap = 0;      // most dates of play in a row without playing
    int balls = 0;           // dates it brought the balls (was home, in a league)
    QVector<int> perCourt;   // dates on each court, in Season::courtOrder
    int doubleBooked = 0;    // dates with more than one row of it
};

struct PairFairness {
    int first = 0, second = 0;   // entry numbers, first < second
    int partners = 0, opponents = 0;
    int together = 0;   // dates on one court, as partners, opponents or neither
};

struct FairnessFigures {
    int dateCount = 0;
    QVector<EntryFairness> entries;   // in entry-number order
    int mostPlayed = 0, fewestPlayed = 0;
    int playedSpread = 0;          // most - fewest dates played
    int ballSpread = 0;            // widest ball-duty spread among entries playing equally often
    int ballSpreadPlayed = 0;      // the dates played of those entries
    bool hasPairs = false;         // four to a court: partners and opponents counted
    bool splitsSides = false;      // doubles: partners and opponents are told apart
    QVector<PairFairness> pairs;   // every pair of entries
    int mostMet = 0, fewestMet = 0;
    // A group's dates with fewer rows than its players per session: too few
    // entries were free, as the run's own message says.
    QVector<ShortDate> unfilledDates;
    QStringList warnings;
};

FairnessFigures computeFairness(const Season& season);

// How evenly one count of the pairs (partners, opponents or together) is
// spread: its most, its mean over every pair, and the pairs at 0.
struct PairSpread {
    int most = 0;
    double mean = 0;
    int never = 0;
    double mostOverMean() const { return mean > 0 ? most / mean : 0; }
};
PairSpread pairSpread(const FairnessFigures& f, int PairFairness::*count);

// The figures as lines and a table, for every form of the report.
namespace FairnessText {
QString title(const Season& season);
QStringList summary(const Season& season, const FairnessFigures& f);
QStringList tableHeaders(const Season& season);
QVector<QStringList> tableRows(const FairnessFigures& f);
// Most, fewest and never met, for groups with four to a court; empty
// otherwise. Each line names at most `listed` pairs and counts the others;
// the never-met line then says that the CSV file has them all.
QStringList pairLines(const FairnessFigures& f, int listed = std::numeric_limits<int>::max());
// The pairs that never met, as records to follow the table of a CSV file:
// a blank record, a heading, one pair a record; none when every pair met.
QVector<QStringList> neverMetRecords(const FairnessFigures& f);
// The dates that could not be filled, as records to follow the table of a
// CSV file: a blank record, a heading, one date a record; none when every
// date was filled.
QVector<QStringList> unfilledRecords(const FairnessFigures& f);
// The whole report as plain text with aligned columns.
QString plainText(const Season& season, const FairnessFigures& f);
}
