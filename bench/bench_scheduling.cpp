#include "bench_scheduling.h"
#include "enginebench.h"

namespace {
const EngineShape benchmarkGroup = {
    "group 64 entries, 32 a session, 8 courts, 52 wk x 2", 1, 64, 32, 8, 0, 52, {2, 5}, 150};
}

void benchScheduling()
{
    const QVector<EngineShape> shapes = {
        benchmarkGroup,
        {"group 44, 40 a session, 10 doubles courts, 50 wk x 3", 1, 44, 40, 10, 2, 50, {2, 4, 6}, 300},
        {"group 240, 120 a session, 60 singles courts, 26 wk x 2", 1, 240, 120, 60, 1, 26, {2, 5}, 500},
    };
    benchShapes("Group schedule generation", shapes, 5);
}

int createGroup(Database& db)
{
    return createShape(db, benchmarkGroup);
}
