#include "fielddefs.h"
#include "data/dberror.h"
#include "data/datamodule.h"
#include <QLabel>
#include <QWidget>

namespace {

QObject* fieldOf(QWidget* window, const QString& name)
{
    QObject* field = window->findChild<QObject*>(name);
    if (!field && window->objectName() == name)
        return window;
    return field;
}

void setLabelText(QWidget* window, const QString& labelKey, const QString& text)
{
    if (labelKey.isEmpty())
        return;
    QObject* found = window->findChild<QObject*>(labelKey);
    if (!found)
        return;
    auto* label = qobject_cast<QLabel*>(found);
    if (!label)
        throw DbError(QStringLiteral("Invalid typecast"));
    label->setText(text);
}

}   // namespace

void applyFieldDefs(QWidget* window, const QString& formKey)
{
    const QVector<FormFieldDef> defs = Tdmglobal::instance().loadFieldDefs(formKey);
    if (!window)
        return;
    for (const FormFieldDef& def : defs) {
        QObject* field = fieldOf(window, def.fieldKey);
        if (!field)
            continue;
        setLabelText(window, def.labelKey, def.label);
        auto* control = qobject_cast<QWidget*>(field);
        if (!control)
            throw DbError(QStringLiteral("Invalid typecast"));
        control->setToolTip(def.hint);
        control->setStatusTip(def.hint);
        setHelpContext(control, def.helpContext);
    }
}

int helpContextOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const int context = w->property("helpContext").toInt();
        if (context != 0)
            return context;
    }
    return 0;
}

void setHelpContext(QWidget* widget, int helpContext)
{
    widget->setProperty("helpContext", helpContext);
}

void showControlHint(const QWidget* control)
{
    Tdmglobal::instance().statusMessage(control ? control->toolTip() : QString());
}
