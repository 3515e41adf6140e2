#pragma once
#include <QColor>
#include <QString>
#include <QVector>
#include <variant>

// One page of a report as the operations that draw it, every length in
// inches from the paper's top left. The same list is drawn on the preview,
// a printer or a PDF, each at its own resolution.

struct FontSpec {
    QString family;       // as asked for ("Arial")
    double size = 10.0;   // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec&) const = default;
};

struct PenSpec {
    QColor color = Qt::black;
    Qt::PenStyle style = Qt::SolidLine;
    int width = 1;   // device pixels; 0 is the device's thinnest line
    bool operator==(const PenSpec&) const = default;
};

struct TextOp {
    QString text;
    FontSpec font;
    QColor color = Qt::black;
    double x = 0;   // left end of the text
    double baseline = 0;
    double width = 0;   // measured advance
};

// A line is either drawn with a pen of device pixels or has a fixed width
// in inches (the heavy lines of a grid heading).
struct LineOp {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    PenSpec pen;
    double inchWidth = 0;   // > 0: width in inches, overrides pen.width
};

struct ShadeOp {
    double left = 0, top = 0, right = 0, bottom = 0;
    int percent = 0;   // 0 white .. 100 black
};

using PageOp = std::variant<TextOp, LineOp, ShadeOp>;

struct PaperGeometry {
    double width = 8.5;
    double height = 11.0;
    bool operator==(const PaperGeometry&) const = default;
    // The same sheet turned a quarter: width and height swapped.
    PaperGeometry turned() const { return {height, width}; }
    bool landscape() const { return width > height; }
};

struct ReportPage {
    QVector<PageOp> ops;
    PaperGeometry paper;   // the sheet this page is laid out on

    // Convenience for tests and the preview: the texts in drawing order.
    QVector<TextOp> texts() const;
    QVector<LineOp> lines() const;
    QVector<ShadeOp> shades() const;
};

struct PageMargins {
    double left = 0.5, right = 0.5, top = 0.25, bottom = 0.25;   // inches
};
