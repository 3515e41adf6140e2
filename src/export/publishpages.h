#pragma once
// The pages of a published season: plain HTML with its style inline, no
// script and nothing fetched from elsewhere, readable on a phone and on a
// desktop. Players are named by first name and last initial only, and no
// page holds anyone's phone, address or e-mail. No widgets.
#include "playerdates.h"
#include "engine/season.h"
#include "engine/shortnames.h"
#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

namespace PublishPages {

// The whole season by date and court, with the ball marks, those who sit
// out and, for a league, the standings.
QByteArray seasonPage(const Season& season, const QDateTime& published);

struct PlayerLinks {
    QString feedFile;    // "<token>.ics", beside the page
    QString webcalUrl;   // empty without a base address
};
// One player's dates: court, partners and opponents, ball duty, and their
// own days off.
QByteArray playerPage(const PlayerIndex& index, const EntryNames& names, int playerId, const PlayerLinks& links,
                      const QDateTime& published);

// An index of several seasons' folders: (title, relative link) pairs.
QByteArray indexPage(const QVector<QPair<QString, QString>>& seasons, const QDateTime& published);

// A player's calendar as a feed that calendar programs poll hourly.
QByteArray feed(const QByteArray& calendar);

}   // namespace PublishPages
