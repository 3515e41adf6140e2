#include "appsetup.h"
#include "data/dmuglobal.h"
#include "frmmain.h"
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
}
