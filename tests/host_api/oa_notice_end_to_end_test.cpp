// Real-time OA notices through the shipped wiring: the embedded server pushes a notice, the
// pump hands it to the history subsystem, which stores it, alerts the user as the notice's
// tip type and the configuration say, and shows the list in the notice window, whose page
// (played here through the automation interface, from the page's own origin or another)
// reads and edits the list.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/oa_notice_window.h"
#include "os/ui/window_system.h"
#include "platform/store/client_db.h"
#include "subsystems_fixture.h"

namespace host_api_test {
namespace {

using history::COANoticeWindow;
using qorvdesk::automation::ScriptValue;

constexpr const char* kPageUrl = "http://127.0.0.1:8123/oa/notices.html?user=me";
constexpr const char* kPageOrigin = "http://127.0.0.1:8123";

std::string Body(const std::string& desc, const std::string& tipType,
                 const std::string& time = "20090102030405") {
    return "<Appid>oa</Appid><Appdesc>公文系统</Appdesc><TipType>" + tipType +
           "</TipType><Count>1</Count><Desc>" + desc +
           "</Desc><SenderName>办公室</SenderName>"
           "<SendTime>" +
           time +
           "</SendTime><JumpUrl>http://oa/doc</JumpUrl>"
           "<JumpUrlParam>id=7&k=1</JumpUrlParam>";
}

class OaNoticeTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        // After the start-up, which loads the configuration.
        context.config.RealTimeOA.URL = kPageUrl;
        context.config.RealTimeOA.Title = "实时消息提醒";
        context.config.RealTimeOA.Cx = 400;
        context.config.RealTimeOA.Cy = 300;
        context.config.RTOAArrivedTipType = 0;
    }

    history::OaNoticeCenter& center() { return subsystems->messageManager().oaNotices(); }
    std::uint32_t Window() { return center().Window().value(); }

    // The server pushes `body`; pumps until the pump has handled it.
    void Push(const std::string& body) {
        ASSERT_EQ(world.server().SendOaNotice(me, body), 1);
        const platform::SimSessionCore& session = world.simSession();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
    }

    std::vector<RTOARecord> Stored() {
        std::vector<RTOARecord> notices;
        auto db = context.OpenUserStore();
        EXPECT_NE(db, nullptr);
        if (db) EXPECT_TRUE(db->GetAllOAMsg([&](const RTOARecord& n) { notices.push_back(n); }));
        return notices;
    }

    std::optional<ScriptValue> Call(const std::string& method, std::vector<ScriptValue> args = {},
                                    const std::string& origin = kPageOrigin) {
        return driver.CallPageObject(Window(), COANoticeWindow::kPageViewId, origin, method, args);
    }
    static ScriptValue Text(std::string text) { return {false, std::move(text), 0}; }
    static ScriptValue Number(std::int64_t n) { return {true, {}, n}; }

    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
};

TEST_F(OaNoticeTest, ANoticeIsStoredShownAndEditedByItsPage) {
    ASSERT_NO_FATAL_FAILURE(Push(Body("请审批 <A&B>", "0")));
    EXPECT_TRUE(world.log().HasCaptured("收到实时OA消息:<Appid>oa</Appid>"));

    const std::vector<RTOARecord> stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].desc, "请审批 <A&B>");
    EXPECT_EQ(stored[0].sendTime, "2009-01-02 03:04:05");
    EXPECT_EQ(stored[0].status, "1");

    // Tip type 0 and RTOAArrivedTipType 0: the window opens on the configured page, which
    // alone gets the script object.
    ASSERT_TRUE(center().Window());
    EXPECT_EQ(world.windows().GetWindowText(center().Window()), "实时消息提醒");
    const auto page = driver.ReadWebPage(Window(), COANoticeWindow::kPageViewId);
    ASSERT_TRUE(page) << driver.LastError();
    EXPECT_EQ(page->path, kPageUrl);
    EXPECT_EQ(page->scriptOrigin, kPageOrigin);

    EXPECT_EQ(Call("getCount"), Number(1));
    const std::string id = std::to_string(stored[0].id);
    EXPECT_EQ(Call("getPageContent", {Number(0), Number(10)}),
              Text(id + "\\t公文系统\\thttp://oa/doc?id=7&k=1\\t请审批 <A&B>\\t办公室\\t"
                        "2009-01-02 03:04:05\\t1"));

    ASSERT_NO_FATAL_FAILURE(Push(Body("第二份", "0", "20100101000000")));
    EXPECT_EQ(Call("getCount"), Number(2));
    // New arrivals go to the front; the page sorts them back by time, oldest first.
    EXPECT_TRUE(Call("getPageContent", {Number(0), Number(1)})->text.find("第二份") !=
                std::string::npos);
    EXPECT_EQ(Call("Sort", {Text("时间"), Text("0")}), Text(""));
    EXPECT_TRUE(Call("getPageContent", {Number(0), Number(1)})->text.starts_with(id + "\\t"));

    EXPECT_EQ(Call("updateStatus", {Text(id + "\\t")}), Text(""));
    EXPECT_TRUE(Call("getPageContent", {Number(0), Number(1)})->text.ends_with("\\t0"));
    std::vector<RTOARecord> now = Stored();
    ASSERT_EQ(now.size(), 2u);
    for (const RTOARecord& n : now) EXPECT_EQ(n.status, n.id == stored[0].id ? "0" : "1");

    EXPECT_EQ(Call("deleteScheduler", {Text(id + "\\t")}), Text(""));
    EXPECT_EQ(Call("getCount"), Number(1));
    now = Stored();
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].desc, "第二份");

    EXPECT_FALSE(Call("noSuchMethod")) << "an unknown method answers nothing";
    EXPECT_EQ(Call("Close"), Text(""));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !center().Window(); }));
}

TEST_F(OaNoticeTest, CallsFromAnyOtherOriginAreRefusedAndLogged) {
    ASSERT_NO_FATAL_FAILURE(Push(Body("机密", "0")));
    ASSERT_TRUE(center().Window());
    const std::string id = std::to_string(Stored().at(0).id);
    const char* strangers[] = {
        "http://evil.example",
        "http://127.0.0.1:8124",
        "https://127.0.0.1:8123",
        "http://127.0.0.1.evil:8123",
        "null",
        "",
        "file:///tmp/notices.html",
        "http://localhost:8123",
    };
    for (const char* origin : strangers) {
        SCOPED_TRACE(origin);
        world.log().ClearCaptured();
        EXPECT_FALSE(Call("getPageContent", {Number(0), Number(10)}, origin));
        EXPECT_FALSE(Call("deleteScheduler", {Text(id + "\\t")}, origin));
        EXPECT_TRUE(world.log().HasCaptured("拒绝来自其他来源的调用"));
    }
    EXPECT_EQ(Stored().size(), 1u) << "nothing was deleted";
    // The page's own origin, spelt with its default port or in capitals, is the same origin.
    EXPECT_EQ(driver.CallPageObject(Window(), COANoticeWindow::kPageViewId,
                                    "HTTP://127.0.0.1:8123/oa/other.html", "getCount", {}),
              Number(1));
}

struct AlertCase {
    std::string name;
    std::string tipType;
    int arrivedTipType;
    bool windowOpens;
    bool oaTip;
    bool queued;
};

class OaNoticeAlert : public OaNoticeTest, public testing::WithParamInterface<AlertCase> {};

TEST_P(OaNoticeAlert, FollowsTheTipTypeAndTheConfiguration) {
    const AlertCase& c = GetParam();
    context.config.RTOAArrivedTipType = c.arrivedTipType;
    world.tips().Clear();
    ASSERT_NO_FATAL_FAILURE(Push(Body("标题", c.tipType)));
    EXPECT_EQ(Stored().size(), 1u);
    EXPECT_EQ(static_cast<bool>(center().Window()), c.windowOpens);
    const auto oaTips = world.tips().CallsNamed("ShowOATip");
    ASSERT_EQ(oaTips.size(), c.oaTip ? 1u : 0u);
    if (c.oaTip) {
        EXPECT_EQ(oaTips[0].texts, (std::vector<std::string>{"http://oa/doc?id=7&k=1", "标题"}));
        EXPECT_EQ(oaTips[0].numbers, (std::vector<int>{0, 1}));
    }
    const auto pending = manager->PendingMessages().Snapshot();
    ASSERT_EQ(pending.size(), c.queued ? 1u : 0u);
    if (c.queued) {
        EXPECT_EQ(pending[0].type, core::kQueuedOaNoticeType);
        // Picking it from the tray opens the notice window.
        manager->ShowChatWindow();
        EXPECT_TRUE(center().Window());
        EXPECT_TRUE(manager->PendingMessages().Empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tips, OaNoticeAlert,
    testing::Values(AlertCase{"bit0_pops_the_oa_tip", "1", 0, false, true, false},
                    AlertCase{"hex_bit0_pops_the_oa_tip", "1F", 1, false, true, false},
                    AlertCase{"even_opens_the_window", "0", 0, true, false, false},
                    AlertCase{"hex_even_opens_the_window", "A", 0, true, false, false},
                    AlertCase{"configured_tip_queues_for_the_tray", "0", 1, false, false, true},
                    AlertCase{"no_tip_type_opens_the_window", "", 0, true, false, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(OaNoticeTest, TheWindowBodyOpensOnlyAndMarkedBodiesAreDropped) {
    ASSERT_NO_FATAL_FAILURE(Push("<Appid>0101010101</Appid><Desc>测试</Desc>"));
    ASSERT_NO_FATAL_FAILURE(Push("<Appid>0101010102</Appid><Desc>测试</Desc>"));
    EXPECT_TRUE(Stored().empty());
    EXPECT_FALSE(center().Window());
    ASSERT_NO_FATAL_FAILURE(Push("showrealtimeoawindow"));
    EXPECT_TRUE(Stored().empty());
    ASSERT_TRUE(center().Window());
    EXPECT_EQ(Call("getCount"), Number(0));
    EXPECT_EQ(Call("getPageContent", {Number(0), Number(0)}), Text(""));
}

TEST_F(OaNoticeTest, TheListComesFromTheStoreForTheLoggedInUser) {
    {
        auto db = context.OpenUserStore();
        ASSERT_NE(db, nullptr);
        long id = 0;
        ASSERT_TRUE(db->AddRTOAInfo("oa", "公文系统", "甲", "0", "1", "早先的", "http://oa/a", "",
                                    "", "2008-01-01 00:00:00", "", "0", id));
    }
    ASSERT_NO_FATAL_FAILURE(Push(Body("新到的", "0")));
    EXPECT_EQ(Call("getCount"), Number(2));
    const std::string rows = Call("getPageContent", {Number(0), Number(2)})->text;
    EXPECT_LT(rows.find("新到的"), rows.find("早先的")) << rows;
    EXPECT_NE(rows.find("http://oa/a?\\t"), std::string::npos) << rows;
}

}  // namespace
}  // namespace host_api_test
