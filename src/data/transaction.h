#pragma once
#include "database.h"

// One transaction as a scope guard: commit() makes it take effect; leaving
// the scope any other way (a failure unwinding it) rolls it back, so that
// the file keeps what it held before.
class Transaction {
public:
    enum class Lock { OnFirstWrite, AtStart };

    // Inside a transaction already open (a caller that wants the whole job
    // as one, such as the command line), this one joins it: the caller's
    // commit or rollback decides.
    explicit Transaction(Database& database, Lock lock = Lock::OnFirstWrite)
        : db(database), own(!database.inTransaction())
    {
        if (!own)
            return;
        if (lock == Lock::AtStart)
            db.startWriteTransaction();
        else
            db.startTransaction();
    }
    ~Transaction()
    {
        if (!own || !open || !db.inTransaction())
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
        if (own)
            db.commit();
        open = false;
    }

private:
    Database& db;
    const bool own;
    bool open = true;
};
