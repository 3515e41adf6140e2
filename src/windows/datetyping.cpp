#include "datetyping.h"
#include "data/tablemodel.h"
#include <QApplication>
#include <QDateTimeEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>
#include <optional>

using Part = DateTimeTyping::Part;

namespace {

int maxDigits(Part p)
{
    return p == Part::Year4 ? 4 : 2;
}

// The largest value a part takes while typing; an hour of a 12-hour field
// also takes 13..23, read as a 24-hour time.
int maxValue(Part p)
{
    switch (p) {
    case Part::Month: return 12;
    case Part::Day: return 31;
    case Part::Year2: return 99;
    case Part::Year4: return 9999;
    case Part::Hour12:
    case Part::Hour24: return 23;
    case Part::Minute:
    case Part::Second: return 59;
    case Part::AmPm: return 0;
    }
    return 0;
}

struct Fields {
    int year, month, day, hour, minute, second;
    std::optional<bool> typedPm;   // "a" or "p" typed
    bool hourTyped = false;
    int hour12 = 0;   // the hour as typed into a 12-hour field
};

// Writes the digits of one part into the fields; a value the part cannot
// hold (month 0, a three-digit year) leaves the field as it was.
void commit(Fields& f, Part p, const QString& digits, bool finished)
{
    if (digits.isEmpty())
        return;
    const int v = digits.toInt();
    switch (p) {
    case Part::Month:
        if (v >= 1 && v <= 12)
            f.month = v;
        break;
    case Part::Day:
        if (v >= 1 && v <= 31)
            f.day = v;
        break;
    case Part::Year2: f.year = 2000 + v; break;
    case Part::Year4:
        if (digits.size() == 4)
            f.year = v;
        else if (digits.size() == 2 && finished)
            f.year = 2000 + v;
        break;
    case Part::Hour12:
        f.hourTyped = true;
        f.hour12 = v;
        break;
    case Part::Hour24: f.hour = v; break;
    case Part::Minute: f.minute = v; break;
    case Part::Second: f.second = v; break;
    case Part::AmPm: break;
    }
}

}   // namespace

QVector<Part> DateTimeTyping::partsOf(const QString& format)
{
    const bool twelveHour = format.contains(QLatin1String("AP"), Qt::CaseInsensitive) ||
                            format.contains(QLatin1Char('A'), Qt::CaseInsensitive);
    QVector<Part> result;
    for (int i = 0; i < format.size();) {
        const QChar c = format[i];
        int run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == QLatin1Char('\'')) {   // quoted text
            const int end = format.indexOf(QLatin1Char('\''), i + 1);
            i = end < 0 ? format.size() : end + 1;
            continue;
        }
        switch (c.unicode()) {
        case 'M': result << Part::Month; break;
        case 'd':
            if (run <= 2)
                result << Part::Day;
            break;
        case 'y': result << (run >= 4 ? Part::Year4 : Part::Year2); break;
        case 'h': result << (twelveHour ? Part::Hour12 : Part::Hour24); break;
        case 'H': result << Part::Hour24; break;
        case 'm': result << Part::Minute; break;
        case 's': result << Part::Second; break;
        case 'A':
        case 'a':
            result << Part::AmPm;
            if (i + 1 < format.size() && (format[i + 1] == QLatin1Char('P') || format[i + 1] == QLatin1Char('p')))
                ++run;
            break;
        default: break;
        }
        i += run;
    }
    return result;
}

DateTimeTyping::Result DateTimeTyping::apply(const QDateTime& start, int firstPart, const QString& typed,
                                             bool finished) const
{
    const QDate d0 = start.date();
    const QTime t0 = start.time();
    Fields f{d0.year(), d0.month(), d0.day(), t0.hour(), t0.minute(), t0.second(), {}, false, 0};
    const int count = int(parts.size());
    int part = std::clamp(firstPart, 0, std::max(0, count - 1));
    QString digits;
    bool advanced = false;   // the last digit filled its part and moved on

    auto finishPart = [&] {
        if (part < count)
            commit(f, parts[part], digits, finished);
        digits.clear();
        ++part;
    };
    for (const QChar c : typed) {
        if (c.isDigit()) {
            // The cursor may stand on AM/PM, which takes no digits.
            while (part < count && parts[part] == Part::AmPm)
                ++part;
            if (part >= count)
                break;
            const QString candidate = digits + c;
            if (candidate.size() > maxDigits(parts[part]) || candidate.toInt() > maxValue(parts[part])) {
                finishPart();
                while (part < count && parts[part] == Part::AmPm)
                    ++part;
                if (part >= count)
                    break;
                digits = c;
            } else {
                digits = candidate;
            }
            advanced = false;
            // No further digit could belong to this part: it is complete.
            const Part p = parts[part];
            if (digits.size() == maxDigits(p) || digits.toInt() * 10 > maxValue(p)) {
                finishPart();
                advanced = true;
            }
        } else if (c.isLetter()) {
            const QChar l = c.toLower();
            if (l == QLatin1Char('a') || l == QLatin1Char('p')) {
                if (!digits.isEmpty())
                    finishPart();
                f.typedPm = l == QLatin1Char('p');
                const int ampm = int(parts.indexOf(Part::AmPm));
                if (ampm >= 0)
                    part = ampm;
                advanced = false;
            }
        } else {
            // A separator ends the part being typed. Right after a part
            // completed itself it only confirms the move already made.
            if (!digits.isEmpty())
                finishPart();
            else if (!advanced)
                ++part;
            advanced = false;
        }
    }
    if (!digits.isEmpty() && part < count)
        commit(f, parts[part], digits, finished);

    int hour = f.hour;
    if (f.hourTyped) {
        const bool startPm = t0.hour() >= 12;
        if (f.hour12 == 0 || f.hour12 > 12)
            hour = f.hour12;   // typed as a 24-hour time
        else
            hour = f.hour12 % 12 + (f.typedPm.value_or(startPm) ? 12 : 0);
    } else if (f.typedPm) {
        hour = f.hour % 12 + (*f.typedPm ? 12 : 0);
    }
    const int day = std::min(f.day, QDate(f.year, f.month, 1).daysInMonth());
    Result result;
    result.value = QDateTime(QDate(f.year, f.month, std::max(1, day)), QTime(hour, f.minute, f.second));
    result.section = std::clamp(part, 0, std::max(0, count - 1));
    return result;
}

QDate earliestPickerDate()
{
    return QDate(1900, 1, 1);
}

QDate latestPickerDate()
{
    return QDate(2199, 12, 31);
}

namespace {

// Collects the keys typed into one picker and sets its value from them.
class PickerTyping : public QObject {
public:
    explicit PickerTyping(QDateTimeEdit* picker) : QObject(picker), edit(picker)
    {
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this] {
            if (!applying)
                reset();   // set from elsewhere: the calendar, the arrows, the record
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            reset();   // a click chooses the section the next keys go to
            return false;
        }
        if (watched != edit)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: return keyPress(static_cast<QKeyEvent*>(event));
        case QEvent::FocusOut: finish(); return false;
        case QEvent::FocusIn: reset(); return false;
        default: return false;
        }
    }

private:
    bool keyPress(QKeyEvent* key)
    {
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        switch (key->key()) {
        case Qt::Key_Shift:   // pressed for ":" and capitals; not the end of typing
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock: return false;
        default: break;
        }
        if (key->key() == Qt::Key_Backspace) {
            if (typed.isEmpty())
                return false;
            typed.chop(1);
            show(false);
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Tab leaves the field as in every other field, instead of
            // stepping through its sections.
            finish();
            edit->setCurrentSectionIndex(key->key() == Qt::Key_Tab ? edit->sectionCount() - 1 : 0);
            return false;
        }
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isPrint()) {
            // Enter, Tab, arrows and the rest end the typing first.
            finish();
            return false;
        }
        if (typed.isEmpty()) {
            start = edit->dateTime();
            firstSection = edit->currentSectionIndex();
        }
        typed += text;
        show(false);
        return true;
    }

    void show(bool finished)
    {
        const DateTimeTyping typing(DateTimeTyping::partsOf(edit->displayFormat()));
        const DateTimeTyping::Result r = typing.apply(start, firstSection, typed, finished);
        if (r.value < edit->minimumDateTime() || r.value > edit->maximumDateTime()) {
            // Beyond the range the picker keeps what it showed.
            if (finished)
                QApplication::beep();
            return;
        }
        applying = true;
        edit->setDateTime(r.value);
        edit->setCurrentSectionIndex(r.section);
        applying = false;
    }

    void finish()
    {
        if (typed.isEmpty())
            return;
        show(true);
        reset();
    }

    void reset() { typed.clear(); }

    QPointer<QDateTimeEdit> edit;
    QDateTime start;
    int firstSection = 0;
    QString typed;
    bool applying = false;
};

}   // namespace

void setUpPicker(QDateTimeEdit* picker)
{
    if (picker->displayedSections() & QDateTimeEdit::DateSections_Mask) {
        picker->setDisplayFormat(shortDateFormat());
        picker->setDateRange(earliestPickerDate(), latestPickerDate());
    }
    auto* typing = new PickerTyping(picker);
    picker->installEventFilter(typing);
    if (auto* line = picker->findChild<QLineEdit*>())
        line->installEventFilter(typing);
}
