#include "app/about.h"
#include "app/appsetup.h"
#include "app/cli.h"
#include "app/mainwindow.h"
#include "data/datamodule.h"
#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    if (argc > 1)
        return runCommandLine(argc, argv);
    QApplication app(argc, argv);
    // The desktop finds the menu entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vantrel.Vantrel"));
    configureApplication();
    followDesktopColourScheme();

    // The data module outlives the frame: the tables of the child windows,
    // deleted with the frame, still use it.
    std::unique_ptr<Tdmglobal> dm = openConfiguredDataModule();
    if (!dm)
        return 1;   // the reason has been shown
    Tfrmmain frame;
    registerChildWindows(frame);
    connectDataModule(frame, *dm);
    installDatabaseSwitch(frame, dm);

    frame.setStartupSplash(TAboutBox::SplashInterval);
    // Where no window manager maximises the frame, it still fills the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    return app.exec();
}
