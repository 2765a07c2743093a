// The embedded page's model: kept calls a late view replays, and what the page reports.

#include "os/controls/web_view.h"

#include <gtest/gtest.h>

#include "os/controls/notification_recorder.h"

namespace os {
namespace {

using testing::NotificationRecorder;

std::vector<std::string> Methods(const WebView& view) {
    std::vector<std::string> methods;
    for (const ScriptCall& call : view.calls()) methods.push_back(call.method);
    return methods;
}

TEST(WebView, KeepsTheLatestCallOfEachMethodInCallOrder) {
    WebView view(7);
    view.SetPage("/opt/qorvdesk/template/msgmgr.html");
    const auto first = view.CallScript("SetPath", {ScriptArgument::Of(std::string("/a/"))});
    view.CallScript("showmsg", {ScriptArgument::Of(std::string("[]")), ScriptArgument::Of(1)});
    view.CallScript("SelectFromID", {ScriptArgument::Of(3), ScriptArgument::Of(-1)});
    const auto last = view.CallScript(
        "showmsg", {ScriptArgument::Of(std::string("[{}]")), ScriptArgument::Of(0)});
    EXPECT_EQ(Methods(view), (std::vector<std::string>{"SetPath", "SelectFromID", "showmsg"}));
    EXPECT_GT(last, first);
    EXPECT_EQ(view.calls().back().sequence, last);
    EXPECT_EQ(view.calls().back().arguments[0].text, "[{}]");
    EXPECT_EQ(view.calls().back().arguments[1], ScriptArgument::Of(0));

    // Another page starts clean, and sequence numbers keep growing.
    view.SetPage("/opt/qorvdesk/template/other.html");
    EXPECT_TRUE(view.calls().empty());
    EXPECT_GT(view.CallScript("showmsg", {}), last);
}

TEST(WebView, PageEventsReachTheWindowAndTheSelectionIsKept) {
    WebView view(7);
    NotificationRecorder seen(view);
    view.ReportFromPage("selection", "2;5");
    view.ReportFromPage("key", "Up");
    EXPECT_EQ(view.selection(), "2;5");
    ASSERT_EQ(seen.Count(WebView::kPageEvent), 2);
    EXPECT_EQ(seen.all()[0].text, std::string("selection") + WebView::kEventSeparator + "2;5");
    EXPECT_EQ(seen.all()[1].text, std::string("key") + WebView::kEventSeparator + "Up");
    view.SetPage("/other.html");
    EXPECT_EQ(view.selection(), "");
}

}  // namespace
}  // namespace os
