#include "reportcanvas.h"
#include "fonts.h"
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {
// Lines left are counted with a little slack so that a position computed
// by repeated additions of the line height still counts its last line.
constexpr double slack = 1e-6;
}   // namespace

ReportCanvas::ReportCanvas(PaperGeometry paperSize, Margins pageMargins, double unitsFactor)
    : paper(paperSize), margins(pageMargins), units_(unitsFactor > 0 ? unitsFactor : 1.0)
{
    pageList.append(ReportPage{{}, paper});
    resetPageArea();
}

// --- pages ---

void ReportCanvas::newPage()
{
    pageList.append(ReportPage{{}, paper});
    resetPageArea();
    if (pageStarted)
        pageStarted(pageNumber());
}

void ReportCanvas::resetPageArea()
{
    areaLeft = margins.left;
    areaRight = paper.width - margins.right;
    top = margins.top;
    bottom = paper.height - margins.bottom - reservedBottom;
    memoStart = areaLeft;
    memoEnd = areaRight;
    home();
}

void ReportCanvas::setPaper(const PaperGeometry& sheet)
{
    paper = sheet;
    page().paper = sheet;
    resetPageArea();
}

void ReportCanvas::reserveBottom(double height)
{
    reservedBottom = qMax(0.0, height);
    resetPageArea();
}

void ReportCanvas::addPageMarks(const QString& heading)
{
    const FontSpec keep = fontSpec;
    const double keepY = y;
    fontSpec = FontSpec{"Arial", smallestReadableSize};
    const int count = int(pageList.size());
    for (int i = 0; i < count; ++i) {
        ReportPage& marked = pageList[i];
        const QString number = QString("Page %1 of %2").arg(i + 1).arg(count);
        const double numberWidth = ReportFonts::textWidth(fontSpec, number);
        const double left = margins.left, right = marked.paper.width - margins.right;
        constexpr double gap = 0.25;   // keeps a long heading clear of the page number
        const QString name = elided(heading, out(right - left - numberWidth - gap));
        y = marked.paper.height - margins.bottom - 1.2 * fontSpec.size / 72.0;
        const double line = baseline();
        if (!name.isEmpty())
            marked.ops.append(
                TextOp{name, fontSpec, QColor(Qt::black), left, line, ReportFonts::textWidth(fontSpec, name)});
        marked.ops.append(TextOp{number, fontSpec, QColor(Qt::black), right - numberWidth, line, numberWidth});
    }
    fontSpec = keep;
    y = keepY;
}

ReportPage& ReportCanvas::page()
{
    return pageList.last();
}

// --- printing area and position ---

double ReportCanvas::paperWidth() const
{
    return out(paper.width);
}
double ReportCanvas::marginLeft() const
{
    return out(margins.left);
}
double ReportCanvas::marginRight() const
{
    return out(margins.right);
}
double ReportCanvas::topLimit() const
{
    return out(top);
}
double ReportCanvas::bottomLimit() const
{
    return out(bottom);
}
void ReportCanvas::setTopLimit(double t)
{
    top = in(t);
}
void ReportCanvas::setBottomLimit(double b)
{
    bottom = in(b);
}
void ReportCanvas::setTopLimitToCurrent()
{
    top = y;
}

void ReportCanvas::setSection(double left, double t, double right, double b)
{
    areaLeft = in(left);
    areaRight = in(right);
    top = in(t);
    bottom = in(b);
    memoStart = areaLeft;
    memoEnd = areaRight;
}

double ReportCanvas::sectionLeft() const
{
    return out(areaLeft);
}
double ReportCanvas::sectionRight() const
{
    return out(areaRight);
}
double ReportCanvas::yPos() const
{
    return out(y);
}
void ReportCanvas::setYPos(double v)
{
    y = in(v);
    tallestOnLine = 0;
    row = 0;
}
double ReportCanvas::xPos() const
{
    return out(x);
}

void ReportCanvas::home()
{
    y = top;
    tallestOnLine = 0;
    row = 0;
    x = areaLeft;
    tabIndex = -1;
}

double ReportCanvas::lineHeight() const
{
    return out(1.2 * fontSpec.size / 72.0);
}

int ReportCanvas::linesLeft() const
{
    const double h = 1.2 * fontSpec.size / 72.0;
    const double room = bottom - y;
    return room <= 0 ? 0 : int(std::floor(room / h + slack));
}

// --- font and pen ---

void ReportCanvas::setFont(const QString& family, double size)
{
    fontSpec = FontSpec{family, size > 0 ? size : 10.0};
}

void ReportCanvas::setBold(bool on)
{
    fontSpec.bold = on;
}
void ReportCanvas::setItalic(bool on)
{
    fontSpec.italic = on;
}
void ReportCanvas::setUnderline(bool on)
{
    fontSpec.underline = on;
}

void ReportCanvas::setPen(const QColor& color, Qt::PenStyle style, int width)
{
    penSpec = PenSpec{color, style, width < 0 ? 0 : width};
}

double ReportCanvas::textWidth(const QString& text) const
{
    return out(ReportFonts::textWidth(fontSpec, text));
}

// --- text ---

double ReportCanvas::baseline() const
{
    // Centre the font's height in the 1.2 line.
    const double h = 1.2 * fontSpec.size / 72.0;
    const double a = ReportFonts::ascent(fontSpec);
    const double d = ReportFonts::descent(fontSpec);
    return y + (h - (a + d)) / 2.0 + a;
}

void ReportCanvas::addText(const QString& text, double left)
{
    if (text.isEmpty())
        return;
    const double w = ReportFonts::textWidth(fontSpec, text);
    page().ops.append(TextOp{text, fontSpec, QColor(Qt::black), left, baseline(), w});
    x = left + w;
    tallestOnLine = qMax(tallestOnLine, 1.2 * fontSpec.size / 72.0);
}

void ReportCanvas::printCenter(const QString& text, double at)
{
    addText(text, in(at)-ReportFonts::textWidth(fontSpec, text) / 2.0);
}

void ReportCanvas::printLeft(const QString& text, double at)
{
    addText(text, in(at));
}

void ReportCanvas::printRight(const QString& text, double at)
{
    addText(text, in(at)-ReportFonts::textWidth(fontSpec, text));
}

void ReportCanvas::printFooter(const QString& text, Justify justify)
{
    const double keepY = y, keepX = x, keepTallest = tallestOnLine;
    y = bottom - 1.2 * fontSpec.size / 72.0;
    const double w = ReportFonts::textWidth(fontSpec, text);
    switch (justify) {
    case Justify::Left: addText(text, margins.left); break;
    case Justify::Right: addText(text, paper.width - margins.right - w); break;
    case Justify::Center: addText(text, (margins.left + paper.width - margins.right - w) / 2.0); break;
    }
    y = keepY;
    x = keepX;
    tallestOnLine = keepTallest;
}

void ReportCanvas::print(const QString& text)
{
    const QStringList pieces = text.split(QChar('\t'));
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            tab();
        if (tabIndex >= 0 && tabIndex < tabs.size())
            printInColumn(tabs[tabIndex], pieces[i]);
        else
            addText(pieces[i], x);
    }
}

void ReportCanvas::println(const QString& text)
{
    print(text);
    newLine();
}

void ReportCanvas::newLine()
{
    y += qMax(qMax(1.2 * fontSpec.size / 72.0, tallestOnLine), row);
    tallestOnLine = 0;
    row = 0;
    x = areaLeft;
    tabIndex = -1;
}

// --- columns ---

void ReportCanvas::clearTabs()
{
    tabs.clear();
    tabIndex = -1;
}

void ReportCanvas::setTab(double position, Justify justify, double width, double margin, int boxLines, int shade)
{
    double left = in(position);
    if (position < 0)
        left = tabs.isEmpty() ? areaLeft : tabs.last().left + tabs.last().width;
    tabs.append(Column{left, in(width), justify, margin / 100.0, boxLines, qBound(0, shade, 100)});
}

void ReportCanvas::columnLine(double x1, double y1, double x2, double y2, int own, int override)
{
    if (override == LineNone)
        return;
    LineOp line{x1, y1, x2, y2, penSpec, 0.0};
    if (override < 0)
        line.inchWidth = -override / 100.0;
    else if (!own)
        return;
    page().ops.append(line);
}

void ReportCanvas::tab(int left, int right, int topLine, int bottomLine, int shade)
{
    ++tabIndex;
    if (tabIndex >= tabs.size())
        return;   // no further column: text goes on at the current position
    Column& c = tabs[tabIndex];
    c.used = 0;
    const double l = c.left, r = c.left + c.width;
    const double t = y, b = rowBottom();
    const int s = shade == ShadeAsIs ? c.shade : qBound(0, shade, 100);
    if (s > 0)
        page().ops.append(ShadeOp{l, t, r, b, s});
    columnLine(l, t, r, t, c.boxLines & BoxTop, topLine);
    columnLine(l, b, r, b, c.boxLines & BoxBottom, bottomLine);
    columnLine(l, t, l, b, c.boxLines & BoxLeft, left);
    columnLine(r, t, r, b, c.boxLines & BoxRight, right);
    x = l;
}

void ReportCanvas::printInColumn(Column& c, const QString& text)
{
    const double w = ReportFonts::textWidth(fontSpec, text);
    const double inner = c.left + c.margin, innerRight = c.left + c.width - c.margin;
    switch (c.justify) {
    case Justify::Left:
        addText(text, inner + c.used);
        c.used += w;
        break;
    case Justify::Right: addText(text, innerRight - w); break;
    case Justify::Center: addText(text, (inner + innerRight - w) / 2.0); break;
    }
}

double ReportCanvas::rowBottom() const
{
    return y + qMax(1.2 * fontSpec.size / 72.0, row);
}

void ReportCanvas::setRowHeight(double height)
{
    row = qMax(0.0, in(height));
}
double ReportCanvas::rowHeight() const
{
    return out(row);
}

void ReportCanvas::printColumnLines(const QStringList& lines)
{
    if (tabIndex < 0 || tabIndex >= tabs.size() || lines.isEmpty())
        return;
    const Column& c = tabs[tabIndex];
    const double keepY = y, keepTallest = tallestOnLine;
    const double line = 1.2 * fontSpec.size / 72.0;
    const double block = line * lines.size();
    y = keepY + qMax(0.0, (rowBottom() - keepY - block) / 2.0);
    for (const QString& text : lines) {
        const double w = ReportFonts::textWidth(fontSpec, text);
        const double inner = c.left + c.margin, innerRight = c.left + c.width - c.margin;
        switch (c.justify) {
        case Justify::Left: addText(text, inner); break;
        case Justify::Right: addText(text, innerRight - w); break;
        case Justify::Center: addText(text, (inner + innerRight - w) / 2.0); break;
        }
        y += line;
    }
    y = keepY;
    tallestOnLine = keepTallest;
}

void ReportCanvas::printFitted(const QString& text, double smallestSize, const QString& keptTail)
{
    const FontSpec normal = fontSpec;
    const double room = areaRight - x;
    const QString whole = text + keptTail;
    while (fontSpec.size - 0.5 >= smallestSize - slack && ReportFonts::textWidth(fontSpec, whole) > room + slack)
        fontSpec.size -= 0.5;
    QString shown = whole;
    if (ReportFonts::textWidth(fontSpec, whole) > room + slack) {
        const double tail = ReportFonts::textWidth(fontSpec, keptTail);
        shown = tail < room ? elided(text, out(room - tail)) + keptTail : elided(whole, out(room));
    }
    const double keepTallest = tallestOnLine;
    addText(shown, x);
    tallestOnLine = qMax(keepTallest, 1.2 * normal.size / 72.0);
    fontSpec = normal;
}

int ReportCanvas::printWrappedFitted(const QString& text, double smallestSize, int maxLines)
{
    // Whole words on each line at the current size; only the last line
    // allowed takes what remains, set smaller or cut.
    const double room = areaRight - x;
    QStringList lines;
    for (QString word : wordPieces(text)) {
        word = word.trimmed();
        if (!lines.isEmpty() && lines.size() < maxLines &&
            ReportFonts::textWidth(fontSpec, lines.last() + ' ' + word) <= room + slack)
            lines.last() += ' ' + word;
        else if (lines.size() < maxLines)
            lines << word;
        else
            lines.last() += ' ' + word;
    }
    if (lines.isEmpty())
        lines << QString();
    // A word too wide for its own line, or the rest heaped on the last line,
    // is set smaller and cut on that line.
    const double left = x;
    for (const QString& line : std::as_const(lines)) {
        x = left;
        printFitted(line, smallestSize);
        newLine();
    }
    return int(lines.size());
}

void ReportCanvas::printTab(const QString& text)
{
    tab();
    print(text);
}

// --- memo ---

void ReportCanvas::setPrintStart(double v)
{
    memoStart = in(v);
}
void ReportCanvas::setPrintEnd(double v)
{
    memoEnd = in(v);
}

QStringList ReportCanvas::wrapLines(const QString& text, double widthUnits) const
{
    QString memo = text;
    memo.remove(QChar('\r'));
    while (!memo.isEmpty() && memo.back().isSpace())
        memo.chop(1);
    QStringList lines;
    if (memo.isEmpty())
        return lines;
    for (const QString& paragraph : memo.split(QChar('\n')))
        lines += wrapText(paragraph, widthUnits, widthUnits);
    return lines;
}

QStringList ReportCanvas::wordPieces(const QString& text)
{
    static const QRegularExpression blanks("[ \\t]+");
    QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    for (int i = 1; i < words.size(); ++i)
        words[i].prepend(QChar(' '));
    return words;
}

QStringList ReportCanvas::wrapText(const QString& text, double firstWidth, double restWidth) const
{
    return wrapPieces(wordPieces(text), firstWidth, restWidth);
}

QStringList ReportCanvas::wrapPieces(const QStringList& pieces, double firstWidth, double restWidth) const
{
    return wrapPiecesIn(fontSpec, pieces, firstWidth, restWidth);
}

namespace {
QString withoutTrailingBlanks(QString s)
{
    while (!s.isEmpty() && s.back().isSpace())
        s.chop(1);
    return s;
}

QString withoutLeadingBlanks(const QString& s)
{
    int i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return s.mid(i);
}
}   // namespace

QStringList ReportCanvas::wrapPiecesIn(const FontSpec& face, const QStringList& pieces, double firstWidth,
                                       double restWidth, bool* cut) const
{
    if (cut)
        *cut = false;
    QStringList lines;
    auto room = [&] { return in(lines.isEmpty() ? firstWidth : restWidth); };
    auto fits = [&](const QString& s) {
        return ReportFonts::textWidth(face, withoutTrailingBlanks(s)) <= room() + slack;
    };
    QString line;
    for (const QString& piece : pieces) {
        const QString joined = line.isEmpty() ? withoutLeadingBlanks(piece) : line + piece;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            lines.append(withoutTrailingBlanks(line));
        QString rest = withoutLeadingBlanks(piece);
        // A piece wider than the whole line is cut where it must be.
        while (rest.size() > 1 && !fits(rest)) {
            if (cut)
                *cut = true;
            int n = rest.size() - 1;
            while (n > 1 && !fits(rest.left(n)))
                --n;
            lines.append(rest.left(n));
            rest = rest.mid(n);
        }
        line = rest;
    }
    lines.append(withoutTrailingBlanks(line));
    return lines;
}

ReportCanvas::FittedText ReportCanvas::fitText(const QStringList& pieces, double width, double smallestSize) const
{
    FontSpec face = fontSpec;
    bool bestCut = false;
    FittedText best{face.size, wrapPiecesIn(face, pieces, width, width, &bestCut)};
    if (!bestCut && best.lines.size() > 1) {
        // No size between takes fewer lines than the smallest does: when
        // that one saves none, the text stays at its own size.
        FontSpec smallest = face;
        smallest.size = smallestSize;
        bool cut = false;
        if (wrapPiecesIn(smallest, pieces, width, width, &cut).size() >= best.lines.size() && !cut)
            return best;
    }
    for (face.size -= 0.5; (bestCut || best.lines.size() > 1) && face.size >= smallestSize - slack; face.size -= 0.5) {
        bool cut = false;
        QStringList lines = wrapPiecesIn(face, pieces, width, width, &cut);
        if ((bestCut && !cut) || (cut == bestCut && lines.size() < best.lines.size())) {
            best = FittedText{face.size, lines};
            bestCut = cut;
        }
    }
    return best;
}

QString ReportCanvas::elided(const QString& text, double width) const
{
    const double room = in(width) + slack;
    if (ReportFonts::textWidth(fontSpec, text) <= room)
        return text;
    const QString ellipsis(QChar(0x2026));
    for (int n = int(text.size()) - 1; n > 0; --n) {
        const QString cut = withoutTrailingBlanks(text.left(n)) + ellipsis;
        if (ReportFonts::textWidth(fontSpec, cut) <= room)
            return cut;
    }
    return ReportFonts::textWidth(fontSpec, ellipsis) <= room ? ellipsis : QString();
}

int ReportCanvas::printMemo(const QString& text, int maxLines)
{
    const QStringList lines = wrapLines(text, out(memoEnd - memoStart));
    int printed = 0;
    for (const QString& line : lines) {
        if (maxLines > 0 && printed >= maxLines)
            break;
        addText(line, memoStart);
        newLine();
        ++printed;
    }
    return printed;
}

void ReportCanvas::drawLine(double x1, double y1, double x2, double y2)
{
    page().ops.append(LineOp{in(x1), in(y1), in(x2), in(y2), penSpec, 0.0});
}
