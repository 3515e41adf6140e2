// Start-up: opening the data module, refusing a database that is not ours,
// and the services the frame lends the data module.
#include "apptest.h"
#include "app/help.h"
#include "reports/schedulereport.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QLineEdit>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        errors.clear();
        setErrorBoxHandler([this](const QString& message) { errors << message; });
    }
    void cleanup() { setErrorBoxHandler({}); }

    void freshDirectoryGetsADatabase();
    void foreignFileIsRefusedAndLeftAlone();
    void dataModuleReachesTheFrame();
    void settingsThatNameNoUsableDirectoryAreShown();

private:
    QStringList errors;
};

void TestStartup::freshDirectoryGetsADatabase()
{
    QTemporaryDir dir;
    auto dm = openDataModule(dir.path());
    QVERIFY(dm);
    QVERIFY(errors.isEmpty());
    QVERIFY(QFile::exists(dir.filePath("vantrel.db")));
    dm.reset();
    // Opening it again keeps it.
    QVERIFY(openDataModule(dir.path()));
    QVERIFY(errors.isEmpty());
}

void TestStartup::foreignFileIsRefusedAndLeftAlone()
{
    QTemporaryDir dir;
    const QByteArray content = "club accounts 1998, not a database\n";
    {
        QFile file(dir.filePath("vantrel.db"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(!openDataModule(dir.path()));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(dir.filePath("vantrel.db")), qPrintable(errors[0]));
    QFile file(dir.filePath("vantrel.db"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    QVERIFY(!Tdmglobal::exists());
}

void TestStartup::dataModuleReachesTheFrame()
{
    AppFixture fx;
    // F9 in a group editor reaches the schedule report, which the data module owns.
    QVERIFY(fx.dm->findChild<TScheduleReport*>());

    QLineEdit hinted;
    hinted.setToolTip("Enter the entry fee.");
    showControlHint(&hinted);
    QCOMPARE(fx.frame->statusPanelText(1), QString("Enter the entry fee."));
    fx.dm->showHelp(61);
    QCOMPARE(fx.frame->helpWindow().currentTopic(), 61);
    fx.dm->beep();
    QCOMPARE(fx.beeps, 1);
}

void TestStartup::settingsThatNameNoUsableDirectoryAreShown()
{
    QTemporaryDir settingsDir, databaseDir;
    configureApplication();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QSettings().setValue("Aliases/VANTREL32", "club/spring");
    QVERIFY(!openConfiguredDataModule());
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains("not a full path"), qPrintable(errors[0]));
    QVERIFY(!QDir("club").exists());   // nothing made in the working directory

    QSettings().setValue("Aliases/VANTREL32", databaseDir.path());
    auto dm = openConfiguredDataModule();
    QVERIFY(dm);
    QCOMPARE(dm->database().path(), databaseDir.filePath("vantrel.db"));
    QSettings().remove("Aliases");
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
