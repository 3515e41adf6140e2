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
    configureApplication();

    // The frame comes first; nothing in its creation touches the database.
    Tfrmmain frame;
    std::unique_ptr<Tdmglobal> dm = openConfiguredDataModule();
    if (!dm)
        return 1;   // the reason has been shown
    registerChildWindows(frame);
    connectDataModule(frame, *dm);

    frame.setStartupSplash(TAboutBox::SplashInterval);
    // Where no window manager maximises the frame, it still fills the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    const int code = app.exec();
    // Windows closed at the end are deleted only later; their tables need
    // the data module, so they go before it.
    frame.destroyChildWindows();
    dm.reset();
    return code;
}
