#include "groupoutputs.h"
#include "data/datamodule.h"
#include "windows/guard.h"
#include "exports.h"
#include "fairnesswindow.h"
#include "playerdates.h"
#include "publish.h"
#include "savefile.h"
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

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

// The player whose dates are wanted, from a list; 0 when cancelled.
int choosePlayer(QWidget* parent, const Season& s, const QString& title)
{
    QStringList names;
    const QVector<SeasonPerson> players = s.players();
    for (const SeasonPerson& p : players)
        names << p.fullName();
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(parent, title, QStringLiteral("Export the dates of:"), names, 0, false, &ok);
    const int i = int(names.indexOf(chosen));
    return ok && i >= 0 ? players[i].id : 0;
}

void exportPlayerCalendar(QWidget* parent, Database& db, const Season& s)
{
    const int playerId = choosePlayer(parent, s, QStringLiteral("Player's Calendar"));
    if (playerId == 0)
        return;
    const QString base = Exports::calendarFileName(s, seasonPlayer(s, playerId)).chopped(4);
    const QString file = SaveFile::askSaveFile(parent, QStringLiteral("Export Player's Calendar"), base,
                                               QStringLiteral(".ics"), icsFilter);
    if (!file.isEmpty())
        done(Exports::writeCalendar(db, s, playerId, file), parent, wrote(file));
}

void exportPlayerPdf(QWidget* parent, const Season& s)
{
    const int playerId = choosePlayer(parent, s, QStringLiteral("Player's Schedule"));
    if (playerId == 0)
        return;
    // The same name as the player's calendar, as a PDF.
    const QString base = Exports::calendarFileName(s, seasonPlayer(s, playerId)).chopped(4);
    const QString file = SaveFile::askSaveFile(parent, QStringLiteral("Export Player's Schedule as PDF"), base,
                                               QStringLiteral(".pdf"), pdfFilter);
    if (!file.isEmpty())
        done(Exports::writePlayerPdf(s, playerId, file), parent, wrote(file));
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

// The folder a season was last published to from this database.
QString publishKey(const Database& db)
{
    return QStringLiteral("Publish/") + QString::fromLatin1(QUrl::toPercentEncoding(db.path()));
}

// Where to publish: the folder used last for this database, or another.
QString askPublishFolder(QWidget* parent, const Database& db, const Season& s)
{
    const QString last = QSettings().value(publishKey(db)).toString();
    if (!last.isEmpty()) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Publish Season"),
                        QStringLiteral("Publish %1 to %2?").arg(s.name, QDir::toNativeSeparators(last)),
                        QMessageBox::NoButton, parent);
        QPushButton* publish = box.addButton(QStringLiteral("&Publish"), QMessageBox::AcceptRole);
        QPushButton* other = box.addButton(QStringLiteral("&Other Folder..."), QMessageBox::ActionRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(publish);
        box.exec();
        if (box.clickedButton() == publish)
            return last;
        if (box.clickedButton() != other)
            return {};
    }
    return SaveFile::askDirectory(parent, QStringLiteral("Folder to Publish the Season In"));
}

// Each player's link, to copy into a message to them.
void showLinks(QWidget* parent, const Season& s, const PublishOutcome& outcome)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Publish Season"),
                    QStringLiteral("%1 is published: %2 player pages. Send each player the link to their page "
                                   "(Show Details).")
                        .arg(s.name)
                        .arg(outcome.players),
                    QMessageBox::Ok, parent);
    box.setDetailedText(outcome.linksText());
    box.exec();
}

void publishSeason(QWidget* parent, Database& db, const Season& s)
{
    PublishRequest request;
    request.groupIds = {s.groupId};
    request.folder = askPublishFolder(parent, db, s);
    if (request.folder.isEmpty())
        return;
    BusyCursor busy;
    const PublishOutcome outcome = publishSeasons(db, request);
    if (outcome.error.isEmpty()) {
        QSettings().setValue(publishKey(db), request.folder);
        showLinks(parent, s, outcome);
    }
    done(outcome.error, parent,
         QStringLiteral("Published %1 with %2 player pages to %3; each player's link is their page there.")
             .arg(s.name)
             .arg(outcome.players)
             .arg(QDir::toNativeSeparators(request.folder)));
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
    case GroupOutput::PlayerPdf: exportPlayerPdf(parent, s); break;
    case GroupOutput::Publish: publishSeason(parent, db, s); break;
    case GroupOutput::FairnessReport: break;
    }
}
