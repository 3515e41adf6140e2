#include "bench_league.h"
#include "enginebench.h"

void benchLeague()
{
    // Winter leagues: every entry on court every date; the run must stay
    // within its time and finish each round in entries - 1 dates.
    const QVector<EngineShape> shapes = {
        {"24 singles, 6 courts, 3 rounds", 2, 24, 12, 6, 1, 3, {2, 5}, 0, 150},
        {"20 singles, 10 courts, 4 rounds (all on court)", 2, 20, 20, 10, 1, 4, {2, 5}, 0},
        {"21 singles, 10 courts, 3 rounds (one sits out)", 2, 21, 20, 10, 1, 3, {2, 5}, 0},
        {"12 doubles teams, 3 courts, 2 rounds", 2, 12, 6, 3, 2, 2, {2, 5}, 0},
        {"40 singles, 20 courts, 3 rounds (all on court)", 2, 40, 40, 20, 1, 3, {2, 5}, 0, 500},
        {"64 singles, 32 courts, 3 rounds (all on court)", 2, 64, 64, 32, 1, 3, {2, 5}, 0, 500},
        {"100 singles, 50 courts, 3 rounds (all on court)", 2, 100, 100, 50, 1, 3, {2, 5}, 0, 500},
    };
    benchShapes("League schedule generation", shapes, 5);
}
