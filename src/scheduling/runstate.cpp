#include "runstate.h"

RunState& runState()
{
    static RunState state;
    return state;
}
