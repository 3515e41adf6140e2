#include "accessiblenames.h"
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <algorithm>

namespace {

QLayout* layoutHolding(QLayout* layout, QWidget* widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return layout;
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout* found = layoutHolding(layout->itemAt(i)->layout(), widget))
            return found;
    return nullptr;
}

// A row of its own (a field with a button beside it) counts as its first widget.
QWidget* widgetOf(QLayoutItem* item)
{
    if (!item)
        return nullptr;
    if (QLayout* row = item->layout())
        return row->count() > 0 ? widgetOf(row->itemAt(0)) : nullptr;
    return item->widget();
}

// The widgets a label may stand for, nearest first: the field of its form
// row; the next cell of its grid row, then the cell below; the next item of its box.
QList<QWidget*> besideInLayout(QLabel* label)
{
    QLayout* layout = label->parentWidget() ? layoutHolding(label->parentWidget()->layout(), label) : nullptr;
    if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        int row = -1;
        QFormLayout::ItemRole role;
        form->getWidgetPosition(label, &row, &role);
        if (role == QFormLayout::LabelRole)
            return {widgetOf(form->itemAt(row, QFormLayout::FieldRole))};
        return {};
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row, column, rows, columns;
        grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
        return {widgetOf(grid->itemAtPosition(row, column + columns)),
                widgetOf(grid->itemAtPosition(row + rows, column))};
    }
    if (layout)
        return {widgetOf(layout->itemAt(layout->indexOf(label) + 1))};
    return {};
}

// Qt's own parts of a control (a spin box's text, an editable combo box's
// line) are read through the control.
bool isPart(const QWidget* w)
{
    const QWidget* owner = w->parentWidget();
    return w->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<const QComboBox*>(owner) ||
           (owner && owner->focusProxy() == w);
}

bool takesKeyboard(const QWidget* w)
{
    return w->focusPolicy() != Qt::NoFocus && !isPart(w);
}

// Whether Qt reads a name for `w` (a grid or list ignores its label).
bool isNamed(QWidget* w)
{
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w);
    return spoken && !spoken->text(QAccessible::Name).trimmed().isEmpty();
}

// A name of its own, a label that stands for it, or its own caption or text. (On
// Linux a combo box reads its current text as its name; its label comes
// to the screen reader as the label's buddy.)
bool isLabelled(const QWidget* w, const QList<QLabel*>& labels)
{
    if (!w->accessibleName().isEmpty())
        return true;
    if (auto* button = qobject_cast<const QAbstractButton*>(w); button && !button->text().isEmpty())
        return true;
    if (auto* text = qobject_cast<const QLabel*>(w); text && !text->text().isEmpty())
        return true;   // a label that takes the keyboard reads itself
    return std::any_of(labels.begin(), labels.end(),
                       [w](const QLabel* l) { return l->buddy() == w && !l->text().isEmpty(); });
}

// "&Days Off:" is read as "Days Off".
QString spokenLabel(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

// The window or child window a widget belongs to: the frame does not name
// the controls of the child windows inside it.
QWidget* windowOf(QWidget* w)
{
    while (w->parentWidget() && !w->isWindow() && !qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        w = w->parentWidget();
    return w;
}

class NameOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                nameControls(w);
        }
        return false;
    }
};

}   // namespace

void nameControls(QWidget* window)
{
    // A label stands for the control beside it; where Qt reads no name
    // through the label (a grid, a list), its text becomes the control's name.
    QList<QLabel*> labels = window->findChildren<QLabel*>();
    labels.removeIf([window](QLabel* l) { return windowOf(l) != window; });
    for (QLabel* label : labels) {
        const QString text = spokenLabel(label->text());
        if (text.isEmpty())
            continue;
        for (QWidget* control : label->buddy() ? QList<QWidget*>{label->buddy()} : besideInLayout(label)) {
            if (!control || !takesKeyboard(control) || (label->buddy() != control && isLabelled(control, labels)))
                continue;
            label->setBuddy(control);
            if (!isNamed(control))
                control->setAccessibleName(text);
            break;
        }
    }
    QList<QWidget*> unnamed;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!takesKeyboard(control) || windowOf(control) != window || isLabelled(control, labels))
            continue;
        if (!control->toolTip().isEmpty())
            control->setAccessibleName(control->toolTip());
        else
            unnamed << control;
    }
    // The one control left is what the window is about.
    if (unnamed.size() == 1)
        unnamed.front()->setAccessibleName(window->windowTitle());
}

void nameControlsOfEveryWindow()
{
    const QString filterName = QStringLiteral("accessibleNamesOnShow");
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<QObject*>(filterName, Qt::FindDirectChildrenOnly))
        return;
    auto* filter = new NameOnShow(app);
    filter->setObjectName(filterName);
    app->installEventFilter(filter);
}
