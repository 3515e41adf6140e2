#include "grouprules.h"
#include "data/settings.h"
#include "groupsetup.h"
#include "data/kinds.h"
#include "data/table.h"
#include "data/tablemodel.h"
#include <QLocale>
#include <cmath>

namespace GroupRules {

QDate firstPlayDay(const QDate& from, const bool days[7])
{
    for (int i = 0; i < 7; ++i) {
        const QDate d = from.addDays(i);
        if (days[d.dayOfWeek() % 7])   // Qt counts Monday 1 .. Sunday 7
            return d;
    }
    return from;
}

QString feeText(const QVariant& fee)
{
    if (fee.isNull())
        return QString();
    const double value = fee.toDouble();
    if (std::abs(value * 100 - std::round(value) * 100) < 0.5)
        return formatValue(fee, QStringLiteral("$#,###"));
    return currencySign() + QLocale(QLocale::English).toString(value, 'f', 2);
}

namespace {
int largestWithDigits(int digits)
{
    int n = 1;
    for (int i = 0; i < digits; ++i)
        n *= 10;
    return n - 1;
}
}   // namespace

QString storedValueProblem(bool isGroup, std::optional<int> duration, std::optional<int> players)
{
    const QString what = isGroup ? QStringLiteral("group") : QStringLiteral("league");
    if (duration) {
        const int most = largestWithDigits(DurationDigits);
        if (*duration < 0 || *duration > most)
            return QStringLiteral("This %1 holds %2 %3; the number can be 0 to %4. Enter the right number "
                                  "before generating the schedule.")
                .arg(what, QString::number(*duration), isGroup ? QStringLiteral("weeks") : QStringLiteral("rounds"))
                .arg(most);
    }
    if (players) {
        const int most = largestWithDigits(PlayersDigits);
        if (*players < 0 || *players > most)
            return QStringLiteral("This %1 holds %2 players per session; the number can be 0 to %3. Enter the "
                                  "right number before generating the schedule.")
                .arg(what, QString::number(*players))
                .arg(most);
    }
    return QString();
}

QString storedValueProblem(const Table& group)
{
    const auto stored = [&](const char* column) {
        return group.isNull(column) ? std::nullopt : std::optional<int>(group.asInt(column));
    };
    return storedValueProblem(recordKindFrom(group.asInt("RTYPE")) == RecordKind::Group, stored("DURATION"),
                              stored("NumPerSes"));
}

QString storedValueProblem(const GroupSetup& group)
{
    const auto stored = [](bool isStored, int value) { return isStored ? std::optional<int>(value) : std::nullopt; };
    return storedValueProblem(group.isGroup(), stored(group.durationStored, group.duration),
                              stored(group.playersPerSessionStored, group.playersPerSession));
}

}   // namespace GroupRules
