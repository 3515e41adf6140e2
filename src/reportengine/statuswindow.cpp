#include "statuswindow.h"
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

ReportStatusWindow::ReportStatusWindow(const QString& title, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(260);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(label);
}

void ReportStatusWindow::showStatus(const QString& text)
{
    label->setText(text);
    if (!isVisible())
        show();
    // Let the window paint without letting the user start anything else.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString ReportStatusWindow::text() const
{
    return label->text();
}
