#include "widgethost.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include "reconciledialog.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

namespace {

// The frame's Cancel command: its menu item (with F4) and its tool button.
bool isCancelCommand(const QObject* object)
{
    if (!object)
        return false;
    const QString name = object->objectName();
    return name == QLatin1String("Cancel1") || name == QLatin1String("tbcancel");
}

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::InputMethod: return true;
    default: return false;
    }
}

// While the run's transaction is open, whatever another window wrote through
// the one connection would be committed or rolled back with the run. So
// while a run lets the window messages through, user input reaches nothing
// but the Cancel command: its shortcut, its tool button, and the menus as
// far as reaching its item.
class RunInputFilter : public QObject {
protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        return isInput(event->type()) && !reachesCancel(target, event);
    }

private:
    static bool reachesCancel(QObject* target, QEvent* event)
    {
        if (event->type() == QEvent::Shortcut)
            return isCancelCommand(target);
        if (auto* button = qobject_cast<QToolButton*>(target))
            return isCancelCommand(button) || isCancelCommand(button->defaultAction());
        if (qobject_cast<QMenuBar*>(target))
            return event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease;
        if (auto* menu = qobject_cast<QMenu*>(target)) {
            if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
                return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
            if (event->type() != QEvent::MouseButtonRelease)
                return true;
            const QAction* item = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            return !item || item->menu() || isCancelCommand(item);
        }
        return false;
    }
};

}   // namespace

WidgetScheduleHost::WidgetScheduleHost(QWidget* w) : window(w) {}

WidgetScheduleHost::~WidgetScheduleHost() = default;

bool WidgetScheduleHost::messageBox(QWidget* parent, const QString& text, bool question, bool defaultNo)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vantrel"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = question ? box.addButton(QMessageBox::Yes) : box.addButton(QMessageBox::Ok);
    QPushButton* no = question ? box.addButton(QMessageBox::No) : nullptr;
    QPushButton* help = box.addButton(QMessageBox::Help);
    box.setDefaultButton(defaultNo && no ? no : yes);
    // The box closes on any of its buttons; Help must open the topic and stay.
    QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(help, &QAbstractButton::clicked, &box, [] {
        if (Tdmglobal::exists())
            Tdmglobal::instance().showHelp(HelpContext::EvenDates);
    });
    setHelpContext(&box, HelpContext::EvenDates);
    // The question is answered with the normal cursor, also mid-run.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    return box.clickedButton() == yes;
}

ScheduleHost::Answer WidgetScheduleHost::ask(const QString& text)
{
    return messageBox(window, text, true) ? Yes : No;
}

bool WidgetScheduleHost::keepFaultySchedule(const QString& text)
{
    return messageBox(window,
                      text + QStringLiteral("\n\nWrite it all the same? No leaves the previous schedule as it was."),
                      true, true);
}

void WidgetScheduleHost::warn(const QString& text)
{
    messageBox(window, text, false);
}

void WidgetScheduleHost::statusMessage(const QString& text)
{
    if (Tdmglobal::exists())
        Tdmglobal::instance().statusMessage(text);
}

void WidgetScheduleHost::setBusy(bool on)
{
    if (on && !busy)
        busy = std::make_unique<BusyCursor>();
    else if (!on)
        busy.reset();
}

void WidgetScheduleHost::suspendUpdates(bool on)
{
    suspended.clear();
    if (!on || !window)
        return;
    for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>())
        suspended.push_back(std::make_unique<UpdatesSuspended>(list));
}

void WidgetScheduleHost::yield()
{
    RunInputFilter filter;
    QCoreApplication::instance()->installEventFilter(&filter);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&filter);
}

bool WidgetScheduleHost::showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected)
{
    Tdlgreconcile dlg(window);
    dlg.setLines(lines);
    dlg.reconcileMode = mode;
    dlg.setExpected(expected);
    return dlg.exec() == QDialog::Accepted;
}
