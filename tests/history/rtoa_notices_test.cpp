// The real-time OA notice body and the notice list the notice page reads: fields taken by
// plain text search, the send time's marks, the page's rows and escapes, status, delete and
// the selection sort with its two orders.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/rtoa_body.h"
#include "history/rtoa_list.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using history::ParseRTOABody;
using history::RTOABody;
using history::RTOAList;

struct BodyCase {
    std::string name;
    std::string body;
    std::string desc;
    std::string sendTime;
    std::string jumpUrlParam;
};

class RTOABodyParse : public testing::TestWithParam<BodyCase> {};

TEST_P(RTOABodyParse, TakesEachFieldFromItsFirstTagPair) {
    const BodyCase& c = GetParam();
    const RTOABody notice = ParseRTOABody(c.body);
    EXPECT_EQ(notice.desc, c.desc);
    EXPECT_EQ(notice.sendTime, c.sendTime);
    EXPECT_EQ(notice.jumpUrlParam, c.jumpUrlParam);
    EXPECT_EQ(notice.status, "1");
    EXPECT_EQ(notice.id, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, RTOABodyParse,
    testing::Values(
        BodyCase{"send_time_gets_its_marks", "<Desc>会议</Desc><SendTime>20090102030405</SendTime>",
                 "会议", "2009-01-02 03:04:05", ""},
        BodyCase{"no_desc_tag_no_title", "<SendTime>20090102030405</SendTime>", "",
                 "2009-01-02 03:04:05", ""},
        BodyCase{"raw_ampersand_and_lt_are_text",
                 "<Desc>A & B < C</Desc><JumpUrlParam>a=1&b=2</JumpUrlParam>", "A & B < C", "",
                 "a=1&b=2"},
        BodyCase{"blanks_trimmed",
                 "<Desc>  \t标题 \r\n</Desc><SendTime> 20090102030405 </SendTime>", "标题",
                 "2009-01-02 03:04:05", ""},
        BodyCase{"first_pair_wins", "<Desc>一</Desc><Desc>二</Desc>", "一", "", ""},
        BodyCase{"close_before_open_is_missing", "</Desc>x<Desc>y", "", "", ""},
        BodyCase{"unclosed_tag_is_missing", "<Desc>never closed", "", "", ""},
        BodyCase{"short_send_time_kept_as_is", "<SendTime>2009</SendTime>", "", "2009", ""},
        BodyCase{"empty_send_time_stays_empty", "<SendTime></SendTime>", "", "", ""},
        BodyCase{"send_time_with_letters_kept", "<SendTime>2009010203040x</SendTime>", "",
                 "2009010203040x", ""},
        BodyCase{"url_tag_is_not_a_prefix_of_param", "<JumpUrlParam>p=1</JumpUrlParam>", "", "",
                 "p=1"},
        BodyCase{"empty_body", "", "", "", ""}),
    [](const auto& info) { return info.param.name; });

TEST(RTOABody, EveryFieldComesFromItsOwnTag) {
    const RTOABody notice = ParseRTOABody(
        "<Appid>a1</Appid><Appdesc>公文</Appdesc><TipType>1F</TipType><Count>3</Count>"
        "<Desc>d</Desc><SenderName>张三</SenderName><SendTime>20260105090000</SendTime>"
        "<JumpUrl>http://oa/x</JumpUrl><JumpUrlParam>id=1</JumpUrlParam>"
        "<DisplayUrl>http://oa/show</DisplayUrl><OfflineTip>离线</OfflineTip>");
    RTOABody expected;
    expected.appId = "a1";
    expected.appDesc = "公文";
    expected.tipType = "1F";
    expected.count = "3";
    expected.desc = "d";
    expected.senderName = "张三";
    expected.sendTime = "2026-01-05 09:00:00";
    expected.jumpUrl = "http://oa/x";
    expected.jumpUrlParam = "id=1";
    expected.displayUrl = "http://oa/show";
    expected.offlineTip = "离线";
    expected.status = "1";
    EXPECT_EQ(notice, expected);
}

TEST(RTOABody, OnlyTheTwoMarkersDropABody) {
    EXPECT_TRUE(history::IsDroppedOaBody("<Appid>0101010101</Appid>"));
    EXPECT_TRUE(history::IsDroppedOaBody("x0101010102y"));
    EXPECT_FALSE(history::IsDroppedOaBody("<Appid>0101010103</Appid>"));
    EXPECT_FALSE(history::IsDroppedOaBody("010101010"));
}

class RTOAListTest : public testing::Test {
  protected:
    static RTOABody Notice(long id, std::string desc, std::string time, std::string status = "1") {
        RTOABody n;
        n.id = id;
        n.appDesc = "系统" + std::to_string(id);
        n.desc = std::move(desc);
        n.senderName = "发件" + std::to_string(id);
        n.sendTime = std::move(time);
        n.jumpUrl = "http://oa/x";
        n.jumpUrlParam = "id=" + std::to_string(id);
        n.status = std::move(status);
        return n;
    }
    std::vector<long> Ids() const {
        std::vector<long> ids;
        for (const RTOABody& n : list.notices()) ids.push_back(n.id);
        return ids;
    }
    void LoadThree() {
        list.Load({Notice(1, "b", "2009-01-02 03:04:05"), Notice(2, "a", "2010-01-01 00:00:00"),
                   Notice(3, "c", "2008-12-31 23:59:59")});
    }

    os::ManualClock clock;
    std::unique_ptr<os::Log> log = os::Log::Capturing(clock);
    RTOAList list{*log};
};

TEST_F(RTOAListTest, AnEmptyRangeIsAnEmptyTextAndIsLogged) {
    LoadThree();
    EXPECT_EQ(list.getPageContent(0, 0), "");
    EXPECT_EQ(list.getPageContent(2, 1), "");
    EXPECT_TRUE(log->HasCaptured("获取实时OA数据：开始 0, 结束 0 "));
    EXPECT_EQ(RTOAList(*log).getPageContent(0, 10), "");
    EXPECT_EQ(RTOAList(*log).getCount(), 0);
}

TEST_F(RTOAListTest, RowsCarryTheFieldsBetweenEscapeTextsWithoutATrailingRowEnd) {
    LoadThree();
    list.PushFront(Notice(7, "新", "2026-01-05 09:00:00"));
    EXPECT_EQ(list.getCount(), 4);
    EXPECT_EQ(list.getPageContent(0, 2),
              "7\\t系统7\\thttp://oa/x?id=7\\t新\\t发件7\\t2026-01-05 09:00:00\\t1\\r\\n"
              "1\\t系统1\\thttp://oa/x?id=1\\tb\\t发件1\\t2009-01-02 03:04:05\\t1");
    // Past the end the range stops at the list's end; a negative start counts from 0.
    EXPECT_EQ(list.getPageContent(3, 100),
              "3\\t系统3\\thttp://oa/x?id=3\\tc\\t发件3\\t2008-12-31 23:59:59\\t1");
    EXPECT_EQ(list.getPageContent(-5, 1), list.getPageContent(0, 1));
}

TEST_F(RTOAListTest, AnAddressWithAQueryJoinsItsParametersWithAnAmpersand) {
    RTOABody n = Notice(1, "t", "");
    EXPECT_EQ(history::OaPageAddress(n), "http://oa/x?id=1");
    n.jumpUrl = "http://oa/x?a=1";
    EXPECT_EQ(history::OaPageAddress(n), "http://oa/x?a=1&id=1");
}

TEST_F(RTOAListTest, AFieldCannotEndItsOwnFieldOrRow) {
    // "\t" and "\r\n" typed into a title, and a GBK character whose trail byte is 0x5C.
    RTOABody n = Notice(9, "a\\tb\\r\\n\x95\x5C", "");
    n.senderName = std::string("\xFF") + "x";
    list.Load({n});
    EXPECT_EQ(list.getPageContent(0, 1),
              "9\\t系统9\\thttp://oa/x?id=9\\ta\\\\tb\\\\r\\\\n\x95\x5C\\t?x\\t\\t1");
}

TEST_F(RTOAListTest, StatusAndDeleteFollowTheIdList) {
    LoadThree();
    list.updateStatus("1\\t3\\t99\\t");
    EXPECT_EQ(list.notices()[0].status, "0");
    EXPECT_EQ(list.notices()[1].status, "1");
    EXPECT_EQ(list.notices()[2].status, "0");
    EXPECT_TRUE(log->HasCaptured("更新实时OA状态: 1\\t3\\t99\\t"));
    list.deleteScheduler("2\\t");
    EXPECT_EQ(Ids(), (std::vector<long>{1, 3}));
    EXPECT_TRUE(log->HasCaptured("删除实时OA记录: 2\\t"));
    list.deleteScheduler("");
    EXPECT_EQ(Ids(), (std::vector<long>{1, 3}));
}

TEST(OaIdList, ReadsTheEscapedAndTheRealTab) {
    EXPECT_EQ(history::ParseOaIdList("12\\t34\\t"), (std::vector<long>{12, 34}));
    EXPECT_EQ(history::ParseOaIdList("12\t34"), (std::vector<long>{12, 34}));
    EXPECT_EQ(history::ParseOaIdList(""), (std::vector<long>{}));
    EXPECT_EQ(history::ParseOaIdList("\\t\\t5"), (std::vector<long>{5}));
}

struct SortCase {
    std::string name;
    std::string field;
    std::string order;
    std::vector<long> ids;
    std::string logged;  // "" when no error is logged
};

class RTOASort : public RTOAListTest, public testing::WithParamInterface<SortCase> {};

TEST_P(RTOASort, OrdersByTheNamedColumn) {
    const SortCase& c = GetParam();
    LoadThree();
    list.Sort(c.field, c.order);
    EXPECT_EQ(Ids(), c.ids);
    EXPECT_EQ(list.sortField(), c.field);
    if (!c.logged.empty())
        EXPECT_TRUE(log->HasCaptured(c.logged)) << testing::PrintToString(log->CapturedTexts());
    EXPECT_EQ(log->HasCaptured("错误"), !c.logged.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Columns, RTOASort,
    testing::Values(
        SortCase{"time_descending_latest_first", "时间", "1", {2, 1, 3}, ""},
        SortCase{"time_ascending", "时间", "0", {3, 1, 2}, ""},
        SortCase{"title_ascending", "标题", "0", {2, 1, 3}, ""},
        SortCase{"sender_descending", "发件人", "1", {3, 2, 1}, ""},
        SortCase{"system_descending", "业务系统", "1", {3, 2, 1}, ""},
        SortCase{
            "order_2_logged_and_nothing_moves", "时间", "2", {1, 2, 3}, "排序参数错误，order=2"},
        SortCase{"unknown_column_moves_nothing", "strSendTime", "1", {1, 2, 3}, ""},
        SortCase{"empty_field_logged", "", "0", {1, 2, 3}, "实时OA排序错误，未设排序字段"}),
    [](const auto& info) { return info.param.name; });

TEST_F(RTOAListTest, TheStatusColumnPutsUnreadFirstWhenDescending) {
    list.Load({Notice(1, "a", "", "0"), Notice(2, "b", "", "1"), Notice(3, "c", "", "0")});
    list.Sort("状态", "1");
    EXPECT_EQ(list.notices()[0].id, 2);
    EXPECT_TRUE(log->HasCaptured("实时OA排序,filed= 状态, order=1"));
    EXPECT_EQ(list.sortOrder(), 1);
}

TEST_F(RTOAListTest, AnOrderOutOfRangeLogsEachComparisonAsRefused) {
    LoadThree();
    list.Sort("时间", "7");
    EXPECT_EQ(list.sortOrder(), 7);
    EXPECT_TRUE(log->HasCaptured("RTOABody::IsNeedSwap排序错误,未设定升序或降序,sorOrder=7"));
}

}  // namespace
