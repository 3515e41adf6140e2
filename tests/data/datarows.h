#pragma once
// Rows the data tests add through the dataset layer, as a window would.
#include "data/database.h"
#include "data/dberror.h"
#include "data/table.h"

inline int addPlayerRow(Database& db, const QString& first, const QString& last)
{
    Table t(db, "PLAYERS.db");
    t.open();
    t.append();
    t.setValue("FNAME", first);
    t.setValue("LNAME", last);
    t.post();
    return t.asInt("PLAYERID");
}

// Why opening the database in `dir` is refused; empty when it opens.
inline QString openRefusal(const QString& dir)
{
    try {
        Database db(dir);
    } catch (const DbError& e) {
        return e.message();
    }
    return QString();
}
