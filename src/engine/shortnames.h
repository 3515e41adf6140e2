#pragma once
// Players as other players read them, on the published pages and in the
// notices of changes: first name and last initial, so that no one's full
// name leaves the club's files. No widgets.
#include "season.h"
#include <QHash>
#include <QString>

// "Ann A."
QString shortName(const SeasonPerson& person);
// "Ann A." or "Ann A./Bob B." for a team.
QString shortName(const SeasonEntry& entry);

// Entries by first name and last initial; where two would read the same,
// each is told apart by its entry number, as the printed schedule numbers
// them. Made once for a season.
class EntryNames {
public:
    explicit EntryNames(const Season& season);
    QString operator()(int entryId) const;

private:
    QHash<int, QString> names;
};
