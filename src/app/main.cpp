#include "app/appsetup.h"
#include "app/about.h"
#include "app/frmmain.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/dmuglobal.h"
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    configureApplication();
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel"));

    // The frame comes first; nothing in its creation touches the database.
    Tfrmmain frame;
    std::unique_ptr<Tdmglobal> dm;
    try {
        dm = std::make_unique<Tdmglobal>(Database::configuredDirectory());
    } catch (const DbError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Vantrel"), e.message());
        return 1;
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Vantrel"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
    registerChildWindows(frame);
    connectDataModule(frame, *dm);

    frame.setStartupSplash(TAboutBox::SplashInterval);
    // Where no window manager maximises the frame, it still fills the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    const int code = app.exec();
    // The data module's handlers point at the frame: it goes first.
    dm.reset();
    return code;
}
