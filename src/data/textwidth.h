#pragma once
#include <QString>

// `text` cut to at most `width` UTF-16 units (the width of a string column)
// without splitting a character: a surrogate pair is kept whole or dropped,
// and a lone half at the end (left by an editor's own length limit) goes.
QString cutToWidth(const QString& text, int width);
