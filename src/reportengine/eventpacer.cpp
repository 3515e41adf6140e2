#include "eventpacer.h"
#include <QCoreApplication>

EventPacer::EventPacer(int intervalMs, std::function<void()> yield) : interval(intervalMs), yieldTo(std::move(yield))
{
    if (!yieldTo)
        yieldTo = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    sinceYield.start();
}

void EventPacer::checkpoint()
{
    if (sinceYield.elapsed() < interval)
        return;
    ++count;
    yieldTo();
    sinceYield.restart();
}
