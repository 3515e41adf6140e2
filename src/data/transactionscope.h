#pragma once
#include "database.h"

// One transaction as a scope guard: whatever leaves the scope without
// commit() (a refusal, a stale row, a database error) rolls it back, so an
// operation is either wholly written or not at all. Inside a transaction
// already open it joins that one and leaves the outcome to its owner.
class TransactionScope {
public:
    explicit TransactionScope(Database& database) : db(database), own(!database.inTransaction())
    {
        if (own)
            db.startTransaction();
    }
    ~TransactionScope()
    {
        if (own && !done && db.inTransaction()) {
            try {
                db.rollback();
            } catch (...) {
                // A destructor must not throw; the connection reports the
                // failure on its next statement.
            }
        }
    }
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

    void commit()
    {
        if (own && !done)
            db.commit();
        done = true;
    }

private:
    Database& db;
    bool own;
    bool done = false;
};
