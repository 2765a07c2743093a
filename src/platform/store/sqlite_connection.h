#pragma once
// A thin owner of one SQLite connection and its prepared statements. A connection is used by
// one thread at a time (the pool hands it over under a lock), so SQLite's own mutexes are
// off.

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace store {

class Connection {
  public:
    // Opens the database file at `utf8Path`, creating an empty one when it is missing, in WAL
    // mode with full synchronisation. On failure returns the SQLite result code, fills
    // `message` and leaves `out` empty.
    static int Open(const std::string& utf8Path, int busyTimeoutMs,
                    std::unique_ptr<Connection>& out, std::string& message);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return db_; }

    // The prepared statement for `sql`, prepared on first use and kept until the connection
    // closes. Returns the SQLite result code.
    int Prepare(const std::string& sql, sqlite3_stmt*& statement);

    // Runs SQL whose rows, if any, are not needed (pragmas, schema, transaction control).
    int Exec(const char* sql);

    // Reads a single integer (for example a pragma). Returns the SQLite result code.
    int QueryInt(const char* sql, std::int64_t& value);
    // Puts the database in write-ahead-log mode, waiting up to `busyTimeoutMs` for a lock.
    int SetWalJournal(int busyTimeoutMs);

    std::string LastMessage() const;

    void SetBusyTimeout(int milliseconds);

    // Drops the handle without closing it: for a connection inherited through fork(), which
    // belongs to the parent process and must not be touched here.
    void Abandon();

  private:
    explicit Connection(sqlite3* db) : db_(db) {}

    sqlite3* db_;
    int busyTimeoutMs_ = -1;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

// A cached statement in use. Binding errors are kept and reported by Step(); leaving the
// scope resets the statement and clears its bindings, so the next user starts clean.
class Statement {
  public:
    Statement(Connection& connection, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters are numbered from 1, as in SQL.
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, std::int64_t value);

    // SQLITE_ROW, SQLITE_DONE, or the error code (of this step, the prepare or a bind).
    int Step();

    std::string_view Text(int column) const;
    std::int64_t Int(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
    int rc_ = SQLITE_OK;
};

// Transaction control with a guaranteed rollback when Commit() was not reached.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Result of BEGIN IMMEDIATE (the write lock is taken at once, so a writer never fails
    // half-way for want of it).
    int rc() const { return rc_; }
    int Commit();

  private:
    Connection& connection_;
    int rc_;
    bool open_;
};

}  // namespace store
