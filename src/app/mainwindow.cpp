#include "mainwindow.h"
#include "about.h"
#include "clubdatabasedialog.h"
#include "data/datamodule.h"
#include "footersetup.h"
#include "groupoutputmenu.h"
#include "help.h"
#include "icons.h"
#include "mdilayout.h"
#include "engine/runstate.h"
#include "windows/childwindow.h"
#include "windows/dbgrid.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {
constexpr int MainButtonWidth = 92;
constexpr int ActionButtonSize = 25;
constexpr int ActionLeadingGap = 89;
constexpr int ActionGroupGap = 8;
constexpr int StatePanelWidth = 69;
const char* const HelpContextProperty = "helpContext";
}   // namespace

Tfrmmain::Tfrmmain(QWidget* parent)
    : QMainWindow(parent), router(CommandRouter::Services{[this] { return activeChild(); },
                                                          [this] {
                                                              if (QMdiSubWindow* sub = currentChildWindow())
                                                                  sub->close();
                                                          },
                                                          [this] { beep(); },
                                                          {},
                                                          {}}),
      beepSound([] { QApplication::beep(); })
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Vantrel"));
    setHelpContext(this, HelpContext::QuickReference);
    // The tool bars are fixed; a context menu to hide them would lose commands.
    setContextMenuPolicy(Qt::NoContextMenu);

    clientArea = new QMdiArea(this);
    clientArea->setObjectName(QStringLiteral("clientarea"));
    clientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    clientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(clientArea);
    connect(clientArea, &QMdiArea::subWindowActivated, this, &Tfrmmain::childWindowActivated);

    createMenus();
    createToolBars();
    createStatusBar();
    new HelpKey(this, [this](int context) { runGuarded([&] { showHelp(context); }); });
}

Tfrmmain::~Tfrmmain()
{
    // Closing windows must not reach back into a frame on its way out.
    disconnect(clientArea, nullptr, this, nullptr);
    for (QMdiSubWindow* sub : clientArea->findChildren<QMdiSubWindow*>()) {
        disconnect(sub, nullptr, this, nullptr);
        sub->removeEventFilter(this);
    }
    // The child windows go while the frame is still whole: what their
    // tables announce on the way out reaches a status bar that still exists.
    qDeleteAll(clientArea->subWindowList());
}

// ---------------------------------------------------------------- components

QAction* Tfrmmain::menuAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                              std::function<void()> handler, int helpContext)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (helpContext)
        action->setProperty(HelpContextProperty, helpContext);
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] { runGuarded(handler); });
    return action;
}

QAction* Tfrmmain::toolAction(const char* name, const QString& caption, const QString& hint, const QIcon& icon,
                              std::function<void()> handler)
{
    auto* action = new QAction(icon, caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] { runGuarded(handler); });
    return action;
}

void Tfrmmain::addGap(QToolBar* bar, int width)
{
    auto* gap = new QWidget(bar);
    gap->setFixedSize(width, 1);
    bar->addWidget(gap);
}

void Tfrmmain::createMenus()
{
    QMenuBar* maimenu = menuBar();
    maimenu->setObjectName(QStringLiteral("maimenu"));
    auto open = [this](int choice) { return [this, choice] { openChildWindow(choice); }; };
    auto command = [this](int code) { return [this, code] { router.route(code); }; };

    QMenu* file = maimenu->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    menuAction(file, "Players1", QStringLiteral("&Players"), QKeySequence(Qt::CTRL | Qt::Key_P), open(PlayerList));
    menuAction(file, "Courts1", QStringLiteral("&Courts"), QKeySequence(Qt::CTRL | Qt::Key_C), open(CourtList));
    menuAction(file, "Groups1", QStringLiteral("&Groups"), QKeySequence(Qt::CTRL | Qt::Key_G), open(GroupList));
    menuAction(file, "Leagues1", QStringLiteral("&Leagues"), QKeySequence(Qt::CTRL | Qt::Key_L), open(LeagueList));
    file->addSeparator();
    menuAction(file, "OpenClubDatabase1", QStringLiteral("Open Club &Database..."), {}, [this] { openClubDatabase(); });
    file->addSeparator();
    menuAction(file, "LabelSetup1", QStringLiteral("La&bel Setup"), {}, command(CmdLabelSetup));
    menuAction(
        file, "FooterSetup1", QStringLiteral("&Footer Setup"), {}, [this] { runFooterSetup(this); },
        HelpContext::FooterSetup);
    file->addSeparator();
    addPublishItem(*this, file);
    file->addSeparator();
    menuAction(
        file, "Exit1", QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_E), [this] { close(); },
        HelpContext::Exit);

    QMenu* action = maimenu->addMenu(QStringLiteral("&Action"));
    action->setObjectName(QStringLiteral("Action1"));
    menuAction(action, "AddNew1", QStringLiteral("Add &New"), QKeySequence(Qt::Key_F2), command(CmdAddNew));
    menuAction(action, "Save1", QStringLiteral("&Save"), QKeySequence(Qt::Key_F3), command(CmdSave));
    menuAction(action, "Cancel1", QStringLiteral("&Cancel"), QKeySequence(Qt::Key_F4), command(CmdCancel));
    menuAction(action, "Delete1", QStringLiteral("&Delete"), QKeySequence(Qt::Key_F5), command(CmdDelete));
    action->addSeparator();
    menuAction(action, "Open1", QStringLiteral("&Open"), QKeySequence(Qt::Key_F6), command(CmdOpen));
    menuAction(action, "TimeOff1", QStringLiteral("&Time Off"), QKeySequence(Qt::Key_F7), command(CmdTimeOff));
    menuAction(action, "Schedule1", QStringLiteral("Sc&hedule"), QKeySequence(Qt::Key_F8), command(CmdSchedule));
    // Kept out of reach: the schedule view is reached from the group editor only.
    QAction* editSchedule = menuAction(action, "EditSchedule1", QStringLiteral("&Edit Schedule"),
                                       QKeySequence(Qt::CTRL | Qt::Key_F8), command(CmdEditSchedule));
    editSchedule->setVisible(false);
    editSchedule->setEnabled(false);
    menuAction(action, "Print2", QStringLiteral("&Print"), QKeySequence(Qt::Key_F9), command(CmdPrint),
               HelpContext::PrintPreview);
    menuAction(action, "Season1", QStringLiteral("Se&ason..."), QKeySequence(Qt::CTRL | Qt::Key_F9), command(CmdSeason),
               HelpContext::SeasonWindow);
    addGroupOutputItems(*this, action);
    QMenu* exports = action->findChild<QMenu*>(QStringLiteral("ExportSchedule1"));
    QList<QAction*> exportItems = exports->actions();
    exportItems.append(exports->menuAction());
    for (QAction* item : exportItems)
        item->setProperty(HelpContextProperty, HelpContext::Exports);
    if (QAction* fairness = action->findChild<QAction*>(QStringLiteral("Fairness1")))
        fairness->setProperty(HelpContextProperty, HelpContext::FairnessReport);
    action->addSeparator();
    menuAction(action, "CloseWindow1", QStringLiteral("Close &Window"), QKeySequence(Qt::Key_F10),
               command(CmdCloseWindow));

    windowMenu = maimenu->addMenu(QStringLiteral("&Window"));
    windowMenu->setObjectName(QStringLiteral("Window1"));
    menuAction(windowMenu, "Arrange1", QStringLiteral("&Arrange"), {}, [this] { arrangeIcons(); });
    menuAction(windowMenu, "Cascade1", QStringLiteral("&Cascade"), {}, [this] { cascadeChildWindows(); });
    menuAction(windowMenu, "Tile1", QStringLiteral("&Tile"), {}, [this] { tileChildWindows(); });
    windowListSeparator = windowMenu->addSeparator();
    windowListSeparator->setVisible(false);
    connect(windowMenu, &QMenu::aboutToShow, this, &Tfrmmain::rebuildWindowMenu);

    QMenu* helpMenu = maimenu->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("Help1"));
    menuAction(helpMenu, "Contents1", QStringLiteral("&Open"), QKeySequence(Qt::Key_F1),
               [this] { showHelp(HelpContext::Contents); });
    menuAction(helpMenu, "HowTo1", QStringLiteral("&How To"), {}, [this] { showHelp(HelpContext::SettingUpAGroup); });
    menuAction(helpMenu, "QuickReference1", QStringLiteral("&Quick Reference"), {},
               [this] { showHelp(HelpContext::QuickReference); });
    helpMenu->addSeparator();
    menuAction(helpMenu, "About1", QStringLiteral("&About"), {}, [this] { showAbout(); });

    // F1 on a highlighted menu item opens that item's topic, if it has one.
    for (QMenu* menu : {file, action, exports, windowMenu, helpMenu})
        menu->installEventFilter(this);
}

void Tfrmmain::createToolBars()
{
    tbaction = new QToolBar(QStringLiteral("Actions"), this);
    tbaction->setObjectName(QStringLiteral("tbaction"));
    tbaction->setMovable(false);
    tbaction->setFloatable(false);
    tbaction->setIconSize(QSize(18, 18));
    tbaction->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, tbaction);

    QStyle* st = style();
    auto command = [this](int code) { return [this, code] { router.route(code); }; };
    struct ActionButton {
        const char* name;
        QString hint;
        QIcon icon;
        int code;
    };
    const QVector<QVector<ActionButton>> groups = {
        {{"tbnew", QStringLiteral("F2 - Add New"), Icons::addNew(), CmdAddNew},
         {"tbsave", QStringLiteral("F3=Save"), st->standardIcon(QStyle::SP_DialogSaveButton), CmdSave},
         {"tbcancel", QStringLiteral("F4=Cancel"), st->standardIcon(QStyle::SP_DialogCancelButton), CmdCancel},
         {"tbdelete", QStringLiteral("F5=Delete"), st->standardIcon(QStyle::SP_TrashIcon), CmdDelete}},
        {{"tbopen", QStringLiteral("F6=Open"), st->standardIcon(QStyle::SP_DialogOpenButton), CmdOpen},
         {"tbtimeoff", QStringLiteral("F7=Time Off"), Icons::timeOff(), CmdTimeOff},
         {"tbschedule", QStringLiteral("F8=Generate Schedule"), Icons::schedule(), CmdSchedule},
         {"tbprnt", QStringLiteral("F9=Print"), Icons::print(), CmdPrint},
         {"tbseason", QStringLiteral("Ctrl+F9=Season: substitutes, swaps, re-plan, results"), Icons::season(),
          CmdSeason}},
        {{"tbclose", QStringLiteral("F10=Close Window"), st->standardIcon(QStyle::SP_TitleBarCloseButton),
          CmdCloseWindow}},
    };
    addGap(tbaction, ActionLeadingGap);
    for (int g = 0; g < groups.size(); ++g) {
        if (g > 0)
            addGap(tbaction, ActionGroupGap);
        for (const ActionButton& b : groups[g]) {
            QAction* action = toolAction(b.name, QString(), b.hint, b.icon, command(b.code));
            tbaction->addAction(action);
            QWidget* button = tbaction->widgetForAction(action);
            button->setObjectName(action->objectName());
            button->setFixedSize(ActionButtonSize, ActionButtonSize);
        }
    }

    tbmain = new QToolBar(QStringLiteral("Lists"), this);
    tbmain->setObjectName(QStringLiteral("tbmain"));
    tbmain->setMovable(false);
    tbmain->setFloatable(false);
    tbmain->setOrientation(Qt::Vertical);
    tbmain->setIconSize(QSize(32, 32));
    tbmain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::LeftToolBarArea, tbmain);

    auto open = [this](int choice) { return [this, choice] { openChildWindow(choice); }; };
    struct MainButton {
        const char* name;
        QString caption, hint;
        QIcon icon;
        std::function<void()> handler;
    };
    const QVector<MainButton> buttons = {
        {"tbnpalyers", QStringLiteral("&Players"), QStringLiteral("Open player list."), Icons::players(),
         open(PlayerList)},
        {"tbcourts", QStringLiteral("&Courts"), QStringLiteral("Open court list"), Icons::courts(), open(CourtList)},
        {"tbgroups", QStringLiteral("&Groups"), QStringLiteral("Open group list"), Icons::groups(), open(GroupList)},
        {"tbleagues", QStringLiteral("&Leagues"), QStringLiteral("Open League list"), Icons::leagues(),
         open(LeagueList)},
        {"tbexit", QStringLiteral("&Exit"), QStringLiteral("Shut down the program"), Icons::exit(),
         [this] { close(); }},
    };
    for (const MainButton& b : buttons) {
        QAction* action = toolAction(b.name, b.caption, b.hint, b.icon, b.handler);
        tbmain->addAction(action);
        QWidget* button = tbmain->widgetForAction(action);
        button->setObjectName(action->objectName());
        button->setFixedWidth(MainButtonWidth);
    }
}

void Tfrmmain::createStatusBar()
{
    QStatusBar* sbmain = statusBar();
    sbmain->setObjectName(QStringLiteral("sbmain"));
    sbmain->setSizeGripEnabled(false);
    QFont small = sbmain->font();
    small.setStyleHint(QFont::SansSerif);
    small.setPointSize(8);
    sbmain->setFont(small);
    for (int i = 0; i < 2; ++i) {
        panels[i] = new QLabel(sbmain);
        panels[i]->setObjectName(QStringLiteral("panel%1").arg(i));
        panels[i]->setFrameShape(QFrame::Panel);
        panels[i]->setFrameShadow(QFrame::Sunken);
        panels[i]->setFont(small);
    }
    panels[0]->setFixedWidth(StatePanelWidth);
    // Permanent widgets are never covered by transient status messages.
    sbmain->addPermanentWidget(panels[0], 0);
    sbmain->addPermanentWidget(panels[1], 1);
}

// ---------------------------------------------------------------- child windows

void Tfrmmain::registerChildWindow(int listChoice, ChildWindowFactory create, ChildWindowLoader load)
{
    factories.insert(listChoice, Registration{std::move(create), std::move(load)});
}

QWidget* Tfrmmain::openChildWindow(int listChoice)
{
    const auto found = factories.constFind(listChoice);
    if (found == factories.constEnd() || !found->create)
        return nullptr;
    const Registration registration = *found;

    QWidget* window = registration.create(clientArea);
    if (!window)
        return nullptr;
    QPointer<QMdiSubWindow> sub = addChildWindow(window);
    if (!registration.load)
        return window;

    // Drawn first, so that the user sees the window while its tables open.
    window->repaint();
    QCoreApplication::processEvents();
    if (!sub)
        return nullptr;
    try {
        registration.load(window);
    } catch (...) {
        // A window whose data did not load is not left half-open.
        if (sub) {
            sub->hide();
            sub->deleteLater();
        }
        throw;
    }
    return window;
}

QMdiSubWindow* Tfrmmain::addChildWindow(QWidget* window)
{
    QMdiSubWindow* cameFrom = currentChildWindow();
    returnTo = nullptr;   // a window opened meanwhile takes the place
    QMdiSubWindow* sub = clientArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(window->windowIcon());
    // Arranged windows keep room for their fields instead of shrinking to strips.
    sub->setMinimumSize(childMinimumSize(sub));
    openedFrom.insert(sub, cameFrom);
    sub->installEventFilter(this);
    connect(sub, &QObject::destroyed, this, [this, sub] {
        openedFrom.remove(sub);
        // Deleting a window leaves the state of its datasets behind.
        QTimer::singleShot(0, this, [this] { showActiveDatasetState(); });
    });
    sub->showMaximized();
    clientArea->setActiveSubWindow(sub);
    focusChildWindow(sub);
    return sub;
}

QSize Tfrmmain::childMinimumSize(QMdiSubWindow* sub) const
{
    constexpr int SmallestWidth = 360, SmallestHeight = 240;
    return sub->minimumSizeHint().expandedTo(QSize(SmallestWidth, SmallestHeight));
}

void Tfrmmain::finishReturn()
{
    if (!returnTo)
        return;
    const QPointer<QMdiSubWindow> back = returnTo;
    returnTo = nullptr;
    if (!closingWindow || !closingWindow->isVisible())
        clientArea->setActiveSubWindow(back);
}

void Tfrmmain::childWindowActivated(QMdiSubWindow* sub)
{
    if (returnTo && (!closingWindow || !closingWindow->isVisible())) {
        finishReturn();
        return;
    }
    showActiveDatasetState();
    if (sub)
        focusChildWindow(sub);
}

// The keyboard goes to the window's grid or field, not to the window, so
// that Enter and F2 act at once.
void Tfrmmain::focusChildWindow(QMdiSubWindow* sub)
{
    QWidget* window = sub ? sub->widget() : nullptr;
    if (!window || !window->isVisible())
        return;
    const QWidget* focus = QApplication::focusWidget();
    if (focus && window->isAncestorOf(focus))
        return;
    QWidget* target = window->focusWidget();
    if (!target || !target->isVisible() || !target->isEnabled()) {
        target = nullptr;
        for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
            if (window->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                target = w;
                break;
            }
    }
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

// Panel 0 tells the state of the active window's dataset; with no window, nothing.
void Tfrmmain::showActiveDatasetState()
{
    QWidget* window = activeChildWidget();
    if (!window) {
        if (clientArea->subWindowList().isEmpty())
            setStatusPanel(0, QString());
        return;
    }
    QString name;
    if (auto* child = dynamic_cast<ChildWindow*>(window))
        name = child->datasetStateName();
    if (name.isEmpty()) {
        const Table* shown = nullptr;
        for (const DbGrid* grid : window->findChildren<DbGrid*>()) {
            const Table* t = grid->table();
            if (!t)
                continue;
            if (!shown || t->state() == Table::State::Edit || t->state() == Table::State::Insert)
                shown = t;
            if (t->state() == Table::State::Edit || t->state() == Table::State::Insert)
                break;
        }
        if (shown)
            name = stateName(shown->state());
    }
    setStatusPanel(0, name);
}

QMdiSubWindow* Tfrmmain::currentChildWindow() const
{
    // currentSubWindow, unlike activeSubWindow, still answers while another
    // top-level window (a message box, the help) has the focus.
    return clientArea->currentSubWindow();
}

QWidget* Tfrmmain::activeChildWidget() const
{
    QMdiSubWindow* sub = currentChildWindow();
    return sub ? sub->widget() : nullptr;
}

ChildWindow* Tfrmmain::activeChild() const
{
    return dynamic_cast<ChildWindow*>(activeChildWidget());
}

QVector<QMdiSubWindow*> Tfrmmain::childWindows() const
{
    QVector<QMdiSubWindow*> list;
    for (QMdiSubWindow* sub : clientArea->subWindowList(QMdiArea::CreationOrder))
        list.append(sub);
    return list;
}

void Tfrmmain::routeCommand(int commandCode)
{
    runGuarded([&] { router.route(commandCode); });
}

bool Tfrmmain::closeChildWindows()
{
    // Each is shown while it asks, and the first that stays open (Cancel, or
    // a save refused) stops the closing with the others untouched.
    QList<QMdiSubWindow*> windows = clientArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(windows.begin(), windows.end());   // the active window first
    for (const QPointer<QMdiSubWindow> sub : windows) {
        if (!sub)
            continue;
        clientArea->setActiveSubWindow(sub);
        if (!sub->close())
            return false;
    }
    return clientArea->subWindowList().isEmpty();
}

void Tfrmmain::showDatabaseName(const QString& name)
{
    setWindowTitle(QStringLiteral("Vantrel - %1").arg(name));
}

void Tfrmmain::openClubDatabase()
{
    if (!databaseOpener) {
        beep();
        return;
    }
    const QString uri = askClubDatabase(this);
    if (uri.isEmpty())
        return;
    databaseOpener(uri);
    // The keys go back to the frame, also where no window manager hands them back.
    activateWindow();
}

void Tfrmmain::runGuarded(const std::function<void()>& handler)
{
    guarded(this, handler);
}

// ---------------------------------------------------------------- window menu

void Tfrmmain::arrangeIcons()
{
    QVector<QMdiSubWindow*> iconised;
    for (QMdiSubWindow* sub : childWindows())
        if (sub->isMinimized())
            iconised.append(sub);
    if (iconised.isEmpty())
        return;
    const QSize iconSize = iconised.first()->size();
    const QVector<QRect> places = iconPositions(clientArea->viewport()->rect(), iconSize, iconised.size());
    for (int i = 0; i < iconised.size(); ++i)
        iconised[i]->move(places[i].topLeft());
}

QVector<QMdiSubWindow*> Tfrmmain::shownChildWindows() const
{
    QVector<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : childWindows())
        if (!sub->isMinimized())
            shown.append(sub);
    return shown;
}

void Tfrmmain::cascadeChildWindows()
{
    const QVector<QMdiSubWindow*> shown = shownChildWindows();
    if (shown.isEmpty())
        return;
    QMdiSubWindow* active = currentChildWindow();
    QSize smallest;
    for (QMdiSubWindow* sub : shown)
        smallest = smallest.expandedTo(sub->minimumSize());
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown.first()) + 4;
    const QVector<QRect> places =
        cascadeRects(clientArea->viewport()->rect(), int(shown.size()), QSize(step, step), smallest);
    for (int i = 0; i < shown.size(); ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(places[i]);
        shown[i]->raise();
    }
    if (active)
        clientArea->setActiveSubWindow(active);
}

void Tfrmmain::tileChildWindows()
{
    const QVector<QMdiSubWindow*> shown = shownChildWindows();
    if (shown.isEmpty())
        return;
    QMdiSubWindow* active = currentChildWindow();
    int lowest = 1;
    for (QMdiSubWindow* sub : shown)
        lowest = std::max(lowest, sub->minimumHeight());
    const QVector<QRect> tiles = horizontalTiles(clientArea->viewport()->rect(), int(shown.size()), lowest);
    for (int i = 0; i < shown.size(); ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(tiles[i]);
    }
    if (active)
        clientArea->setActiveSubWindow(active);
}

QStringList Tfrmmain::windowMenuTitles() const
{
    QStringList titles;
    QMdiSubWindow* active = currentChildWindow();
    for (QMdiSubWindow* sub : childWindows()) {
        const QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        titles.append(sub == active ? title + QLatin1Char('*') : title);
    }
    return titles;
}

void Tfrmmain::rebuildWindowMenu()
{
    qDeleteAll(windowListActions);
    windowListActions.clear();
    QMdiSubWindow* active = currentChildWindow();
    const QVector<QMdiSubWindow*> windows = childWindows();
    windowListSeparator->setVisible(!windows.isEmpty());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* sub = windows[i];
        const QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        // Numbered like the window lists of other programs; the first nine get a mnemonic.
        const QString caption =
            i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : QStringLiteral("%1 %2").arg(i + 1).arg(title);
        auto* action = new QAction(caption, windowMenu);
        action->setCheckable(true);
        action->setChecked(sub == active);
        QPointer<QMdiSubWindow> target = sub;
        connect(action, &QAction::triggered, this, [this, target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            clientArea->setActiveSubWindow(target);
            focusChildWindow(target);
        });
        windowMenu->addAction(action);
        windowListActions.append(action);
    }
}

// ---------------------------------------------------------------- status bar and services

void Tfrmmain::setStatusPanel(int panel, const QString& text)
{
    if (panel >= 0 && panel < 2)
        panels[panel]->setText(text);
}

QString Tfrmmain::statusPanelText(int panel) const
{
    return panel >= 0 && panel < 2 ? panels[panel]->text() : QString();
}

void Tfrmmain::setBeep(std::function<void()> beep)
{
    beepSound = std::move(beep);
}

void Tfrmmain::beep()
{
    if (beepSound)
        beepSound();
}

void Tfrmmain::setMailingLabelCommands(std::function<void()> printLabels, std::function<void()> labelSetup)
{
    router.services().printMailingLabels = std::move(printLabels);
    router.services().labelSetup = std::move(labelSetup);
}

THelpBrowser& Tfrmmain::helpWindow()
{
    if (!help)
        help = new THelpBrowser(this);
    return *help;
}

void Tfrmmain::showHelp(int helpContext)
{
    showHelpWindow(helpWindow(), helpContext);
}

void Tfrmmain::showAbout(int autoCloseMs)
{
    TAboutBox box(this);
    if (autoCloseMs > 0)
        box.enableAutoClose(autoCloseMs);
    box.exec();
}

// ---------------------------------------------------------------- events

void Tfrmmain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    if (splashInterval > 0 && !releaseGreeted()) {
        rememberReleaseGreeted();
        // Queued, so that the frame is drawn before the splash covers it.
        const int interval = splashInterval;
        QTimer::singleShot(0, this, [this, interval] { runGuarded([&] { showAbout(interval); }); });
    }
}

void Tfrmmain::closeEvent(QCloseEvent* event)
{
    // A generation still works on an editor's datasets: the frame closes,
    // with its windows, once the run has stopped at the end of its week.
    if (!requestCloseDuringRun([self = QPointer<Tfrmmain>(this)] {
            if (self)
                self->close();
        })) {
        event->ignore();
        return;
    }
    // Child windows get the chance to refuse, to keep unsaved work.
    if (!closeChildWindows()) {
        event->ignore();
        return;
    }
    if (help)
        help->close();
    event->accept();
}

bool Tfrmmain::event(QEvent* event)
{
    // Panel 1 belongs to the data module's messages; hover tips do not write it.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

bool Tfrmmain::eventFilter(QObject* watched, QEvent* event)
{
    // A child window closing while active hands over to the one it was
    // opened from (the list an editor came from), once the area has made
    // its own choice and if the window did not refuse to close.
    if (event->type() == QEvent::Close) {
        auto* sub = qobject_cast<QMdiSubWindow*>(watched);
        const QPointer<QMdiSubWindow> back = openedFrom.value(sub);
        if (sub && back && sub == clientArea->currentSubWindow()) {
            returnTo = back;
            closingWindow = sub;
            QTimer::singleShot(0, this, [this] { finishReturn(); });
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            const QAction* item = menu->activeAction();
            const int context = item ? item->property(HelpContextProperty).toInt() : 0;
            menu->close();
            runGuarded([&] { showHelp(context); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
