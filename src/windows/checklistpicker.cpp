#include "checklistpicker.h"
#include "dialogbuttons.h"
#include "fielddefs.h"
#include "data/datamodule.h"
#include "data/textwidth.h"
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QString pickerLine(int id, const QString& name, int width)
{
    const QString prefix = QString::number(id) + QLatin1Char('-');
    return prefix + cutToWidth(name, std::max(0, width - int(prefix.size())));
}

int pickerLineId(const QString& line)
{
    const int dash = int(line.indexOf(QLatin1Char('-')));
    bool ok = false;
    const int id = (dash < 0 ? line : line.left(dash)).trimmed().toInt(&ok);
    return ok ? id : 0;
}

CheckListPicker::CheckListPicker(QWidget* parent, const QString& caption, int helpContext) : QDialog(parent)
{
    setWindowTitle(caption);
    setHelpContext(this, helpContext);
    choices = new QListWidget(this);
    choices->setObjectName(QStringLiteral("SrcList"));
    QDialogButtonBox* buttons = okCancelHelpButtons(this, helpContext);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choices);
    layout->addWidget(buttons);
    setFixedSize(320, 360);
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    choices->setFocus();
}

void CheckListPicker::addLine(const QString& text)
{
    auto* item = new QListWidgetItem(text, choices);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

QVector<CheckListPicker::Line> CheckListPicker::lines() const
{
    QVector<Line> out;
    for (int i = 0; i < choices->count(); ++i)
        out.append({choices->item(i)->text(), choices->item(i)->checkState() == Qt::Checked});
    return out;
}

QList<int> CheckListPicker::checkedIds() const
{
    QList<int> ids;
    for (const Line& l : lines())
        if (l.checked)
            ids << pickerLineId(l.text);
    return ids;
}

bool CheckListPicker::setChecked(int id, bool checked)
{
    for (int i = 0; i < choices->count(); ++i)
        if (pickerLineId(choices->item(i)->text()) == id) {
            choices->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
            return true;
        }
    return false;
}

QList<int> CheckListPicker::run(CheckListPicker& picker, bool* accepted)
{
    const bool ok = picker.exec() == QDialog::Accepted;
    if (accepted)
        *accepted = ok;
    return ok ? picker.checkedIds() : QList<int>();
}
