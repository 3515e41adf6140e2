#include "tablemodel.h"
#include "settings.h"
#include "table.h"
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

QString shortDateFormat()
{
    static const QString format = [] {
        const QLocale locale = QLocale::system();
        const QString fallback = QStringLiteral("M/d/yyyy");
        if (locale.language() == QLocale::C)
            return fallback;
        QString f = locale.dateFormat(QLocale::ShortFormat);
        // Month names and weekdays cannot be typed as digits; two-digit
        // years would hide the century of a schedule.
        f.replace(QRegularExpression(QStringLiteral("dddd?[^dMy]*")), QString());
        f.replace(QRegularExpression(QStringLiteral("MMMM?")), QStringLiteral("M"));
        f.replace(QRegularExpression(QStringLiteral("y+")), QStringLiteral("yyyy"));
        const bool usable =
            f.contains(QLatin1Char('d')) && f.contains(QLatin1Char('M')) && f.contains(QLatin1Char('y'));
        return usable ? f.trimmed() : fallback;
    }();
    return format;
}

QString formatValue(const QVariant& value, const QString& displayFormat)
{
    if (value.isNull())
        return QString();
    if (displayFormat == "hh:nn AM/PM")
        return value.toTime().toString("hh:mm AP");
    if (displayFormat == "$#,###") {
        const qint64 whole = qint64(std::llround(value.toDouble()));
        return whole == 0 ? currencySign() : currencySign() + QLocale(QLocale::English).toString(whole);
    }
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(shortDateFormat());
    case QMetaType::QTime: return value.toTime().toString("h:mm AP");
    case QMetaType::Bool: return value.toBool() ? "True" : "False";
    default: return value.toString();
    }
}

TableModel::TableModel(Table& table, QVector<ColumnSpec> columns, QObject* parent)
    : QAbstractTableModel(parent), tbl(table), cols(std::move(columns))
{
    connect(&tbl, &Table::rowsReset, this, &TableModel::reset);
    connect(&tbl, &Table::afterOpen, this, &TableModel::reset);
    connect(&tbl, &Table::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(&tbl, &Table::stateChanged, this, [this] {
        const int row = tbl.recNo() - 1;
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void TableModel::reset()
{
    beginResetModel();
    endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !tbl.isActive() ? 0 : tbl.recordCount();
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(cols.size());
}

int TableModel::columnOf(const QString& field) const
{
    for (int c = 0; c < cols.size(); ++c)
        if (cols[c].field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const ColumnSpec& face = cols[index.column()];
    const QVariant v = tbl.valueAt(index.row(), face.field);
    switch (role) {
    case Qt::DisplayRole: return formatValue(v, face.displayFormat);
    case Qt::EditRole: return v;
    default: return {};
    }
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || (flags(index) & Qt::ItemIsEditable) == 0)
        return false;
    if (tbl.recNo() != index.row() + 1)
        tbl.setRecNo(index.row() + 1);
    tbl.edit();
    tbl.setValue(cols[index.column()].field, value);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < cols.size() ? QVariant(cols[section].title) : QVariant();
    return section + 1;
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const ColumnSpec& face = cols[index.column()];
    if (!face.readOnly && !tbl.isReadOnly() && tbl.isStoredField(face.field))
        f |= Qt::ItemIsEditable;
    return f;
}
