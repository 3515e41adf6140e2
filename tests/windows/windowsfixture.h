#pragma once
// Shared fixture of the master data window tests: a private database, the
// data module, a small frame with an MDI area whose function keys reach the
// active child window as the real frame's do, collected error boxes, status
// panels and help requests, and a helper that answers modal dialogs.
#include "whenmodal.h"
#include "data/datamodule.h"
#include "windows/childwindow.h"
#include "windows/guard.h"
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

struct WindowsFixture {
    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;
    QMainWindow frame;
    QMdiArea* mdi = new QMdiArea;
    QStringList errors;
    QString panel0;
    QList<int> helpShown;

    WindowsFixture()
    {
        setErrorBoxHandler([this](const QString& m) { errors << m; });
        openDataModule();
        frame.setCentralWidget(mdi);
        addKey(Qt::Key_F2, [](ChildWindow& c) { c.commandAddNew(); });
        addKey(Qt::Key_F3, [](ChildWindow& c) { c.commandSave(); });
        addKey(Qt::Key_F4, [](ChildWindow& c) { c.commandCancel(); });
        addKey(Qt::Key_F5, [](ChildWindow& c) { c.commandDelete(); });
        addKey(Qt::Key_F7, [](ChildWindow& c) { c.commandTimeOff(); });
        auto* close = new QAction(&frame);
        close->setShortcut(QKeySequence(Qt::Key_F10));
        QObject::connect(close, &QAction::triggered, mdi, &QMdiArea::closeActiveSubWindow);
        frame.addAction(close);
        frame.resize(1000, 700);
        frame.show();
        frame.activateWindow();
        (void)QTest::qWaitForWindowActive(&frame);
    }
    ~WindowsFixture()
    {
        deleteWindows();
        dm.reset();
        setErrorBoxHandler({});
    }

    void openDataModule()
    {
        dm = std::make_unique<Tdmglobal>(dir.path());
        QObject::connect(dm.get(), &Tdmglobal::statusPanelChanged, [this](int panel, const QString& text) {
            if (panel == 0)
                panel0 = text;
        });
        QObject::connect(dm.get(), &Tdmglobal::helpRequested, [this](int context) { helpShown << context; });
    }
    // Closes and reopens the database, as a restart of the program does.
    void restart()
    {
        deleteWindows();
        dm.reset();
        openDataModule();
    }

    // The windows go as at the end of the program: deleted, asking nothing
    // about typing a test left in them.
    void deleteWindows()
    {
        qDeleteAll(mdi->subWindowList());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void addKey(Qt::Key key, std::function<void(ChildWindow&)> command)
    {
        auto* a = new QAction(&frame);
        a->setShortcut(QKeySequence(key));
        QObject::connect(a, &QAction::triggered, &frame, [this, command] {
            QMdiSubWindow* sub = mdi->activeSubWindow();
            auto* child = sub ? dynamic_cast<ChildWindow*>(sub->widget()) : nullptr;
            if (child)
                guarded(&frame, [&] { command(*child); });
        });
        frame.addAction(a);
    }

    // Places a child window as the frame does: maximised, freed on close.
    template <typename W>
    W* open()
    {
        auto* w = new W(nullptr);
        QMdiSubWindow* sub = mdi->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->showMaximized();
        frameActiveAgain();
        mdi->setActiveSubWindow(sub);
        w->setFocus();
        QCoreApplication::processEvents();
        return w;
    }

    // When a message box has gone the frame is active again, as a window
    // manager makes it; the offscreen platform leaves that to us.
    static void frameActiveAgain()
    {
        if (QApplication::activeWindow())
            return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow*>(w) && w->isVisible())
                QApplication::setActiveWindow(w);
    }
    // A key to whatever has the focus, as a user's typing goes.
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        frameActiveAgain();
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : QApplication::activeWindow(), k, m);
        QCoreApplication::processEvents();   // Enter commits a cell through a queued call
    }
    static void type(const QString& text)
    {
        frameActiveAgain();
        for (QChar c : text) {
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target ? target : QApplication::activeWindow(), c.toLatin1());
        }
    }

    QVariant scalar(const QString& sql)
    {
        QSqlQuery q(dm->database().connection());
        if (!q.exec(sql) || !q.next())
            return QVariant();
        return q.value(0);
    }
    int count(const QString& table, const QString& where = {})
    {
        return scalar("SELECT COUNT(*) FROM " + table + (where.isEmpty() ? QString() : " WHERE " + where)).toInt();
    }
    int insert(const QString& sql)
    {
        QSqlQuery q(dm->database().connection());
        if (!q.exec(sql))
            qFatal("%s", qPrintable(sql));
        return q.lastInsertId().toInt();
    }
};
