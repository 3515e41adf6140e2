#include "csvexport.h"
#include "data/query.h"
#include <QLocale>
#include <QSet>

namespace Csv {

QString safeCell(const QString& cell, bool numberColumn)
{
    static const QString formulaLeaders = QStringLiteral("=+-@\t\r");
    if (cell.isEmpty() || !formulaLeaders.contains(cell.front()))
        return cell;
    bool isNumber = false;
    if (numberColumn)
        cell.toDouble(&isNumber);
    // Whatever else a figure column holds (a note below the table) is text.
    return isNumber ? cell : QLatin1Char('\'') + cell;
}

QByteArray line(const QStringList& fields, const NumberColumns& numberColumns)
{
    QStringList quoted;
    for (qsizetype i = 0; i < fields.size(); ++i)
        quoted << QLatin1Char('"') +
                      safeCell(fields[i], numberColumns.contains(int(i)))
                          .replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                      QLatin1Char('"');
    return quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QByteArray document(const QStringList& header, const QVector<QStringList>& rows, const NumberColumns& numberColumns)
{
    QByteArray out("\xEF\xBB\xBF");
    out += line(header);
    for (const QStringList& r : rows)
        out += line(r, numberColumns);
    return out;
}

QVector<QStringList> parse(const QByteArray& data)
{
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QVector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, fieldStarted = false;
    auto endField = [&] {
        record << field;
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        records << record;
        record.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            ++i;
            endRecord();
        } else if (c == QLatin1Char('\n')) {
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !record.isEmpty())
        endRecord();
    return records;
}

}   // namespace Csv

namespace ScheduleCsv {

namespace {
QString timeText(const QTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : QString();
}

QStringList dateFields(const Season& s, const QDate& date)
{
    // English weekday names whatever the system's language, like the dates.
    return {date.toString(Qt::ISODate), QLocale::c().dayName(date.dayOfWeek()), timeText(s.startTime),
            timeText(s.endTime)};
}

QString labelOf(const Season& s, int entryId)
{
    const SeasonEntry* e = s.entry(entryId);
    return e ? e->label() : QStringLiteral("entry %1").arg(entryId);
}

bool involves(const QVector<int>& entryIds, const QVector<int>& mine)
{
    for (int id : mine)
        if (entryIds.contains(id))
            return true;
    return false;
}
}   // namespace

QStringList header()
{
    return {
        QStringLiteral("Date"),  QStringLiteral("Weekday"), QStringLiteral("Start"),           QStringLiteral("End"),
        QStringLiteral("Court"), QStringLiteral("Entries"), QStringLiteral("Brings the balls")};
}

QString sitsOutCaption()
{
    return QStringLiteral("Sits out");
}

QString courtEntries(const Season& s, const CourtSession& session)
{
    // Without pairing the numbers of a court have no sides.
    const QString partnerJoin = s.sideSize() == 0 ? QStringLiteral(", ") : QStringLiteral(" & ");
    QStringList sides;
    for (const QVector<int>& side : s.sides(session)) {
        QStringList names;
        for (int id : side)
            names << labelOf(s, id);
        sides << names.join(partnerJoin);
    }
    return sides.join(QStringLiteral(" v. "));
}

QString ballBringers(const Season& s, const CourtSession& session)
{
    if (!s.bringBallsOn)
        return {};
    QStringList names;
    for (int id : session.entryIds)
        if (session.homeIds.contains(id) && !names.contains(labelOf(s, id)))
            names << labelOf(s, id);
    return names.join(QStringLiteral(", "));
}

QVector<QStringList> rows(const Season& s, int playerId)
{
    const QVector<int> mine = playerId ? s.entriesOfPlayer(playerId) : QVector<int>();
    QVector<QStringList> out;
    int i = 0;
    for (const QDate& date : s.dates) {
        for (; i < s.sessions.size() && s.sessions[i].date == date; ++i) {
            const CourtSession& cs = s.sessions[i];
            if (playerId && !involves(cs.entryIds, mine))
                continue;
            out << dateFields(s, date) + QStringList{s.courtName(cs.courtId), courtEntries(s, cs), ballBringers(s, cs)};
        }
        const QVector<int> out_ = s.sittingOut(date);
        if (playerId && !involves(out_, mine))
            continue;
        QStringList names;
        for (int id : out_)
            names << labelOf(s, id);
        out << dateFields(s, date) + QStringList{sitsOutCaption(), names.join(QStringLiteral("; ")), QString()};
    }
    return out;
}

QByteArray document(const Season& s, int playerId)
{
    return Csv::document(header(), rows(s, playerId));
}

}   // namespace ScheduleCsv

namespace RosterCsv {

namespace {
// Column and title, in the Player List's order with the e-mail beside the phones.
const QVector<QPair<const char*, const char*>> columns{
    {"FNAME", "First"},  {"LNAME", "Last"},     {"PHONE1", "Home Phone"},     {"PHONE2", "Work Phone"},
    {"EMAIL", "E-mail"}, {"STREET1", "Street"}, {"STREET2", "Street Line 2"}, {"CITY", "City"},
    {"STATE", "State"},  {"ZIPCODE", "Zipcode"}};
}   // namespace

QStringList header()
{
    QStringList titles;
    for (const auto& c : columns)
        titles << QString::fromLatin1(c.second);
    return titles;
}

QVector<QStringList> rows(Database& db)
{
    QStringList names;
    for (const auto& c : columns)
        names << QString::fromLatin1(c.first);
    Query q(db, QStringLiteral("SELECT %1 FROM \"PLAYERS.db\" ORDER BY LNAME, FNAME, PLAYERID").arg(names.join(", ")));
    q.open();
    QVector<QStringList> out;
    for (; !q.eof(); q.next()) {
        QStringList row;
        for (const QString& n : std::as_const(names))
            row << q.asString(n);
        out << row;
    }
    return out;
}

QByteArray document(Database& db)
{
    return Csv::document(header(), rows(db));
}

}   // namespace RosterCsv
