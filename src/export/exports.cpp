#include "exports.h"
#include "csvexport.h"
#include "playerschedule.h"
#include "data/database.h"
#include "data/dberror.h"
#include "reportengine/reporterror.h"
#include "reports/schedulereport.h"
#include "savefile.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace Exports {

QString noScheduleMessage(const Season& season)
{
    return QStringLiteral("%1 has no schedule yet, so there is nothing to export. Generate its schedule first.")
        .arg(season.name.isEmpty() ? QStringLiteral("This group") : season.name);
}

QString writeCsv(const Season& season, int playerId, const QString& fileName)
{
    return SaveFile::write(fileName, ScheduleCsv::document(season, playerId));
}

namespace {

// The calendar id, or the reason it could not be read.
QString readCalendarId(Database& db, QString* error)
{
    try {
        return db.calendarId();
    } catch (const DbError& e) {
        *error = e.message();
        return {};
    }
}

QString writeCalendarOf(const QString& calendarId, const Season& season, int playerId, const QString& fileName,
                        CalendarOptions options)
{
    options.previous = SaveFile::readIfExists(fileName);
    const QByteArray text = playerId ? Ics::playerCalendar(season, playerId, calendarId, options)
                                     : Ics::groupCalendar(season, calendarId, options);
    // Unchanged events keep their stamps: a season that did not change
    // leaves the file, and its time, as they were.
    if (text == options.previous)
        return {};
    return SaveFile::write(fileName, text);
}

}   // namespace

QString writeCalendar(Database& db, const Season& season, int playerId, const QString& fileName,
                      CalendarOptions options)
{
    QString error;
    const QString calendarId = readCalendarId(db, &error);
    return error.isEmpty() ? writeCalendarOf(calendarId, season, playerId, fileName, std::move(options)) : error;
}

QString calendarFileName(const Season& season, const SeasonPerson& player)
{
    int sharing = 0;
    for (const SeasonPerson& p : season.players())
        sharing += p.fullName().compare(player.fullName(), Qt::CaseInsensitive) == 0 ? 1 : 0;
    QString base = SaveFile::safeBaseName(season.name + QStringLiteral(" - ") + player.fullName());
    // File systems take names of 255 bytes at most: a longer one is cut, and
    // the player's id keeps two cut names apart.
    constexpr int MostBytes = 200;
    if (base.toUtf8().size() > MostBytes) {
        while (base.toUtf8().size() > MostBytes - 12)
            base.chop(1);
        sharing = 2;
    }
    if (sharing > 1)
        base += QStringLiteral(" %1").arg(player.id);
    return base.trimmed() + QStringLiteral(".ics");
}

QString writeEveryCalendar(Database& db, const Season& season, const QString& directory, QStringList* written,
                           const CalendarOptions& options)
{
    if (!QFileInfo(directory).isDir())
        return QStringLiteral("%1 is not a folder. Name an existing folder for the calendars.")
            .arg(QDir::toNativeSeparators(directory));
    QString error;
    const QString calendarId = readCalendarId(db, &error);
    if (!error.isEmpty())
        return error;
    const QDir dir(directory);
    for (const SeasonPerson& p : season.players()) {
        const QString file = dir.filePath(calendarFileName(season, p));
        if (error = writeCalendarOf(calendarId, season, p.id, file, options); !error.isEmpty())
            return error;
        if (written)
            *written << file;
    }
    return {};
}

QString writeSchedulePdf(Database& db, int groupId, const QString& fileName)
{
    TScheduleReport report(db);
    if (const QString missing = report.prepare(groupId); !missing.isEmpty())
        return missing;
    report.rsSchedule.setPresetDestination(TReportSystem::Destination::PdfFile, fileName);
    try {
        report.rsSchedule.execute(nullptr);
    } catch (const ReportError& e) {
        return e.message();
    }
    return {};
}

QString writeRoster(Database& db, const QString& fileName)
{
    try {
        return SaveFile::write(fileName, RosterCsv::document(db));
    } catch (const DbError& e) {
        return e.message();
    }
}

QString writePlayerPdf(const Season& season, int playerId, const QString& fileName)
{
    TPlayerSchedule report(season, playerId);
    try {
        report.savePdf(fileName);
    } catch (const ReportError& e) {
        return e.message();
    }
    return {};
}

}   // namespace Exports
