#include "groupoutputs.h"
#include "data/datamodule.h"
#include "windows/guard.h"
#include "exports.h"
#include "fairnesswindow.h"
#include "savefile.h"
#include <QDir>
#include <QInputDialog>

namespace {

const QString csvFilter = QStringLiteral("CSV files (*.csv)");
const QString icsFilter = QStringLiteral("iCalendar files (*.ics)");
const QString pdfFilter = QStringLiteral("PDF files (*.pdf)");

void done(const QString& error, QWidget* parent, const QString& what)
{
    if (!error.isEmpty())
        showErrorBox(parent, error);
    else
        Tdmglobal::instance().statusMessage(what);
}

QString wrote(const QString& fileName)
{
    return QStringLiteral("Exported to ") + QDir::toNativeSeparators(fileName);
}

// The player whose calendar is wanted, from a list; 0 when cancelled.
int choosePlayer(QWidget* parent, const Season& s)
{
    QStringList names;
    const QVector<SeasonPerson> players = s.players();
    for (const SeasonPerson& p : players)
        names << p.fullName();
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, QStringLiteral("Player's Calendar"),
                                                 QStringLiteral("Export the dates of:"), names, 0, false, &ok);
    const int i = int(names.indexOf(chosen));
    return ok && i >= 0 ? players[i].id : 0;
}

void exportPlayerCalendar(QWidget* parent, Database& db, const Season& s)
{
    const int playerId = choosePlayer(parent, s);
    if (playerId == 0)
        return;
    SeasonPerson player;
    for (const SeasonPerson& p : s.players())
        if (p.id == playerId)
            player = p;
    const QString base = Exports::calendarFileName(s, player).chopped(4);
    const QString file = SaveFile::askSaveFile(parent, QStringLiteral("Export Player's Calendar"), base,
                                               QStringLiteral(".ics"), icsFilter);
    if (!file.isEmpty())
        done(Exports::writeCalendar(db, s, playerId, file), parent, wrote(file));
}

void exportEveryCalendar(QWidget* parent, Database& db, const Season& s)
{
    const QString dir = SaveFile::askDirectory(parent, QStringLiteral("Folder for Every Player's Calendar"));
    if (dir.isEmpty())
        return;
    QStringList files;
    const QString error = Exports::writeEveryCalendar(db, s, dir, &files);
    done(error, parent,
         QStringLiteral("Exported %1 calendars to %2").arg(files.size()).arg(QDir::toNativeSeparators(dir)));
}

}   // namespace

void runGroupOutput(QWidget* parent, Database& db, int groupId, GroupOutput output)
{
    if (output == GroupOutput::FairnessReport) {
        TFairnessWindow window(db, groupId, parent);
        window.exec();
        return;
    }
    const Season s = loadSeason(db, groupId);
    if (s.sessions.isEmpty()) {
        showErrorBox(parent, Exports::noScheduleMessage(s));
        return;
    }
    QString file;
    switch (output) {
    case GroupOutput::Csv:
        file = SaveFile::askSaveFile(parent, QStringLiteral("Export Schedule as CSV"), s.name, ".csv", csvFilter);
        if (!file.isEmpty())
            done(Exports::writeCsv(s, 0, file), parent, wrote(file));
        break;
    case GroupOutput::GroupCalendar:
        file = SaveFile::askSaveFile(parent, QStringLiteral("Export Calendar"), s.name, ".ics", icsFilter);
        if (!file.isEmpty())
            done(Exports::writeCalendar(db, s, 0, file), parent, wrote(file));
        break;
    case GroupOutput::EveryPlayerCalendar: exportEveryCalendar(parent, db, s); break;
    case GroupOutput::PlayerCalendar: exportPlayerCalendar(parent, db, s); break;
    case GroupOutput::Pdf:
        file = SaveFile::askSaveFile(parent, QStringLiteral("Export Schedule as PDF"), s.name, ".pdf", pdfFilter);
        if (!file.isEmpty())
            done(Exports::writeSchedulePdf(db, groupId, file), parent, wrote(file));
        break;
    case GroupOutput::FairnessReport: break;
    }
}
