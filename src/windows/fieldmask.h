#pragma once
#include <QString>
#include <QVariant>
#include <QVector>

// An edit mask of a text column: the text a user types into fixed positions,
// turned into the value that is stored. Masks are written in the classic
// edit-mask notation the table layouts use (">LL;1;_", "00000\-9999;1;_"):
// 0 required digit, 9 optional digit, L/l letter, A/a letter or digit,
// C/c any character, > upper case, < lower case, \ literal, then ";1" to
// store the literals and ";_" for the blank shown in unfilled positions.
// Qt's own mask letters mean other things (9 is a required digit there), so
// qtInputMask() translates the meaning, not the characters.
class FieldMask {
public:
    FieldMask() = default;
    static FieldMask fromEditMask(const QString& editMask);

    bool isNull() const { return positions.isEmpty(); }
    // For QLineEdit::setInputMask, blank character included ("(000)000-0000;_").
    // Every position is optional there: the line edit would otherwise hold
    // the focus silently on an incomplete value, and would drop it when the
    // cell loses the focus; isComplete() decides, and the grid says why.
    QString qtInputMask() const;
    QChar blank() const { return blankChar; }
    int length() const { return int(positions.size()); }

    // The stored value of a line edit's displayText(): unfilled positions
    // become blanks, trailing blanks are dropped, and a text with no typed
    // character is empty (a null value), never just the literals. When the
    // optional positions lead (a phone's area code) and exactly as many
    // characters were typed as the required positions hold, they go to the
    // required ones: "1234567" is the local number "(   )123-4567".
    QVariant storedValue(const QString& displayText) const;
    // The text to put into a masked line edit for a stored value.
    QString editText(const QVariant& stored) const;
    // Every required position of a stored value is filled.
    bool isComplete(const QVariant& stored) const;
    // What the user is told when a value is incomplete, e.g. "(555)123-4567".
    QString example() const;

private:
    struct Slot {
        enum Kind { Literal, Digit, Letter, AlphaNum, Any };
        Kind kind = Literal;
        bool required = false;
        QChar literal;
        int caseMode = 0;   // 1 upper, -1 lower
    };
    bool accepts(const Slot& s, QChar c) const;
    bool optionalPositionsLead() const;
    int requiredCount() const;

    QVector<Slot> positions;
    bool saveLiterals = true;
    QChar blankChar = QLatin1Char('_');
};

// The masks of the roster's columns. The phone mask describes the stored
// form; the grid takes phones as typed (PhoneFormat), not through it.
namespace RosterMasks {
const QString phone = QStringLiteral("!\\(999\\)000-0000;1;_");
const QString state = QStringLiteral(">LL;1;_");
const QString zipCode = QStringLiteral("00000\\-9999;1;_");
}   // namespace RosterMasks
