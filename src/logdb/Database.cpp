#include "logdb/Database.h"

#include "core/Failure.h"

namespace zorvik::logdb {

Transaction::Transaction(Database& db) : db_(db) {
  if (db_.TransactionDepth() != 0) {
    throw Failure(err::kEngineError, db_.Path() + ": a transaction is already open on the log");
  }
  db_.BeginTrans();
}

Transaction::~Transaction() {
  if (!done_) db_.Rollback();
}

void Transaction::Commit() {
  db_.CommitTrans();
  done_ = true;
}

bool Transaction::Active() const noexcept {
  return !done_ && db_.TransactionActive();
}

Savepoint::Savepoint(Database& db) : db_(db) {
  db_.BeginTrans();
}

Savepoint::~Savepoint() {
  if (!done_) db_.Rollback();
}

void Savepoint::Release() {
  db_.CommitTrans();
  done_ = true;
}

}  // namespace zorvik::logdb
