#include "guard.h"
#include "data/dberror.h"
#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <exception>

namespace {
std::function<void(const QString&)>& errorBoxHandler()
{
    static std::function<void(const QString&)> handler;
    return handler;
}
}   // namespace

void setErrorBoxHandler(std::function<void(const QString&)> handler)
{
    errorBoxHandler() = std::move(handler);
}

void showErrorBox(QWidget* parent, const QString& message)
{
    if (errorBoxHandler()) {
        errorBoxHandler()(message);
        return;
    }
    QMessageBox::critical(parent, QStringLiteral("Vantrel"), message);
}

bool guarded(QWidget* parent, const std::function<void()>& handler)
{
    QString message;
    try {
        handler();
        return true;
    } catch (const DbError& e) {
        message = e.message();
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error ended the operation.");
    }
    // A handler that failed halfway may have left the hourglass up.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    showErrorBox(parent, message);
    return false;
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

UpdatesSuspended::UpdatesSuspended(QWidget* w) : widget(w), wasEnabled(w && w->updatesEnabled())
{
    if (widget)
        widget->setUpdatesEnabled(false);
}

UpdatesSuspended::~UpdatesSuspended()
{
    if (widget)
        widget->setUpdatesEnabled(wasEnabled);
}
