#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <QVector>

class Table;

// Grid adapter over a Table: one column per field in the given order. Editing
// a cell puts the table into Edit on that row; the grid posts when the user
// leaves the row (see postOnRowChange).
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct ColumnSpec {
        QString field;
        QString title;
        bool readOnly = false;
        QString displayFormat;   // "hh:nn AM/PM", "$#,###", or empty
    };

    TableModel(Table& table, QVector<ColumnSpec> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Table& table() const { return tbl; }
    const ColumnSpec& column(int c) const { return cols[c]; }
    int columnOf(const QString& field) const;

private:
    void reset();
    Table& tbl;
    QVector<ColumnSpec> cols;
};

// The one format in which the program shows and takes dates: the locale's
// short date with a numeric month and a four-digit year, "M/d/yyyy" where
// the locale has none (the C locale).
QString shortDateFormat();

// Text of a value in one of the program's display formats.
QString formatValue(const QVariant& value, const QString& displayFormat);
