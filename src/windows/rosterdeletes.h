#pragma once
#include "data/query.h"
#include <memory>

class Database;
class Table;

// Deleting a player or a court together with the rows that depend on it.
// Each deletion runs in one transaction, so that a failure leaves nothing
// half-deleted; inside an open transaction it simply joins it.
class RosterDeletes {
public:
    explicit RosterDeletes(Database& db);

    // The current player of `players`: the schedule rows of the player's
    // entries, the entries, the days off, then the player. Entries in which
    // the player is the team's second player (SHARESLOTID) stay.
    void deletePlayer(Table& players);
    // The current court of `courts`: its assignments, then the court.
    // Schedule rows that name the court stay.
    void deleteCourt(Table& courts);

private:
    Database& db;
    std::unique_ptr<Query> qdelplayerschedule;
};
