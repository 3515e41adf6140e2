// The engine's host in a window: the question box keeps its Help button
// from closing it, and the answers come back as given.
#include "engine_fixture.h"
#include "scheduling/widgethost.h"
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QToolButton>
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
        QSignalSpy help(f.dm.get(), &Tdmglobal::helpRequested);
        WidgetScheduleHost host(nullptr);
        bool open = true;
        clickInTurn({QMessageBox::Help, QMessageBox::No}, &open);
        QCOMPARE(host.ask(ScheduleEngine::UnequalPlayQuestion), ScheduleHost::No);
        QVERIFY(open);
        QCOMPARE(help.count(), 1);
        QCOMPARE(help.first().first().toInt(), 13);
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

    // While a run yields, typing and clicks reach nothing but Cancel: an edit
    // made then would join the run's transaction.
    void aYieldLetsOnlyCancelThrough()
    {
        QWidget frame;
        auto* field = new QLineEdit(&frame);
        auto* cancelButton = new QToolButton(&frame);
        cancelButton->setObjectName("tbcancel");
        auto* saveButton = new QToolButton(&frame);
        saveButton->setObjectName("tbsave");
        QAction cancel;
        cancel.setObjectName("Cancel1");
        QAction save;
        save.setObjectName("Save1");
        frame.show();
        int cancelled = 0, saved = 0, cancelClicks = 0, saveClicks = 0;
        QObject::connect(&cancel, &QAction::triggered, [&] { ++cancelled; });
        QObject::connect(&save, &QAction::triggered, [&] { ++saved; });
        QObject::connect(cancelButton, &QToolButton::clicked, [&] { ++cancelClicks; });
        QObject::connect(saveButton, &QToolButton::clicked, [&] { ++saveClicks; });
        auto postInput = [&] {
            QCoreApplication::postEvent(field, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
            QCoreApplication::postEvent(&cancel, new QShortcutEvent(QKeySequence(Qt::Key_F4), 0));
            QCoreApplication::postEvent(&save, new QShortcutEvent(QKeySequence(Qt::Key_F3), 0));
            for (QToolButton* b : {cancelButton, saveButton})
                for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                    QCoreApplication::postEvent(
                        b,
                        new QMouseEvent(t, QPointF(2, 2), b->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                                        t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
        };
        WidgetScheduleHost host(&frame);
        postInput();
        host.yield();
        QCOMPARE(field->text(), QString());
        QCOMPARE(saved, 0);
        QCOMPARE(saveClicks, 0);
        QCOMPARE(cancelled, 1);
        QCOMPARE(cancelClicks, 1);
        // Outside a run's yield everything arrives again.
        postInput();
        QCoreApplication::processEvents();
        QCOMPARE(field->text(), QString("a"));
        QCOMPARE(saved, 1);
        QCOMPARE(saveClicks, 1);
    }
};

QTEST_MAIN(TestEngineHost)
#include "tst_enginehost.moc"
