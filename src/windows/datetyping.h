#pragma once
// Typing into date and time pickers the way people type dates: a whole date
// in the short format ("1/6/2027", "01/06/2027"), a time as "6:30 PM" or
// "18:30", or just the section under the cursor. The section-by-section
// typing of the plain pickers jumps a section too far after a two-digit
// month and cannot take a 24-hour time; this replaces it.
#include <QDateTime>
#include <QVector>

class QDateTimeEdit;

// What the keys typed so far make of the value, apart from any widget.
class DateTimeTyping {
public:
    enum class Part { Month, Day, Year2, Year4, Hour12, Hour24, Minute, Second, AmPm };

    explicit DateTimeTyping(QVector<Part> parts) : parts(std::move(parts)) {}
    // The parts of a display format in their order ("M/d/yyyy", "h:mm AP").
    static QVector<Part> partsOf(const QString& displayFormat);

    struct Result {
        QDateTime value;
        int section = 0;   // the part the next key goes to
    };
    // `typed` entered from part `firstPart` on, over `start`. While typing
    // (`finished` false) a year counts once it has four digits; when the
    // field is left, two digits are taken as 20yy.
    Result apply(const QDateTime& start, int firstPart, const QString& typed, bool finished) const;

private:
    QVector<Part> parts;
};

// The widest year range a picker offers: what the database stores and the
// schedule's printed forms can show.
QDate earliestPickerDate();
QDate latestPickerDate();

// Gives a picker the typing above, the program's date format (for a date
// picker) and the year range. The picker keeps its own arrows, wheel and
// calendar.
void setUpPicker(QDateTimeEdit* picker);
