#pragma once
// A league's table from the results entered on its matches: most wins
// first, then fewest losses, then the wins among the entries still level
// (head to head); entries level after that share their rank.
#include <QString>
#include <QVector>

struct Season;

struct StandingLine {
    int entry = 0;    // GROUPPLAYERID
    int number = 0;   // entry number
    QString name;
    int wins = 0;
    int losses = 0;
    int rank = 0;   // 1 for the first; level entries share one
};

QVector<StandingLine> computeStandings(const Season& season);
