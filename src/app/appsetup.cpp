#include "appsetup.h"
#include "data/dberror.h"
#include "data/dmuglobal.h"
#include "data/guard.h"
#include "frmmain.h"
#include "reports/schedulereport.h"
#include <QCoreApplication>
#include <QSettings>

void configureApplication()
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
}

void registerChildWindows(Tfrmmain& frame)
{
    (void)frame;
}

void connectDataModule(Tfrmmain& frame, Tdmglobal& dm)
{
    dm.statusPanelHandler = [&frame](int panel, const QString& text) { frame.setStatusPanel(panel, text); };
    dm.activeChildWindow = [&frame] { return frame.activeChildWidget(); };
    dm.helpHandler = [&frame](int helpContext) { frame.showHelp(helpContext); };
    dm.beepHandler = [&frame] { frame.beep(); };
    // The data module owns the report; printing runs it over the active window.
    installScheduleReport(dm);
}

std::unique_ptr<Tdmglobal> openDataModule(const QString& directory)
{
    try {
        return std::make_unique<Tdmglobal>(directory);
    } catch (const DbError& e) {
        showErrorBox(nullptr, e.message());
    } catch (const std::exception& e) {
        showErrorBox(nullptr, QString::fromLocal8Bit(e.what()));
    }
    return nullptr;
}
