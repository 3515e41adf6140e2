#include "leaguedaysoff.h"
#include "groupsetup.h"
#include "plan.h"
#include <algorithm>
#include <cmath>

LeagueDaysOff::LeagueDaysOff(const GroupSetup& s) : setup(s) {}

QSet<int> LeagueDaysOff::entriesOff(const QDate& date) const
{
    const bool leagueOff = setup.groupDaysOff.contains(date);
    QSet<int> off;
    for (int i = 0; i < setup.entries.size(); ++i)
        if (leagueOff || setup.entryOff(i, date))
            off.insert(setup.entries[i].id);
    return off;
}

void LeagueDaysOff::setPlan(double plannedDates, int roundsWanted)
{
    planned = plannedDates;
    rounds = std::max(1, roundsWanted);
}

// A round's worth of dates past the plan.
double LeagueDaysOff::overrideAfter() const
{
    return planned + std::max(1.0, std::ceil(planned / rounds));
}

bool LeagueDaysOff::nextDateMayOverride()
{
    ++datesSeen;
    return datesSeen > overrideAfter();
}

int LeagueDaysOff::datesBeforeOverride() const
{
    return std::max(0, int(std::floor(overrideAfter())) - datesSeen);
}

void LeagueDaysOff::notePlacement(const QDate& date, int first, int second)
{
    QStringList whose;
    for (int entry : {first, second}) {
        const int index = setup.indexOf(entry);
        if (index < 0)
            continue;
        const QString names = setup.playersOffText(index, date);
        if (names.isEmpty() && !setup.groupDaysOff.contains(date))
            continue;
        placed.insert({entry, date});
        if (!names.isEmpty())
            whose << names;
    }
    if (whose.isEmpty())
        return;
    const auto number = [&](int entry) {
        const int index = setup.indexOf(entry);
        return index >= 0 ? setup.entries[index].number : 0;
    };
    notes << QStringLiteral("%1: entries %2 and %3 play on a day off of %4.")
                 .arg(planDateText(date))
                 .arg(number(first))
                 .arg(number(second))
                 .arg(whose.join(QStringLiteral(" and ")));
}
