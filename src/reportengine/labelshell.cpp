#include "labelshell.h"
#include "reportcanvas.h"

TLabelShell::TLabelShell(QObject* parent) : QObject(parent)
{
    setBrand(lbAV8160);
}

void TLabelShell::setBrand(LabelBrand b)
{
    labelBrand = b;
    if (b == lbCustom)
        return;
    // Avery 5160 and 8160 are the same sheet: 3 x 10 labels of 2.625 x 1 inch.
    NumAcross = 3;
    NumDown = 10;
    LabelWidth = 2.625;
    LabelHeight = 1.0;
    SpacingLeft = 0.188;
    SpacingTop = 0.5;
    SpacingWidth = 2.75;
    SpacingHeight = 1.0;
    Shape = lsRoundRect;
    PrintByRow = true;
}

void TLabelShell::placeLabel(ReportCanvas& canvas, int position)
{
    if (PrintByRow) {
        currentRow = position / NumAcross + 1;
        currentColumn = position % NumAcross + 1;
    } else {
        currentColumn = position / NumDown + 1;
        currentRow = position % NumDown + 1;
    }
    const double left = labelLeft(currentColumn), top = labelTop(currentRow);
    canvas.setSection(left + InnerMarginLeft, top + InnerMarginTop, left + LabelWidth - InnerMarginRight,
                      top + LabelHeight);
    canvas.home();
}

void TLabelShell::print(ReportCanvas& canvas)
{
    number = 0;
    if (NumAcross < 1 || NumDown < 1)
        return;
    for (bool firstSheet = true;; firstSheet = false) {
        if (!firstSheet)
            canvas.newPage();
        for (int position = 0; position < labelsPerSheet(); ++position) {
            ++number;
            placeLabel(canvas, position);
            bool valid = true;
            if (OnLabelPrint)
                OnLabelPrint(canvas, *this, valid);
            valid = false;
            if (OnLabelAfter)
                OnLabelAfter(canvas, *this, valid);
            if (!valid)
                return;
        }
    }
}
