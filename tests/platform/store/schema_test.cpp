#include "platform/store/schema.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/store/client_db.h"
#include "store_test_support.h"
#include "support/gbk_print.h"
#include "support/test_files.h"
#include "version1_database.h"

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

// A database of version 1 filed "wang@gover.host" and "wang$gov@host" under two keys; after
// the migration both spellings are one conversation, and no message is lost or changed.
TEST_F(SchemaTest, Version1DatabaseIsRekeyedSoBothSpellingsOfAUserAreOneConversation) {
    using testing_support::U8;
    std::filesystem::create_directories(Folder());
    {
        RawDatabase raw(DatabaseFile());
        ASSERT_EQ(raw.Exec(Version1DatabaseDump()), SQLITE_OK);
        // A text GBK lacks, as no version of this store writes: it keeps its key. (Kept out
        // of the assertion macros, which quote their arguments as GBK text.)
        const std::string notGbk =
            U8(u8"INSERT INTO message (sender, receiver, sender_key, receiver_key, sent_time,"
               u8" contents, extra1, extra2, extra3, extra4, extra5, type, web, state) VALUES"
               u8" ('😀@gover.host', 'me$gov@host', '😀@gover.host', 'me$gov@host',"
               u8" '2026-01-05 09:01:02', 'not gbk', '', '', '', '', '', 0, 0, 0)");
        ASSERT_EQ(raw.Exec(notGbk), SQLITE_OK);
        ASSERT_EQ(raw.Exec("PRAGMA user_version=1"), SQLITE_OK);
        ASSERT_EQ(raw.Text("SELECT count(*) FROM message WHERE sender_key = 'wang@gover.host' OR"
                           " receiver_key = 'wang@gover.host'"),
                  "2");
    }

    CClientDB db("alice", Folder().c_str());
    struct Case {
        const char* party;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"wang$gov@host",
         {"FONT(x)一 from the gover spelling", "FONT(x)二 to the dollar spelling",
          "FONT(x)三 upper case", "FONT(x)四 upper gover"}},
        {"WANG@gover.host/PC",
         {"FONT(x)一 from the gover spelling", "FONT(x)二 to the dollar spelling",
          "FONT(x)三 upper case", "FONT(x)四 upper gover"}},
        {"li$pub@host", {"FONT(x)五 puber", "FONT(x)六 pub"}},
        {"li@puber.host", {"FONT(x)五 puber", "FONT(x)六 pub"}},
        {"zhao$gov@host", {"FONT(x)七 leading blank"}},
        // SMS numbers stay apart: only the session engine can tell an SMS address.
        {"8613800138000@sms.host", {"八 sms"}},
        {"13800138000@sms.host", {"九 sms back"}},
        {"张三$gov@host", {"FONT(x)十 chinese local part"}},
        // 丂 ends in the byte '@'; the '@' after it is the real one.
        {"丂$gov@host", {"FONT(x)十二 trail byte 0x40"}},
        {"room@conference.host", {"FONT(x)十一 in the room"}},
    };
    for (const Case& c : cases) {
        Delivery got = Collect(
            [&](const MsgCallback& callback) { return db.GetMsg(c.party, c.party, callback, -1); });
        ASSERT_TRUE(got.ok) << db.GetErrorInfo();
        const std::vector<std::string> texts = got.Contents();
        std::vector<testing_support::Gbk> contents(texts.begin(), texts.end());
        std::vector<testing_support::Gbk> expected(c.expected.begin(), c.expected.end());
        EXPECT_EQ(contents, expected) << testing_support::DisplayGbk(c.party);
    }

    // Every message is still there with its id, texts and handled state; new ids go on.
    Delivery all = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -1); });
    ASSERT_TRUE(all.ok);
    ASSERT_EQ(all.records.size(), static_cast<std::size_t>(kVersion1MessageCount) + 1);
    EXPECT_EQ(all.records[0][msg_field::kFrom], "wang@gover.host/PC");
    EXPECT_EQ(all.records[3][msg_field::kTo], "WANG@GOVER.host/Phone");
    EXPECT_EQ(all.records[6][msg_field::kFrom], " zhao$gov@host");
    std::vector<std::string> unhandled;
    for (const MsgFields& record : all.records) {
        if (record[msg_field::kState] == "1") unhandled.push_back(record[msg_field::kId]);
    }
    EXPECT_EQ(unhandled, (std::vector<std::string>{"3", "4", "9"}));
    EXPECT_EQ(Add(db, "wang@gover.host", "me$gov@host", "new"), kVersion1MessageCount + 2);
    CContactPersonInfo card;
    EXPECT_TRUE(db.GetContactVcard("wang$gov@host", card)) << db.GetErrorInfo();
    EXPECT_GBK_EQ(card.name, "王");

    CClientDB::CloseAll();
    RawDatabase raw(DatabaseFile());
    EXPECT_EQ(raw.Text("PRAGMA user_version"), std::to_string(store::kSchemaVersion));
    EXPECT_EQ(raw.Text("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(raw.Text("SELECT group_concat(sender_key || ' > ' || receiver_key, ' | ') FROM"
                       " (SELECT * FROM message WHERE id <= 7 ORDER BY id)"),
              "wang$gov@host > me$gov@host | me$gov@host > wang$gov@host | "
              "wang$gov@host > me$gov@host | me$gov@host > wang$gov@host | "
              "li$pub@host > me$gov@host | me$gov@host > li$pub@host | "
              "zhao$gov@host > me$gov@host");
    EXPECT_EQ(raw.Text("SELECT receiver_key FROM message WHERE id = 11"), U8(u8"丂$gov@host"));
    const std::string notGbkKey = U8(u8"😀@gover.host");
    EXPECT_EQ(raw.Text("SELECT sender_key FROM message WHERE id = 13"), notGbkKey);
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
