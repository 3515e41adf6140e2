#pragma once
// The schedule as a spreadsheet: RFC 4180 CSV (every field quoted, CRLF
// line ends, UTF-8 with a byte-order mark so that spreadsheet programs take
// it as UTF-8), a header row, one line per court and date and one line per
// date for the entries who sit out.
#include "engine/season.h"
#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <QVector>

class Database;

namespace Csv {
// The columns that hold figures. A cell of any other column is text, and
// text that a spreadsheet would run as a formula (it begins with "=", "+",
// "-", "@", a tab or a carriage return) is written with a leading "'", as
// spreadsheet programs write it: a court named "=1+1" stays those letters.
// A figure such as "-3" stays a number.
using NumberColumns = QSet<int>;

// The cell as a spreadsheet should take it, before quoting.
QString safeCell(const QString& cell, bool numberColumn = false);
// One record, quoted, ending in CRLF.
QByteArray line(const QStringList& fields, const NumberColumns& numberColumns = {});
// A byte-order mark, the header (always text) and the rows.
QByteArray document(const QStringList& header, const QVector<QStringList>& rows,
                    const NumberColumns& numberColumns = {});
// Reads a document back (quotes, doubled quotes, CRLF or LF, line breaks
// inside quotes, a leading byte-order mark); for checking what was written.
QVector<QStringList> parse(const QByteArray& data);
}

namespace ScheduleCsv {
QStringList header();
// Caption of the line that lists who sits out, in the court column.
QString sitsOutCaption();
// `playerId` 0: every court; otherwise only the courts and sit-out lines of
// that player's entries.
QVector<QStringList> rows(const Season& season, int playerId = 0);
QByteArray document(const Season& season, int playerId = 0);

// "1. Ann Alder & 2. Bob Brown v. 3. Cy Cole & 4. Di Dunn": the entries of a
// court, partners and sides joined as the printed schedule joins them.
QString courtEntries(const Season& season, const CourtSession& session);
// The entries that bring the balls on a court; empty when the group does
// not show ball duty.
QString ballBringers(const Season& season, const CourtSession& session);
}

// The roster: every player's name, phones, e-mail and address, by last
// name, as the Player List shows them.
namespace RosterCsv {
QStringList header();
QVector<QStringList> rows(Database& db);
QByteArray document(Database& db);
}
