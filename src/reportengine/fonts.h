#pragma once
#include "pageops.h"
#include <QFont>

// Fonts of the report engine. A face that is not installed falls back to a
// metric-compatible one ("Arial" to "Liberation Sans"), so that a layout made
// for it keeps its widths.
namespace ReportFonts {

QString resolvedFamily(const QString& family);

// The font at `pointSize`, outlines only, no hinting: what the layout
// measures is what every device draws.
QFont font(const FontSpec& face, double pointSize);

// Advance of `text` in inches.
double textWidth(const FontSpec& face, const QString& text);
double ascent(const FontSpec& face);    // inches
double descent(const FontSpec& face);   // inches

}   // namespace ReportFonts
