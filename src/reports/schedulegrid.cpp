#include "schedulegrid.h"
#include "scheduletext.h"
#include "reportengine/fonts.h"
#include <algorithm>

using Justify = ReportCanvas::Justify;

namespace {
// The Letter layout's grid: DATE 0.75, the courts sharing 6.0, BYE 0.5, from 0.5.
constexpr double gridLeft = 0.5;
constexpr double dateWidth = 0.75;
constexpr double courtsWidth = 6.0;
constexpr double byeWidth = 0.5;
constexpr int heavy = -2;              // heading lines 2/100 inch wide
constexpr double cellPadding = 0.02;   // text keeps this far from a cell's box lines
constexpr double bodySize = 10.0;
constexpr double slack = 1e-9;

double widestPiece(const FontSpec& face, const QString& text)
{
    double widest = 0;
    for (const QString& piece : ScheduleText::breakPieces(text))
        widest = qMax(widest, ReportFonts::textWidth(face, piece.trimmed()));
    return widest;
}

double sum(const QVector<double>& widths, int first, int count)
{
    double total = 0;
    for (int i = first; i < first + count; ++i)
        total += widths[i];
    return total;
}
}   // namespace

ScheduleGrid::ScheduleGrid(QStringList headingTexts, QVector<QStringList> rowTexts)
    : heading(std::move(headingTexts)), rows(std::move(rowTexts))
{
}

// What each column needs: the least is its widest unbreakable piece at the
// smallest readable size, the wanted its widest text on one line at the
// body's size. The date column is never wrapped.
ScheduleGrid::Widths ScheduleGrid::measure() const
{
    if (measured)
        return *measured;
    const FontSpec body{"Arial", bodySize}, small{"Arial", ReportCanvas::smallestReadableSize};
    FontSpec bodyBold = body, smallBold = small;
    bodyBold.bold = smallBold.bold = true;
    const int columns = int(heading.size());
    Widths w{QVector<double>(columns), QVector<double>(columns)};
    QHash<QString, QPair<double, double>> known;   // a cell's text: its least and wanted widths
    for (int i = 0; i < columns; ++i) {
        w.least[i] = widestPiece(smallBold, heading[i]);
        w.wanted[i] = ReportFonts::textWidth(bodyBold, heading[i]);
    }
    w.least[0] = w.wanted[0];
    for (const QStringList& row : rows)
        for (int i = 0; i < columns && i < row.size(); ++i) {
            auto it = known.constFind(row[i]);
            if (it == known.cend())
                it = known.insert(row[i], {widestPiece(small, row[i]), ReportFonts::textWidth(body, row[i])});
            w.least[i] = qMax(w.least[i], i == 0 ? it->second : it->first);
            w.wanted[i] = qMax(w.wanted[i], it->second);
        }
    for (int i = 0; i < columns; ++i) {
        w.least[i] += 2 * cellPadding;
        w.wanted[i] += 2 * cellPadding;
    }
    measured = w;
    return w;
}

// The Letter layout, while every court's entries fit their share of 6.0
// inches: a list of byes wider than its column takes the room the court
// columns do not need, so that a big group's rows stay a line or two high.
// Empty when the courts do not fit.
ScheduleGrid::Layout ScheduleGrid::letterLayout(const LetterFrame& frame, const Widths& w) const
{
    const int courts = int(heading.size()) - 2;
    double courtWidth = frame.width(courtsWidth) / courts, bye = frame.width(byeWidth);
    double courtNeed = 0;
    for (int i = 1; i <= courts; ++i) {
        if (w.least[i] > courtWidth + slack)
            return {};
        courtNeed = qMax(courtNeed, w.wanted[i]);
    }
    const double byeNeed = w.wanted.last();
    if (byeNeed > bye && courtNeed < courtWidth) {
        const double extra = qMin((courtWidth - courtNeed) * courts, byeNeed - bye);
        courtWidth -= extra / courts;
        bye += extra;
    }
    Layout layout{frame.x(gridLeft), {qMax(w.least[0], frame.width(dateWidth))}, {}};
    for (int i = 0; i < courts; ++i)
        layout.widths << courtWidth;
    layout.widths << qMax(bye, w.least.last());
    if (layout.left + sum(layout.widths, 0, int(layout.widths.size())) > frame.right() + slack)
        return {};
    layout.bands = {ColumnBand{0, courts + 1}};
    return layout;
}

// As few bands as columns no narrower than `least` allow, the courts shared out evenly
// among them; each band's spare room goes first to the columns whose texts
// would then fit on one line, the rest to all alike. BYE closes the last
// band when its list fits there on one line, else it takes a band of its
// own across the page: a big group's hundreds of byes a date would
// otherwise make each row pages tall.
ScheduleGrid::Layout ScheduleGrid::bandsOf(const LetterFrame& frame, const Widths& w, const QVector<double>& least)
{
    const double available = frame.right() - frame.left();
    const QVector<double> courts = least.mid(0, least.size() - 1);
    const int bandCount = int(columnBands(courts, 1, available).size());
    double lo = least[0], hi = available;
    for (int i = 0; i < 40; ++i) {
        const double mid = (lo + hi) / 2;
        (int(columnBands(courts, 1, mid).size()) > bandCount ? lo : hi) = mid;
    }
    Layout layout{frame.left(), least, columnBands(courts, 1, hi)};
    ColumnBand& last = layout.bands.last();
    const int bye = int(least.size()) - 1;
    const double lastRoom = available - layout.widths[0] - sum(layout.widths, last.first + 1, last.count);
    if (qMax(w.wanted[bye], least[bye]) <= lastRoom + slack)
        ++last.count;
    else
        layout.bands << ColumnBand{bye - 1, 1};
    for (const ColumnBand& band : std::as_const(layout.bands)) {
        const int first = band.first + 1;
        double spare = available - layout.widths[0] - sum(layout.widths, first, band.count);
        double need = 0;
        for (int i = first; i < first + band.count; ++i)
            need += qMax(0.0, w.wanted[i] - least[i]);
        const double share = need > 0 ? qMin(1.0, spare / need) : 0.0;
        for (int i = first; i < first + band.count; ++i) {
            const double more = qMax(0.0, w.wanted[i] - least[i]) * share;
            layout.widths[i] += more;
            spare -= more;
        }
        for (int i = first; i < first + band.count && spare > slack; ++i)
            layout.widths[i] += spare / band.count;
    }
    return layout;
}

// Cells wrapped to two lines of the smallest size make a row 1.6 times as
// tall as one line of the body's: the courts take the fewest bands their
// narrowest widths allow, or those that keep each cell on one line when
// that prints less.
ScheduleGrid::Layout ScheduleGrid::bandedLayout(const LetterFrame& frame, const Widths& w) const
{
    const Layout squeezed = bandsOf(frame, w, w.least);
    QVector<double> oneLine = w.least;
    const double smaller = ReportCanvas::smallestReadableSize / bodySize;
    for (int i = 1; i < oneLine.size(); ++i)
        oneLine[i] = qMax(w.least[i], (w.wanted[i] - 2 * cellPadding) * smaller + 2 * cellPadding);
    if (oneLine == w.least)
        return squeezed;
    const Layout roomy = bandsOf(frame, w, oneLine);
    constexpr double wrappedRow = 2 * ReportCanvas::smallestReadableSize / bodySize;
    return roomy.bands.size() <= squeezed.bands.size() * wrappedRow ? roomy : squeezed;
}

ScheduleGrid::Layout ScheduleGrid::layoutOn(const ReportCanvas& r, const PaperGeometry& sheet) const
{
    const LetterFrame frame(sheet, r.pageMargins());
    const Widths w = measure();
    if (!sheet.landscape())
        if (Layout letter = letterLayout(frame, w); !letter.bands.isEmpty())
            return letter;
    return bandedLayout(frame, w);
}

bool ScheduleGrid::wantsLandscape(const ReportCanvas& r) const
{
    const PaperGeometry sheet = r.paperGeometry();
    return !sheet.landscape() && layoutOn(r, sheet).bands.size() > 1 && layoutOn(r, sheet.turned()).bands.size() == 1;
}

QStringList ScheduleGrid::bandTexts(const QStringList& texts, const ColumnBand& band)
{
    return QStringList{texts.first()} + texts.mid(band.first + 1, band.count);
}

// A cell whose text is wider than the cell wraps between entries, set
// smaller if that takes fewer lines; the row is as tall as its tallest cell.
ScheduleGrid::FittedRow ScheduleGrid::fitRow(const ReportCanvas& r, const QStringList& texts,
                                             const QVector<double>& widths) const
{
    FittedRow row{{}, r.lineHeight()};
    for (int i = 0; i < texts.size(); ++i) {
        // A season repeats its pairings: each text is fitted once per width and face.
        const QString key =
            texts[i] + QChar(0x1f) + QString::number(widths[i], 'g', 17) + QChar(r.font().bold ? 'b' : '-');
        auto fitted = fittedCells.constFind(key);
        if (fitted == fittedCells.cend())
            fitted = fittedCells.insert(key, r.fitText(ScheduleText::breakPieces(texts[i]), widths[i] - 2 * cellPadding,
                                                       ReportCanvas::smallestReadableSize));
        row.cells << *fitted;
        row.height = qMax(row.height, fitted->height());
    }
    return row;
}

// The heading's top, bottom and outer lines are heavy, and so is the
// right line of the last court when BYE follows it.
void ScheduleGrid::printRow(ReportCanvas& r, const FittedRow& row, bool isHeading, bool closesGrid) const
{
    using C = ReportCanvas;
    const FontSpec normal = r.font();
    const int last = int(row.cells.size()) - 1;
    r.setRowHeight(row.height);
    for (int i = 0; i <= last; ++i) {
        if (!isHeading)
            r.tab();
        else if (i == 0)
            r.tab(heavy, C::LineAsIs, heavy, heavy);
        else
            r.tab(C::LineAsIs, i == last || (closesGrid && i == last - 1) ? heavy : C::LineAsIs, heavy, heavy);
        r.setFont(normal.family, row.cells[i].size);
        r.setBold(normal.bold);
        r.printColumnLines(row.cells[i].lines);
        r.setFont(normal.family, normal.size);
        r.setBold(normal.bold);
    }
    r.newLine();
}

void ScheduleGrid::setColumns(ReportCanvas& r, double left, const QVector<double>& widths) const
{
    r.clearTabs();
    for (int i = 0; i < widths.size(); ++i)
        r.setTab(i == 0 ? left : ReportCanvas::AfterPrevious, Justify::Center, widths[i], 0, ReportCanvas::BoxAll, 0);
}

// Rows go to the next page when they would leave less than a line above
// the bottom limit; every page of the band starts with its heading.
void ScheduleGrid::printBand(ReportCanvas& r, const Layout& layout, const ColumnBand& band)
{
    const QVector<double> widths = QVector<double>{layout.widths[0]} + layout.widths.mid(band.first + 1, band.count);
    const bool closesGrid = band.first + band.count == heading.size() - 1;
    auto fits = [&r](double height) { return r.bottomLimit() - r.yPos() + 1e-6 >= height + r.lineHeight(); };
    r.setBold(true);
    const FittedRow head = fitRow(r, bandTexts(heading, band), widths);
    r.setBold(false);
    bool headingDue = true;
    for (const QStringList& texts : std::as_const(rows)) {
        const FittedRow fitted = fitRow(r, bandTexts(texts, band), widths);
        if (!fits((headingDue ? head.height : 0.0) + fitted.height)) {
            r.newPage();
            headingDue = true;
        }
        if (headingDue) {
            setColumns(r, layout.left, widths);
            r.setBold(true);
            r.setPen(Qt::black, Qt::SolidLine, 1);
            printRow(r, head, true, closesGrid);
            r.setBold(false);
        }
        headingDue = false;
        printRow(r, fitted, false, closesGrid);
    }
}

void ScheduleGrid::print(ReportCanvas& r, double bottom)
{
    r.setFont("Arial", bodySize);
    r.setBottomLimit(bottom);
    const Layout layout = layoutOn(r, r.paperGeometry());
    for (int b = 0; b < layout.bands.size(); ++b) {
        if (b > 0)
            r.newLine();   // an empty line between bands
        printBand(r, layout, layout.bands[b]);
    }
}
