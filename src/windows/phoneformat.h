#pragma once
// A phone number as people type it ("555-234-5678", "+1 555 234 5678",
// "(555) 234-5678", "234-5678"), turned into the roster's stored form
// "(555)234-5678", or "(   )234-5678" without an area code. Only the digits
// count: ten (or eleven with a leading 1) give the area code, seven a local
// number. Anything else is refused whole, never cut to fit.
#include <QString>
#include <QVariant>
#include <optional>

namespace PhoneFormat {

// The stored value of the typed text: null for empty text, nothing when
// the text is no phone number the field can hold.
std::optional<QVariant> stored(const QString& typed);
// Whether a stored value (or a value typed into a row) can be kept.
bool isValid(const QVariant& value);
// Why the typed text is refused, naming the field and the forms taken.
QString refusal(const QString& fieldTitle, const QString& typed);
// A filled-in value as wide as the field shows.
QString example();

}   // namespace PhoneFormat
