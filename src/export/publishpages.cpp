#include "publishpages.h"
#include "playerdates.h"
#include "engine/standings.h"
#include <QLocale>
#include <QSet>

namespace PublishPages {

namespace {

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

// A name in its own direction: a right-to-left name does not turn the
// words around it.
QString bdi(const QString& text)
{
    return QStringLiteral("<bdi>") + esc(text) + QStringLiteral("</bdi>");
}

QString dateText(const QDate& date)
{
    return QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy"));
}

QString timeText(const Season& s)
{
    if (!s.startTime.isValid())
        return {};
    QString t = s.startTime.toString(QStringLiteral("HH:mm"));
    if (s.endTime.isValid())
        t += QStringLiteral("–") + s.endTime.toString(QStringLiteral("HH:mm"));
    return t;
}

const char* const style = "body{font-family:system-ui,-apple-system,'Segoe UI',Roboto,Arial,sans-serif;"
                          "margin:0 auto;padding:12px;max-width:60em;line-height:1.4;color:#111;background:#fff}"
                          "h1{font-size:1.4em;margin:.2em 0}h2{font-size:1.1em;margin:1.2em 0 .3em}"
                          "ul{margin:.2em 0;padding-left:1.2em}li{margin:.15em 0;overflow-wrap:anywhere}"
                          "table{border-collapse:collapse}td,th{border:1px solid #999;padding:2px 6px;text-align:left}"
                          "td.n{text-align:right}.date{margin-top:1em;font-weight:bold}.note{color:#555;font-size:.9em}"
                          ".off{color:#a00}@media (prefers-color-scheme:dark){body{color:#eee;background:#111}"
                          ".note{color:#aaa}.off{color:#f88}a{color:#8cf}}";

QByteArray document(const QString& title, const QString& body, const QDateTime& published)
{
    const QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta name=\"robots\" content=\"noindex\">\n<title>%1</title>\n<style>%2</style>\n</head>\n"
                       "<body>\n%3<p class=\"note\">Published %4.</p>\n</body>\n</html>\n")
            .arg(esc(title), QString::fromLatin1(style), body,
                 esc(QLocale::c().toString(published, QStringLiteral("ddd d MMM yyyy, HH:mm"))));
    return html.toUtf8();
}

// "Ann A. & Bob B. v. Cy C. & Di D.", each name isolated.
QString courtText(const Season& s, const EntryNames& entryName, const CourtSession& session)
{
    const QString join = s.sideSize() == 0 ? QStringLiteral(", ") : QStringLiteral(" &amp; ");
    QStringList sides;
    for (const QVector<int>& side : s.sides(session)) {
        QStringList names;
        for (int id : side)
            names << bdi(entryName(id));
        sides << names.join(join);
    }
    return sides.join(QStringLiteral(" v. "));
}

QString ballsText(const Season& s, const EntryNames& entryName, const CourtSession& session)
{
    if (!s.bringBallsOn || session.homeIds.isEmpty())
        return {};
    QStringList names;
    for (int id : session.entryIds)
        if (session.homeIds.contains(id) && !names.contains(bdi(entryName(id))))
            names << bdi(entryName(id));
    return QStringLiteral(" <span class=\"note\">(balls: %1)</span>").arg(names.join(QStringLiteral(", ")));
}

QString heading(const Season& s)
{
    QString h = QStringLiteral("<h1>%1</h1>\n").arg(bdi(s.name));
    if (const QString t = timeText(s); !t.isEmpty())
        h += QStringLiteral("<p>%1</p>\n").arg(esc(t));
    return h;
}

QString standingsTable(const Season& s)
{
    QString t = QStringLiteral("<h2>Standings</h2>\n<table>\n<tr><th>Rank</th><th>Team</th><th>Won</th><th>Lost</th>"
                               "</tr>\n");
    for (const StandingLine& line : computeStandings(s)) {
        const SeasonEntry* e = s.entry(line.entry);
        t += QStringLiteral("<tr><td class=\"n\">%1</td><td>%2</td><td class=\"n\">%3</td><td class=\"n\">%4</td>"
                            "</tr>\n")
                 .arg(line.rank)
                 .arg(bdi(e ? shortName(*e) : line.name))
                 .arg(line.wins)
                 .arg(line.losses);
    }
    return t + QStringLiteral("</table>\n");
}

}   // namespace

QByteArray seasonPage(const Season& s, const QDateTime& published)
{
    const EntryNames entryName(s);
    QString body = heading(s);
    int i = 0;
    for (const QDate& date : s.dates) {
        body += QStringLiteral("<p class=\"date\">%1</p>\n<ul>\n").arg(esc(dateText(date)));
        for (; i < s.sessions.size() && s.sessions[i].date == date; ++i) {
            const CourtSession& cs = s.sessions[i];
            body += QStringLiteral("<li>%1: %2%3</li>\n")
                        .arg(bdi(s.courtName(cs.courtId)), courtText(s, entryName, cs), ballsText(s, entryName, cs));
        }
        QStringList out;
        for (int id : s.sittingOut(date))
            out << bdi(entryName(id));
        if (!out.isEmpty())
            body += QStringLiteral("<li class=\"note\">Sitting out: %1</li>\n").arg(out.join(QStringLiteral(", ")));
        body += QStringLiteral("</ul>\n");
    }
    if (s.dates.isEmpty())
        body += QStringLiteral("<p>No schedule has been made yet.</p>\n");
    if (s.isLeague())
        body += standingsTable(s);
    return document(s.name, body, published);
}

QByteArray playerPage(const PlayerIndex& index, const EntryNames& entryName, int playerId, const PlayerLinks& links,
                      const QDateTime& published)
{
    const Season& s = index.season();
    const QString who = shortName(index.player(playerId));
    QString body = heading(s) + QStringLiteral("<h2>The dates of %1</h2>\n").arg(bdi(who));
    body += QStringLiteral("<p><a href=\"%1\">Add these dates to your calendar</a>").arg(esc(links.feedFile));
    if (!links.webcalUrl.isEmpty())
        body += QStringLiteral(" · <a href=\"%1\">Subscribe (updates itself)</a>").arg(esc(links.webcalUrl));
    body += QStringLiteral("</p>\n<ul>\n");
    auto names = [&entryName](const QVector<int>& entries) {
        QStringList out;
        for (int id : entries)
            out << bdi(entryName(id));
        return out.join(QStringLiteral(", "));
    };
    const QVector<PlayerDate> dates = playerDates(index, playerId);
    for (const PlayerDate& d : dates) {
        QString line = QStringLiteral("<b>%1</b>, %2").arg(esc(dateText(d.date)), bdi(s.courtName(d.courtId)));
        if (!d.partners.isEmpty())
            line += QStringLiteral(", with %1").arg(names(d.partners));
        if (!d.opponents.isEmpty())
            line += QStringLiteral(", against %1").arg(names(d.opponents));
        if (d.bringsBalls)
            line += QStringLiteral(" · <b>you bring the balls</b>");
        body += QStringLiteral("<li>%1</li>\n").arg(line);
    }
    body += QStringLiteral("</ul>\n");
    if (dates.isEmpty())
        body += QStringLiteral("<p>No dates for you in this schedule.</p>\n");
    if (const QVector<QDate> off = playerDaysOff(s, playerId); !off.isEmpty()) {
        QStringList days;
        for (const QDate& d : off)
            days << esc(dateText(d));
        body +=
            QStringLiteral("<h2>Your days off</h2>\n<p class=\"off\">%1</p>\n").arg(days.join(QStringLiteral("; ")));
    }
    if (s.isLeague())
        body += standingsTable(s);
    return document(s.name + QStringLiteral(" – ") + who, body, published);
}

QByteArray indexPage(const QVector<QPair<QString, QString>>& seasons, const QDateTime& published)
{
    QString body = QStringLiteral("<h1>Schedules</h1>\n<ul>\n");
    for (const auto& [title, link] : seasons)
        body += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n").arg(esc(link), bdi(title));
    body += QStringLiteral("</ul>\n");
    return document(QStringLiteral("Schedules"), body, published);
}

QByteArray feed(const QByteArray& calendar)
{
    // Calendar properties go before the first component.
    const QByteArray refresh = "REFRESH-INTERVAL;VALUE=DURATION:PT1H\r\nX-PUBLISHED-TTL:PT1H\r\n";
    const qsizetype at = calendar.indexOf("\r\nBEGIN:", calendar.indexOf("BEGIN:VCALENDAR") + 1);
    if (at < 0)
        return calendar;
    QByteArray out = calendar;
    out.insert(at + 2, refresh);
    return out;
}

}   // namespace PublishPages
