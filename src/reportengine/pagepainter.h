#pragma once
#include "pageops.h"
#include <QImage>

class QPainter;

// Draws recorded pages on a device. The painter stays unscaled: positions are
// turned into device units at the device's resolution and fonts are set in
// points for it, so text is as large on a 1200 dpi PDF as on the screen.
namespace PagePainter {

struct Scale {
    double x = 1.0;   // scale factors (100 % = 1.0)
    double y = 1.0;
};

// `dpi` is the device's resolution; the page's top left goes to `origin`
// (device units).
void draw(QPainter& painter, const ReportPage& page, double dpi, QPointF origin = {}, Scale scale = {});

// The page on white paper at `dpi`, for the preview.
QImage image(const ReportPage& page, PaperGeometry paper, double dpi, Scale scale = {});

}   // namespace PagePainter
