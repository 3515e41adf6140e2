#include "printformats.h"

namespace PrintFormats {

namespace {
bool hasDigit(const QString& s)
{
    for (QChar c : s)
        if (c.isDigit())
            return true;
    return false;
}
}   // namespace

QString phone(const QString& stored)
{
    const QString text = stored.trimmed();
    if (!hasDigit(text))
        return {};
    const int close = text.indexOf(QChar(')'));
    if (text.startsWith(QChar('(')) && close > 0 && !hasDigit(text.mid(1, close - 1)))
        return text.mid(close + 1).trimmed();
    return text;
}

QString zipCode(const QString& stored)
{
    const QString text = stored.trimmed();
    const int hyphen = text.indexOf(QChar('-'));
    if (hyphen >= 0 && !hasDigit(text.mid(hyphen + 1)))
        return text.left(hyphen).trimmed();
    return text;
}

}   // namespace PrintFormats
