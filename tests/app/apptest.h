#pragma once
// Shared fixture of the application shell tests: a private settings file and
// database directory, the data module, and a frame whose beeps are counted.
#include "whenmodal.h"
#include "app/appsetup.h"
#include "app/mainwindow.h"
#include "data/datamodule.h"
#include "windows/childwindow.h"
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

struct AppFixture {
    QTemporaryDir settingsDir;
    QTemporaryDir databaseDir;
    std::unique_ptr<Tfrmmain> frame;
    std::unique_ptr<Tdmglobal> dm;
    int beeps = 0;

    AppFixture()
    {
        configureApplication();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        start();
    }
    ~AppFixture() { stop(); }

    // Ends the program and starts it again on the same database and settings.
    void restart()
    {
        stop();
        start();
    }

private:
    void start()
    {
        frame = std::make_unique<Tfrmmain>();
        frame->setBeep([this] { ++beeps; });
        dm = std::make_unique<Tdmglobal>(databaseDir.path());
        connectDataModule(*frame, *dm);
    }
    // The frame goes first, with its windows, as at the end of the program.
    void stop()
    {
        frame.reset();
        dm.reset();
    }
};

// A stand-in child window that records the commands it receives.
class FakeChild : public QWidget, public ChildWindow {
public:
    FakeChild(int kind, const QString& title) : kind(kind) { setWindowTitle(title); }
    int windowKind() const override { return kind; }
    void commandAddNew() override { calls << QStringLiteral("addnew"); }
    void commandSave() override { calls << QStringLiteral("save"); }
    void commandCancel() override { calls << QStringLiteral("cancel"); }
    void commandDelete() override { calls << QStringLiteral("delete"); }
    void commandOpen() override { calls << QStringLiteral("open"); }
    void commandSchedule() override { calls << QStringLiteral("schedule"); }
    void commandPrint() override { calls << QStringLiteral("print"); }
    void commandTimeOff() override { calls << QStringLiteral("timeoff"); }
    void commandEditSchedule() override { calls << QStringLiteral("editschedule"); }

    int kind;
    QStringList calls;
};
