#include "phoneformat.h"

namespace PhoneFormat {

namespace {

// Besides digits, what people put between them; a letter, "x" or "#"
// (an extension, a word) makes the text something else than a number.
bool isSeparator(QChar c)
{
    return c.isSpace() || QStringLiteral("()-.+/").contains(c);
}

}   // namespace

std::optional<QVariant> stored(const QString& typed)
{
    if (typed.trimmed().isEmpty())
        return QVariant(QMetaType(QMetaType::QString));
    QString digits;
    for (QChar c : typed) {
        if (c.isDigit())
            digits += QChar(QLatin1Char('0' + c.digitValue()));
        else if (!isSeparator(c))
            return std::nullopt;
    }
    if (digits.size() == 11 && digits.startsWith(QLatin1Char('1')))
        digits.remove(0, 1);
    if (digits.size() == 10)
        return QVariant(QStringLiteral("(%1)%2-%3").arg(digits.left(3), digits.mid(3, 3), digits.mid(6)));
    if (digits.size() == 7)
        return QVariant(QStringLiteral("(   )%1-%2").arg(digits.left(3), digits.mid(3)));
    return std::nullopt;
}

bool isValid(const QVariant& value)
{
    return value.isNull() || stored(value.toString()).has_value();
}

QString refusal(const QString& fieldTitle, const QString& typed)
{
    return QStringLiteral("%1 \"%2\" is not a phone number that fits the field. Type the 10 digits with the "
                          "area code, as in (555)123-4567, 555-123-4567 or +1 555 123 4567, or the 7 digits of "
                          "a local number, as in 123-4567; an extension or a note does not fit. Correct it, or "
                          "clear the field.")
        .arg(fieldTitle, typed);
}

QString example()
{
    return QStringLiteral("(555)123-4567");
}

}   // namespace PhoneFormat
