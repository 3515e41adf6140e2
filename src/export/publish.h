#pragma once
// A season published as a folder that any web host, synced drive or club
// site can serve: the season's page, and per player a page and a calendar
// feed named by a random link kept with the player, so that the links stay
// the same from one publish to the next. Each file is written beside its
// place and renamed into it, so a reader sees the old file or the new one;
// files of players no longer in the season are removed; nothing outside the
// folder is touched. No widgets.
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

class Database;

struct PublishRequest {
    QVector<int> groupIds;
    // Every season in a folder of its own under `folder`, with an index.
    bool eachInOwnFolder = false;
    QString folder;
    QString baseUrl;         // where `folder` is served, for the webcal:// links; may be empty
    bool newLinks = false;   // renew the links of the seasons' players first
    QDateTime published = QDateTime::currentDateTime();
};

// Where a player finds their page: what the organiser sends them.
struct PublishedLink {
    QString season, player;
    QString link;   // the page's address under the base address, else its path
};

struct PublishOutcome {
    QString error;   // empty when everything was written
    int seasons = 0;
    int players = 0;   // pages written, one per player and season
    int removed = 0;   // files no player links to any more
    QVector<PublishedLink> links;
    // "Ann Alder (Monday Doubles): https://..." a line each.
    QString linksText() const;
};

PublishOutcome publishSeasons(Database& db, const PublishRequest& request);

namespace PlayerLinks {
// The players' link tokens, made (and stored) for those without one.
QHash<int, QString> tokensOf(Database& db, const QVector<int>& playerIds);
// New tokens for these players: their old links stop working.
void renew(Database& db, const QVector<int>& playerIds);
// 128 random bits, URL-safe (22 characters).
QString newToken();
}
