#include "dbgrid.h"
#include "guard.h"
#include "phoneformat.h"
#include "data/dberror.h"
#include "data/table.h"
#include <QCoreApplication>
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

QString incompleteMessage(const QString& title, const QString& shown, const FieldMask& mask)
{
    return QStringLiteral("%1 \"%2\" is incomplete. Fill in every required position, as in %3, "
                          "or clear the field.")
        .arg(title, shown, mask.example());
}

bool isTypingKey(const QKeyEvent* event)
{
    return !event->text().isEmpty() && event->text()[0].isPrint() &&
           (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

bool isBackTab(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Backtab || (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier));
}

// Room around a cell's text: the frame of the cell and its editor.
int cellPadding(const QFontMetrics& fm)
{
    return 2 * fm.averageCharWidth() + 4;
}

}   // namespace

// ------------------------------------------------------------------ DbGrid

DbGrid::DbGrid(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new DbGridDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
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
    for (const QString& field : std::as_const(phones))
        tbl->keepTextWhole(field);
    gridModel->setParent(this);
    setModel(gridModel);
    // A post re-sorts the rows and resets the model, which forgets the
    // current cell: the user stays in the column they were typing in.
    connect(gridModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (currentIndex().isValid())
            keptColumn = currentIndex().column();
    });
    connect(gridModel, &QAbstractItemModel::modelReset, this, &DbGrid::showTableRow);
    connect(tbl, &Table::afterScroll, this, &DbGrid::showTableRow);
    connect(tbl, &Table::stateChanged, this, [this] {
        const bool wasEditing = editingState == Table::State::Edit || editingState == Table::State::Insert;
        editingState = tbl->state();
        // A post, a cancel or a new row re-reads no values: the one row
        // typed into was fitted as it was typed.
        sameValuesReset = wasEditing || editingState == Table::State::Insert;
        if (editingState != Table::State::Edit && editingState != Table::State::Insert)
            modified = false;
    });
    for (auto done : {&Table::afterPost, &Table::afterCancel, &Table::afterScroll})
        connect(tbl, done, this, [this] { sameValuesReset = false; });
    connect(gridModel, &QAbstractItemModel::modelReset, this, [this] {
        if (!sameValuesReset)
            fitColumns(0, gridModel->rowCount() - 1);
        sameValuesReset = false;
    });
    connect(gridModel, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { fitColumns(from.row(), to.row()); });
    for (int c = 0; c < gridModel->columnCount(); ++c)
        setColumnWidth(c, titleWidth(c));
    fitColumns(0, gridModel->rowCount() - 1);
    showTableRow();
}

void DbGrid::setColumnMask(const QString& field, const FieldMask& mask)
{
    masks.insert(field.toUpper(), mask);
    if (gridModel) {
        const int c = gridModel->columnOf(field);
        if (c >= 0)
            setColumnWidth(c, std::max(columnWidth(c), titleWidth(c)));
    }
}

int DbGrid::titleWidth(int c) const
{
    // The least a column needs: its title, its mask (filled in and blank),
    // or for text the first characters of its size.
    const QFontMetrics fm(font());
    const auto& col = gridModel->column(c);
    int width = horizontalHeader()->fontMetrics().horizontalAdvance(col.title) + fm.averageCharWidth();
    if (const FieldMask* mask = columnMask(col.field)) {
        width = std::max({width, fm.horizontalAdvance(mask->example()), fm.horizontalAdvance(mask->editText({}))});
    } else if (isPhoneColumn(col.field)) {
        width = std::max(width, fm.horizontalAdvance(PhoneFormat::example()));
    } else {
        const int size = tbl->hasField(col.field) ? tbl->fieldSize(col.field) : 0;
        width = std::max(width, fm.averageCharWidth() * (size > 0 ? std::min(size, 30) : 6));
    }
    return width + cellPadding(fm);
}

void DbGrid::fitColumns(int firstRow, int lastRow)
{
    // Widens only: a column the user narrowed is left alone until a value
    // arrives that it would cut.
    if (!gridModel)
        return;
    const QFontMetrics fm(font());
    const int pad = cellPadding(fm);
    const int widestChar = std::max(1, fm.maxWidth());
    for (int c = 0; c < gridModel->columnCount(); ++c) {
        int width = columnWidth(c);
        for (int r = std::max(0, firstRow); r <= lastRow && r < gridModel->rowCount(); ++r) {
            const QString text = gridModel->index(r, c).data().toString();
            // Most values are plainly narrow enough: measure only the others.
            if (int(text.size()) * widestChar + pad > width)
                width = std::max(width, fm.horizontalAdvance(text) + pad);
        }
        if (width > columnWidth(c))
            setColumnWidth(c, width);
    }
}

void DbGrid::setPhoneColumn(const QString& field)
{
    phones.insert(field.toUpper());
    if (tbl)
        tbl->keepTextWhole(field);
    if (gridModel) {
        const int c = gridModel->columnOf(field);
        if (c >= 0)
            setColumnWidth(c, std::max(columnWidth(c), titleWidth(c)));
    }
}

bool DbGrid::isPhoneColumn(const QString& field) const
{
    return phones.contains(field.toUpper());
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
            throw DbError(incompleteMessage(col.title, tbl->asString(col.field), *mask));
        if (isPhoneColumn(col.field) && !PhoneFormat::isValid(tbl->value(col.field)))
            throw DbError(PhoneFormat::refusal(col.title, tbl->asString(col.field)));
    }
}

void DbGrid::setEditable(bool on)
{
    editable = on;
    setEditTriggers(on ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed
                       : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    // A list of whole rows has no cells to walk: Tab goes on to the next
    // control (a dialog's buttons) instead of round and round the rows.
    setTabKeyNavigation(on);
}

bool DbGrid::canAppend() const
{
    return editable && appendable && tbl && tbl->isActive() && !tbl->isReadOnly();
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
    closeEditorKeepingFocus(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DbGrid::closeEditorKeepingFocus(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The view takes the focus back only from an editor that has it in an
    // active window; the keys must come back here whether or not the window
    // is active (no window manager, a focus-follows-mouse desktop).
    const bool focused = editor->hasFocus() || window()->focusWidget() == editor;
    closeEditor(editor, hint);
    if (focused)
        setFocus();
}

bool DbGrid::finishEditing()
{
    const QModelIndex idx = currentIndex();
    QWidget* editor = idx.isValid() ? indexWidget(idx) : nullptr;
    if (!editor || state() != QAbstractItemView::EditingState)
        return true;
    const QString problem = static_cast<DbGridDelegate*>(itemDelegate())->editorProblem(editor, idx);
    bool ok = problem.isEmpty();
    withFlag(reporting, [&] {
        if (ok)
            ok = guarded(this, [&] { commitEditor(); });
        else
            showErrorBox(this, problem);
    });
    if (!ok && indexWidget(idx) == editor)
        editor->setFocus();
    return ok;
}

void DbGrid::discardEditor()
{
    const QModelIndex idx = currentIndex();
    QWidget* editor = idx.isValid() ? indexWidget(idx) : nullptr;
    if (editor && state() == QAbstractItemView::EditingState)
        closeEditorKeepingFocus(editor, QAbstractItemDelegate::RevertModelCache);
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

bool DbGrid::hasUnsavedRow() const
{
    if (!tbl || !tbl->isActive())
        return false;
    const QModelIndex idx = currentIndex();
    QWidget* editor = idx.isValid() ? indexWidget(idx) : nullptr;
    if (editor && state() == QAbstractItemView::EditingState) {
        const auto* d = static_cast<const DbGridDelegate*>(itemDelegate());
        if (!DbGridDelegate::sameAsShown(d->editorValue(editor, idx), idx))
            return true;
    }
    return tbl->state() == Table::State::Edit || (tbl->state() == Table::State::Insert && modified);
}

void DbGrid::discardRow()
{
    discardEditor();
    if (tbl && (tbl->state() == Table::State::Edit || tbl->state() == Table::State::Insert))
        tbl->cancel();
}

bool DbGrid::onLastRow() const
{
    return currentIndex().isValid() && currentIndex().row() == gridModel->rowCount() - 1;
}

void DbGrid::startRowFromKeyboard(int column)
{
    // A new row nobody typed into is already there: no second one.
    if (tbl->state() == Table::State::Insert && !modified) {
        moveToRow(tbl->recNo() - 1, column);
        return;
    }
    bool ok = false;
    withFlag(syncing, [&] {
        ok = guarded(this, [&] {
            leaveRow();
            tbl->append();
        });
    });
    moveToRow(tbl->recNo() - 1, ok ? column : currentIndex().column());
}

bool DbGrid::stepCell(bool forward)
{
    if (!gridModel)
        return false;
    const QModelIndex here = currentIndex();
    const int lastColumn = gridModel->columnCount() - 1;
    if (!here.isValid())
        return false;
    if (forward && here.column() < lastColumn) {
        setCurrentIndex(gridModel->index(here.row(), here.column() + 1));
    } else if (forward && !onLastRow()) {
        setCurrentIndex(gridModel->index(here.row() + 1, 0));
    } else if (forward && canAppend()) {
        startRowFromKeyboard(0);
    } else if (forward) {
        // Off the last cell of a grid that takes no new rows: the row is
        // posted and the focus goes on, unless the post was refused.
        return !guarded(this, [&] { leaveRow(); });
    } else if (here.column() > 0) {
        setCurrentIndex(gridModel->index(here.row(), here.column() - 1));
    } else if (here.row() > 0) {
        setCurrentIndex(gridModel->index(here.row() - 1, lastColumn));
    } else {
        // The first cell: a grid that is its window's whole content keeps
        // the focus, one among other controls hands it back.
        return canAppend();
    }
    return true;
}

void DbGrid::leaveGrid(bool forward)
{
    QAbstractScrollArea::focusNextPrevChild(forward);
}

QVariant DbGrid::rowKey(int row) const
{
    const FieldDef* pk = tbl->definition().primaryKey();
    return pk && row >= 0 && row < tbl->recordCount() ? tbl->valueAt(row, pk->name) : QVariant();
}

int DbGrid::rowOfKey(const QVariant& key, int fallback) const
{
    const FieldDef* pk = tbl->definition().primaryKey();
    if (!pk || key.isNull())
        return fallback;
    for (int r = 0; r < tbl->recordCount(); ++r)
        if (tbl->valueAt(r, pk->name) == key)
            return r;
    return fallback;
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
    moveToRow(tbl->recNo() - 1, currentIndex().isValid() ? currentIndex().column() : keptColumn);
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing || !tbl || !tbl->isActive() || !current.isValid())
        return;
    const int target = current.row();
    if (target == tbl->recNo() - 1)
        return;
    // Posting re-sorts the rows: the row the user went to is found again by
    // its key, not by where it stood.
    const QVariant targetKey = rowKey(target);
    bool ok = false;
    withFlag(syncing, [&] {
        ok = guarded(this, [&] {
            leaveRow();
            tbl->setRecNo(std::min(rowOfKey(targetKey, target), tbl->recordCount() - 1) + 1);
        });
    });
    // A refused post keeps the user on the row being edited.
    moveToRow(tbl->recNo() - 1, ok ? current.column() : previous.column());
}

void DbGrid::keyPressEvent(QKeyEvent* event)
{
    const bool editing = state() == QAbstractItemView::EditingState;
    if (event->key() == Qt::Key_Escape && !editing && tbl &&
        (tbl->state() == Table::State::Edit || tbl->state() == Table::State::Insert)) {
        guarded(this, [&] { tbl->cancel(); });
        event->accept();
        return;
    }
    if (editable && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        if (finishEditing() && !stepCell(!isBackTab(event))) {
            event->ignore();   // the focus moves on to the next control
            return;
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier && canAppend() && onLastRow()) {
        if (finishEditing())
            startRowFromKeyboard(currentIndex().column());
        event->accept();
        return;
    }
    if (canAppend() && gridModel->rowCount() == 0 && isTypingKey(event)) {
        startRowFromKeyboard(0);
        if (currentIndex().isValid())
            edit(currentIndex(), QAbstractItemView::AnyKeyPressed, event);
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
    // A screen reader names the cell being typed in by its column.
    editor->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
    const QString field = grid.tableModel()->column(index.column()).field;
    Table& table = *grid.table();
    if (const FieldMask* mask = grid.columnMask(field)) {
        editor->setInputMask(mask->qtInputMask());
        return editor;
    }
    // No length limit: a number typed with its spaces and dashes is longer
    // than the stored form, and a cut one would be another number.
    if (grid.isPhoneColumn(field))
        return editor;
    switch (table.fieldType(field)) {
    case FieldType::String:
        if (table.fieldSize(field) > 0)
            editor->setMaxLength(table.fieldSize(field));
        break;
    case FieldType::Integer:
    case FieldType::SmallInt: editor->setValidator(new QIntValidator(editor)); break;
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
    // A text that is no phone number goes to the row as typed, where the
    // check before posting refuses it in the user's own words.
    if (grid.isPhoneColumn(field))
        return PhoneFormat::stored(text).value_or(QVariant(text));
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QString DbGridDelegate::editorProblem(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    const auto& col = grid.tableModel()->column(index.column());
    if (const FieldMask* mask = grid.columnMask(col.field))
        return mask->isComplete(mask->storedValue(line->displayText()))
                   ? QString()
                   : incompleteMessage(col.title, line->displayText(), *mask);
    QString text = line->text();
    if (grid.isPhoneColumn(col.field))
        return PhoneFormat::stored(text) ? QString() : PhoneFormat::refusal(col.title, text);
    const QValidator* validator = line->validator();
    if (text.isEmpty() || !validator)
        return {};
    int pos = 0;
    if (validator->validate(text, pos) == QValidator::Acceptable)
        return {};
    const bool whole = qobject_cast<const QIntValidator*>(validator) != nullptr;
    return QStringLiteral("%1 \"%2\" is not a number. Type %3, or clear the field.")
        .arg(col.title, line->text(),
             whole ? QStringLiteral("a whole number such as 12") : QStringLiteral("a number such as 12.5"));
}

bool DbGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    // While a refusal is on screen the editor loses the focus to the message;
    // it must keep its text and stay open for the user to correct it.
    if (grid.isReportingProblem() && (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        return false;
    if (!editor || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (grid.finishEditing() && !grid.stepCell(!isBackTab(key)))
            grid.leaveGrid(!isBackTab(key));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: grid.finishEditing(); return true;
    case Qt::Key_Escape:
        grid.discardEditor();   // the cell shows what it held before
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The row moves only with a value that can be stored.
        if (grid.finishEditing()) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(&grid, &copy);
        }
        return true;
    default: return QStyledItemDelegate::eventFilter(object, event);
    }
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
