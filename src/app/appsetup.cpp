#include "appsetup.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "mainwindow.h"
#include "icons.h"
#include "reports/playerlabels.h"
#include "reports/schedulereport.h"
#include "reports/standingsreport.h"
#include "scheduling/groupeditor.h"
#include "scheduling/latedaysoff.h"
#include "engine/runstate.h"
#include "engine/seasonnotifier.h"
#include "windows/accessiblenames.h"
#include "windows/courtlist.h"
#include "windows/fielddefs.h"
#include "windows/grouplist.h"
#include "windows/guard.h"
#include "windows/palettecolours.h"
#include "windows/playerlist.h"
#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMessageBox>
#include <QPointer>
#include <QIcon>
#include <QSettings>

void configureApplication()
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
    // Windows and dialogs without an icon of their own show the program's:
    // the installed one where the desktop has it, so that the window and the
    // menu entry look alike; the drawn one when run from the build folder.
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.vantrel.Vantrel"), Icons::application()));
        nameControlsOfEveryWindow();
    }
}

namespace {

// The desktop's wish for dark colours: a dark GTK theme named in the
// environment, or the colour scheme of the desktop portal (GNOME, KDE and
// others answer it).
bool desktopAsksForDark()
{
    const QByteArray gtkTheme = qgetenv("GTK_THEME").toLower();
    if (gtkTheme.endsWith(":dark") || gtkTheme.contains("-dark"))
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage read = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    read << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    const QDBusMessage reply = bus.call(read, QDBus::Block, 500);   // a start-up never waits long for it
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    // The answer comes wrapped in variants; 1 means "prefer dark".
    QVariant value = reply.arguments().constFirst();
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value.toUInt() == 1;
}

Tfrmmain::ChildWindowFactory groupListFactory(RecordKind listKind, const QString& caption, int helpContext)
{
    return [=](QWidget* parent) {
        auto* list = new Tfrmgrouplist(parent);
        list->setListKind(listKind);
        list->setWindowTitle(caption);
        list->setWindowIcon(Icons::listWindow(listKind));
        setHelpContext(list, helpContext);
        return list;
    };
}

void loadGroupList(QWidget* window)
{
    static_cast<Tfrmgrouplist*>(window)->load();
}

// The labels belong to the players window that is active when the command comes.
Tfrmplayers* activePlayersWindow(const QPointer<Tfrmmain>& frame)
{
    return frame ? dynamic_cast<Tfrmplayers*>(frame->activeChildWidget()) : nullptr;
}

void printLeagueStandings(const QString& league, const QVector<StandingLine>& standings, QWidget* parent)
{
    QVector<StandingsRow> rows;
    for (const StandingLine& s : standings)
        rows.append({s.rank, s.number, s.name, s.wins, s.losses});
    TStandingsReport report;
    report.setStandings(league, rows);
    report.PrintStandings(parent);
}

}   // namespace

void followDesktopColourScheme()
{
    if (isDark(QApplication::palette()) || !desktopAsksForDark())
        return;
    // The style stays (Fusion unless the user chose one with -style); it
    // draws with the palette.
    QApplication::setPalette(darkPalette());
}

void registerChildWindows(Tfrmmain& frame)
{
    frame.registerChildWindow(Tfrmmain::PlayerList, [](QWidget* parent) {
        auto* players = new Tfrmplayers(parent);
        players->setWindowIcon(Icons::players());
        return players;
    });
    frame.registerChildWindow(Tfrmmain::CourtList, [](QWidget* parent) {
        auto* courts = new Tfrmcourts(parent);
        courts->setWindowIcon(Icons::courts());
        return courts;
    });
    frame.registerChildWindow(Tfrmmain::GroupList,
                              groupListFactory(RecordKind::Group, QStringLiteral("Group List"), HelpContext::GroupList),
                              loadGroupList);
    frame.registerChildWindow(
        Tfrmmain::LeagueList,
        groupListFactory(RecordKind::League, QStringLiteral("League List"), HelpContext::LeagueList), loadGroupList);

    // The group list opens editors through the frame; a frame already gone opens none.
    QPointer<Tfrmmain> target = &frame;
    Tfrmgrouplist::openEditor = [target](RecordKind listKind, int groupId, const QString& caption,
                                         int helpContext) -> QWidget* {
        if (!target)
            return nullptr;
        return Tfrmgroup::openFromList(listKind, groupId, caption, helpContext, [target, listKind](QWidget* editor) {
            editor->setWindowIcon(Icons::editorWindow(listKind));
            if (target)
                target->addChildWindow(editor);
        });
    };

    // The group editor opens its season window as another child window.
    SeasonNotifier& season = SeasonNotifier::instance();
    QObject::connect(&season, &SeasonNotifier::seasonWindowOpened, &frame, &Tfrmmain::addChildWindow);
    QObject::connect(&season, &SeasonNotifier::standingsPrintRequested, &frame, printLeagueStandings);

    frame.setMailingLabelCommands(
        [target] {
            if (Tfrmplayers* players = activePlayersWindow(target))
                playerLabelsOf(players, players->players()).PrintLabels(players);
        },
        [target] {
            if (Tfrmplayers* players = activePlayersWindow(target))
                playerLabelsOf(players, players->players()).ChooseLabelType(players);
        });
}

void connectDataModule(Tfrmmain& frame, Tdmglobal& dm)
{
    QObject::connect(&dm, &Tdmglobal::statusPanelChanged, &frame, &Tfrmmain::setStatusPanel);
    QObject::connect(&dm, &Tdmglobal::helpRequested, &frame, &Tfrmmain::showHelp);
    QObject::connect(&dm, &Tdmglobal::beepRequested, &frame, &Tfrmmain::beep);
    // Season windows and group editors hear of rows deleted with a player.
    QObject::connect(&dm, &Tdmglobal::scheduleChanged, &SeasonNotifier::instance(), &SeasonNotifier::scheduleChanged);
    // Days off recorded after a schedule was made: what now clashes.
    QObject::connect(&dm, &Tdmglobal::daysOffAdded, &frame, reviewLateDaysOff);
    // The data module owns the report; printing runs it over the active window.
    installScheduleReport(dm);
    frame.showDatabaseName(dm.database().displayName());
}

namespace {

// The reason a database cannot be opened goes to the error box; the result is then null.
template <typename Open>
std::unique_ptr<Tdmglobal> openReportingFailure(Open&& open)
{
    try {
        auto dm = open();
        if (const QString notice = dm->database().upgradeNotice(); !notice.isEmpty())
            QMessageBox::information(nullptr, QStringLiteral("Vantrel"), notice);
        return dm;
    } catch (const DbError& e) {
        showErrorBox(nullptr, e.message());
    } catch (const std::exception& e) {
        showErrorBox(nullptr, QString::fromLocal8Bit(e.what()));
    }
    return nullptr;
}

}   // namespace

std::unique_ptr<Tdmglobal> openDataModule(const QString& directory)
{
    return openReportingFailure([&] { return std::make_unique<Tdmglobal>(directory); });
}

std::unique_ptr<Tdmglobal> openConfiguredDataModule()
{
    return openReportingFailure([] { return std::make_unique<Tdmglobal>(Database::configuredDirectory()); });
}

bool switchDatabase(Tfrmmain& frame, std::unique_ptr<Tdmglobal>& dm, const QString& location)
{
    // The run works on an editor's datasets over the open connection.
    if (runState().running) {
        showErrorBox(&frame, QStringLiteral("A schedule is being generated. Open the other database when it has "
                                            "finished."));
        return false;
    }
    if (!frame.closeChildWindows())
        return false;
    std::unique_ptr<Tdmglobal> opened = openDataModule(location);
    if (!opened)
        return false;
    connectDataModule(frame, *opened);
    // The old module goes once the new one is current.
    std::swap(dm, opened);
    opened.reset();
    // A URI holds no password here: the dialog never takes one.
    QSettings().setValue(QStringLiteral("Aliases/VANTREL32"), location);
    dm->statusMessage(QStringLiteral("Opened %1").arg(dm->database().displayName()));
    return true;
}

void installDatabaseSwitch(Tfrmmain& frame, std::unique_ptr<Tdmglobal>& dm)
{
    frame.setDatabaseOpener([&frame, &dm](const QString& location) { switchDatabase(frame, dm, location); });
}
