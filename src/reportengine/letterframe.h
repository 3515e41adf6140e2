#pragma once
#include "pageops.h"

// A layout drawn in inches for Letter paper inside the report's margins,
// placed on the paper in use: on Letter it stays exactly as drawn; on any
// other sheet (A4, Letter turned) its positions are stretched or shrunk to
// that sheet's printable area. Font sizes are not scaled.
class LetterFrame {
public:
    LetterFrame(const PaperGeometry& paper, const PageMargins& margins);

    double x(double letterX) const { return left() + (letterX - margins.left) * scaleX; }
    double y(double letterY) const { return top() + (letterY - margins.top) * scaleY; }
    double width(double letterWidth) const { return letterWidth * scaleX; }

    // The printable area of the paper in use.
    double left() const { return margins.left; }
    double right() const { return paper.width - margins.right; }
    double top() const { return margins.top; }
    double bottom() const { return paper.height - margins.bottom; }

private:
    PaperGeometry paper;
    PageMargins margins;
    double scaleX, scaleY;
};
