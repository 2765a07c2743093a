#include "history/record_collector.h"

#include <gtest/gtest.h>

#include "history/history_text_export.h"
#include "history/message_categories.h"
#include "support/gbk_print.h"

namespace {

using history::HistoryRecord;
using history::RecordCollector;

MsgFields Fields(std::string id, std::string from, std::string to, std::string contents,
                 std::string type = "0") {
    MsgFields fields;
    fields[msg_field::kId] = std::move(id);
    fields[msg_field::kFrom] = std::move(from);
    fields[msg_field::kTo] = std::move(to);
    fields[msg_field::kTime] = "2026-03-04 05:06:07";
    fields[msg_field::kContents] = std::move(contents);
    fields[msg_field::kType] = std::move(type);
    return fields;
}

history::SenderNaming Naming() {
    history::SenderNaming naming;
    naming.displayName = [](std::string_view jid) -> std::string {
        if (jid == "bob@h.example") return "鲍勃";
        if (jid == "li$gov@h.example") return "李";
        if (jid == "wang$pub@h.example") return "王";
        return "";
    };
    naming.ownJid = "me@h.example";
    naming.hostName = "h.example";
    naming.governmentUser = true;
    return naming;
}

TEST(RecordCollector, ReadsSendersPeersAndTheShakeAndSkipsTheEndMark) {
    std::vector<HistoryRecord> records;
    RecordCollector collect(records, history::kAllTypes, Naming());
    collect(Fields("7", "bob@h.example/phone", "me@h.example", "hi"));
    collect(Fields("8", "me@h.example", "bob@h.example", "#(-1)#"));
    collect(Fields("9", "room@conference.h.example/li", "me@h.example", "大家好", "3"));
    collect(Fields("10", "wang$pub@h.example", "me@h.example", "x"));
    collect(Fields("END", "", "", ""));
    collect(Fields("end", "", "", ""));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].index, 0);
    EXPECT_EQ(records[0].storeId, "7");
    EXPECT_GBK_EQ(records[0].sender, "bob@h.example/phone( bob@h.example/phone )");
    EXPECT_EQ(records[0].peer, "bob@h.example/phone");
    EXPECT_EQ(records[1].peer, "bob@h.example");
    EXPECT_GBK_EQ(records[1].contents, "#(-1)#( 闪屏振动 )");
    EXPECT_GBK_EQ(records[2].sender, "李( room@conference.h.example/li )");
    EXPECT_EQ(records[2].type, "3");
    EXPECT_GBK_EQ(records[3].sender, "王( wang@puber.h.example )");
    EXPECT_EQ(records[3].index, 3);
    EXPECT_EQ(records[3].time, "2026-03-04 05:06:07");
}

TEST(RecordCollector, ATypeFilterKeepsOnlyItsType) {
    struct Case {
        int filter;
        std::vector<std::string> kept;
    };
    for (const Case& c : {Case{history::kChatType, {"1"}}, Case{history::kSmsType, {"2"}},
                          Case{history::kAllTypes, {"1", "2", "3"}}}) {
        std::vector<HistoryRecord> records;
        RecordCollector collect(records, c.filter, Naming());
        collect(Fields("1", "bob@h.example", "me@h.example", "a", "0"));
        collect(Fields("2", "bob@h.example", "me@h.example", "b", "11"));
        collect(Fields("3", "bob@h.example", "me@h.example", "c", "12"));
        std::vector<std::string> kept;
        for (const HistoryRecord& record : records) kept.push_back(record.storeId);
        EXPECT_EQ(kept, c.kept) << c.filter;
    }
}

TEST(HistoryTextExport, WritesSenderTimeAndPlainContentsPerRecord) {
    std::vector<HistoryRecord> records(2);
    records[0].sender = "鲍勃( bob@h.example )";
    records[0].time = "2026-03-04 05:06:07";
    records[0].contents = "FONT(宋体,0,0,0,0,0,0,0,0,0,0)你好#(05)##(-2)#[a.jpg]";
    records[1].sender = "我( me@h.example )";
    records[1].time = "2026-03-04 05:06:08";
    records[1].contents = "#(-2)#[no end";
    EXPECT_GBK_EQ(history::HistoryTextExport(records),
                  "鲍勃( bob@h.example ) 2026-03-04 05:06:07\r\n   你好[表情][图片]\r\n"
                  "我( me@h.example ) 2026-03-04 05:06:08\r\n   #(-2)#[no end\r\n");
}

TEST(MessageCategories, EachKeyHasItsLabelFolderAndFilter) {
    const history::MessageCategory* sentSms = history::FindCategory("SMSMsgFromMe");
    ASSERT_NE(sentSms, nullptr);
    EXPECT_GBK_EQ(std::string(sentSms->label), "我发送的短信");
    EXPECT_EQ(sentSms->typeFilter, history::kSmsType);
    EXPECT_EQ(sentSms->query, history::CategoryQuery::SentByMe);
    const history::MessageCategory* admin = history::FindCategory("admin");
    ASSERT_NE(admin, nullptr);
    EXPECT_GBK_EQ(std::string(admin->folder), "其它消息");
    EXPECT_EQ(admin->typeFilter, history::kAllTypes);
    EXPECT_EQ(history::FindCategory("nothing"), nullptr);
    EXPECT_EQ(history::MessageCategories().size(), 7u);
}

}  // namespace
