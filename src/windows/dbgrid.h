#pragma once
// A data-aware grid over one Table, for every editable or read-only grid of
// the windows. Use:
//   auto* grid = new DbGrid(parent);
//   grid->setTable(*tbplayers, {{"FNAME", "First"}, {"LNAME", "Last"}});
//   grid->setColumnMask("STATE", FieldMask::fromEditMask(">LL;1;_"));
//   grid->setPhoneColumn("PHONE1");      // typed freely, stored as (555)123-4567
//   grid->setEditable(false);            // read-only list, whole rows selected
// The grid keeps the table's current row and its own current row together;
// leaving an edited row posts it (an untouched new row is dropped instead),
// and a failed post keeps the user on the row, still in edit mode. Before a
// command posts or cancels, call postPendingRow(), commitEditor() or
// discardEditor() so that the text in an open cell editor is not lost.
//
// The keyboard works as in a spreadsheet: Tab and Shift+Tab go cell by cell
// through every column and on to the next or previous row; a cell whose
// text cannot be stored (an incomplete mask, a number that is not one) is
// refused with a message and keeps the focus; Esc in a cell restores it, Esc
// on the row cancels the row. Tab off the last cell, Down on the last row and
// typing into an empty grid start a new row, unless setRowsAppendable(false).
// Columns are as wide as their title, mask or widest value.
#include "data/table.h"
#include "data/tablemodel.h"
#include "fieldmask.h"
#include <QHash>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>

// One grid column: the field and its title.
inline TableModel::ColumnSpec gridColumn(const QString& field, const QString& title, bool readOnly = false)
{
    TableModel::ColumnSpec col;
    col.field = field;
    col.title = title;
    col.readOnly = readOnly;
    return col;
}

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);

    void setTable(Table& table, QVector<TableModel::ColumnSpec> columns);
    // The same with a model of the caller's (one that titles or aligns its
    // columns its own way); the grid takes it over.
    void setTableModel(TableModel* model);
    Table* table() const { return tbl; }
    TableModel* tableModel() const { return gridModel; }

    void setColumnMask(const QString& field, const FieldMask& mask);
    const FieldMask* columnMask(const QString& field) const;
    // A phone column takes the number as people type it (PhoneFormat); a
    // mask would drop or shift what does not fit its positions.
    void setPhoneColumn(const QString& field);
    bool isPhoneColumn(const QString& field) const;
    // Throws a DbError naming the column when a masked value of the table's
    // current row is incomplete or a phone value is no phone number;
    // install it in the table's beforePost.
    void checkMaskedValues() const;

    // false: no editing in place, whole rows selected.
    void setEditable(bool editable);
    bool isEditable() const { return editable; }
    // false for grids whose rows are added by the window's own commands
    // (a record's entries): the keyboard then never starts a row.
    void setRowsAppendable(bool on) { appendable = on; }
    bool rowsAppendable() const { return appendable; }
    // Read-only columns drawn on the button face, so the user sees which
    // cells of an editable grid take typing.
    void setReadOnlyColumnsShaded(bool on);
    bool readOnlyColumnsShaded() const { return shadeReadOnly; }

    // Writes the text of an open cell editor into the table (true when there
    // was one and it was taken); discardEditor closes it without that.
    bool commitEditor();
    void discardEditor();
    // Checks the open editor's text and writes it, closing the editor; when
    // it cannot be stored the user is told why and the editor stays open.
    bool finishEditing();
    // Tab (forward) or Shift+Tab from the current cell; false when the move
    // leaves the grid, which then passes the focus on.
    bool stepCell(bool forward);
    void leaveGrid(bool forward);
    // A refusal is being shown: the open editor keeps its text meanwhile.
    bool isReportingProblem() const { return reporting; }
    // The current row was changed through the grid since it was last posted.
    bool rowModified() const { return modified; }
    void markRowModified() { modified = true; }
    // Commits the editor, then posts the row if it was changed; a new row
    // that was never typed into is cancelled instead.
    void postPendingRow();
    // The current row holds typing that is not stored: text in an open cell
    // editor, an edited row, or a new row typed into.
    bool hasUnsavedRow() const;
    // Closes the cell editor and cancels the row's edit or new row.
    void discardRow();
    // The grid row shown as the table's current row (table recNo - 1).
    void showTableRow();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool leaveRow();
    void moveToRow(int row, int column);
    void closeEditorKeepingFocus(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
    bool canAppend() const;
    void startRowFromKeyboard(int column);
    bool onLastRow() const;
    QVariant rowKey(int row) const;
    int rowOfKey(const QVariant& key, int fallback) const;
    int titleWidth(int column) const;
    void fitColumns(int firstRow, int lastRow);

    Table* tbl = nullptr;
    TableModel* gridModel = nullptr;
    QHash<QString, FieldMask> masks;   // by upper-case field name
    QSet<QString> phones;              // the same
    bool editable = true;
    bool shadeReadOnly = false;
    bool appendable = true;
    bool modified = false;
    bool syncing = false;
    bool reporting = false;
    Table::State editingState = Table::State::Inactive;   // the table's state as last seen
    bool sameValuesReset = false;
    int keptColumn = 0;   // the current column across a model reset
};

// Cell editors of a DbGrid: a line edit with the column's mask, length and
// number validator; writing the value back runs inside the error guard.
class DbGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DbGridDelegate(DbGrid& grid);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    // The value the editor's text stands for (masked text as stored, "" as null).
    QVariant editorValue(QWidget* editor, const QModelIndex& index) const;
    static bool sameAsShown(const QVariant& value, const QModelIndex& index);
    // Why the editor's text cannot be stored, or "" when it can.
    QString editorProblem(QWidget* editor, const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    DbGrid& grid;
};
