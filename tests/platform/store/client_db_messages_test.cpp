#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/store/client_db.h"
#include "store_test_support.h"

namespace store_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MessagesTest : public StoreTest {};

TEST_F(MessagesTest, AddedMessageComesBackWithAllTenFields) {
    CClientDB db("alice", Folder().c_str());
    long id = 0;
    ASSERT_TRUE(db.AddMsg("alice@host/Desk", "bob@host", "2026-01-05 09:01:02", "FONT(x)hello",
                          "e1", "e2", "e3", CClientDB::kTypeSms, false, "e4", "e5",
                          CClientDB::kStateUnhandled, &id))
        << db.GetErrorInfo();
    EXPECT_GT(id, 0);

    Delivery all = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -1); });
    ASSERT_TRUE(all.ok);
    ASSERT_EQ(all.records.size(), 1u);
    EXPECT_THAT(all.records[0],
                ElementsAre(std::to_string(id), "alice@host/Desk", "bob@host",
                            "2026-01-05 09:01:02", "FONT(x)hello", "e1", "e2", "e3", "1", "11"));
}

TEST_F(MessagesTest, AddMsgsStoresAllOfABatchOrNone) {
    CClientDB db("alice", Folder().c_str());
    std::vector<CClientDB::NewMessage> batch = {
        {"alice@host", "13900000001@sms.host", "2026-01-05 09:00:00", "一", "",
         CClientDB::kTypeSms},
        {"alice@host", "bob@host", "2026-01-05 09:00:00", "二", "notsent", CClientDB::kTypeChat},
    };
    ASSERT_TRUE(db.AddMsgs(batch)) << db.GetErrorInfo();
    Delivery all = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -1); });
    ASSERT_EQ(all.records.size(), 2u);
    EXPECT_EQ(all.records[0][msg_field::kTo], "13900000001@sms.host");
    EXPECT_EQ(all.records[0][msg_field::kType], "11");
    EXPECT_EQ(all.records[1][msg_field::kExtra1], "notsent");
    EXPECT_EQ(all.records[1][msg_field::kState], "1");

    // A text that is no GBK refuses the whole batch: nothing of it is stored.
    batch.push_back(
        {"alice@host", "carol@host", "2026-01-05 09:00:00", "\x81", "", CClientDB::kTypeChat});
    EXPECT_FALSE(db.AddMsgs(batch));
    EXPECT_FALSE(db.GetErrorInfo().empty());
    all = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -1); });
    EXPECT_EQ(all.records.size(), 2u);
}

TEST_F(MessagesTest, EndMarkComesOnceAndLastAlsoForAnEmptyResult) {
    CClientDB db("alice", Folder().c_str());
    Delivery empty = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -1); });
    EXPECT_TRUE(empty.ok) << db.GetErrorInfo();
    EXPECT_THAT(empty.records, IsEmpty());
    EXPECT_EQ(empty.endMarks, 1);

    Add(db, "a@h", "b@h", "one");
    Add(db, "b@h", "a@h", "two");
    Delivery two = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -1); });
    EXPECT_EQ(two.records.size(), 2u);
    EXPECT_EQ(two.endMarks, 1);
    EXPECT_TRUE(two.endCameLast);
}

TEST_F(MessagesTest, EndMarkHasEmptyFieldsAfterTheFirst) {
    CClientDB db("alice", Folder().c_str());
    MsgFields end;
    ASSERT_TRUE(db.GetMsg([&](const MsgFields& fields) { end = fields; }, -1));
    EXPECT_EQ(end[msg_field::kId], "END");
    for (std::size_t i = 1; i < end.size(); ++i) EXPECT_EQ(end[i], "") << "field " << i + 1;
}

TEST_F(MessagesTest, SenderReceiverFormFiltersByBareJidIgnoringCase) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "me@h/Desk", "bob@h", "me to bob");
    Add(db, "Bob@H/Phone", "me@h", "bob to me");
    Add(db, "me@h", "carol@h", "me to carol");
    Add(db, "carol@h", "me@h", "carol to me");
    Add(db, "room@conference.h/bob", "me@h", "in the room");

    struct Case {
        const char* from;
        const char* to;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"bob@h", "bob@h", {"me to bob", "bob to me"}},  // the conversation with bob
        {"BOB@h/other", "bob@h", {"me to bob", "bob to me"}},
        {"me@h", "", {"me to bob", "me to carol"}},  // sent by me
        {"me@h", nullptr, {"me to bob", "me to carol"}},
        {"", "me@h", {"bob to me", "carol to me", "in the room"}},  // received by me
        {nullptr, "me@h", {"bob to me", "carol to me", "in the room"}},
        {"me@h", "carol@h", {"me to carol"}},  // one direction only
        {"room@conference.h", "room@conference.h", {"in the room"}},
        {"nobody@h", "nobody@h", {}},
        {nullptr, nullptr, {"me to bob", "bob to me", "me to carol", "carol to me", "in the room"}},
    };
    for (const Case& c : cases) {
        Delivery got = Collect(
            [&](const MsgCallback& callback) { return db.GetMsg(c.from, c.to, callback, -1); });
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.endMarks, 1);
        EXPECT_EQ(got.Contents(), c.expected)
            << "from " << (c.from ? c.from : "null") << " to " << (c.to ? c.to : "null");
    }
}

// The store files a message under its sender's and receiver's Jid store keys, so it agrees
// with the chat windows on who is who.
TEST_F(MessagesTest, TheTwoSpellingsOfADirectoryUserAreOneConversation) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "wang@gover.h/PC", "me$gov@h", "one");
    Add(db, "me$gov@h", "Wang$GOV@h", "two");
    Add(db, "me$gov@h", "wang@GOVER.h", "three");
    Add(db, "li@puber.h", "me$gov@h", "four");
    Add(db, " wang$gov@h", "me$gov@h", "five");
    Add(db, "wang$pub@h", "me$gov@h", "another wang");

    struct Case {
        const char* from;
        const char* to;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"wang$gov@h", "wang$gov@h", {"one", "two", "three", "five"}},
        {"wang@gover.h", "wang@gover.h", {"one", "two", "three", "five"}},
        {"WANG@GOVER.H/x", "", {"one", "five"}},
        {"", "wang@gover.h", {"two", "three"}},
        {"li$pub@h", "li$pub@h", {"four"}},
        {"wang@puber.h", "me@gover.h", {"another wang"}},
        // A blank sender is a JID of its own, not "any".
        {" ", "", {}},
    };
    for (const Case& c : cases) {
        Delivery got = Collect(
            [&](const MsgCallback& callback) { return db.GetMsg(c.from, c.to, callback, -1); });
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.Contents(), c.expected) << "from " << c.from << " to " << c.to;
    }
}

TEST_F(MessagesTest, CountDeliversTheNewestMatchesOldestFirst) {
    CClientDB db("alice", Folder().c_str());
    for (int i = 0; i < 5; ++i) Add(db, "bob@h", "me@h", std::to_string(i).c_str());
    Add(db, "carol@h", "me@h", "not bob");

    struct Case {
        int count;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {-1, {"0", "1", "2", "3", "4"}}, {0, {}}, {2, {"3", "4"}}, {5, {"0", "1", "2", "3", "4"}},
        {50, {"0", "1", "2", "3", "4"}},
    };
    for (const Case& c : cases) {
        Delivery got = Collect([&](const MsgCallback& callback) {
            return db.GetMsg("bob@h", "bob@h", callback, c.count);
        });
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.endMarks, 1);
        EXPECT_EQ(got.Contents(), c.expected) << "count " << c.count;
    }
}

TEST_F(MessagesTest, CountBelowMinusOneIsRefused) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "x");
    Delivery got = Collect([&](const MsgCallback& callback) { return db.GetMsg(callback, -2); });
    EXPECT_FALSE(got.ok);
    EXPECT_EQ(got.endMarks, 0);
    EXPECT_NE(db.GetErrorInfo().find("-2"), std::string::npos) << db.GetErrorInfo();
}

TEST_F(MessagesTest, HandledStateFormAndSetRead) {
    CClientDB db("alice", Folder().c_str());
    long first = Add(db, "bob@h", "me@h", "first");
    Add(db, "bob@h", "me@h", "second");
    Add(db, "me@h", "bob@h", "sent", CClientDB::kTypeChat, false, CClientDB::kStateHandled);

    auto unhandled = [&] {
        return Collect([&](const MsgCallback& callback) { return db.GetMsg(true, callback, -1); });
    };
    auto handled = [&] {
        return Collect([&](const MsgCallback& callback) { return db.GetMsg(false, callback, -1); });
    };
    EXPECT_EQ(unhandled().Contents(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(handled().Contents(), (std::vector<std::string>{"sent"}));

    ASSERT_TRUE(db.SetRead(first, true)) << db.GetErrorInfo();
    EXPECT_EQ(unhandled().Contents(), (std::vector<std::string>{"second"}));
    Delivery nowHandled = handled();
    EXPECT_EQ(nowHandled.Contents(), (std::vector<std::string>{"first", "sent"}));
    EXPECT_EQ(nowHandled.records[0][msg_field::kState], "0");

    ASSERT_TRUE(db.SetRead(first, false));
    EXPECT_EQ(unhandled().Contents(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(unhandled().records[0][msg_field::kState], "1");
    EXPECT_EQ(unhandled().endMarks, 1);
}

TEST_F(MessagesTest, SetReadOfAnUnknownIdFailsWithItsNumber) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "x");
    EXPECT_FALSE(db.SetRead(999, true));
    EXPECT_NE(db.GetErrorInfo().find("999"), std::string::npos) << db.GetErrorInfo();
}

TEST_F(MessagesTest, KeywordFormSearchesTextWithoutFontHeaderAndJids) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "FONT(宋体,134,2,180,0,0,0,0,0,0,0)明天开会");
    Add(db, "me@h", "carol@h", "FONT(宋体,134,2,180,0,0,0,0,0,0,0)Lunch at 12");
    Add(db, "dave@h", "me@h", "100% sure_thing");

    struct Case {
        const char* keyword;
        std::vector<std::string> expectedSenders;
    };
    const Case cases[] = {
        {"开会", {"bob@h"}},   {"LUNCH", {"me@h"}},  // ASCII case ignored
        {"宋体", {}},                                // the font header is not searched
        {"134", {}},           {"carol", {"me@h"}},  // receiver JID
        {"dave@", {"dave@h"}},                       // sender JID
        {"100%", {"dave@h"}},                        // '%' is a literal character
        {"0%", {"dave@h"}},    {"e_t", {"dave@h"}},  // '_' is literal, not any character
        {"x_x", {}},           {"", {"bob@h", "me@h", "dave@h"}},
    };
    for (const Case& c : cases) {
        Delivery got = Collect(
            [&](const MsgCallback& callback) { return db.GetMsg(c.keyword, callback, -1); });
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.endMarks, 1);
        std::vector<std::string> senders;
        for (const MsgFields& record : got.records) senders.push_back(record[msg_field::kFrom]);
        EXPECT_EQ(senders, c.expectedSenders) << "keyword " << c.keyword;
    }
}

TEST_F(MessagesTest, WebFormListsOnlyWebConsultationMessages) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "visitor1@h", "me@h", "question", CClientDB::kTypeChat, true);
    Add(db, "bob@h", "me@h", "chat");
    Add(db, "visitor2@h", "me@h", "another", CClientDB::kTypeChat, true);
    Delivery got = Collect([&](const MsgCallback& callback) { return db.GetMsgWeb(callback, -1); });
    EXPECT_TRUE(got.ok);
    EXPECT_EQ(got.Contents(), (std::vector<std::string>{"question", "another"}));
    EXPECT_EQ(got.endMarks, 1);
    Delivery newest =
        Collect([&](const MsgCallback& callback) { return db.GetMsgWeb(callback, 1); });
    EXPECT_EQ(newest.Contents(), (std::vector<std::string>{"another"}));
}

TEST_F(MessagesTest, DeleteOneAndDeleteAll) {
    CClientDB db("alice", Folder().c_str());
    long first = Add(db, "bob@h", "me@h", "first");
    Add(db, "bob@h", "me@h", "second");
    ASSERT_TRUE(db.DeleteMsg(first)) << db.GetErrorInfo();
    EXPECT_EQ(Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); }).Contents(),
              (std::vector<std::string>{"second"}));
    EXPECT_TRUE(db.DeleteMsg(first)) << "an id already gone is not an error";

    ASSERT_TRUE(db.DeleteAllMsgs()) << db.GetErrorInfo();
    Delivery none = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
    EXPECT_THAT(none.records, IsEmpty());
    EXPECT_EQ(none.endMarks, 1);
}

TEST_F(MessagesTest, IdsOfDeletedMessagesAreNeverReused) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "first");
    long last = Add(db, "bob@h", "me@h", "second");
    ASSERT_TRUE(db.DeleteMsg(last));
    long next = Add(db, "bob@h", "me@h", "third");
    EXPECT_GT(next, last);
    ASSERT_TRUE(db.DeleteAllMsgs());
    EXPECT_GT(Add(db, "bob@h", "me@h", "fourth"), next);
}

TEST_F(MessagesTest, ChineseTextIsGbkOutsideAndUtf8InTheDatabase) {
    const std::string contents = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)你好，世界#(14)#";
    ASSERT_EQ(std::string("你").size(), 2u) << "literals are GBK at run time";
    CClientDB db("张三", Folder().c_str());
    long id = Add(db, "张三@h", "李四@h", contents.c_str());

    Delivery got =
        Collect([&](const MsgCallback& cb) { return db.GetMsg("李四@h", "李四@h", cb, -1); });
    ASSERT_EQ(got.records.size(), 1u);
    EXPECT_EQ(got.records[0][msg_field::kContents], contents);
    EXPECT_EQ(got.records[0][msg_field::kFrom], "张三@h");

    CClientDB::CloseAll();
    RawDatabase raw(DatabaseFile());
    const char8_t* utf8 = u8"FONT(宋体,134,2,180,0,0,0,0,0,0,0)你好，世界#(14)#";
    EXPECT_EQ(raw.Text("SELECT contents FROM message WHERE id = " + std::to_string(id)),
              reinterpret_cast<const char*>(utf8));
}

TEST_F(MessagesTest, UserDefinedGbkCharactersAreStoredAndReadBack) {
    // The user-defined areas that rare names use, at both ends of each, and the code page's
    // Private Use Area characters they stand for in the database.
    struct Case {
        const char* gbk;
        const char8_t* utf8;
    };
    const Case cases[] = {
        {"\xAA\xA1", u8"\uE000"}, {"\xAF\xFE", u8"\uE233"}, {"\xF8\xA1", u8"\uE234"},
        {"\xFE\xFE", u8"\uE4C5"}, {"\xA1\x40", u8"\uE4C6"}, {"\xA7\xA0", u8"\uE765"},
    };
    CClientDB db("alice", Folder().c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "GBK " << std::hex
                                        << (static_cast<unsigned char>(c.gbk[0]) << 8 |
                                            static_cast<unsigned char>(c.gbk[1])));
        const std::string contents = std::string("FONT(x)张") + c.gbk + "三";
        const std::string sender = std::string("z") + c.gbk + "@h";
        long id = 0;
        ASSERT_TRUE(db.AddMsg(sender.c_str(), "me@h", "2026-01-05 09:00:00", contents.c_str(),
                              c.gbk, "", "", 0, false, "", "", 1, &id))
            << db.GetErrorInfo();

        Delivery got = Collect([&](const MsgCallback& cb) {
            return db.GetMsg(sender.c_str(), sender.c_str(), cb, -1);
        });
        ASSERT_EQ(got.records.size(), 1u);
        EXPECT_EQ(got.records[0][msg_field::kContents], contents);
        EXPECT_EQ(got.records[0][msg_field::kFrom], sender);
        EXPECT_EQ(got.records[0][msg_field::kExtra1], c.gbk);

        RawDatabase raw(DatabaseFile());
        EXPECT_EQ(raw.Text("SELECT contents FROM message WHERE id = " + std::to_string(id)),
                  std::string(reinterpret_cast<const char*>(u8"FONT(x)张")) +
                      reinterpret_cast<const char*>(c.utf8) +
                      reinterpret_cast<const char*>(u8"三"));
    }
}

TEST_F(MessagesTest, InvalidGbkIsRefusedAndNothingIsStored) {
    CClientDB db("alice", Folder().c_str());
    const std::string loneLead = "ab\x81";
    const std::string badTrail = "\x81\x20x";
    const std::string badByte = "\xff\xff";
    struct Case {
        const char* from;
        const char* contents;
        const char* extra1;
    };
    const Case cases[] = {
        {"bob@h", loneLead.c_str(), ""},
        {"bob@h", badTrail.c_str(), ""},
        {badByte.c_str(), "ok", ""},
        {"bob@h", "ok", loneLead.c_str()},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(db.AddMsg(c.from, "me@h", "2026-01-05 09:00:00", c.contents, c.extra1, "", "",
                               0, false, "", "", 1, nullptr));
        EXPECT_NE(db.GetErrorInfo().find("GBK"), std::string::npos) << db.GetErrorInfo();
    }
    Delivery none = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
    EXPECT_TRUE(none.ok);
    EXPECT_THAT(none.records, IsEmpty());

    Delivery badKeyword =
        Collect([&](const MsgCallback& cb) { return db.GetMsg(loneLead.c_str(), cb, -1); });
    EXPECT_FALSE(badKeyword.ok);
    EXPECT_EQ(badKeyword.endMarks, 0);
}

TEST_F(MessagesTest, CallbackMayUseTheStoreAgain) {
    CClientDB db("alice", Folder().c_str());
    for (int i = 0; i < 3; ++i) Add(db, "bob@h", "me@h", "x");
    // A view that deletes each record as it reads it must not deadlock or lose its place.
    int seen = 0;
    ASSERT_TRUE(db.GetMsg(
        [&](const MsgFields& fields) {
            if (IsMsgEndMark(fields)) return;
            ++seen;
            CClientDB inner("alice", Folder().c_str());
            EXPECT_TRUE(inner.DeleteMsg(std::stol(fields[msg_field::kId]))) << inner.GetErrorInfo();
        },
        -1));
    EXPECT_EQ(seen, 3);
    EXPECT_THAT(Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); }).records,
                IsEmpty());
}

TEST_F(MessagesTest, MissingTrailingSlashAndNullTextsAreAccepted) {
    std::string folder = Folder();
    folder.pop_back();
    CClientDB db("alice", folder.c_str());
    ASSERT_TRUE(db.AddMsg("bob@h", nullptr, "2026-01-05 09:00:00", "x", nullptr, nullptr, nullptr,
                          0, false, nullptr, nullptr, 1, nullptr))
        << db.GetErrorInfo();
    CClientDB same("alice", Folder().c_str());
    Delivery got = Collect([&](const MsgCallback& cb) { return same.GetMsg(cb, -1); });
    ASSERT_EQ(got.records.size(), 1u);
    EXPECT_EQ(got.records[0][msg_field::kTo], "");
}

}  // namespace
}  // namespace store_test
