#include "platform/store/schema.h"

#include <gtest/gtest.h>

#include "platform/store/client_db.h"
#include "store_test_support.h"

namespace store_test {
namespace {

class SchemaTest : public StoreTest {};

TEST_F(SchemaTest, NewDatabaseIsInWalModeAtTheCurrentVersion) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "x");
    RawDatabase raw(DatabaseFile());
    EXPECT_EQ(raw.Text("PRAGMA user_version"), std::to_string(store::kSchemaVersion));
    EXPECT_EQ(raw.Text("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(raw.Text("PRAGMA integrity_check"), "ok");
}

TEST_F(SchemaTest, ExistingVersionZeroDatabaseIsMigratedKeepingItsData) {
    std::filesystem::create_directories(Folder());
    {
        RawDatabase raw(DatabaseFile());
        ASSERT_EQ(raw.Exec("CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES ('kept')"),
                  SQLITE_OK);
    }
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "x");
    RawDatabase raw(DatabaseFile());
    EXPECT_EQ(raw.Text("PRAGMA user_version"), std::to_string(store::kSchemaVersion));
    EXPECT_EQ(raw.Text("SELECT text FROM notes"), "kept");
}

TEST_F(SchemaTest, QueriesUseTheIndexes) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "x");
    CClientDB::CloseAll();
    RawDatabase raw(DatabaseFile());
    struct Case {
        const char* where;
        const char* index;
    };
    const Case cases[] = {
        {"sender_key = 'a' OR receiver_key = 'a'", "message_by_receiver"},
        {"sender_key = 'a' OR receiver_key = 'a'", "message_by_sender"},
        {"state <> 0", "message_unhandled"},
        {"web <> 0", "message_web"},
    };
    for (const Case& c : cases) {
        std::string plan;
        sqlite3_stmt* statement = nullptr;
        std::string sql = std::string("EXPLAIN QUERY PLAN SELECT id FROM message WHERE ") +
                          c.where + " ORDER BY id";
        ASSERT_EQ(sqlite3_prepare_v2(raw.handle(), sql.c_str(), -1, &statement, nullptr),
                  SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            plan += reinterpret_cast<const char*>(sqlite3_column_text(statement, 3));
            plan += "; ";
        }
        sqlite3_finalize(statement);
        EXPECT_NE(plan.find(c.index), std::string::npos) << c.where << ": " << plan;
    }
}

}  // namespace
}  // namespace store_test
