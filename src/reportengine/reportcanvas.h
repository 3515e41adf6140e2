#pragma once
#include "letterframe.h"
#include "pageops.h"
#include <QString>
#include <QVector>
#include <functional>

// The page surface a report draws on. Positions are in report units (inches
// times the units factor) from the paper's top left; the current position is
// the top of the current line. Nothing is drawn here: each page collects the
// operations that draw it, so that every device can draw them at its own
// resolution.
class ReportCanvas {
public:
    enum class Justify { Left, Center, Right };

    // Box lines of a column.
    enum BoxLines { BoxNone = 0, BoxLeft = 1, BoxRight = 2, BoxTop = 4, BoxBottom = 8, BoxAll = 15 };
    // Overrides when moving into a column: the column's own line, none, or
    // (any negative w) a line |w|/100 inch wide.
    static constexpr int LineAsIs = 1;
    static constexpr int LineNone = 0;
    static constexpr int ShadeAsIs = -1;
    // Column position meaning "directly after the previous column".
    static constexpr double AfterPrevious = -1.0;
    // Text that does not fit is set no smaller than this (points).
    static constexpr double smallestReadableSize = 8.0;
    // The strip at the foot of every page that the page marks take.
    static constexpr double pageMarkHeight = 1.2 * smallestReadableSize / 72.0;

    using Margins = PageMargins;

    ReportCanvas(PaperGeometry paper = {}, Margins margins = {}, double unitsFactor = 1.0);

    // --- pages ---
    const QVector<ReportPage>& pages() const { return pageList; }
    int pageNumber() const { return int(pageList.size()); }
    // Starts a page: the printing area becomes the page inside its margins
    // and the position goes to its first line.
    void newPage();
    // Called with the page number whenever a page starts (status window).
    std::function<void(int page)> pageStarted;
    // The sheet of this page and the pages after it (a report turned to
    // landscape); the printing area becomes the new page's.
    void setPaper(const PaperGeometry& sheet);
    const PaperGeometry& paperGeometry() const { return paper; }
    const Margins& pageMargins() const { return margins; }
    // A Letter layout placed on the current sheet.
    LetterFrame letterFrame() const { return LetterFrame(paper, margins); }
    // Keeps a strip of `height` inches above the bottom margin of every page
    // free of the report's own lines, for the page marks.
    void reserveBottom(double height);
    // Writes `heading` and "Page N of M" into the reserved strip of every page.
    void addPageMarks(const QString& heading);

    // --- printing area and position ---
    double paperWidth() const;
    double marginLeft() const;
    double marginRight() const;
    double topLimit() const;
    double bottomLimit() const;
    void setTopLimit(double top);
    void setBottomLimit(double bottom);
    // The current position becomes the top of the printing area.
    void setTopLimitToCurrent();
    // Limits writing to a box (a label): lines start at `left`, the area
    // runs from `top` to `bottom`; the next page restores the margins.
    void setSection(double left, double top, double right, double bottom);
    double sectionLeft() const;
    double sectionRight() const;
    double yPos() const;
    void setYPos(double y);
    double xPos() const;
    void home();                 // first line of the printing area
    double lineHeight() const;   // 1.2 times the font size
    // Whole lines from the current one down to the bottom limit, the current one included.
    int linesLeft() const;

    // --- font and pen ---
    void setFont(const QString& family, double size);   // every style off
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    const FontSpec& font() const { return fontSpec; }
    // Width in device pixels; 0 is the device's thinnest line.
    void setPen(const QColor& color, Qt::PenStyle style, int width);
    const PenSpec& pen() const { return penSpec; }
    double textWidth(const QString& text) const;

    // --- text ---
    void printCenter(const QString& text, double x);
    void printLeft(const QString& text, double x);
    void printRight(const QString& text, double x);
    // On the bottom line of the printing area, justified at a page margin.
    void printFooter(const QString& text, Justify justify);
    // At the current position, or into the current column with its
    // justification; a tab character moves into the next column.
    void print(const QString& text);
    void println(const QString& text);
    // Moves below the current line: 1.2 times the font size, or more when a
    // larger font was written on the line or the row was made taller. Never
    // starts a page by itself.
    void newLine();
    // Makes the current line a row `height` tall: box lines drawn by tab()
    // span it and newLine() moves below it. Ends with the line.
    void setRowHeight(double height);
    double rowHeight() const;

    // Writes `lines` one under the other into the current column with its
    // justification, in the current font, the block centred in the row.
    void printColumnLines(const QStringList& lines);
    // Writes `text` at the start of the current line of the printing area,
    // set smaller down to `smallestSize` points when it is wider than the
    // area, and cut with an ellipsis when even that is too wide. A `keptTail`
    // follows the text and is never cut (a label's state and zip code).
    void printFitted(const QString& text, double smallestSize, const QString& keptTail = {});
    // Writes `text` word-wrapped over at most `maxLines` lines from the
    // current one, ending each; a line still too wide is set smaller and cut
    // as printFitted does. Returns the number of lines written.
    int printWrappedFitted(const QString& text, double smallestSize, int maxLines);

    // --- columns ---
    void clearTabs();
    void setTab(double position, Justify justify, double width, double margin /*1/100 in*/, int boxLines,
                int shade /*percent*/);
    int tabCount() const { return int(tabs.size()); }
    int currentTab() const { return tabIndex; }   // -1 before the first of the line
    // Moves into the next column and draws its shade and box lines.
    void tab(int left = LineAsIs, int right = LineAsIs, int top = LineAsIs, int bottom = LineAsIs,
             int shade = ShadeAsIs);
    void printTab(const QString& text);

    // --- memo ---
    void setPrintStart(double x);
    void setPrintEnd(double x);
    // Word-wraps between PrintStart and PrintEnd from the current line,
    // ending each line; at most `maxLines` lines (0 = no limit). Returns the
    // number of lines printed.
    int printMemo(const QString& text, int maxLines);
    // The lines printMemo would print, for `width` inches.
    QStringList wrapLines(const QString& text, double width) const;

    // --- fitting text into a width ---
    // Joins `pieces` greedily into lines no wider than `firstWidth` (the
    // first line) or `restWidth` (the others). A piece's leading blanks are
    // dropped at the start of a line; a piece wider than a whole line is cut
    // between characters. Always at least one line.
    QStringList wrapPieces(const QStringList& pieces, double firstWidth, double restWidth) const;
    // The words of `text` as pieces for wrapPieces and fitText, each but the
    // first with the blank before it.
    static QStringList wordPieces(const QString& text);
    // One paragraph word-wrapped the same way, cut at its blanks.
    QStringList wrapText(const QString& text, double firstWidth, double restWidth) const;
    struct FittedText {
        double size = 10.0;   // points
        QStringList lines;
        double height() const { return lines.size() * 1.2 * size / 72.0; }   // inches
    };
    // The current font's size, or a smaller one down to `smallestSize`:
    // whichever cuts no piece between characters, then takes the fewest
    // lines in `width`, then is the larger.
    FittedText fitText(const QStringList& pieces, double width, double smallestSize) const;
    // `text` cut with an ellipsis so that it is no wider than `width`.
    QString elided(const QString& text, double width) const;

    // --- raw lines (inches) for shells and frames ---
    void drawLine(double x1, double y1, double x2, double y2);

private:
    struct Column {
        double left, width;
        Justify justify;
        double margin;   // inches
        int boxLines;
        int shade;
        double used = 0;   // inches already written left-justified
    };

    double in(double units) const { return units / units_; }
    double out(double inches) const { return inches * units_; }
    ReportPage& page();
    void addText(const QString& text, double left);
    void printInColumn(Column& c, const QString& text);
    void columnLine(double x1, double y1, double x2, double y2, int own, int override);
    double baseline() const;
    void resetPageArea();
    double rowBottom() const;
    // `cut` tells whether a piece had to be cut between characters.
    QStringList wrapPiecesIn(const FontSpec& face, const QStringList& pieces, double firstWidth, double restWidth,
                             bool* cut = nullptr) const;

    PaperGeometry paper;
    Margins margins;
    double units_;
    QVector<ReportPage> pageList;

    double areaLeft, areaRight, top, bottom;
    double y = 0, x = 0;
    double memoStart, memoEnd;
    FontSpec fontSpec{"Arial", 10.0};
    PenSpec penSpec;
    QVector<Column> tabs;
    int tabIndex = -1;
    double reservedBottom = 0;
    double tallestOnLine = 0;   // line height of the largest text written on the line
    double row = 0;             // height the current line was given, 0 when none
};
