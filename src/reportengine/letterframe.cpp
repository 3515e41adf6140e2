#include "letterframe.h"

LetterFrame::LetterFrame(const PaperGeometry& sheet, const PageMargins& pageMargins)
    : paper(sheet), margins(pageMargins)
{
    const PaperGeometry letter;
    const double letterWidth = letter.width - margins.left - margins.right;
    const double letterHeight = letter.height - margins.top - margins.bottom;
    // On Letter itself the factors are exactly 1, so that its inch layout is kept to the last digit.
    scaleX = sheet.width == letter.width ? 1.0 : (right() - left()) / letterWidth;
    scaleY = sheet.height == letter.height ? 1.0 : (bottom() - top()) / letterHeight;
}
