#include "fieldmask.h"
#include <algorithm>

namespace {

// Characters with a meaning of their own in Qt's input masks; as literals
// they need a backslash there.
const QString qtSpecial = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\;");

QChar applyCase(QChar c, int caseMode)
{
    return caseMode > 0 ? c.toUpper() : caseMode < 0 ? c.toLower() : c;
}

}   // namespace

FieldMask FieldMask::fromEditMask(const QString& editMask)
{
    FieldMask m;
    int i = 0;
    int caseMode = 0;
    for (; i < editMask.size(); ++i) {
        const QChar c = editMask[i];
        if (c == QLatin1Char(';'))
            break;
        Slot s;
        s.caseMode = caseMode;
        switch (c.unicode()) {
        case '\\':
            if (i + 1 < editMask.size())
                s.literal = editMask[++i];
            m.positions.append(s);
            continue;
        case '!': continue;   // blanks lead instead of trail; we keep positions as typed
        case '>':
            if (i + 1 < editMask.size() && editMask[i + 1] == QLatin1Char('<')) {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        case '<': caseMode = -1; continue;
        case '0':
            s.kind = Slot::Digit;
            s.required = true;
            break;
        case '9':
        case '#': s.kind = Slot::Digit; break;
        case 'L':
            s.kind = Slot::Letter;
            s.required = true;
            break;
        case 'l': s.kind = Slot::Letter; break;
        case 'A':
            s.kind = Slot::AlphaNum;
            s.required = true;
            break;
        case 'a': s.kind = Slot::AlphaNum; break;
        case 'C':
            s.kind = Slot::Any;
            s.required = true;
            break;
        case 'c': s.kind = Slot::Any; break;
        default: s.literal = c; break;
        }
        m.positions.append(s);
    }
    const QStringList fields = editMask.mid(i + 1).split(QLatin1Char(';'));
    if (i < editMask.size() && !fields.isEmpty() && !fields[0].isEmpty())
        m.saveLiterals = fields[0] != QLatin1String("0");
    if (fields.size() > 1 && !fields[1].isEmpty())
        m.blankChar = fields[1][0];
    return m;
}

QString FieldMask::qtInputMask() const
{
    QString out;
    int caseMode = 0;
    for (const Slot& s : positions) {
        if (s.kind != Slot::Literal && s.caseMode != caseMode) {
            out += s.caseMode > 0 ? QLatin1Char('>') : s.caseMode < 0 ? QLatin1Char('<') : QLatin1Char('!');
            caseMode = s.caseMode;
        }
        switch (s.kind) {
        case Slot::Literal:
            if (qtSpecial.contains(s.literal))
                out += QLatin1Char('\\');
            out += s.literal;
            break;
        case Slot::Digit: out += QLatin1Char('0'); break;
        case Slot::Letter: out += QLatin1Char('a'); break;
        case Slot::AlphaNum: out += QLatin1Char('n'); break;
        case Slot::Any: out += QLatin1Char('x'); break;
        }
    }
    return out + QLatin1Char(';') + blankChar;
}

bool FieldMask::accepts(const Slot& s, QChar c) const
{
    switch (s.kind) {
    case Slot::Digit: return c.isDigit();
    case Slot::Letter: return c.isLetter();
    case Slot::AlphaNum: return c.isLetterOrNumber();
    case Slot::Any: return !c.isSpace() && c != blankChar;
    case Slot::Literal: return false;
    }
    return false;
}

bool FieldMask::optionalPositionsLead() const
{
    bool requiredSeen = false;
    bool optionalSeen = false;
    for (const Slot& s : positions) {
        if (s.kind == Slot::Literal)
            continue;
        if (s.required)
            requiredSeen = true;
        else if (requiredSeen)
            return false;
        else
            optionalSeen = true;
    }
    return optionalSeen && requiredSeen;
}

int FieldMask::requiredCount() const
{
    return int(std::count_if(positions.begin(), positions.end(),
                             [](const Slot& s) { return s.kind != Slot::Literal && s.required; }));
}

QVariant FieldMask::storedValue(const QString& displayText) const
{
    QString typed;   // the characters typed, in order, blanks where none
    for (int i = 0; i < positions.size(); ++i) {
        if (positions[i].kind == Slot::Literal)
            continue;
        const QChar c = i < displayText.size() ? displayText[i] : blankChar;
        typed += c == blankChar || c.isSpace() ? QChar(QLatin1Char(' ')) : applyCase(c, positions[i].caseMode);
    }
    const QString chars = QString(typed).remove(QLatin1Char(' '));
    if (chars.isEmpty())
        return QVariant(QMetaType(QMetaType::QString));
    const bool local = optionalPositionsLead() && chars.size() == requiredCount();

    QString out;
    int next = 0;   // index into typed, or into chars for a local value
    for (const Slot& s : positions) {
        if (s.kind == Slot::Literal) {
            if (saveLiterals)
                out += s.literal;
        } else if (local) {
            out += s.required ? chars[next++] : QChar(QLatin1Char(' '));
        } else {
            out += typed[next++];
        }
    }
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}

QString FieldMask::editText(const QVariant& stored) const
{
    const QString s = stored.toString();
    QString out;
    int j = 0;
    for (const Slot& slot : positions) {
        if (slot.kind == Slot::Literal) {
            out += slot.literal;
            if (j < s.size() && s[j] == slot.literal)
                ++j;
            continue;
        }
        const QChar c = j < s.size() ? s[j++] : blankChar;
        out += c.isSpace() ? blankChar : c;
    }
    return out;
}

bool FieldMask::isComplete(const QVariant& stored) const
{
    if (stored.isNull() || stored.toString().trimmed().isEmpty())
        return true;
    const QString text = editText(stored);
    for (int i = 0; i < positions.size(); ++i)
        if (positions[i].kind != Slot::Literal && positions[i].required && !accepts(positions[i], text[i]))
            return false;
    return true;
}

QString FieldMask::example() const
{
    static const QString digits = QStringLiteral("5551234567");
    static const QString letters = QStringLiteral("NYABCDEFGH");
    QString out;
    int d = 0, l = 0;
    for (const Slot& s : positions) {
        switch (s.kind) {
        case Slot::Literal: out += s.literal; break;
        case Slot::Digit: out += digits[d++ % digits.size()]; break;
        default: out += applyCase(letters[l++ % letters.size()], s.caseMode); break;
        }
    }
    return out;
}
