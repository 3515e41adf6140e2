#include "wrappedtable.h"

WrappedTable::WrappedTable(double tableLeft, QVector<Column> tableColumns, QStringList names)
    : left(tableLeft), columns(std::move(tableColumns)), heading(std::move(names))
{
}

WrappedTable::FittedRow WrappedTable::fit(const ReportCanvas& r, const QStringList& texts) const
{
    FittedRow row;
    row.height = r.lineHeight();
    for (int i = 0; i < columns.size(); ++i) {
        const QString text = i < texts.size() ? texts[i] : QString();
        const double width = columns[i].width - 2 * padding;
        row.lines << r.wrapPieces(wordPieces(text), width, width);
        row.height = qMax(row.height, row.lines.last().size() * r.lineHeight());
    }
    return row;
}

bool WrappedTable::fits(const ReportCanvas& r, double height) const
{
    return r.yPos() + height <= r.bottomLimit() + 1e-6;
}

void WrappedTable::startPage(ReportCanvas& r)
{
    r.newPage();
    if (pageStarted)
        pageStarted(r);
}

void WrappedTable::print(ReportCanvas& r, const FittedRow& row)
{
    r.clearTabs();
    double x = left;
    for (const Column& c : std::as_const(columns)) {
        r.setTab(x, c.justify, c.width, padding * 100, ReportCanvas::BoxAll, 0);
        x += c.width;
    }
    r.setRowHeight(row.height);
    for (const QStringList& lines : row.lines) {
        r.tab();
        r.printColumnLines(lines);
    }
    r.newLine();
    r.clearTabs();
}

void WrappedTable::printHeading(ReportCanvas& r)
{
    const bool bold = r.font().bold;
    r.setBold(true);
    const FittedRow row = fit(r, heading);
    if (!fits(r, row.height + r.lineHeight()))
        startPage(r);
    print(r, row);
    r.setBold(bold);
}

void WrappedTable::printRow(ReportCanvas& r, const QStringList& texts)
{
    const FittedRow row = fit(r, texts);
    if (!fits(r, row.height)) {
        startPage(r);
        printHeading(r);
    }
    print(r, row);
}

QStringList wordPieces(const QString& text)
{
    QStringList pieces;
    QString piece;
    for (const QChar c : text) {
        if (c.isSpace() && !piece.trimmed().isEmpty()) {
            pieces << piece;
            piece.clear();
        }
        piece += c;
        if (c == QChar('/')) {
            pieces << piece;
            piece.clear();
        }
    }
    if (!piece.trimmed().isEmpty())
        pieces << piece;
    return pieces;
}

void printTitle(ReportCanvas& r, const QString& text, double smallestSize)
{
    const FontSpec normal = r.font();
    const double left = r.sectionLeft(), right = r.sectionRight();
    const ReportCanvas::FittedText title = r.fitText(wordPieces(text), right - left, smallestSize);
    r.setFont(normal.family, title.size);
    r.setBold(normal.bold);
    for (const QString& line : title.lines) {
        r.printCenter(line, (left + right) / 2);
        r.newLine();
    }
    r.setFont(normal.family, normal.size);
    r.setBold(normal.bold);
}
