#pragma once
// The places of a schedule that nobody holds: a doubles court left with
// three players when one was deleted, a league match that lost one side, a
// date the run could not fill. The season window marks them and offers a
// substitute for each. No widgets.
#include "season.h"
#include <QDate>
#include <QVector>

struct EmptyPlace {
    QDate date;
    int court = 0;     // COURTID
    int missing = 0;   // places on that court nobody holds
};

// By date, then court. A group's date wants its players per session
// (NumPerSes), spread over its courts as a run fills them (full courts
// first, the last may hold fewer); a league's court wants the two sides of
// one match.
QVector<EmptyPlace> emptyPlaces(const Season& season);
// "1 place empty", "3 places empty"
QString emptyPlacesText(int missing);
