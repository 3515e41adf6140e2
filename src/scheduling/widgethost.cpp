#include "widgethost.h"
#include "data/dmuglobal.h"
#include "data/guard.h"
#include "dlgrec.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
constexpr int HelpContext = 13;
} // namespace

WidgetScheduleHost::WidgetScheduleHost(QWidget* w) : window(w) {}

WidgetScheduleHost::~WidgetScheduleHost() = default;

bool WidgetScheduleHost::messageBox(QWidget* parent, const QString& text, bool question)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vantrel"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = question ? box.addButton(QMessageBox::Yes) : box.addButton(QMessageBox::Ok);
    if (question)
        box.addButton(QMessageBox::No);
    QPushButton* help = box.addButton(QMessageBox::Help);
    box.setDefaultButton(yes);
    // The box closes on any of its buttons; Help must open the topic and stay.
    QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(help, &QAbstractButton::clicked, &box, [] {
        if (Tdmglobal::exists())
            Tdmglobal::instance().showHelp(HelpContext);
    });
    setHelpContext(&box, HelpContext);
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
    QCoreApplication::processEvents();
}

bool WidgetScheduleHost::showReconcile(const QVector<ReconcileLine>& lines, int mode, double expected)
{
    Tdlgreconcile dlg(window);
    dlg.setLines(lines);
    dlg.reconcileMode = mode;
    dlg.setExpected(expected);
    return dlg.exec() == QDialog::Accepted;
}
