#include "icsexport.h"
#include "csvexport.h"
#include <QHash>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <QByteArrayList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QStringList>

namespace {

const char* const prodId = "-//Vantrel//Vantrel Schedule//EN";
const char* const uidDomain = "@vantrel";

// Wall-clock time as written with a TZID: the zone is named, not applied.
// The format's compact forms, written directly: QDate's format strings are
// parsed anew on every call, and a season's calendars call this thousands of times.
QString dateKey(const QDate& d)
{
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%04d%02d%02d", d.year(), d.month(), d.day());
    return QString::fromLatin1(text, n);
}

QString localStamp(const QDate& date, const QTime& time)
{
    char text[16];
    const int n = std::snprintf(text, sizeof text, "T%02d%02d%02d", time.hour(), time.minute(), time.second());
    return dateKey(date) + QLatin1String(text, n);
}

QString utcStamp(const QDateTime& utc)
{
    const QDateTime t = utc.toUTC();
    return localStamp(t.date(), t.time()) + QLatin1Char('Z');
}

QString offsetText(int seconds)
{
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    seconds = std::abs(seconds);
    QString text = QStringLiteral("%1%2%3")
                       .arg(sign)
                       .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
    if (seconds % 60)
        text += QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return text;
}

// Unfolded content lines of a calendar, "NAME;PARAMS:VALUE", as UTF-8:
// a feed replaced a thousand times over is read as bytes, not as text.
QByteArrayList unfold(const QByteArray& data)
{
    QByteArrayList lines;
    const qsizetype n = data.size();
    for (qsizetype at = 0; at < n;) {
        qsizetype end = data.indexOf('\n', at);
        if (end < 0)
            end = n;
        const qsizetype stop = end > at && data[end - 1] == '\r' ? end - 1 : end;
        if (stop > at) {
            if ((data[at] == ' ' || data[at] == '\t') && !lines.isEmpty())
                lines.last().append(data.constData() + at + 1, stop - at - 1);
            else
                lines << data.mid(at, stop - at);
        }
        at = end + 1;
    }
    return lines;
}

QByteArray propertyName(const QByteArray& line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ';' && line[end] != ':')
        ++end;
    return line.left(end).toUpper();
}

QByteArray propertyValue(const QByteArray& line)
{
    // Parameter values may be quoted and hold a colon; ours never are.
    return line.mid(line.indexOf(':') + 1);
}

// Appends a content line folded to lines of at most 75 octets.
void appendFolded(QByteArray& out, const QByteArray& line)
{
    qsizetype start = 0;
    qsizetype limit = 75;   // octets on the first line; later ones give one to the leading blank
    while (line.size() - start > limit) {
        qsizetype cut = start + limit;
        // Never inside a UTF-8 sequence: back up over continuation bytes.
        while (cut > start && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.constData() + start, cut - start).append("\r\n ");
        start = cut;
        limit = 74;
    }
    out.append(line.constData() + start, line.size() - start).append("\r\n");
}

// One VEVENT as content lines, UID and SEQUENCE apart.
struct Event {
    QString uid;
    int sequence = 0;
    bool cancelled = false;
    QString stamp;          // DTSTAMP: when the event last changed
    QByteArrayList lines;   // the properties that say what the event is, as UTF-8
};

// The UID of an event without its date: "vantrel-<calendarId>-g5-p12-d";
// without a calendar id, the form UIDs had before they carried one.
QString uidPrefix(const QString& calendarId, int groupId, int playerId)
{
    const QString file = calendarId.isEmpty() ? QString() : calendarId + QLatin1Char('-');
    const QString who = playerId ? QStringLiteral("-p%1").arg(playerId) : QString();
    return QStringLiteral("vantrel-%1g%2%3-d").arg(file).arg(groupId).arg(who);
}

QString uidOn(const QString& prefix, const QDate& date)
{
    return prefix + dateKey(date) + QLatin1String(uidDomain);
}

// The events of the replaced file that belong to this calendar: those of
// `prefixes`, so that another calendar saved to the same file is left alone.
QVector<Event> previousEvents(const QByteArray& data, const QStringList& prefixes)
{
    QVector<Event> events;
    Event current;
    bool inEvent = false;
    for (const QByteArray& line : unfold(data)) {
        const QByteArray name = propertyName(line);
        if (line == "BEGIN:VEVENT") {
            inEvent = true;
            current = Event();
        } else if (line == "END:VEVENT") {
            inEvent = false;
            if (std::any_of(prefixes.begin(), prefixes.end(),
                            [&](const QString& prefix) { return current.uid.startsWith(prefix); }))
                events << current;
        } else if (!inEvent) {
            continue;
        } else if (name == "UID") {
            current.uid = QString::fromUtf8(propertyValue(line));
        } else if (name == "SEQUENCE") {
            current.sequence = propertyValue(line).toInt();
        } else if (name == "STATUS") {
            current.cancelled = propertyValue(line) == "CANCELLED";
        } else if (name == "DTSTAMP") {
            current.stamp = QString::fromUtf8(propertyValue(line));
        } else {
            current.lines << line;
        }
    }
    return events;
}

class CalendarWriter {
public:
    CalendarWriter(const Season& s, const CalendarOptions& o, const QString& name, const QString& calendarId,
                   int playerId)
        : season(s), options(o), prefix(uidPrefix(calendarId, s.groupId, playerId)), now(utcStamp(o.stamp)),
          tz(QStringLiteral(";TZID=") + zoneId() + QLatin1Char(':'))
    {
        for (const Event& e : previousEvents(o.previous, {prefix, uidPrefix({}, s.groupId, playerId)}))
            previous.insert(e.uid, e);
        add("BEGIN:VCALENDAR");
        add("VERSION:2.0");
        add(QStringLiteral("PRODID:") + QLatin1String(prodId));
        add("CALSCALE:GREGORIAN");
        // No METHOD: this is a calendar file, not a scheduling message, which
        // would need an organiser's address we do not have.
        add(QStringLiteral("X-WR-CALNAME:") + Ics::escapeText(name));
        if (timed())
            add(QStringLiteral("X-WR-TIMEZONE:") + zoneId());
        writeTimeZone();
    }

    bool timed() const { return season.startTime.isValid(); }
    QString zoneId() const { return QString::fromUtf8(options.zone.id()); }

    void event(const QDate& date, const QString& summary, const QString& location, const QStringList& description)
    {
        const QString uid = uidOn(prefix, date);
        Event e;
        e.uid = uid;
        e.lines << (QStringLiteral("SUMMARY:") + Ics::escapeText(summary)).toUtf8();
        for (const QString& line : times(date))
            e.lines << line.toUtf8();
        if (!location.isEmpty())
            e.lines << (QStringLiteral("LOCATION:") + Ics::escapeText(location)).toUtf8();
        if (!description.isEmpty())
            e.lines << (QStringLiteral("DESCRIPTION:") + Ics::escapeText(description.join(QLatin1Char('\n')))).toUtf8();
        e.stamp = now;
        // An event as it was keeps its sequence and stamp, so that an
        // unchanged season exports the very same file.
        const auto old = previous.constFind(uid);
        if (old != previous.constEnd() && !old->cancelled && old->lines == e.lines) {
            e.sequence = old->sequence;
            e.stamp = old->stamp;
        } else if (old != previous.constEnd()) {
            e.sequence = old->sequence + 1;
        }
        written.insert(uid);
        writeEvent(e);
    }

    QByteArray finish()
    {
        // Whatever the replaced file held that this one no longer does.
        QMap<QString, Event> gone;
        for (const Event& e : previous)
            if (!written.contains(e.uid))
                gone.insert(e.uid, e);
        for (Event e : gone) {
            if (!e.cancelled) {
                ++e.sequence;
                e.stamp = now;
            }
            e.cancelled = true;
            writeEvent(e);
        }
        add("END:VCALENDAR");
        return out;
    }

private:
    void add(const QString& line) { appendFolded(out, line.toUtf8()); }
    void add(const QByteArray& line) { appendFolded(out, line); }
    void add(const char* line) { appendFolded(out, QByteArray::fromRawData(line, qsizetype(std::strlen(line)))); }

    QStringList times(const QDate& date) const
    {
        if (!timed())
            return {QStringLiteral("DTSTART;VALUE=DATE:") + dateKey(date),
                    QStringLiteral("DTEND;VALUE=DATE:") + dateKey(date.addDays(1))};
        // UTC only as a clock without gaps for the arithmetic.
        const QDateTime start(date, season.startTime, Qt::UTC);
        QDateTime end(date, season.endTime, Qt::UTC);
        // A session without a sensible end is given an hour.
        if (!season.endTime.isValid() || end <= start)
            end = start.addSecs(3600);
        return {QStringLiteral("DTSTART") + tz + localStamp(start.date(), start.time()),
                QStringLiteral("DTEND") + tz + localStamp(end.date(), end.time())};
    }

    void writeEvent(const Event& e)
    {
        add("BEGIN:VEVENT");
        add(QStringLiteral("UID:") + e.uid);
        add(QStringLiteral("DTSTAMP:") + e.stamp);
        add(QStringLiteral("SEQUENCE:") + QString::number(e.sequence));
        add(e.cancelled ? "STATUS:CANCELLED" : "STATUS:CONFIRMED");
        for (const QByteArray& line : e.lines)
            add(line);
        add("END:VEVENT");
    }

    // The zone's observances over the years of the season, each transition
    // written out, so that no rule has to be inferred.
    void writeTimeZone()
    {
        if (!timed())
            return;
        const QDate first = season.dates.isEmpty() ? QDate::currentDate() : season.dates.first();
        const QDate last = season.dates.isEmpty() ? first : season.dates.last();
        // Every player's calendar of a season has the same block; the zone data is slow to walk.
        // Players' calendars are made on several threads at once.
        static QMutex guard;
        const QMutexLocker lock(&guard);
        static QHash<QString, QByteArray> cache;
        const QString key = zoneId() + QStringLiteral("/%1-%2").arg(first.year()).arg(last.year());
        if (const auto it = cache.constFind(key); it != cache.constEnd()) {
            out += *it;
            return;
        }
        const qsizetype begin = out.size();
        const QDateTime from(QDate(first.year(), 1, 1), QTime(0, 0), Qt::UTC);
        const QDateTime to(QDate(last.year() + 1, 1, 1), QTime(0, 0), Qt::UTC);
        add("BEGIN:VTIMEZONE");
        add(QStringLiteral("TZID:") + zoneId());
        const QTimeZone::OffsetData initial = options.zone.offsetData(from);
        observance(initial.daylightTimeOffset != 0, from.addSecs(initial.offsetFromUtc), initial.offsetFromUtc,
                   initial.offsetFromUtc, initial.abbreviation);
        int before = initial.offsetFromUtc;
        for (const QTimeZone::OffsetData& t : options.zone.transitions(from, to)) {
            observance(t.daylightTimeOffset != 0, t.atUtc.addSecs(before), before, t.offsetFromUtc, t.abbreviation);
            before = t.offsetFromUtc;
        }
        add("END:VTIMEZONE");
        cache.insert(key, out.mid(begin));
    }

    void observance(bool daylight, const QDateTime& wallClock, int offsetFrom, int offsetTo, const QString& abbrev)
    {
        const char* kind = daylight ? "DAYLIGHT" : "STANDARD";
        add(QStringLiteral("BEGIN:") + QLatin1String(kind));
        // The wall-clock time at the onset, read as a local time.
        add(QStringLiteral("DTSTART:") + wallClock.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss")));
        add(QStringLiteral("TZOFFSETFROM:") + offsetText(offsetFrom));
        add(QStringLiteral("TZOFFSETTO:") + offsetText(offsetTo));
        if (!abbrev.isEmpty())
            add(QStringLiteral("TZNAME:") + Ics::escapeText(abbrev));
        add(QStringLiteral("END:") + QLatin1String(kind));
    }

    const Season& season;
    const CalendarOptions& options;
    QString prefix;
    QString now;
    QString tz;   // ";TZID=<zone>:" of every timed event
    QHash<QString, Event> previous;
    QSet<QString> written;
    QByteArray out;
};

QStringList names(const Season& s, const QVector<int>& entryIds, int exceptPlayer)
{
    QStringList out;
    for (int id : entryIds)
        if (const SeasonEntry* e = s.entry(id))
            for (const SeasonPerson& p : {e->player, e->partner})
                if (p.id != 0 && p.id != exceptPlayer)
                    out << p.fullName();
    return out;
}

// What a player needs to know of one court: who with, who against, the balls.
QStringList playerLines(const Season& s, const CourtSession& cs, int playerId, const QVector<int>& mine)
{
    QStringList lines;
    QVector<int> ownSide, otherSide;
    for (const QVector<int>& side : s.sides(cs)) {
        bool own = false;
        for (int id : mine)
            own = own || side.contains(id);
        (own ? ownSide : otherSide) += side;
    }
    const QString court = QStringLiteral("Court: ") + s.courtName(cs.courtId);
    lines << court;
    const QString comma = QStringLiteral(", ");
    if (s.sideSize() == 0) {
        if (const QStringList others = names(s, cs.entryIds, playerId); !others.isEmpty())
            lines << QStringLiteral("Playing with: ") + others.join(comma);
    } else {
        if (const QStringList partners = names(s, ownSide, playerId); !partners.isEmpty())
            lines << QStringLiteral("Partner: ") + partners.join(comma);
        if (const QStringList opponents = names(s, otherSide, playerId); !opponents.isEmpty())
            lines << (opponents.size() > 1 ? QStringLiteral("Opponents: ") : QStringLiteral("Opponent: ")) +
                         opponents.join(comma);
    }
    if (s.bringBallsOn)
        for (int id : mine)
            if (cs.homeIds.contains(id)) {
                lines << QStringLiteral("You bring the balls");
                break;
            }
    return lines;
}

QStringList withNotes(QStringList lines, const Season& s)
{
    if (!s.notes.trimmed().isEmpty())
        lines << QString() << s.notes.trimmed();
    return lines;
}

}   // namespace

namespace Ics {

QString eventUid(const QString& calendarId, int groupId, int playerId, const QDate& date)
{
    return uidOn(uidPrefix(calendarId, groupId, playerId), date);
}

QString escapeText(const QString& text)
{
    const auto special = [](QChar c) {
        return c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',') || c == QLatin1Char('\n') ||
               c == QLatin1Char('\r');
    };
    if (std::none_of(text.begin(), text.end(), special))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            out += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c != QLatin1Char('\r'))
            out += c;
    }
    return out;
}

QByteArray foldLine(const QByteArray& line)
{
    QByteArray out;
    appendFolded(out, line);
    return out;
}

QByteArray groupCalendar(const Season& s, const QString& calendarId, const CalendarOptions& options)
{
    CalendarWriter w(s, options, s.name, calendarId, 0);
    int i = 0;
    for (const QDate& date : s.dates) {
        QStringList lines, courts;
        for (; i < s.sessions.size() && s.sessions[i].date == date; ++i) {
            const CourtSession& cs = s.sessions[i];
            courts << s.courtName(cs.courtId);
            lines << s.courtName(cs.courtId) + QStringLiteral(": ") + ScheduleCsv::courtEntries(s, cs);
            if (const QString balls = ScheduleCsv::ballBringers(s, cs); !balls.isEmpty())
                lines << QStringLiteral("Brings the balls: ") + balls;
        }
        QStringList out;
        for (int id : s.sittingOut(date))
            out << s.entry(id)->label();
        if (!out.isEmpty())
            lines << QStringLiteral("Sits out: ") + out.join(QStringLiteral("; "));
        w.event(date, s.name, courts.join(QStringLiteral(", ")), withNotes(lines, s));
    }
    return w.finish();
}

QByteArray playerCalendar(const Season& s, int playerId, const QString& calendarId, const CalendarOptions& options)
{
    return playerCalendar(PlayerIndex(s), playerId, calendarId, options);
}

QByteArray playerCalendar(const PlayerIndex& index, int playerId, const QString& calendarId,
                          const CalendarOptions& options)
{
    const Season& s = index.season();
    const QVector<int> mine = index.entries(playerId);
    CalendarWriter w(s, options, s.name + QStringLiteral(" - ") + index.player(playerId).fullName(), calendarId,
                     playerId);
    QDate date;
    QStringList lines, courts;
    auto flush = [&] {
        if (date.isValid())
            w.event(date, s.name, courts.join(QStringLiteral(", ")), withNotes(lines, s));
        lines.clear();
        courts.clear();
    };
    for (int at : index.sessions(playerId)) {
        const CourtSession& cs = s.sessions[at];
        if (cs.date != date) {
            flush();
            date = cs.date;
        }
        courts << s.courtName(cs.courtId);
        lines << playerLines(s, cs, playerId, mine);
    }
    flush();
    return w.finish();
}

}   // namespace Ics
