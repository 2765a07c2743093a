#include "platform/store/sqlite_connection.h"

#include <algorithm>

namespace store {

int Connection::Open(const std::string& utf8Path, int busyTimeoutMs,
                     std::unique_ptr<Connection>& out, std::string& message) {
    out.reset();
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(utf8Path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        return rc;
    }
    std::unique_ptr<Connection> connection(new Connection(db));
    connection->SetBusyTimeout(busyTimeoutMs);
    // WAL lets readers go on while one writer commits. FULL syncs the log at every commit, so
    // a message reported as stored survives a crash of the process and of the machine.
    rc = connection->SetWalJournal(busyTimeoutMs);
    if (rc == SQLITE_OK) rc = connection->Exec("PRAGMA synchronous=FULL");
    // Reads map the file instead of copying each page into a private cache: a contact's
    // history is thousands of pages spread over a large file.
    if (rc == SQLITE_OK) rc = connection->Exec("PRAGMA mmap_size=268435456");
    if (rc != SQLITE_OK) {
        message = connection->LastMessage();
        return rc;
    }
    out = std::move(connection);
    return SQLITE_OK;
}

int Connection::SetWalJournal(int busyTimeoutMs) {
    // Asking for the journal mode takes a lock without SQLite's busy handler, so it fails at
    // once while another connection recovers or checkpoints the log (a connection closing
    // at the same moment). Retry for as long as any other lock would be waited for.
    int slept = 0;
    int pause = 1;
    for (;;) {
        std::int64_t ignored = 0;
        int rc = QueryInt("PRAGMA journal_mode=WAL", ignored);
        if ((rc & 0xFF) != SQLITE_BUSY || slept >= busyTimeoutMs) return rc;
        slept += sqlite3_sleep(pause);
        pause = std::min(pause * 2, 20);
    }
}

Connection::~Connection() {
    if (!db_) return;
    for (auto& entry : statements_) sqlite3_finalize(entry.second);
    sqlite3_close_v2(db_);
}

void Connection::Abandon() {
    db_ = nullptr;
    statements_.clear();
}

int Connection::Prepare(const std::string& sql, sqlite3_stmt*& statement) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        statement = found->second;
        return SQLITE_OK;
    }
    statement = nullptr;
    int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()) + 1,
                                SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
        return rc;
    }
    statements_.emplace(sql, statement);
    return SQLITE_OK;
}

int Connection::Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

int Connection::QueryInt(const char* sql, std::int64_t& value) {
    Statement statement(*this, sql);
    int rc = statement.Step();
    if (rc == SQLITE_ROW) {
        value = statement.Int(0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::string Connection::LastMessage() const { return sqlite3_errmsg(db_); }

void Connection::SetBusyTimeout(int milliseconds) {
    if (milliseconds == busyTimeoutMs_) return;
    sqlite3_busy_timeout(db_, milliseconds);
    busyTimeoutMs_ = milliseconds;
}

Statement::Statement(Connection& connection, const std::string& sql) {
    rc_ = connection.Prepare(sql, statement_);
}

Statement::~Statement() {
    if (!statement_) return;
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

Statement& Statement::Bind(int index, std::string_view text) {
    if (rc_ == SQLITE_OK) {
        rc_ = sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                  SQLITE_UTF8);
    }
    return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
    if (rc_ == SQLITE_OK) rc_ = sqlite3_bind_int64(statement_, index, value);
    return *this;
}

int Statement::Step() {
    if (rc_ != SQLITE_OK) return rc_;
    int rc = sqlite3_step(statement_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        // The statement's own code carries the cause (busy, corrupt, full ...).
        rc_ = sqlite3_reset(statement_);
        if (rc_ == SQLITE_OK) rc_ = rc;
        return rc_;
    }
    return rc;
}

std::string_view Statement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (!text) return {};
    return std::string_view(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

Transaction::Transaction(Connection& connection) : connection_(connection) {
    rc_ = connection_.Exec("BEGIN IMMEDIATE");
    open_ = rc_ == SQLITE_OK;
}

Transaction::~Transaction() {
    if (open_) connection_.Exec("ROLLBACK");
}

int Transaction::Commit() {
    int rc = connection_.Exec("COMMIT");
    if (rc == SQLITE_OK) open_ = false;
    return rc;
}

}  // namespace store
