#pragma once
// The schedule as iCalendar (RFC 5545): one calendar for the group or
// league, or one for a player holding only that player's dates. Written by
// hand: the few properties needed here, with the format's escaping, line
// folding and a VTIMEZONE drawn from the system's zone data.
//
// An event's UID depends only on the database's calendar id, the group, the
// player and the date: a calendar program that imports a later export
// updates its events, and two clubs' calendars (two files) never share an
// event. A date that has left the calendar is sent once more as cancelled:
// the export reads the file it replaces and carries every event of it that
// is gone as STATUS:CANCELLED, with a higher SEQUENCE, in this and later
// exports. Events of that file written before UIDs carried the calendar id
// are gone in the same way, so an upgraded program replaces them.
#include "playerdates.h"
#include "engine/season.h"
#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

struct CalendarOptions {
    QTimeZone zone = QTimeZone::systemTimeZone();
    QDateTime stamp = QDateTime::currentDateTimeUtc();   // DTSTAMP of new and changed events
    // The calendar this export replaces (the file at the destination), for
    // its SEQUENCE numbers and the events to cancel; empty for none.
    QByteArray previous;
};

namespace Ics {
// "vantrel-<calendarId>-g5-d20270104@vantrel" for the group's calendar
// (playerId 0), "vantrel-<calendarId>-g5-p12-d20270104@vantrel" for a
// player's; `calendarId` is Database::calendarId().
QString eventUid(const QString& calendarId, int groupId, int playerId, const QDate& date);

QByteArray groupCalendar(const Season& season, const QString& calendarId, const CalendarOptions& options = {});
QByteArray playerCalendar(const Season& season, int playerId, const QString& calendarId,
                          const CalendarOptions& options = {});
QByteArray playerCalendar(const PlayerIndex& index, int playerId, const QString& calendarId,
                          const CalendarOptions& options = {});

// Text value escaping and folding to lines of at most 75 octets.
QString escapeText(const QString& text);
QByteArray foldLine(const QByteArray& line);
}
