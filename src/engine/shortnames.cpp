#include "shortnames.h"

QString shortName(const SeasonPerson& person)
{
    const QString first = person.firstName.trimmed();
    const QString last = person.lastName.trimmed();
    if (last.isEmpty())
        return first;
    // The whole first character, even outside the Basic Multilingual Plane.
    const int initial = last.at(0).isHighSurrogate() && last.size() > 1 ? 2 : 1;
    return (first.isEmpty() ? QString() : first + QLatin1Char(' ')) + last.left(initial) + QLatin1Char('.');
}

QString shortName(const SeasonEntry& entry)
{
    return entry.isTeam() ? shortName(entry.player) + QLatin1Char('/') + shortName(entry.partner)
                          : shortName(entry.player);
}

EntryNames::EntryNames(const Season& s)
{
    QHash<QString, int> uses;
    for (const SeasonEntry& e : s.entries)
        ++uses[shortName(e)];
    for (const SeasonEntry& e : s.entries) {
        const QString name = shortName(e);
        names.insert(e.id, uses.value(name) > 1 ? QStringLiteral("%1 (%2)").arg(name).arg(e.number) : name);
    }
}

QString EntryNames::operator()(int entryId) const
{
    return names.value(entryId, QStringLiteral("(left the group)"));
}
