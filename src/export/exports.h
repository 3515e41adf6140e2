#pragma once
// The exports of a season to files, shared by the group editor's commands
// and the command line. Each returns the reason in words when it failed,
// empty when the file was written.
#include "icsexport.h"
#include "engine/season.h"
#include <QString>
#include <QStringList>

class Database;

namespace Exports {
QString noScheduleMessage(const Season& season);

QString writeCsv(const Season& season, int playerId, const QString& fileName);
// The calendar at `fileName` is read first, for the dates to cancel; `db`
// is the database the season came from, whose calendar id the UIDs carry.
QString writeCalendar(Database& db, const Season& season, int playerId, const QString& fileName,
                      CalendarOptions options = {});
// "Monday Doubles - Ann Alder.ics"; a name two players share gets the id.
QString calendarFileName(const Season& season, const SeasonPerson& player);
// One calendar per player into the directory; `written` receives the files.
QString writeEveryCalendar(Database& db, const Season& season, const QString& directory, QStringList* written = nullptr,
                           const CalendarOptions& options = {});
// The printed schedule as a PDF file, without any dialog.
QString writeSchedulePdf(Database& db, int groupId, const QString& fileName);
// The roster of every player as a CSV file.
QString writeRoster(Database& db, const QString& fileName);
// One player's printed schedule as a PDF file, without any dialog.
QString writePlayerPdf(const Season& season, int playerId, const QString& fileName);
}
