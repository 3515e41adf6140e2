#pragma once
#include "commandrouter.h"
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QVector>
#include <functional>

class ChildWindow;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class THelpBrowser;

// The frame window: holds every list and editor as a child window, offers
// the menus, tool bars and function keys, and hands each command to the
// active child window through the command router.
class Tfrmmain : public QMainWindow {
    Q_OBJECT
public:
    // List choices of open child window.
    enum ListChoice { PlayerList = 1, CourtList = 2, GroupList = 3, LeagueList = 4 };

    // Creates the widget of a new child window. `load` (optional) runs once
    // the window is on screen, so that it is drawn before its tables open.
    using ChildWindowFactory = std::function<QWidget*(QWidget* parent)>;
    using ChildWindowLoader = std::function<void(QWidget* window)>;

    explicit Tfrmmain(QWidget* parent = nullptr);
    ~Tfrmmain() override;

    void registerChildWindow(int listChoice, ChildWindowFactory create, ChildWindowLoader load = {});
    bool hasChildWindow(int listChoice) const { return factories.contains(listChoice); }

    // Opens a new child window of the list choice and makes it active;
    // returns its widget, or null for a choice nobody registered.
    QWidget* openChildWindow(int listChoice);
    // Adds an already created child window (e.g. a group editor opened from a list).
    QMdiSubWindow* addChildWindow(QWidget* window);
    void routeCommand(int commandCode);
    // Closes every child window, each of which may refuse to keep unsaved
    // work; true when none is left.
    bool closeChildWindows();

    // File > Open Club Database... hands the URI chosen to this.
    void setDatabaseOpener(std::function<void(const QString& location)> open) { databaseOpener = std::move(open); }
    // The title bar names the database open: "Vantrel - club on host".
    void showDatabaseName(const QString& name);

    QMdiArea* mdiArea() const { return clientArea; }
    QWidget* activeChildWidget() const;
    QVector<QMdiSubWindow*> childWindows() const;
    QVector<QMdiSubWindow*> shownChildWindows() const;   // all but the iconised

    // --- status bar ---
    void setStatusPanel(int panel, const QString& text);
    QString statusPanelText(int panel) const;

    // --- services ---
    void setBeep(std::function<void()> beep);
    void beep();
    void setMailingLabelCommands(std::function<void()> printLabels, std::function<void()> labelSetup);
    void showHelp(int helpContext);   // 0 = contents
    THelpBrowser& helpWindow();

    // The About box as splash window, shown once the frame is first on
    // screen, on the first start of a release only; 0 (the default) shows none.
    void setStartupSplash(int intervalMs) { splashInterval = intervalMs; }
    void showAbout(int autoCloseMs = 0);

    // --- window arrangement ---
    void arrangeIcons();
    void cascadeChildWindows();
    void tileChildWindows();
    // Titles of the Window menu's list, in its order; the active one is marked with "*".
    QStringList windowMenuTitles() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void openClubDatabase();
    QAction* menuAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                        std::function<void()> handler, int helpContext = 0);
    QAction* toolAction(const char* name, const QString& caption, const QString& hint, const QIcon& icon,
                        std::function<void()> handler);
    void addGap(QToolBar* bar, int width);
    void runGuarded(const std::function<void()>& handler);
    void rebuildWindowMenu();
    void childWindowActivated(QMdiSubWindow* sub);
    void finishReturn();
    void showActiveDatasetState();
    void focusChildWindow(QMdiSubWindow* sub);
    QSize childMinimumSize(QMdiSubWindow* sub) const;
    ChildWindow* activeChild() const;
    QMdiSubWindow* currentChildWindow() const;

    struct Registration {
        ChildWindowFactory create;
        ChildWindowLoader load;
    };
    QHash<int, Registration> factories;
    // The window each child window was opened from, active again when it closes.
    QHash<QMdiSubWindow*, QPointer<QMdiSubWindow>> openedFrom;
    QPointer<QMdiSubWindow> returnTo, closingWindow;
    CommandRouter router;
    std::function<void()> beepSound;
    std::function<void(const QString&)> databaseOpener;

    QMdiArea* clientArea = nullptr;
    QToolBar* tbmain = nullptr;
    QToolBar* tbaction = nullptr;
    QMenu* windowMenu = nullptr;
    QAction* windowListSeparator = nullptr;
    QVector<QAction*> windowListActions;
    QLabel* panels[2] = {nullptr, nullptr};
    THelpBrowser* help = nullptr;
    int splashInterval = 0;
    bool shownOnce = false;
};
