#pragma once
#include "database.h"

// One transaction as a scope guard: commit() makes it take effect; leaving
// the scope any other way (a failure unwinding it) rolls it back, so that
// the file keeps what it held before.
class Transaction {
public:
    enum class Lock { OnFirstWrite, AtStart };

    explicit Transaction(Database& database, Lock lock = Lock::OnFirstWrite) : db(database)
    {
        if (lock == Lock::AtStart)
            db.startWriteTransaction();
        else
            db.startTransaction();
    }
    ~Transaction()
    {
        if (!open || !db.inTransaction())
            return;
        try {
            db.rollback();
        } catch (...) {
            // Unwinding already: the failure that got us here is the one to show.
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit()
    {
        db.commit();
        open = false;
    }

private:
    Database& db;
    bool open = true;
};
