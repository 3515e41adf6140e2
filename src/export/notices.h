#pragma once
// Telling the players of a group what changed for them: the lines SCHEDLOG
// holds for each since a time (or since a notice was last drafted), as one
// message addressed to all of them in BCC, either as a file for a script to
// send or as a mailto: link for the user's own mail program. No widgets.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class Database;

struct PlayerNotice {
    int playerId = 0;
    QString name;          // "Ann Alder"
    QString email;         // empty when the player has none
    QStringList changes;   // the latest line for each date concerned, by date
};

struct Notices {
    QString groupName;
    QVector<PlayerNotice> players;   // by last name, first name
    qint64 lastLogId = 0;            // the newest SCHEDLOG row read

    bool isEmpty() const { return players.isEmpty(); }
    QStringList addresses() const;
    // "Ann Alder has no e-mail address; tell them yourself." for each such player.
    QStringList withoutEmail() const;
    QString subject() const;   // "Changes to Monday Doubles"
    QString body() const;      // one section a player
};

// The changes logged for the group after `since`.
Notices noticesSince(Database& db, int groupId, const QDateTime& since);
// The changes logged for the group after SCHEDLOG row `logId`.
Notices noticesAfter(Database& db, int groupId, qint64 logId);
// The newest SCHEDLOG row of the group, 0 when none: where a window starts.
qint64 lastLogId(Database& db, int groupId);

// "2027-01-12" (midnight UTC) or "2027-01-12T18:30" / "...Z" / "...+01:00"
// (local time when no zone is given); nothing when it is neither.
std::optional<QDateTime> parseSince(const QString& text);

// The whole message as an RFC 5322 file: headers, then the body in UTF-8,
// quoted-printable.
QByteArray noticeMessage(const Notices& notices, const QDateTime& date = QDateTime::currentDateTimeUtc());

// The longest mailto: link handed to a mail program; longer ones get lost
// on the way on some systems.
constexpr int longestMailLink = 2000;
// "mailto:?bcc=...&subject=...&body=...", or empty when it would be longer
// than longestMailLink.
QString mailLink(const Notices& notices);
