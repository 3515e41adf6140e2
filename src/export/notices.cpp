#include "notices.h"
#include "data/database.h"
#include "data/query.h"
#include <QHash>
#include <QLocale>
#include <QMap>
#include <QTimeZone>
#include <QUrl>
#include <algorithm>

namespace {

// Reads the log rows of the group matching `condition` (on l.), with the
// player, newest line per date winning.
Notices readNotices(Database& db, int groupId, const QString& condition, const QVariant& value)
{
    Notices n;
    {
        Query g(db, "SELECT NAME FROM \"group.DB\" WHERE GROUPID = :groupid");
        g.setInteger("groupid", groupId);
        g.open();
        if (!g.eof())
            n.groupName = g.value(0).toString();
    }
    Query q(db, QStringLiteral("SELECT l.LOGID, l.PLAYERID, l.\"DATE\", l.WHAT, p.FNAME, p.LNAME, p.EMAIL FROM "
                               "SCHEDLOG l LEFT JOIN \"PLAYERS.db\" p ON p.PLAYERID = l.PLAYERID WHERE l.GROUPID = "
                               ":groupid AND ") +
                    condition + QStringLiteral(" ORDER BY l.LOGID"));
    q.setInteger("groupid", groupId);
    q.setParam("since", value);
    q.open();
    QHash<int, int> indexOf;
    QVector<QMap<QString, QString>> byDate;   // per player: date -> latest line
    for (; !q.eof(); q.next()) {
        n.lastLogId = std::max(n.lastLogId, q.value(0).toLongLong());
        const int player = q.value(1).toInt();
        auto it = indexOf.constFind(player);
        if (it == indexOf.cend()) {
            PlayerNotice p;
            p.playerId = player;
            p.name = (q.value(4).toString().trimmed() + QLatin1Char(' ') + q.value(5).toString().trimmed()).trimmed();
            p.email = q.value(6).toString().trimmed();
            it = indexOf.insert(player, int(n.players.size()));
            n.players.append(p);
            byDate.append(QMap<QString, QString>());
        }
        byDate[*it].insert(q.value(2).toString(), q.value(3).toString());
    }
    for (int i = 0; i < n.players.size(); ++i)
        n.players[i].changes = byDate[i].values();
    std::sort(n.players.begin(), n.players.end(),
              [](const PlayerNotice& a, const PlayerNotice& b) { return a.name.localeAwareCompare(b.name) < 0; });
    return n;
}

QByteArray quotedPrintable(const QByteArray& text)
{
    QByteArray out;
    int column = 0;
    auto put = [&](const QByteArray& piece) {
        // Soft line break: lines stay within 76 characters.
        if (column + piece.size() > 75) {
            out += "=\r\n";
            column = 0;
        }
        out += piece;
        column += int(piece.size());
    };
    for (int i = 0; i < text.size(); ++i) {
        const uchar c = uchar(text[i]);
        if (c == '\n') {
            out += "\r\n";
            column = 0;
            continue;
        }
        const bool lineEnd = i + 1 == text.size() || text[i + 1] == '\n';
        if ((c == ' ' || c == '\t') && lineEnd)
            put("=" + QByteArray::number(c, 16).toUpper().rightJustified(2, '0'));
        else if (c == '=' || c < 32 || c > 126)
            put("=" + QByteArray::number(c, 16).toUpper().rightJustified(2, '0'));
        else
            put(QByteArray(1, char(c)));
    }
    return out;
}

// An RFC 2047 encoded word where the text is not plain ASCII.
QByteArray headerText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (std::all_of(utf8.cbegin(), utf8.cend(), [](char c) { return uchar(c) >= 32 && uchar(c) < 127; }))
        return utf8;
    return "=?utf-8?B?" + utf8.toBase64() + "?=";
}

QString urlPart(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

}   // namespace

QStringList Notices::addresses() const
{
    QStringList list;
    for (const PlayerNotice& p : players)
        if (!p.email.isEmpty() && !list.contains(p.email, Qt::CaseInsensitive))
            list << p.email;
    return list;
}

QStringList Notices::withoutEmail() const
{
    QStringList list;
    for (const PlayerNotice& p : players)
        if (p.email.isEmpty())
            list << QStringLiteral("%1 has no e-mail address; tell them yourself.").arg(p.name);
    return list;
}

QString Notices::subject() const
{
    return QStringLiteral("Changes to %1").arg(groupName);
}

QString Notices::body() const
{
    QString text = QStringLiteral("Hello,\n\nThe schedule of %1 has changed. Find your name below.\n").arg(groupName);
    for (const PlayerNotice& p : players) {
        text += QLatin1Char('\n') + p.name + QStringLiteral(":\n");
        for (const QString& line : p.changes)
            // A line may end on an initial already: "against Ann A."
            text += QStringLiteral("- ") + line +
                    (line.endsWith(QLatin1Char('.')) ? QStringLiteral("\n") : QStringLiteral(".\n"));
    }
    return text;
}

Notices noticesSince(Database& db, int groupId, const QDateTime& since)
{
    // CHANGEDAT is written in one form, so text order is time order.
    return readNotices(db, groupId, QStringLiteral("l.CHANGEDAT > :since"), since.toUTC().toString(Qt::ISODateWithMs));
}

Notices noticesAfter(Database& db, int groupId, qint64 logId)
{
    return readNotices(db, groupId, QStringLiteral("l.LOGID > :since"), logId);
}

qint64 lastLogId(Database& db, int groupId)
{
    Query q(db, "SELECT MAX(LOGID) FROM SCHEDLOG WHERE GROUPID = :groupid");
    q.setInteger("groupid", groupId);
    q.open();
    return q.eof() ? 0 : q.value(0).toLongLong();
}

std::optional<QDateTime> parseSince(const QString& text)
{
    const QString t = text.trimmed();
    if (const QDate day = QDate::fromString(t, Qt::ISODate); day.isValid() && t.size() == 10)
        return QDateTime(day, QTime(0, 0), QTimeZone::utc());
    QDateTime at = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!at.isValid())
        return std::nullopt;
    return at;
}

QByteArray noticeMessage(const Notices& notices, const QDateTime& date)
{
    QByteArray m;
    m += "From: Vantrel <noreply@invalid>\r\n";
    m += "To: undisclosed-recipients:;\r\n";
    if (const QStringList bcc = notices.addresses(); !bcc.isEmpty())
        m += "Bcc: " + bcc.join(QStringLiteral(",\r\n ")).toUtf8() + "\r\n";
    m += "Subject: " + headerText(notices.subject()) + "\r\n";
    m += "Date: " + QLocale::c().toString(date.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")).toLatin1() +
         " +0000\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=utf-8\r\n";
    m += "Content-Transfer-Encoding: quoted-printable\r\n";
    m += "\r\n";
    m += quotedPrintable(notices.body().toUtf8());
    return m;
}

QString mailLink(const Notices& notices)
{
    QStringList bcc;
    for (const QString& address : notices.addresses())
        bcc << urlPart(address);
    const QString link = QStringLiteral("mailto:?bcc=") + bcc.join(QLatin1Char(',')) + QStringLiteral("&subject=") +
                         urlPart(notices.subject()) + QStringLiteral("&body=") + urlPart(notices.body());
    return link.size() > longestMailLink ? QString() : link;
}
