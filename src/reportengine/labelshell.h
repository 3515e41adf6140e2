#pragma once
#include <QObject>
#include <functional>

class ReportCanvas;

// A sheet of labels: places one label after another on the canvas, limiting
// writing to each label's box, and starts a new sheet when one is full.
class TLabelShell : public QObject {
    Q_OBJECT
public:
    enum LabelBrand { lbCustom, lbAV5160, lbAV8160 };
    enum LabelShape { lsRectangle, lsRoundRect };

    explicit TLabelShell(QObject* parent = nullptr);

    // Geometry in inches.
    int NumAcross = 3;
    int NumDown = 10;
    double LabelWidth = 2.625;
    double LabelHeight = 1.0;
    double SpacingLeft = 0.188;   // left edge of the first label
    double SpacingTop = 0.5;      // top edge of the first label
    double SpacingWidth = 2.75;   // left edge to the next label's left edge
    double SpacingHeight = 1.0;   // top of a row to the top of the next
    LabelShape Shape = lsRoundRect;
    bool PrintByRow = true;   // fill a row left to right, then the next row
    // Room kept free inside each label so that no text touches its edge.
    double InnerMarginLeft = 0.1;
    double InnerMarginTop = 0.1;
    double InnerMarginRight = 0.1;

    LabelBrand brand() const { return labelBrand; }
    // A known stock sets its whole geometry; lbCustom keeps the current one.
    void setBrand(LabelBrand brand);

    // Per label position: write the label, then say in `valid` whether
    // another label follows.
    std::function<void(ReportCanvas&, TLabelShell&, bool& valid)> OnLabelPrint;
    std::function<void(ReportCanvas&, TLabelShell&, bool& valid)> OnLabelAfter;

    void print(ReportCanvas& canvas);

    int labelsPerSheet() const { return NumAcross * NumDown; }
    // The label being written: 1-based row and column on its sheet, and its
    // number in the whole run.
    int row() const { return currentRow; }
    int column() const { return currentColumn; }
    int labelNumber() const { return number; }
    double labelLeft(int column) const { return SpacingLeft + (column - 1) * SpacingWidth; }
    double labelTop(int row) const { return SpacingTop + (row - 1) * SpacingHeight; }

private:
    void placeLabel(ReportCanvas& canvas, int position);

    LabelBrand labelBrand = lbAV8160;
    int currentRow = 0, currentColumn = 0, number = 0;
};
