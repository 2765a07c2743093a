#pragma once
// Shared pieces of the store tests: a user folder in a fresh temporary directory, and
// helpers that run a query and keep what its callback received.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/store/client_db.h"
#include "support/temp_dir.h"

namespace store_test {

// What one message query delivered.
struct Delivery {
    bool ok = false;
    std::vector<MsgFields> records;  // without the end mark
    int endMarks = 0;
    bool endCameLast = false;
    std::vector<std::string> Contents() const;
    std::vector<std::string> Ids() const;
};

// Runs `query` with a callback that records every call.
Delivery Collect(const std::function<bool(const MsgCallback&)>& query);

class StoreTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // The user folder "<temp>/alice/" as the client forms it.
    std::string Folder() const { return dir_.str() + "alice/"; }
    std::string DatabaseFile() const { return Folder() + CClientDB::kDatabaseFileName; }

    // Stores a message from `from` to `to` and returns its id (fails the test otherwise).
    long Add(CClientDB& db, const char* from, const char* to, const char* contents,
             int type = CClientDB::kTypeChat, bool web = false,
             int state = CClientDB::kStateUnhandled);

    testing_support::TempDir dir_;
};

// A plain SQLite connection to `path`, for looking at the file behind the store's back.
class RawDatabase {
  public:
    explicit RawDatabase(const std::string& path);
    ~RawDatabase();
    sqlite3* handle() const { return db_; }
    // First column of the first row as text ("" when there is no row); fails the test on error.
    std::string Text(const std::string& sql);
    int Exec(const std::string& sql);

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace store_test
