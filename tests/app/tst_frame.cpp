// The frame as the user meets it: menus, shortcuts, tool bars and hints,
// status bar, Footer Setup, the About box, the Window menu and help.
#include "apptest.h"
#include "app/about.h"
#include "app/clubdatabasedialog.h"
#include "app/help.h"
#include "data/settings.h"
#include "engine/runstate.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

class TestFrame : public QObject {
    Q_OBJECT

private slots:
    void init() { fx = std::make_unique<AppFixture>(); }
    void cleanup() { fx.reset(); }

    void captionHelpContextAndStatusBar();
    void menusCarryTheirCaptionsShortcutsAndHelp_data();
    void menusCarryTheirCaptionsShortcutsAndHelp();
    void menuBarOrder();
    void leftToolBarButtons();
    void actionToolBarButtonsAndGaps();
    void footerSetupCancelKeepsTheText();
    void footerSetupStoresNewTextCutTo51();
    void footerReadBackIsCut();
    void aboutBoxClosesByItselfOnlyWhenTimed();
    void aboutBoxClosesOnPictureClick();
    void windowMenuListsAndActivatesChildWindows();
    void tileStacksWindowsAndDoesNothingWithoutWindows();
    void helpOpensContentsTopicsAndMissingNotice();
    void everyHelpContextInUseHasATopic();
    void helpFromAModalDialogStaysUsable();
    void f1OnAMenuItemShowsItsTopic();
    void closingDuringARunWaitsForItsEnd();
    void openClubDatabaseAsksForTheServer();
    void switchingDatabasesClosesTheWindowsFirst();

private:
    QAction* action(const char* name) { return fx->frame->findChild<QAction*>(QString::fromLatin1(name)); }
    void showActive()
    {
        fx->frame->show();
        QApplication::setActiveWindow(fx->frame.get());
        QVERIFY(QTest::qWaitForWindowActive(fx->frame.get()));
    }

    std::unique_ptr<AppFixture> fx;
};

void TestFrame::captionHelpContextAndStatusBar()
{
    showActive();
    QCOMPARE(fx->frame->windowTitle(), "Vantrel - " + fx->dm->database().displayName());
    QCOMPARE(helpContextOf(fx->frame.get()), 18);
    QVERIFY(fx->frame->isMaximized());

    QStatusBar* sbmain = fx->frame->findChild<QStatusBar*>("sbmain");
    QVERIFY(sbmain);
    auto* panel0 = sbmain->findChild<QLabel*>("panel0");
    auto* panel1 = sbmain->findChild<QLabel*>("panel1");
    QCOMPARE(panel0->width(), 69);
    QVERIFY(panel1->geometry().left() > panel0->geometry().right());
    QVERIFY(panel1->geometry().right() >= sbmain->width() - 10);   // the rest of the width

    // The data module writes the panels.
    fx->dm->statusMessage("Scheduling Group ... Please Wait");
    QCOMPARE(fx->frame->statusPanelText(1), QString("Scheduling Group ... Please Wait"));
    QCOMPARE(panel1->text(), QString("Scheduling Group ... Please Wait"));
    emit fx->dm->statusPanelChanged(0, "Browse");
    QCOMPARE(panel0->text(), QString("Browse"));
}

void TestFrame::menusCarryTheirCaptionsShortcutsAndHelp_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<int>("helpContext");
    auto row = [](const char* menu, const char* item, const char* caption, QKeySequence keys, int help = 0) {
        QTest::newRow(item) << QString(menu) << QString(item) << QString(caption) << keys << help;
    };
    row("File1", "Players1", "&Players", QKeySequence("Ctrl+P"));
    row("File1", "Courts1", "&Courts", QKeySequence("Ctrl+C"));
    row("File1", "Groups1", "&Groups", QKeySequence("Ctrl+G"));
    row("File1", "Leagues1", "&Leagues", QKeySequence("Ctrl+L"));
    row("File1", "OpenClubDatabase1", "Open Club &Database...", QKeySequence());
    row("File1", "LabelSetup1", "La&bel Setup", QKeySequence());
    row("File1", "FooterSetup1", "&Footer Setup", QKeySequence(), 62);
    row("File1", "Exit1", "&Exit", QKeySequence("Ctrl+E"), 17);
    row("Action1", "AddNew1", "Add &New", QKeySequence("F2"));
    row("Action1", "Save1", "&Save", QKeySequence("F3"));
    row("Action1", "Cancel1", "&Cancel", QKeySequence("F4"));
    row("Action1", "Delete1", "&Delete", QKeySequence("F5"));
    row("Action1", "Open1", "&Open", QKeySequence("F6"));
    row("Action1", "TimeOff1", "&Time Off", QKeySequence("F7"));
    row("Action1", "Schedule1", "Sc&hedule", QKeySequence("F8"));
    row("Action1", "EditSchedule1", "&Edit Schedule", QKeySequence("Ctrl+F8"));
    row("Action1", "Print2", "&Print", QKeySequence("F9"), 66);
    row("Action1", "Season1", "Se&ason...", QKeySequence("Ctrl+F9"), 63);
    row("Action1", "Fairness1", "&Fairness Report...", QKeySequence(), 64);
    row("ExportSchedule1", "ExportCsv1", "As &Spreadsheet (CSV)...", QKeySequence(), 65);
    row("Action1", "CloseWindow1", "Close &Window", QKeySequence("F10"));
    row("Window1", "Arrange1", "&Arrange", QKeySequence());
    row("Window1", "Cascade1", "&Cascade", QKeySequence());
    row("Window1", "Tile1", "&Tile", QKeySequence());
    row("Help1", "Contents1", "&Open", QKeySequence("F1"));
    row("Help1", "HowTo1", "&How To", QKeySequence());
    row("Help1", "QuickReference1", "&Quick Reference", QKeySequence());
    row("Help1", "About1", "&About", QKeySequence());
}

void TestFrame::menusCarryTheirCaptionsShortcutsAndHelp()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(int, helpContext);
    auto* owner = fx->frame->findChild<QMenu*>(menu);
    QVERIFY(owner);
    QAction* found = nullptr;
    for (QAction* a : owner->actions())
        if (a->objectName() == item)
            found = a;
    QVERIFY2(found, qPrintable(item + " not in " + menu));
    QCOMPARE(found->text(), caption);
    QCOMPARE(found->shortcut(), shortcut);
    QCOMPARE(found->property("helpContext").toInt(), helpContext);
}

void TestFrame::menuBarOrder()
{
    QStringList titles, separatorsAfter;
    for (QAction* a : fx->frame->menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&Action", "&Window", "&Help"}));

    // Separators fall where the groups of commands end.
    auto layout = [&](const char* menu) {
        QStringList items;
        for (QAction* a : fx->frame->findChild<QMenu*>(menu)->actions())
            items << (a->isSeparator() ? QString("-") : a->objectName());
        return items;
    };
    QCOMPARE(layout("File1"), (QStringList{"Players1", "Courts1", "Groups1", "Leagues1", "-", "OpenClubDatabase1", "-",
                                           "LabelSetup1", "FooterSetup1", "-", "PublishSeason1", "-", "Exit1"}));
    QCOMPARE(layout("Action1"),
             (QStringList{"AddNew1", "Save1", "Cancel1", "Delete1", "-", "Open1", "TimeOff1", "Schedule1",
                          "EditSchedule1", "Print2", "Season1", "ExportSchedule1", "Fairness1", "-", "CloseWindow1"}));
    QCOMPARE(layout("Help1"), (QStringList{"Contents1", "HowTo1", "QuickReference1", "-", "About1"}));
}

void TestFrame::leftToolBarButtons()
{
    showActive();
    auto* tbmain = fx->frame->findChild<QToolBar*>("tbmain");
    QCOMPARE(fx->frame->toolBarArea(tbmain), Qt::LeftToolBarArea);
    QCOMPARE(tbmain->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    // Tool buttons show their caption without the mnemonic marker.
    const QList<std::tuple<QString, QString, QString>> expected = {
        {"tbnpalyers", "&Players", "Open player list."}, {"tbcourts", "&Courts", "Open court list"},
        {"tbgroups", "&Groups", "Open group list"},      {"tbleagues", "&Leagues", "Open League list"},
        {"tbexit", "&Exit", "Shut down the program"},
    };
    int previousTop = -1;
    for (const auto& [name, caption, hint] : expected) {
        auto* button = tbmain->findChild<QToolButton*>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->width(), 92);
        QCOMPARE(button->defaultAction()->text(), caption);
        QCOMPARE(button->text(), QString(caption).remove('&'));
        QCOMPARE(button->toolTip(), hint);
        QVERIFY(!button->icon().isNull());
        QVERIFY(button->y() > previousTop);   // top to bottom, in this order
        previousTop = button->y();
    }
}

void TestFrame::actionToolBarButtonsAndGaps()
{
    showActive();
    auto* tbaction = fx->frame->findChild<QToolBar*>("tbaction");
    QCOMPARE(fx->frame->toolBarArea(tbaction), Qt::TopToolBarArea);
    const QList<std::pair<QString, QString>> expected = {
        {"tbnew", "F2 - Add New"},
        {"tbsave", "F3=Save"},
        {"tbcancel", "F4=Cancel"},
        {"tbdelete", "F5=Delete"},
        {"tbopen", "F6=Open"},
        {"tbtimeoff", "F7=Time Off"},
        {"tbschedule", "F8=Generate Schedule"},
        {"tbprnt", "F9=Print"},
        {"tbseason", "Ctrl+F9=Season: substitutes, swaps, re-plan, results"},
        {"tbclose", "F10=Close Window"},
    };
    QVector<QToolButton*> buttons;
    for (const auto& [name, hint] : expected) {
        auto* button = tbaction->findChild<QToolButton*>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->size(), QSize(25, 25));
        QCOMPARE(button->toolTip(), hint);
        QVERIFY(!button->icon().isNull());
        buttons << button;
    }
    // The bar's widgets in order: 89 px gap, four buttons, 8 px gap, four, 8 px gap, one.
    QStringList order;
    for (QAction* a : tbaction->actions()) {
        QWidget* w = tbaction->widgetForAction(a);
        order << (qobject_cast<QToolButton*>(w) ? w->objectName() : QString("gap%1").arg(w->width()));
    }
    QCOMPARE(order, (QStringList{"gap89", "tbnew", "tbsave", "tbcancel", "tbdelete", "gap8", "tbopen", "tbtimeoff",
                                 "tbschedule", "tbprnt", "tbseason", "gap8", "tbclose"}));
    QVERIFY(buttons[0]->x() >= 89);
}

void TestFrame::footerSetupCancelKeepsTheText()
{
    setFooterText("Riverside Tennis Club");
    QString shownTitle, shownPrompt, shownValue;
    whenModal<QInputDialog>([&](QInputDialog* box) {
        shownTitle = box->windowTitle();
        shownPrompt = box->labelText();
        shownValue = box->textValue();
        box->setTextValue("something else");
        box->reject();
    });
    action("FooterSetup1")->trigger();
    QCOMPARE(shownTitle, QString("Footer Setup"));
    QCOMPARE(shownPrompt, QString("Enter the text of the footer:"));
    QCOMPARE(shownValue, QString("Riverside Tennis Club"));
    QCOMPARE(footerText(), QString("Riverside Tennis Club"));
}

void TestFrame::footerSetupStoresNewTextCutTo51()
{
    QCOMPARE(footerText(), QString());   // nothing before the first setup
    const QString longText = QString("Call the desk at 555-0100 to cancel a booking. ").repeated(2);
    int maxLength = 0;
    whenModal<QInputDialog>([&](QInputDialog* box) {
        auto* edit = box->findChild<QLineEdit*>();
        maxLength = edit->maxLength();
        edit->clear();
        edit->insert(longText);   // what a paste does
        box->accept();
    });
    action("FooterSetup1")->trigger();
    QCOMPARE(maxLength, 51);
    QCOMPARE(footerText(), longText.left(51));

    // A new text replaces it and survives into another settings object.
    whenModal<QInputDialog>([](QInputDialog* box) {
        box->setTextValue("Spring season");
        box->accept();
    });
    action("FooterSetup1")->trigger();
    QCOMPARE(QSettings().value("Footer/Text").toString(), QString("Spring season"));
}

void TestFrame::footerReadBackIsCut()
{
    QSettings().setValue("Footer/Text", QString(80, 'x'));
    QCOMPARE(footerText().size(), 51);
    setFooterText(QString(60, 'y'));
    QCOMPARE(QSettings().value("Footer/Text").toString(), QString(51, 'y'));
}

void TestFrame::aboutBoxClosesByItselfOnlyWhenTimed()
{
    QPointer<TAboutBox> seen;
    bool appeared = false;
    QString product, version, button;
    bool frameless = false, onTop = false, wasDefault = false;
    QElapsedTimer clock;
    whenModal<TAboutBox>([&](TAboutBox* box) {
        seen = box;
        appeared = true;
        product = box->findChild<QLabel*>("ProductName")->text();
        version = box->findChild<QLabel*>("Version")->text();
        button = box->continueButton()->text();
        wasDefault = box->continueButton()->isDefault();
        frameless = box->windowFlags() & Qt::FramelessWindowHint;
        onTop = box->windowFlags() & Qt::WindowStaysOnTopHint;
    });
    fx->frame->setStartupSplash(150);
    fx->frame->show();
    clock.start();
    // The splash comes up by itself and goes by itself.
    QTRY_VERIFY(appeared);
    QTRY_VERIFY_WITH_TIMEOUT(!seen, 5000);
    QVERIFY(clock.elapsed() >= 100);
    QCOMPARE(product, QString("Vantrel"));
    QCOMPARE(version, QString("Release  2.0.1 December 23, 1998"));
    QCOMPARE(button, QString("&Continue"));
    QVERIFY(wasDefault && frameless && onTop);

    // Later starts of the same release go straight to work; an update greets again.
    auto splashOnRestart = [&] {
        fx->restart();
        fx->frame->setStartupSplash(150);
        bool shown = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout,
                [&] { shown |= bool(qobject_cast<TAboutBox*>(QApplication::activeModalWidget())); });
        watch.start(10);
        fx->frame->show();
        QTest::qWait(500);
        return shown;
    };
    QVERIFY(!splashOnRestart());
    QSettings().setValue("Splash/LastReleaseGreeted", "0.9");
    QVERIFY(splashOnRestart());

    // From the Help menu it has no timer: it waits for Continue.
    bool stillOpen = false;
    whenModal<TAboutBox>([&](TAboutBox* box) {
        QVERIFY(!box->autoCloseEnabled());
        QTimer::singleShot(400, box, [&stillOpen, box] {
            stillOpen = box->isVisible();
            QTest::mouseClick(box->continueButton(), Qt::LeftButton);
        });
    });
    action("About1")->trigger();
    QVERIFY(stillOpen);
}

void TestFrame::aboutBoxClosesOnPictureClick()
{
    TAboutBox box;
    QCOMPARE(helpContextOf(&box), 2);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.picture()->size(), box.size());   // the picture fills the box
    QTest::mouseClick(box.picture(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

void TestFrame::windowMenuListsAndActivatesChildWindows()
{
    showActive();
    fx->frame->registerChildWindow(Tfrmmain::PlayerList,
                                   [](QWidget*) { return new FakeChild(ChildWindow::PlayerList, "Player List"); });
    fx->frame->registerChildWindow(Tfrmmain::GroupList,
                                   [](QWidget*) { return new FakeChild(ChildWindow::GroupList, "Group List"); });
    QWidget* first = fx->frame->openChildWindow(Tfrmmain::PlayerList);
    QWidget* second = fx->frame->openChildWindow(Tfrmmain::PlayerList);
    fx->frame->openChildWindow(Tfrmmain::GroupList);

    auto* menu = fx->frame->findChild<QMenu*>("Window1");
    emit menu->aboutToShow();
    QStringList listed;
    QList<QAction*> entries;
    bool pastSeparator = false;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            QVERIFY(a->isVisible());
            pastSeparator = true;
        } else if (pastSeparator) {
            listed << a->text() + (a->isChecked() ? "*" : "");
            entries << a;
        }
    }
    QCOMPARE(listed, (QStringList{"&1 Player List", "&2 Player List", "&3 Group List*"}));
    QCOMPARE(fx->frame->windowMenuTitles(), (QStringList{"Player List", "Player List", "Group List*"}));

    entries[0]->trigger();
    QCOMPARE(fx->frame->activeChildWidget(), first);
    emit menu->aboutToShow();   // rebuilt each time: the mark follows
    QCOMPARE(fx->frame->windowMenuTitles().first(), QString("Player List*"));

    // A closed window leaves the list.
    second->parentWidget()->close();
    QTRY_COMPARE(fx->frame->childWindows().size(), 2);
    emit menu->aboutToShow();
    int listedCount = 0;
    for (QAction* a : menu->actions())
        listedCount += a->text().startsWith('&') && a->isCheckable();
    QCOMPARE(listedCount, 2);
}

void TestFrame::tileStacksWindowsAndDoesNothingWithoutWindows()
{
    showActive();
    action("Tile1")->trigger();
    action("Cascade1")->trigger();
    action("Arrange1")->trigger();
    QVERIFY(fx->frame->childWindows().isEmpty());

    fx->frame->addChildWindow(new FakeChild(ChildWindow::PlayerList, "Player List"));
    fx->frame->addChildWindow(new FakeChild(ChildWindow::CourtList, "Court List"));
    action("Tile1")->trigger();
    const QVector<QMdiSubWindow*> windows = fx->frame->childWindows();
    const QRect area = fx->frame->mdiArea()->viewport()->rect();
    QCOMPARE(windows[0]->geometry().width(), area.width());
    QCOMPARE(windows[1]->geometry().width(), area.width());
    QVERIFY(windows[1]->geometry().top() > windows[0]->geometry().top());
    QCOMPARE(windows[0]->geometry().height() + windows[1]->geometry().height(), area.height());
    // The window that was active stays active.
    QCOMPARE(fx->frame->activeChildWidget()->windowTitle(), QString("Court List"));

    windows[0]->showMinimized();
    windows[1]->showMinimized();
    action("Arrange1")->trigger();
    QCOMPARE(windows[0]->geometry().bottom(), area.bottom());
    QCOMPARE(windows[1]->geometry().bottom(), area.bottom());
    QVERIFY(windows[1]->x() > windows[0]->x());
}

void TestFrame::helpOpensContentsTopicsAndMissingNotice()
{
    showActive();
    fx->frame->addChildWindow(new FakeChild(ChildWindow::GroupEditor, "New Group"));
    QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : fx->frame.get(),
                       QKeySequence(Qt::Key_F1));
    THelpBrowser& help = fx->frame->helpWindow();
    QVERIFY(help.isVisible());
    QCOMPARE(help.browser()->source().toString(), QString("qrc:/help/contents.html"));
    QCOMPARE(fx->beeps, 0);   // F1 is the frame's own, whatever window is active

    action("HowTo1")->trigger();
    QCOMPARE(help.currentTopic(), 3);
    QVERIFY(help.browser()->toPlainText().contains("Step by step"));
    action("QuickReference1")->trigger();
    QCOMPARE(help.currentTopic(), 18);

    // Dialogs reach help through the data module.
    fx->dm->showHelp(49);
    QCOMPARE(help.currentTopic(), 49);
    QVERIFY(help.browser()->toPlainText().contains("Group Days Off"));

    fx->dm->showHelp(999);
    QCOMPARE(help.currentTopic(), 0);
    QVERIFY(help.browser()->toPlainText().contains("There is no help topic number 999"));
    QVERIFY(help.browser()->toPlainText().contains("Player List"));   // the contents follow

    // Links between topics work inside the browser.
    help.showTopic(24);
    help.browser()->setSource(QUrl("topic13.html"));
    QVERIFY(help.browser()->toPlainText().contains("Suggestions"));
}

void TestFrame::everyHelpContextInUseHasATopic()
{
    const QList<int> used = {2,  3,  11, 13, 17, 18, 20, 23, 24, 25, 37, 38, 42, 43, 44, 48,
                             49, 50, 51, 52, 53, 55, 60, 61, 62, 63, 64, 65, 66, 67, 68};
    THelpBrowser help;
    for (int context : used) {
        QVERIFY2(HelpTopics::hasTopic(context), qPrintable(QString::number(context)));
        help.showTopic(context);
        QCOMPARE(help.currentTopic(), context);
        QVERIFY2(help.browser()->toPlainText().size() > 150, qPrintable(QString::number(context)));
    }
    // The contents links every topic.
    QFile contents(HelpTopics::contentsPath());
    QVERIFY(contents.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(contents.readAll());
    for (int context : used)
        QVERIFY2(page.contains(QString("topic%1.html").arg(context)), qPrintable(QString::number(context)));
}

void TestFrame::helpFromAModalDialogStaysUsable()
{
    showActive();
    int shownTopic = -1;
    bool helpUsable = false;
    whenModal<QDialog>([&](QDialog* dialog) {
        fx->dm->showHelp(11);   // what a dialog's Help button does
        auto* help = dialog->findChild<THelpBrowser*>();
        if (help) {
            shownTopic = help->currentTopic();
            // The help window is the modal one now, so it takes input.
            helpUsable = QApplication::activeModalWidget() == help;
            help->close();
        }
        dialog->reject();
    });
    QDialog days(fx->frame.get());
    days.exec();
    QCOMPARE(shownTopic, 11);
    QVERIFY(helpUsable);
}

void TestFrame::f1OnAMenuItemShowsItsTopic()
{
    showActive();
    auto* file = fx->frame->findChild<QMenu*>("File1");
    file->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    file->setActiveAction(action("FooterSetup1"));
    QTest::keyClick(file, Qt::Key_F1);
    QCOMPARE(fx->frame->helpWindow().currentTopic(), 62);
    QVERIFY(!file->isVisible());
}

void TestFrame::closingDuringARunWaitsForItsEnd()
{
    showActive();
    fx->frame->registerChildWindow(Tfrmmain::PlayerList,
                                   [](QWidget*) { return new FakeChild(ChildWindow::PlayerList, "Player List"); });
    fx->frame->openChildWindow(Tfrmmain::PlayerList);
    {
        RunInProgress run;
        QVERIFY(!fx->frame->close());
        QVERIFY(runState().stopRequest);
        QCOMPARE(fx->frame->childWindows().size(), 1);   // the run's window stays with it
        QVERIFY(fx->frame->isVisible());
    }
    // The run has ended: the close the user asked for goes ahead by itself.
    QTRY_VERIFY(!fx->frame->isVisible());
    QCOMPARE(fx->frame->childWindows().size(), 0);
    runState().stopRequest = false;
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"

void TestFrame::openClubDatabaseAsksForTheServer()
{
    showActive();
    QStringList opened;
    fx->frame->setDatabaseOpener([&](const QString& uri) { opened << uri; });
    auto type = [](const QString& text) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    };
    whenModal<ClubDatabaseDialog>([&](ClubDatabaseDialog* box) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::AltModifier);
        for (const char* text : {"db.club.example", "5433", "tennis club", "organiser"})
            type(text);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::keyClick(fx->frame.get(), Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_D);
    QTRY_COMPARE(opened, QStringList{"postgresql://organiser@db.club.example:5433/tennis%20club"});

    // The server last opened comes back, and Cancel opens nothing.
    const QString socket("postgresql://organiser@/club?host=%2Frun%2Fpostgresql&port=5432");
    QSettings().setValue("Aliases/VANTREL32", socket);
    ServerAddress shown;
    whenModal<ClubDatabaseDialog>([&](ClubDatabaseDialog* box) {
        shown = box->address();
        box->reject();
    });
    action("OpenClubDatabase1")->trigger();
    QCOMPARE(shown.uri(), socket);
    QCOMPARE(opened.size(), 1);
}

void TestFrame::switchingDatabasesClosesTheWindowsFirst()
{
    showActive();
    QTemporaryDir other;
    fx->frame->openChildWindow(Tfrmmain::PlayerList);
    QVERIFY(switchDatabase(*fx->frame, fx->dm, other.path()));
    QVERIFY(fx->frame->childWindows().isEmpty());
    QCOMPARE(Tdmglobal::instance().database().path(), Database::fileName(other.path()));
    QCOMPARE(fx->frame->windowTitle(), "Vantrel - " + Database::fileName(other.path()));
    QCOMPARE(QSettings().value("Aliases/VANTREL32").toString(), other.path());

    // One that cannot be opened is told, and the open one stays.
    QStringList errors;
    setErrorBoxHandler([&](const QString& m) { errors << m; });
    QTemporaryDir foreign;
    QFile junk(Database::fileName(foreign.path()));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a database at all") > 0);
    junk.close();
    QVERIFY(!switchDatabase(*fx->frame, fx->dm, foreign.path()));
    setErrorBoxHandler({});
    QCOMPARE(errors.size(), 1);
    QCOMPARE(Tdmglobal::instance().database().path(), Database::fileName(other.path()));
}
