// Command routing: the kind/code table, the frame's function keys reaching
// the active child window, beeps, closing, and opening child windows.
#include "apptest.h"
#include "app/commandrouter.h"
#include "data/dberror.h"
#include "windows/guard.h"
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

class TestRouter : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        fx = std::make_unique<AppFixture>();
        errors.clear();
        setErrorBoxHandler([this](const QString& message) { errors << message; });
        fx->frame->show();
        QApplication::setActiveWindow(fx->frame.get());
        QVERIFY(QTest::qWaitForWindowActive(fx->frame.get()));
    }
    void cleanup()
    {
        setErrorBoxHandler({});
        fx.reset();
    }

    void tableOfKindsAndCodes_data();
    void tableOfKindsAndCodes();
    void seasonWindowTakesPrintAndClose();
    void commandWithoutChildWindowBeeps();
    void functionKeysReachTheActiveWindow();
    void listWindowIgnoresSaveCancelDeleteQuietly();
    void closeWindowClosesOnlyTheActiveOne();
    void mailingLabelCommandsBelongToThePlayerList();
    void hiddenEditScheduleCannotBeReached();
    void failingCommandShowsErrorAndFrameGoesOn();
    void openChildWindowCreatesAnotherEachTime();
    void openChildWindowLoadsAfterShowingAndDropsAFailedWindow();

private:
    FakeChild* openFake(int kind, const QString& title)
    {
        auto* child = new FakeChild(kind, title);
        fx->frame->addChildWindow(child);
        return child;
    }
    void press(const QKeySequence& keys)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fx->frame.get();
        QTest::keySequence(target, keys);
    }

    std::unique_ptr<AppFixture> fx;
    QStringList errors;
};

using A = RouteAction;
Q_DECLARE_METATYPE(RouteAction)

void TestRouter::tableOfKindsAndCodes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVector<RouteAction>>("actions");   // for codes 1..13
    const A B = A::Beep;
    QTest::newRow("player list") << 1 << QVector<A>{A::AddNew,      A::Save, A::Cancel, A::Delete,
                                                    A::CloseWindow, B,       B,         A::PrintMailingLabels,
                                                    A::TimeOff,     B,       B,         B,
                                                    A::LabelSetup};
    QTest::newRow("court list") << 2 << QVector<A>{A::AddNew, A::Save, A::Cancel, A::Delete, A::CloseWindow, B, B, B, B,
                                                   B,         B,       B,         B};
    QTest::newRow("group list") << 3 << QVector<A>{A::AddNew, A::Nothing, A::Nothing, A::Nothing, A::CloseWindow,
                                                   A::Open,   B,          B,          B,          B,
                                                   B,         B,          B};
    QTest::newRow("group editor") << 4 << QVector<A>{A::AddNew, A::Save,     A::Cancel, A::Delete,  A::CloseWindow,
                                                     B,         A::Schedule, A::Print,  A::TimeOff, A::EditSchedule,
                                                     B,         B,           B};
    QTest::newRow("unknown kind") << 7 << QVector<A>(13, B);
}

void TestRouter::tableOfKindsAndCodes()
{
    QFETCH(int, kind);
    QFETCH(QVector<RouteAction>, actions);
    for (int code = 1; code <= 13; ++code)
        QVERIFY2(routeActionFor(kind, code) == actions[code - 1], qPrintable(QString("code %1").arg(code)));
    QVERIFY(routeActionFor(kind, 0) == A::Beep);
    // Code 14 opens a group editor's season window; nothing else takes it.
    QVERIFY(routeActionFor(kind, 14) == (kind == ChildWindow::GroupEditor ? A::Season : A::Beep));
    QVERIFY(routeActionFor(kind, 15) == A::Beep);
}

void TestRouter::seasonWindowTakesPrintAndClose()
{
    for (int code = 1; code <= 14; ++code) {
        const RouteAction expected = code == CmdPrint ? A::Print : code == CmdCloseWindow ? A::CloseWindow : A::Beep;
        QVERIFY2(routeActionFor(ChildWindow::SeasonWindow, code) == expected, qPrintable(QString::number(code)));
    }
}

void TestRouter::commandWithoutChildWindowBeeps()
{
    press(QKeySequence(Qt::Key_F2));
    QCOMPARE(fx->beeps, 1);
    fx->frame->routeCommand(CmdSave);
    fx->frame->routeCommand(CmdCloseWindow);
    QCOMPARE(fx->beeps, 3);
    // The data module's beep is the frame's.
    fx->dm->beep();
    QCOMPARE(fx->beeps, 4);
}

void TestRouter::functionKeysReachTheActiveWindow()
{
    FakeChild* editor = openFake(ChildWindow::GroupEditor, "Group: Tuesday");
    const QList<std::pair<Qt::Key, QString>> keys = {
        {Qt::Key_F2, "addnew"},  {Qt::Key_F3, "save"},     {Qt::Key_F4, "cancel"}, {Qt::Key_F5, "delete"},
        {Qt::Key_F7, "timeoff"}, {Qt::Key_F8, "schedule"}, {Qt::Key_F9, "print"},
    };
    QStringList expected;
    for (const auto& [key, call] : keys) {
        press(QKeySequence(key));
        expected << call;
    }
    QCOMPARE(editor->calls, expected);
    QCOMPARE(fx->beeps, 0);

    press(QKeySequence(Qt::Key_F6));   // open means nothing in an editor
    QCOMPARE(fx->beeps, 1);

    // A second window takes the commands once it is active; the first gets none.
    FakeChild* players = openFake(ChildWindow::PlayerList, "Player List");
    editor->calls.clear();
    press(QKeySequence(Qt::Key_F2));
    press(QKeySequence(Qt::Key_F6));
    press(QKeySequence(Qt::Key_F8));
    QCOMPARE(players->calls, QStringList{"addnew"});
    QVERIFY(editor->calls.isEmpty());
    QCOMPARE(fx->beeps, 3);
}

void TestRouter::listWindowIgnoresSaveCancelDeleteQuietly()
{
    FakeChild* list = openFake(ChildWindow::GroupList, "Group List");
    for (int code : {int(CmdSave), int(CmdCancel), int(CmdDelete)})
        fx->frame->routeCommand(code);
    QVERIFY(list->calls.isEmpty());
    QCOMPARE(fx->beeps, 0);

    fx->frame->routeCommand(CmdOpen);
    fx->frame->routeCommand(CmdAddNew);
    QCOMPARE(list->calls, (QStringList{"open", "addnew"}));
    for (int code :
         {int(CmdSchedule), int(CmdPrint), int(CmdTimeOff), int(CmdEditSchedule), int(CmdLabelSetup), 11, 12})
        fx->frame->routeCommand(code);
    QCOMPARE(fx->beeps, 7);
}

void TestRouter::closeWindowClosesOnlyTheActiveOne()
{
    QPointer<FakeChild> first = openFake(ChildWindow::CourtList, "Court List");
    QPointer<FakeChild> second = openFake(ChildWindow::CourtList, "Court List");
    press(QKeySequence(Qt::Key_F10));
    QTRY_VERIFY(!second);
    QVERIFY(first);
    QCOMPARE(fx->frame->childWindows().size(), 1);
    QCOMPARE(fx->frame->activeChildWidget(), first.data());
    QCOMPARE(fx->beeps, 0);

    fx->frame->routeCommand(CmdCloseWindow);
    QTRY_VERIFY(!first);
    QVERIFY(fx->frame->childWindows().isEmpty());
    // With the last window gone every command beeps again.
    press(QKeySequence(Qt::Key_F2));
    QCOMPARE(fx->beeps, 1);
}

void TestRouter::mailingLabelCommandsBelongToThePlayerList()
{
    int printed = 0, setups = 0;
    fx->frame->setMailingLabelCommands([&] { ++printed; }, [&] { ++setups; });
    FakeChild* players = openFake(ChildWindow::PlayerList, "Player List");
    press(QKeySequence(Qt::Key_F9));
    fx->frame->findChild<QAction*>("LabelSetup1")->trigger();
    QCOMPARE(printed, 1);
    QCOMPARE(setups, 1);
    QVERIFY(players->calls.isEmpty());   // the labels are the router's, not the window's

    openFake(ChildWindow::CourtList, "Court List");
    press(QKeySequence(Qt::Key_F9));
    fx->frame->findChild<QAction*>("LabelSetup1")->trigger();
    QCOMPARE(printed, 1);
    QCOMPARE(setups, 1);
    QCOMPARE(fx->beeps, 2);
}

void TestRouter::hiddenEditScheduleCannotBeReached()
{
    FakeChild* editor = openFake(ChildWindow::GroupEditor, "New Group");
    QAction* item = fx->frame->findChild<QAction*>("EditSchedule1");
    QVERIFY(item);
    QVERIFY(!item->isVisible());
    QVERIFY(!item->isEnabled());
    QCOMPARE(item->text(), QString("&Edit Schedule"));
    press(QKeySequence(Qt::CTRL | Qt::Key_F8));
    item->trigger();   // a disabled action ignores even a direct trigger
    QVERIFY(editor->calls.isEmpty());
    QCOMPARE(fx->beeps, 0);
}

void TestRouter::failingCommandShowsErrorAndFrameGoesOn()
{
    class Failing : public FakeChild {
    public:
        Failing() : FakeChild(ChildWindow::PlayerList, "Player List") {}
        void commandSave() override { throw DbError("Dataset not in edit or insert mode"); }
    };
    auto* child = new Failing;
    fx->frame->addChildWindow(child);
    press(QKeySequence(Qt::Key_F3));
    QCOMPARE(errors, QStringList{"Dataset not in edit or insert mode"});
    press(QKeySequence(Qt::Key_F2));
    QCOMPARE(child->calls, QStringList{"addnew"});
    QVERIFY(!QApplication::overrideCursor());
}

void TestRouter::openChildWindowCreatesAnotherEachTime()
{
    QCOMPARE(fx->frame->openChildWindow(Tfrmmain::PlayerList), nullptr);   // nothing registered yet
    QVERIFY(fx->frame->childWindows().isEmpty());

    fx->frame->registerChildWindow(Tfrmmain::PlayerList,
                                   [](QWidget*) { return new FakeChild(ChildWindow::PlayerList, "Player List"); });
    fx->frame->registerChildWindow(Tfrmmain::GroupList,
                                   [](QWidget*) { return new FakeChild(ChildWindow::GroupList, "Group List"); });
    press(QKeySequence(Qt::CTRL | Qt::Key_P));
    press(QKeySequence(Qt::CTRL | Qt::Key_P));
    fx->frame->findChild<QAction*>("tbgroups")->trigger();
    QCOMPARE(fx->frame->openChildWindow(9), nullptr);

    const QVector<QMdiSubWindow*> windows = fx->frame->childWindows();
    QCOMPARE(windows.size(), 3);
    QCOMPARE(fx->frame->activeChildWidget(), windows[2]->widget());
    // The active child fills the frame; activating another maximises that one.
    QVERIFY(windows[2]->isMaximized());
    for (QMdiSubWindow* sub : windows)
        QVERIFY(sub->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(windows[0]->widget() != windows[1]->widget());
    QVERIFY(!windows[2]->widget()->windowIcon().isNull());   // group lists carry the list icon
    fx->frame->mdiArea()->setActiveSubWindow(windows[0]);
    QVERIFY(windows[0]->isMaximized());
}

void TestRouter::openChildWindowLoadsAfterShowingAndDropsAFailedWindow()
{
    bool wasVisibleAtLoad = false;
    fx->frame->registerChildWindow(
        Tfrmmain::LeagueList, [](QWidget*) { return new FakeChild(ChildWindow::GroupList, "League List"); },
        [&](QWidget* window) { wasVisibleAtLoad = window->isVisible(); });
    QVERIFY(fx->frame->openChildWindow(Tfrmmain::LeagueList));
    QVERIFY(wasVisibleAtLoad);

    fx->frame->registerChildWindow(
        Tfrmmain::CourtList, [](QWidget*) { return new FakeChild(ChildWindow::CourtList, "Court List"); },
        [](QWidget*) { throw DbError("no such table: COURTS"); });
    fx->frame->findChild<QAction*>("Courts1")->trigger();
    QCOMPARE(errors, QStringList{"no such table: COURTS"});
    QTRY_COMPARE(fx->frame->childWindows().size(), 1);
    QCOMPARE(fx->frame->activeChildWidget()->windowTitle(), QString("League List"));
}

QTEST_MAIN(TestRouter)
#include "tst_router.moc"
