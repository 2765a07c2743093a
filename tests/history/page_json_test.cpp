#include "history/page_json.h"

#include <gtest/gtest.h>

#include "os/text/gbk_codec.h"
#include "support/case_name.h"
#include "support/gbk_print.h"
#include "support/json_check.h"

namespace {

using history::BuildPageJson;
using history::HistoryRecord;
using history::PageChoice;
using history::PageOptions;
using history::Paging;
using testing_support::JsonValue;
using testing_support::ParseJson;

std::vector<HistoryRecord> NumberedRecords(int count) {
    std::vector<HistoryRecord> records;
    for (int i = 0; i < count; ++i) {
        HistoryRecord record;
        record.index = i;
        record.storeId = std::to_string(100 + i);
        record.sender = "amy( amy@example.org )";
        record.contents = "m" + std::to_string(i);
        record.type = "0";
        record.time = "2026-01-01 00:00:00";
        records.push_back(record);
    }
    return records;
}

Paging LoadedPaging(int total, int perPage) {
    Paging paging;
    paging.perPage = perPage;
    paging.Recompute(total, PageChoice::Reset);
    return paging;
}

// The page text as the page sees it: UTF-8, parsed.
JsonValue ParsePage(const std::string& gbkJson) {
    std::string utf8;
    EXPECT_TRUE(os::GbkToUtf8(gbkJson, utf8)) << "the page text is not GBK";
    std::string error;
    auto value = ParseJson(utf8, &error);
    EXPECT_TRUE(value.has_value()) << error << " in " << os::GbkToUtf8Lossy(gbkJson);
    return value.value_or(JsonValue{});
}

std::vector<std::string> PageIds(const JsonValue& page) {
    std::vector<std::string> ids;
    for (const JsonValue& item : page.items) {
        const JsonValue* id = item.Member("ID");
        ids.push_back(id ? id->text : "?");
    }
    return ids;
}

std::vector<std::string> IdRange(int from, int downTo) {
    std::vector<std::string> ids;
    for (int i = from; i >= downTo; --i) ids.push_back(std::to_string(i));
    return ids;
}

TEST(PageJson, OneRecordIsWrittenInTheFixedFieldOrder) {
    auto records = NumberedRecords(1);
    records[0].sender = "张三( zhang@gover.example.org )";
    EXPECT_GBK_EQ(BuildPageJson(records, LoadedPaging(1, 30)),
                  "[{\"ID\":\"0\",\"from\":\"张三\",\"time\":\"2026-01-01 00:00:00\","
                  "\"contents\":\"m0\",\"type\":\"0\"}]");
}

TEST(PageJson, AnEmptyListIsAnEmptyArray) {
    const Paging paging = LoadedPaging(0, 30);
    EXPECT_EQ(BuildPageJson({}, paging), "[]");
    EXPECT_EQ(ParsePage("[]").kind, JsonValue::Kind::Array);
}

TEST(PageJson, ThirtyOneRecordsOpenOnTheSecondPageOfOldRecords) {
    const auto records = NumberedRecords(31);
    Paging paging = LoadedPaging(31, 30);
    ASSERT_EQ(paging.pageCount, 2);
    ASSERT_EQ(paging.currentPage, 2);
    EXPECT_EQ(PageIds(ParsePage(BuildPageJson(records, paging))), IdRange(29, 0));
    paging.currentPage = 1;
    EXPECT_EQ(PageIds(ParsePage(BuildPageJson(records, paging))), IdRange(30, 30));
}

TEST(PageJson, EveryPageOfTwoHundredAndFiveRecordsAtFiftyHoldsItsSlice) {
    const auto records = NumberedRecords(205);
    Paging paging = LoadedPaging(205, 50);
    ASSERT_EQ(paging.pageCount, 5);
    const std::vector<std::pair<int, std::vector<std::string>>> pages = {
        {5, IdRange(49, 0)},    {4, IdRange(99, 50)},   {3, IdRange(149, 100)},
        {2, IdRange(199, 150)}, {1, IdRange(204, 200)},
    };
    for (const auto& [page, ids] : pages) {
        paging.currentPage = page;
        EXPECT_EQ(PageIds(ParsePage(BuildPageJson(records, paging))), ids) << "page " << page;
    }
}

TEST(PageJson, ContentsKeepTheirEscapesByteForByte) {
    auto records = NumberedRecords(1);
    records[0].contents = "a\\b\r\nc\nd\"e";
    const std::string json = BuildPageJson(records, LoadedPaging(1, 30));
    EXPECT_NE(json.find("\"contents\":\"a\\\\b<br//>c<br//>d\\\\\\\"e\""), std::string::npos)
        << json;
    const JsonValue page = ParsePage(json);
    ASSERT_EQ(page.items.size(), 1u);
    EXPECT_EQ(page.items[0].Member("contents")->text, "a\\b<br//>c<br//>d\\\"e");
}

TEST(PageJson, ASmsSenderShowsItsNumberAndDirectorySpellingsAreRestored) {
    auto records = NumberedRecords(2);
    records[0].type = "11";
    records[0].sender = "李四( 13800000000@sms.example.org )";
    records[1].type = "0";
    records[1].sender = "王五 ( wang@puber.example.org )";
    const JsonValue page = ParsePage(BuildPageJson(records, LoadedPaging(2, 30)));
    ASSERT_EQ(page.items.size(), 2u);
    EXPECT_EQ(page.items[1].Member("from")->text, os::GbkToUtf8Lossy("李四(13800000000)"));
    EXPECT_EQ(page.items[0].Member("from")->text, os::GbkToUtf8Lossy("王五"));
}

TEST(PageJson, ASentCategoryNamesTheReceiver) {
    auto records = NumberedRecords(3);
    records[0].peer = "bob@example.org";
    records[1].peer = "13900000000@sms.example.org";
    records[2].peer = "stranger@example.org";
    PageOptions options;
    options.showReceiver = true;
    options.contactName = [](std::string_view jid) {
        return jid == "bob@example.org" ? std::string(" 鲍勃 ") : std::string();
    };
    const JsonValue page = ParsePage(BuildPageJson(records, LoadedPaging(3, 30), options));
    ASSERT_EQ(page.items.size(), 3u);
    EXPECT_EQ(page.items[2].Member("from")->text, os::GbkToUtf8Lossy("接收者(鲍勃)"));
    EXPECT_EQ(page.items[1].Member("from")->text, os::GbkToUtf8Lossy("接收者(13900000000)"));
    EXPECT_EQ(page.items[0].Member("from")->text,
              os::GbkToUtf8Lossy("接收者(stranger@example.org)"));
}

// Hostile values in any field: the text always parses, and a value without the characters
// the contents escape (backslash, quote, line breaks) reads back as itself.
struct HostileCase {
    const char* name;
    std::string value;
    std::string readBack;  // GBK; "" = the value itself
};

class HostileField : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileField, NeverBreaksThePage) {
    const HostileCase& c = GetParam();
    enum Field { From, Time, Contents, Type, Receiver };
    for (const Field field : {From, Time, Contents, Type, Receiver}) {
        auto records = NumberedRecords(1);
        PageOptions options;
        switch (field) {
            case From:
                records[0].sender = c.value + "( x@example.org )";
                break;
            case Time:
                records[0].time = c.value;
                break;
            case Contents:
                records[0].contents = c.value;
                break;
            case Type:
                records[0].type = c.value;
                break;
            case Receiver:
                records[0].peer = c.value;
                options.showReceiver = true;
                break;
        }
        const std::string json = BuildPageJson(records, LoadedPaging(1, 30), options);
        const JsonValue page = ParsePage(json);
        ASSERT_EQ(page.items.size(), 1u) << "field " << field;
        const JsonValue& item = page.items[0];
        for (const char* key : {"ID", "from", "time", "contents", "type"}) {
            ASSERT_NE(item.Member(key), nullptr) << key;
        }
        EXPECT_EQ(item.Member("ID")->text, "0");
        const std::string expected = os::GbkToUtf8Lossy(c.readBack.empty() ? c.value : c.readBack);
        if (field == From) {
            EXPECT_EQ(item.Member("from")->text, expected);
        }
        if (field == Receiver) {
            EXPECT_EQ(item.Member("from")->text, os::GbkToUtf8Lossy("接收者(") + expected + ")");
        }
        if (field == Time) {
            EXPECT_EQ(item.Member("time")->text, expected);
        }
        if (field == Type) {
            EXPECT_EQ(item.Member("type")->text, expected);
        }
        if (field == Contents) {
            EXPECT_EQ(item.Member("contents")->text, expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, HostileField,
    testing::Values(HostileCase{"quote", "a\"b", "a\\\"b"},
                    HostileCase{"backslash_end", "ab\\", ""}, HostileCase{"tab", "a\tb", ""},
                    HostileCase{"lone_cr", "a\rb", ""},
                    HostileCase{"control_bytes",
                                std::string("a\x01\x1f\x7f"
                                            "b"),
                                ""},
                    HostileCase{"nul", std::string("a\0b", 3), ""},
                    HostileCase{"line_breaks", "a\r\nb\nc", "a<br//>b<br//>c"},
                    HostileCase{"trail_byte_backslash", "誠\"", "誠\\\""},
                    HostileCase{"lone_lead_before_quote", std::string("\xB0\"x"), "?\\\"x"},
                    HostileCase{"lone_lead_at_end", std::string("ab\xB0"), "ab?"},
                    HostileCase{"byte_ff",
                                std::string("a\xFF"
                                            "b"),
                                "a?b"},
                    HostileCase{"script_end", "</script><br>", ""},
                    HostileCase{"brackets_and_comma", "\"},{\"ID\":\"9",
                                "\\\"},{\\\"ID\\\":\\\"9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageJson, TheTrailByteBackslashOfAChineseCharacterIsNotDoubled) {
    // "誠" is 0xD5 0x5C: its second byte is not a backslash.
    EXPECT_EQ(history::EscapePageText("誠"), std::string("\xD5\x5C"));
}

}  // namespace
