#pragma once
// What the group editor's fields take and show, apart from the widgets, so
// that generation can ask the same questions of a stored record.
#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

class Table;
struct GroupSetup;

namespace GroupRules {

// Digits the user may type: weeks or rounds, players per session, whole
// dollars of the fee.
constexpr int DurationDigits = 2;
constexpr int PlayersDigits = 3;
constexpr int FeeDigits = 3;

// The first date on or after `from` whose weekday is chosen (`days` runs
// Sunday to Saturday); `from` itself when no day is chosen.
QDate firstPlayDay(const QDate& from, const bool days[7]);

// The fee as the editor shows it: "$40", "$1,250", and cents only when
// there are any ("$9,999.99"), so that nothing stored is hidden.
QString feeText(const QVariant& fee);

// Why the stored row holds a value its field cannot take (weeks above 99,
// a negative players per session), in words for the user; empty when none.
QString storedValueProblem(const Table& group);
QString storedValueProblem(const GroupSetup& group);
QString storedValueProblem(bool isGroup, std::optional<int> duration, std::optional<int> playersPerSession);

}   // namespace GroupRules
