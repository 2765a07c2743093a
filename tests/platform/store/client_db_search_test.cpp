// The keyword search answers through its index exactly what a plain substring search of the
// messages answers, for keywords of any length, and the index follows every change.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "os/text/gbk_codec.h"
#include "platform/store/bigram_tokenizer.h"
#include "platform/store/client_db.h"
#include "platform/store/schema.h"
#include "store_test_support.h"
#include "support/gbk_print.h"

namespace store_test {
namespace {

// The plain scan: contents without the "FONT(...)" header, sender or receiver containing the
// keyword, ASCII case ignored.
constexpr const char* kScanSql =
    "SELECT group_concat(id, ',') FROM (SELECT id FROM message WHERE"
    " (CASE WHEN instr(contents, 'FONT(') > 0 THEN substr(contents, instr(contents, ')') + 1)"
    " ELSE contents END) LIKE ?1 ESCAPE '\\' OR sender LIKE ?1 ESCAPE '\\'"
    " OR receiver LIKE ?1 ESCAPE '\\' ORDER BY id)";

std::string ScanIds(RawDatabase& raw, const std::string& gbkKeyword) {
    std::string utf8;
    EXPECT_TRUE(os::GbkToUtf8(gbkKeyword, utf8));
    std::string pattern = "%";
    for (char c : utf8) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    pattern += '%';
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(raw.handle(), kScanSql, -1, &statement, nullptr), SQLITE_OK);
    sqlite3_bind_text(statement, 1, pattern.data(), static_cast<int>(pattern.size()),
                      SQLITE_TRANSIENT);
    std::string ids;
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
        ids = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return ids;
}

std::string SearchIds(CClientDB& db, const std::string& keyword, int count = -1) {
    Delivery found = Collect(
        [&](const MsgCallback& callback) { return db.GetMsg(keyword.c_str(), callback, count); });
    EXPECT_TRUE(found.ok) << db.GetErrorInfo();
    EXPECT_EQ(found.endMarks, 1);
    std::string ids;
    for (const std::string& id : found.Ids()) ids += (ids.empty() ? "" : ",") + id;
    return ids;
}

// The GBK characters of a text: one byte, or a lead byte and its trail byte.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

// Pieces random texts and keywords are made of: Chinese (丂 ends in the byte '@', 乇 in 'A'),
// ASCII of both cases, LIKE's special characters, quotes and the chat text's markers.
const std::vector<std::string> kPieces = {
    "你好",
    "消息",
    "世界",
    "中",
    "文",
    "丂",
    "乇",
    "abc",
    "ABC",
    "Hello",
    " ",
    "%",
    "_",
    "\\",
    "\"",
    "'",
    "*",
    "#(05)#",
    "#(-1)#",
    "#(-2)#[a.jpg]",
    "FONT(宋体;12)",
    ")",
    "(",
    "x@h",
};
const std::vector<std::string> kParties = {"张三@h", "bob@H", "alice@h/PC", "丂乇@h"};

class SearchTest : public StoreTest {};

TEST_F(SearchTest, RandomKeywordsFindWhatASubstringScanFindsInTheSameOrder) {
    std::mt19937 random(20261211);
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    auto randomText = [&](int maxPieces) {
        std::string text;
        const int pieces = std::uniform_int_distribution<int>(0, maxPieces)(random);
        for (int i = 0; i < pieces; ++i) text += pick(kPieces);
        return text;
    };
    CClientDB db("alice", Folder().c_str());
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string contents = randomText(8);
        // Most chat texts lead with their font header.
        if (i % 3 != 0) contents = "FONT(宋体;" + std::to_string(i % 7) + ")" + contents;
        texts.push_back(contents);
        Add(db, pick(kParties).c_str(), pick(kParties).c_str(), contents.c_str());
    }

    RawDatabase raw(DatabaseFile());
    std::vector<std::string> keywords;
    for (int i = 0; i < 400; ++i) {
        // A run of characters of a stored text (the header included), or a made-up keyword.
        if (i % 2 == 0) {
            std::vector<std::string> characters = Characters(pick(texts));
            if (characters.empty()) continue;
            std::size_t start =
                std::uniform_int_distribution<std::size_t>(0, characters.size() - 1)(random);
            std::size_t length = std::uniform_int_distribution<std::size_t>(1, 6)(random);
            std::string keyword;
            for (std::size_t c = start; c < characters.size() && c < start + length; ++c) {
                keyword += characters[c];
            }
            keywords.push_back(keyword);
        } else {
            keywords.push_back(randomText(3));
        }
    }
    int nonEmptyAnswers = 0;
    for (const std::string& keyword : keywords) {
        const std::string expected = ScanIds(raw, keyword);
        if (!keyword.empty() && !expected.empty()) ++nonEmptyAnswers;
        EXPECT_EQ(SearchIds(db, keyword), expected) << testing_support::DisplayGbk(keyword);
    }
    // The keywords drawn from the texts do find messages.
    EXPECT_GT(nonEmptyAnswers, 100);
}

TEST_F(SearchTest, KeywordsOfEveryLengthAndCaseFindTheirMessages) {
    CClientDB db("alice", Folder().c_str());
    const long chinese = Add(db, "a@h", "b@h", "FONT(宋体;12)今天开会");
    const long ascii = Add(db, "a@h", "b@h", "FONT(x)Report READY");
    const long sender = Add(db, "张三@h", "b@h", "FONT(x)无关");
    const long header = Add(db, "a@h", "b@h", "FONT(黑体)正文");
    struct Case {
        const char* keyword;
        std::string expected;
    };
    const Case cases[] = {
        {"开会", std::to_string(chinese)},
        {"会", std::to_string(chinese)},
        {"今天开会", std::to_string(chinese)},
        {"ready", std::to_string(ascii)},
        {"t R", std::to_string(ascii)},
        {"张三", std::to_string(sender)},
        {"黑体", ""},  // in the font header only
        {"正", std::to_string(header)},
        {"开会吧", ""},
        {"", std::to_string(chinese) + "," + std::to_string(ascii) + "," + std::to_string(sender) +
                 "," + std::to_string(header)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SearchIds(db, c.keyword), c.expected) << testing_support::DisplayGbk(c.keyword);
    }
    // A count keeps the newest matches.
    Add(db, "a@h", "b@h", "FONT(x)又开会");
    const long newest = Add(db, "a@h", "b@h", "FONT(x)再开会");
    EXPECT_EQ(SearchIds(db, "开会", 1), std::to_string(newest));
}

TEST_F(SearchTest, TheIndexFollowsDeletionsAndChangedTexts) {
    CClientDB db("alice", Folder().c_str());
    const long kept = Add(db, "a@h", "b@h", "FONT(x)会议纪要");
    const long deleted = Add(db, "a@h", "b@h", "FONT(x)会议通知");
    ASSERT_EQ(SearchIds(db, "会议"), std::to_string(kept) + "," + std::to_string(deleted));
    ASSERT_TRUE(db.DeleteMsg(deleted)) << db.GetErrorInfo();
    EXPECT_EQ(SearchIds(db, "会议"), std::to_string(kept));
    ASSERT_TRUE(db.SetRead(kept, true)) << db.GetErrorInfo();
    EXPECT_EQ(SearchIds(db, "纪要"), std::to_string(kept));

    {
        RawDatabase raw(DatabaseFile());
        ASSERT_EQ(store::RegisterBigramTokenizer(raw.handle()), SQLITE_OK);
        std::string change;
        ASSERT_TRUE(os::GbkToUtf8(
            "UPDATE message SET contents = 'FONT(x)午餐' WHERE id = " + std::to_string(kept),
            change));
        ASSERT_EQ(raw.Exec(change), SQLITE_OK);
    }
    EXPECT_EQ(SearchIds(db, "会议"), "");
    EXPECT_EQ(SearchIds(db, "午餐"), std::to_string(kept));

    Add(db, "a@h", "b@h", "FONT(x)午餐二");
    ASSERT_TRUE(db.DeleteAllMsgs()) << db.GetErrorInfo();
    EXPECT_EQ(SearchIds(db, "午餐"), "");
    EXPECT_EQ(SearchIds(db, "午"), "");
}

// A store of the version before the index gets it built from its messages.
TEST_F(SearchTest, AnOlderStoreGetsItsIndexBuiltFromTheStoredMessages) {
    long first = 0, second = 0;
    {
        CClientDB db("alice", Folder().c_str());
        first = Add(db, "a@h", "b@h", "FONT(x)旧的消息");
        second = Add(db, "a@h", "b@h", "FONT(x)另一条旧消息");
    }
    CClientDB::CloseAll();
    {
        // Version 2 is this layout without the index (whose table needs the tokenizer to go).
        RawDatabase raw(DatabaseFile());
        ASSERT_EQ(store::RegisterBigramTokenizer(raw.handle()), SQLITE_OK);
        ASSERT_EQ(raw.Exec("DROP TRIGGER message_search_insert; DROP TRIGGER message_search_delete;"
                           " DROP TRIGGER message_search_unindex;"
                           " DROP TRIGGER message_search_reindex; DROP TABLE message_search;"
                           " DROP VIEW message_search_text; PRAGMA user_version=2"),
                  SQLITE_OK);
    }
    CClientDB db("alice", Folder().c_str());
    EXPECT_EQ(SearchIds(db, "旧消息"), std::to_string(second));
    EXPECT_EQ(SearchIds(db, "消息"), std::to_string(first) + "," + std::to_string(second));
    CClientDB::CloseAll();
    RawDatabase raw(DatabaseFile());
    EXPECT_EQ(raw.Text("PRAGMA user_version"), std::to_string(store::kSchemaVersion));
}

}  // namespace
}  // namespace store_test
