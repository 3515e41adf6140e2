#include "textwidth.h"

QString cutToWidth(const QString& text, int width)
{
    QString cut = width >= 0 && text.size() > width ? text.left(width) : text;
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}
