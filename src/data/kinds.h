#pragma once

// What a group.DB record is (its RTYPE) and how its courts pair entries (its
// TYPE). The values are the stored ones: files written before keep reading.

enum class RecordKind : int { Group = 1, League = 2 };

enum class MatchType : int { None = 0, Singles = 1, Doubles = 2 };

// Anything but a group is read as a league, as the lists always filtered it.
constexpr RecordKind recordKindFrom(int stored)
{
    return stored == 1 ? RecordKind::Group : RecordKind::League;
}

// An unknown TYPE pairs nothing, like "None".
constexpr MatchType matchTypeFrom(int stored)
{
    return stored == 1 ? MatchType::Singles : stored == 2 ? MatchType::Doubles : MatchType::None;
}

constexpr int storedValue(RecordKind kind)
{
    return static_cast<int>(kind);
}

constexpr int storedValue(MatchType type)
{
    return static_cast<int>(type);
}

// A doubles league's entries are teams of two players (GRPPLAYR's SHARESLOTID).
constexpr bool isDoublesLeague(RecordKind kind, MatchType type)
{
    return kind == RecordKind::League && type == MatchType::Doubles;
}

// Codes that make one side of a court: 2 in a doubles group, else 1, or 0 in
// a group without pairing; a league's entries are its sides.
constexpr int sideSize(RecordKind kind, MatchType type)
{
    return kind == RecordKind::League ? 1 : storedValue(type);
}
