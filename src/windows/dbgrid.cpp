#include "dbgrid.h"
#include "data/dberror.h"
#include "data/guard.h"
#include "data/table.h"
#include <QDoubleValidator>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace {

// Runs `work` with the flag set, restoring its old value afterwards.
template <typename F>
void withFlag(bool& flag, F&& work)
{
    const bool old = flag;
    flag = true;
    try {
        work();
    } catch (...) {
        flag = old;
        throw;
    }
    flag = old;
}

} // namespace

// ------------------------------------------------------------------ DbGrid

DbGrid::DbGrid(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new DbGridDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                    | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void DbGrid::setTable(Table& table, QVector<TableModel::ColumnSpec> columns)
{
    setTableModel(new TableModel(table, std::move(columns), this));
}

void DbGrid::setTableModel(TableModel* model)
{
    tbl = &model->table();
    gridModel = model;
    gridModel->setParent(this);
    setModel(gridModel);
    connect(gridModel, &QAbstractItemModel::modelReset, this, &DbGrid::showTableRow);
    connect(tbl, &Table::afterScroll, this, &DbGrid::showTableRow);
    connect(tbl, &Table::stateChanged, this, [this] {
        if (tbl->state() != Table::State::Edit && tbl->state() != Table::State::Insert)
            modified = false;
    });
    const QFontMetrics fm(font());
    for (int c = 0; c < gridModel->columnCount(); ++c) {
        const auto& col = gridModel->column(c);
        const int size = tbl->hasField(col.field) ? tbl->fieldSize(col.field) : 0;
        const int chars = std::max<int>(int(col.title.size()) + 2, size > 0 ? std::min(size, 30) : 8);
        setColumnWidth(c, fm.averageCharWidth() * chars + 12);
    }
    showTableRow();
}

void DbGrid::setColumnMask(const QString& field, const FieldMask& mask)
{
    masks.insert(field.toUpper(), mask);
}

const FieldMask* DbGrid::columnMask(const QString& field) const
{
    auto it = masks.constFind(field.toUpper());
    return it == masks.constEnd() ? nullptr : &*it;
}

void DbGrid::checkMaskedValues() const
{
    if (!tbl || !gridModel)
        return;
    for (int c = 0; c < gridModel->columnCount(); ++c) {
        const auto& col = gridModel->column(c);
        const FieldMask* mask = columnMask(col.field);
        if (mask && !mask->isComplete(tbl->value(col.field)))
            throw DbError(QStringLiteral("%1 \"%2\" is incomplete. Fill in every required position, as in %3, "
                                         "or clear the field.")
                              .arg(col.title, tbl->asString(col.field), mask->example()));
    }
}

void DbGrid::setEditable(bool on)
{
    editable = on;
    setEditTriggers(on ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                             | QAbstractItemView::EditKeyPressed
                       : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
}

void DbGrid::setReadOnlyColumnsShaded(bool on)
{
    shadeReadOnly = on;
    viewport()->update();
}

bool DbGrid::commitEditor()
{
    const QModelIndex idx = currentIndex();
    QWidget* editor = idx.isValid() ? indexWidget(idx) : nullptr;
    if (!editor || state() != QAbstractItemView::EditingState)
        return false;
    auto* d = static_cast<DbGridDelegate*>(itemDelegate());
    const QVariant value = d->editorValue(editor, idx);
    if (!DbGridDelegate::sameAsShown(value, idx)) {
        gridModel->setData(idx, value);   // a refused value keeps the editor open
        modified = true;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DbGrid::discardEditor()
{
    const QModelIndex idx = currentIndex();
    QWidget* editor = idx.isValid() ? indexWidget(idx) : nullptr;
    if (editor && state() == QAbstractItemView::EditingState)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool DbGrid::leaveRow()
{
    if (!tbl || !tbl->isActive())
        return false;
    if (tbl->state() == Table::State::Insert && !modified) {
        tbl->cancel();
        return true;
    }
    if (tbl->state() == Table::State::Insert || tbl->state() == Table::State::Edit) {
        tbl->post();
        return true;
    }
    return false;
}

void DbGrid::postPendingRow()
{
    commitEditor();
    leaveRow();
}

void DbGrid::moveToRow(int row, int column)
{
    if (!gridModel)
        return;
    withFlag(syncing, [&] {
        if (row >= 0 && row < gridModel->rowCount())
            setCurrentIndex(gridModel->index(row, std::clamp(column, 0, std::max(0, gridModel->columnCount() - 1))));
    });
}

void DbGrid::showTableRow()
{
    if (syncing || !tbl || !tbl->isActive())
        return;
    moveToRow(tbl->recNo() - 1, currentIndex().isValid() ? currentIndex().column() : 0);
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing || !tbl || !tbl->isActive() || !current.isValid())
        return;
    const int target = current.row();
    if (target == tbl->recNo() - 1)
        return;
    bool ok = false;
    withFlag(syncing, [&] {
        ok = guarded(this, [&] {
            leaveRow();
            tbl->setRecNo(std::min(target, tbl->recordCount() - 1) + 1);
        });
    });
    // A refused post keeps the user on the row being edited.
    moveToRow(tbl->recNo() - 1, ok ? current.column() : previous.column());
}

void DbGrid::keyPressEvent(QKeyEvent* event)
{
    const bool editing = state() == QAbstractItemView::EditingState;
    if (event->key() == Qt::Key_Escape && !editing && tbl
        && (tbl->state() == Table::State::Edit || tbl->state() == Table::State::Insert)) {
        guarded(this, [&] { tbl->cancel(); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------- DbGridDelegate

DbGridDelegate::DbGridDelegate(DbGrid& g) : QStyledItemDelegate(&g), grid(g) {}

QWidget* DbGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QString field = grid.tableModel()->column(index.column()).field;
    Table& table = *grid.table();
    if (const FieldMask* mask = grid.columnMask(field)) {
        editor->setInputMask(mask->qtInputMask());
        return editor;
    }
    switch (table.fieldType(field)) {
    case FieldType::String:
        if (table.fieldSize(field) > 0)
            editor->setMaxLength(table.fieldSize(field));
        break;
    case FieldType::Integer:
    case FieldType::SmallInt:
        editor->setValidator(new QIntValidator(editor));
        break;
    case FieldType::Float:
    case FieldType::Currency: {
        auto* v = new QDoubleValidator(editor);
        v->setLocale(QLocale::c());
        v->setNotation(QDoubleValidator::StandardNotation);
        editor->setValidator(v);
        break;
    }
    default: break;
    }
    return editor;
}

void DbGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (grid.readOnlyColumnsShaded() && grid.tableModel() && grid.tableModel()->column(index.column()).readOnly)
        option->backgroundBrush = grid.palette().button();
}

void DbGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    const QVariant v = index.data(Qt::EditRole);
    const QString field = grid.tableModel()->column(index.column()).field;
    if (const FieldMask* mask = grid.columnMask(field))
        line->setText(mask->editText(v));
    else
        line->setText(v.isNull() ? QString() : v.toString());
}

QVariant DbGridDelegate::editorValue(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    const QString field = grid.tableModel()->column(index.column()).field;
    if (const FieldMask* mask = grid.columnMask(field))
        return mask->storedValue(line->displayText());
    const QString text = line->text();
    return text.isEmpty() ? QVariant() : QVariant(text);
}

bool DbGridDelegate::sameAsShown(const QVariant& value, const QModelIndex& index)
{
    const QVariant old = index.data(Qt::EditRole);
    if (value.isNull() || old.isNull())
        return value.isNull() && old.isNull();
    return value.toString() == old.toString();
}

void DbGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QVariant value = editorValue(editor, index);
    if (sameAsShown(value, index))
        return;   // nothing typed: an untouched cell does not start an edit
    guarded(&grid, [&] {
        model->setData(index, value);
        grid.markRowModified();
    });
}
