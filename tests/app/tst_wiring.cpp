// The real child windows behind the frame's list choices, and the group
// list's way into the group editor.
#include "apptest.h"
#include "data/guard.h"
#include "windows/groups.h"
#include <QMdiSubWindow>
#include <QtTest>

class TestWiring : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        errors.clear();
        setErrorBoxHandler([this](const QString& message) { errors << message; });
        fx = std::make_unique<AppFixture>();
        registerChildWindows(*fx->frame);
        fx->frame->show();
        QApplication::setActiveWindow(fx->frame.get());
        QVERIFY(QTest::qWaitForWindowActive(fx->frame.get()));
    }
    void cleanup()
    {
        fx.reset();
        setErrorBoxHandler({});
    }

    void listChoicesOpenTheirWindows();
    void groupListOpensANewEditorOfItsKind();

private:
    std::unique_ptr<AppFixture> fx;
    QStringList errors;
};

void TestWiring::listChoicesOpenTheirWindows()
{
    struct Expected {
        int choice, kind;
        QString title;
        int helpContext;
    };
    const QList<Expected> expected = {
        {Tfrmmain::PlayerList, ChildWindow::PlayerList, "Player List", 37},
        {Tfrmmain::CourtList, ChildWindow::CourtList, "Court List", 38},
        {Tfrmmain::GroupList, ChildWindow::GroupList, "Group List", 42},
        {Tfrmmain::LeagueList, ChildWindow::GroupList, "League List", 43},
    };
    for (const Expected& e : expected) {
        QWidget* window = fx->frame->openChildWindow(e.choice);
        QVERIFY2(window, qPrintable(e.title));
        auto* child = dynamic_cast<ChildWindow*>(window);
        QVERIFY(child);
        QCOMPARE(child->windowKind(), e.kind);
        QCOMPARE(window->windowTitle(), e.title);
        QCOMPARE(fx->frame->activeChildWidget(), window);
        if (e.kind == ChildWindow::GroupList)
            QCOMPARE(helpContextOf(window), e.helpContext);
    }
    auto* leagues = dynamic_cast<Tfrmgrouplist*>(fx->frame->activeChildWidget());
    QVERIFY(leagues);
    QCOMPARE(leagues->listKind(), 2);
    QVERIFY(errors.isEmpty());
    QCOMPARE(fx->frame->childWindows().size(), 4);
}

void TestWiring::groupListOpensANewEditorOfItsKind()
{
    fx->frame->openChildWindow(Tfrmmain::LeagueList);
    fx->frame->routeCommand(CmdAddNew);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    QCOMPARE(fx->frame->childWindows().size(), 2);
    QWidget* editor = fx->frame->activeChildWidget();
    auto* child = dynamic_cast<ChildWindow*>(editor);
    QVERIFY(child);
    QCOMPARE(child->windowKind(), ChildWindow::GroupEditor);
    QCOMPARE(editor->windowTitle(), QString("New League"));
    QCOMPARE(helpContextOf(editor), 44);
    QVERIFY(fx->frame->childWindows().last()->isMaximized());
}

QTEST_MAIN(TestWiring)
#include "tst_wiring.moc"
