#include "bench_scheduling.h"
#include "enginebench.h"

namespace {
const EngineShape benchmarkGroup = {"64 entries, 32 a session, 8 courts, 52 wk x 2", 1, 64, 32, 8, 0, 52, {2, 5}, 2};
}

void benchScheduling()
{
    const QVector<EngineShape> shapes = {
        benchmarkGroup,
        {"44, 40 a session, 10 doubles courts, 50 wk x 3", 1, 44, 40, 10, 2, 50, {2, 4, 6}, 2},
        {"240, 120 a session, 60 courts, 26 wk x 2", 1, 240, 120, 60, 1, 26, {2, 5}, 2},
        {"1000, 500 a session, 250 courts, 52 wk x 5", 1, 1000, 500, 250, 1, 52, {2, 3, 4, 5, 6}, 2},
    };
    benchShapes("Group schedule generation", shapes, 5);
}

int createGroup(Database& db)
{
    return createShape(db, benchmarkGroup);
}
