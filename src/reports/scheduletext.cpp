#include "scheduletext.h"
#include <QLocale>

namespace ScheduleText {

namespace {
// The first character of a locale format that is not part of a field.
QChar separatorIn(const QString& format, QChar fallback)
{
    for (QChar c : format)
        if (!c.isLetter() && !c.isSpace() && c != QChar('\''))
            return c;
    return fallback;
}

QString joined(const QStringList& pieces)
{
    QStringList kept;
    for (const QString& p : pieces)
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    return kept.join(QChar(' '));
}
}   // namespace

QString code(int slotCode, bool home, bool bringBallsOn)
{
    const QString number = QString::number(slotCode);
    return home && bringBallsOn ? "(" + number + ")" : number;
}

void CourtCell::add(const QString& c)
{
    ++codes;
    if (side == 2 && codes % 2 == 0)
        cellText += QChar('&');
    else if (side == 0 && codes > 1)
        cellText += QChar(' ');
    cellText += c;
    if (side > 0 && codes == side)
        cellText += " v. ";
}

QString time12(const QTime& time)
{
    const QTime t = time.isValid() ? time : QTime(0, 0);
    const QChar sep = separatorIn(QLocale::system().timeFormat(QLocale::ShortFormat), QChar(':'));
    // AM and PM whatever the language of the system, as the printed form has it.
    return QLocale::c().toString(t, QString("hh'%1'mm AP").arg(sep));
}

QString sessionTimes(const QTime& start, const QTime& end)
{
    return "at: " + time12(start) + " - " + time12(end);
}

QString gridDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    const QChar sep = separatorIn(QLocale::system().dateFormat(QLocale::ShortFormat), QChar('/'));
    // The weekday in the report's own language, as its other words are.
    return QLocale::c().dayName(date.dayOfWeek(), QLocale::ShortFormat) + ' ' +
           date.toString(QString("MM'%1'dd'%1'yy").arg(sep));
}

QString printedOn(const QDate& date)
{
    return "Printed On: " + QLocale::system().toString(date, QLocale::ShortFormat);
}

QString byeList(const QList<int>& entryNumbers)
{
    QStringList parts;
    for (int n : entryNumbers)
        parts << QString::number(n);
    return parts.join(QChar(';'));
}

QStringList breakPieces(const QString& cellText)
{
    QStringList pieces;
    QString piece;
    for (int i = 0; i < cellText.size(); ++i) {
        const QChar c = cellText[i];
        if (c == QChar(' ') && !piece.trimmed().isEmpty() && !QStringView(cellText).mid(i + 1).startsWith(u"v.")) {
            pieces << piece;
            piece.clear();
        }
        piece += c;
        if (c == QChar(';') || c == QChar('&')) {
            pieces << piece;
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

QString rosterEntry(int slotCode, const Person& p)
{
    return (QString::number(slotCode) + ". " + p.firstName + " " + p.lastName + " " + p.phone).trimmed();
}

QStringList teamRosterPieces(int slotCode, const Person& player, const Person& partner)
{
    const QString second = joined({partner.firstName, partner.lastName, partner.phone});
    QStringList pieces{rosterEntry(slotCode, player)};
    if (!second.isEmpty())
        pieces << " / " + second;
    return pieces;
}

QString teamRosterEntry(int slotCode, const Person& player, const Person& partner)
{
    return teamRosterPieces(slotCode, player, partner).join(QString());
}

QTime timeOf(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QTime)
        return value.toTime();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().time();
    const QString text = value.toString().trimmed();
    for (const char* format : {"HH:mm:ss", "HH:mm", "HH:mm:ss.zzz"}) {
        const QTime t = QTime::fromString(text, format);
        if (t.isValid())
            return t;
    }
    return {};
}

}   // namespace ScheduleText
