// The engine's host in a window: the question box keeps its Help button
// from closing it, and the answers come back as given.
#include "engine_fixture.h"
#include "scheduling/widgethost.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

class TestEngineHost : public QObject {
    Q_OBJECT

    // Clicks the buttons of the next message box in turn, checking it stays open.
    void clickInTurn(const QVector<QMessageBox::StandardButton>& buttons, bool* stayedOpen)
    {
        QTimer::singleShot(50, this, [this, buttons, stayedOpen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                clickInTurn(buttons, stayedOpen);
                return;
            }
            for (int i = 0; i < buttons.size(); ++i) {
                box->button(buttons[i])->click();
                if (i + 1 < buttons.size())
                    *stayedOpen = *stayedOpen && box->isVisible();
            }
        });
    }

private slots:
    void helpKeepsTheQuestionOpen()
    {
        EngineFixture f;
        int help = 0;
        f.dm->helpHandler = [&](int c) { help = c; };
        WidgetScheduleHost host(nullptr);
        bool open = true;
        clickInTurn({QMessageBox::Help, QMessageBox::No}, &open);
        QCOMPARE(host.ask(ScheduleEngine::UnequalPlayQuestion), ScheduleHost::No);
        QVERIFY(open);
        QCOMPARE(help, 13);
        clickInTurn({QMessageBox::Yes}, &open);
        QCOMPARE(host.ask(ScheduleEngine::UnequalPlayQuestion), ScheduleHost::Yes);
        clickInTurn({QMessageBox::Help, QMessageBox::Ok}, &open);
        host.warn(ScheduleEngine::TooFewEntriesMessage);
        QVERIFY(open);
    }

    void busyAndSuspendedAreUndone()
    {
        EngineFixture f;
        QWidget window;
        auto* list = new QTableView(&window);
        WidgetScheduleHost host(&window);
        host.setBusy(true);
        host.setBusy(true);
        host.suspendUpdates(true);
        QVERIFY(QApplication::overrideCursor());
        QVERIFY(!list->updatesEnabled());
        host.setBusy(false);
        host.suspendUpdates(false);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(list->updatesEnabled());
    }
};

QTEST_MAIN(TestEngineHost)
#include "tst_enginehost.moc"
