#pragma once
// Colours the windows add to the desktop's palette. They are derived from
// the palette, never fixed, so text stays readable on a light or a dark desktop.
#include <QColor>
#include <QPalette>

// How well text of one colour reads on another: the ratio of their relative
// luminances (1 for equal colours, 21 for black on white). Body text wants 4.5.
double contrastRatio(const QColor& foreground, const QColor& background);

// `tint` made lighter or darker, keeping its hue, until it reads on `background`.
QColor readableTint(const QColor& tint, const QColor& background);

// The background of schedule rows already played: the base colour moved a
// little towards the text colour.
QColor playedRowShade(const QPalette& palette);

// A dark palette for the Fusion style, used when the desktop asks for dark
// colours but its own theme does not hand them to Qt.
QPalette darkPalette();

// True when the palette draws light text on a dark window.
bool isDark(const QPalette& palette);
