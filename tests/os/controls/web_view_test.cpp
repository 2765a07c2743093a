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

struct OriginCase {
    const char* url;
    const char* origin;
};

TEST(WebView, AnOriginIsSchemeHostAndPortInLowerCaseWithoutTheDefaultPort) {
    const OriginCase cases[] = {
        {"http://127.0.0.1:8123/oa/index.html?x=1", "http://127.0.0.1:8123"},
        {"HTTP://OA.Example.COM/a", "http://oa.example.com"},
        {"http://oa.example.com:80/a", "http://oa.example.com"},
        {"https://oa.example.com:443", "https://oa.example.com"},
        {"https://oa.example.com:80/", "https://oa.example.com:80"},
        {"http://oa.example.com:0080#x", "http://oa.example.com"},
        {"http://user:pw@oa.example.com:81/", "http://oa.example.com:81"},
        {"http://oa.example.com@evil.example/", "http://evil.example"},
        {"http://[::1]:8080/x", "http://[::1]:8080"},
        {"http://oa.example.com:8x/", ""},
        {"http:///path", ""},
        {"file:///opt/qorvdesk/template/oa.html", ""},
        {"javascript:alert(1)", ""},
        {"/opt/qorvdesk/template/msgmgr.html", ""},
        {"null", ""},
        {"", ""},
    };
    for (const OriginCase& c : cases) EXPECT_EQ(OriginOf(c.url), c.origin) << c.url;
}

class Echo final : public PageScriptObject {
  public:
    std::optional<ScriptArgument> Invoke(const std::string& method,
                                         const std::vector<ScriptArgument>& arguments) override {
        if (method != "echo") return std::nullopt;
        ++calls;
        return arguments.empty() ? ScriptArgument::Of(std::string()) : arguments[0];
    }
    int calls = 0;
};

TEST(WebView, TheScriptObjectAnswersItsOwnOriginOnlyAndReportsEveryRefusal) {
    WebView view(7);
    NotificationRecorder seen(view);
    Echo echo;
    view.SetPage("http://127.0.0.1:8123/oa.html");
    EXPECT_FALSE(view.CallFromPage("http://127.0.0.1:8123", "echo", {})) << "nothing offered";
    view.OfferScriptObject(&echo, OriginOf("http://127.0.0.1:8123/oa.html"));
    EXPECT_EQ(view.scriptOrigin(), "http://127.0.0.1:8123");
    EXPECT_EQ(view.CallFromPage("http://127.0.0.1:8123/oa.html", "echo", {ScriptArgument::Of(5)}),
              ScriptArgument::Of(5));
    EXPECT_FALSE(view.CallFromPage("http://127.0.0.1:8123", "other", {}));
    EXPECT_EQ(seen.Count(WebView::kPageCallRefused), 0);

    EXPECT_FALSE(view.CallFromPage("http://evil.example", "echo", {}));
    EXPECT_FALSE(view.CallFromPage("", "echo", {}));
    ASSERT_EQ(seen.Count(WebView::kPageCallRefused), 2);
    EXPECT_EQ(seen.all()[0].text,
              std::string("http://evil.example") + WebView::kEventSeparator + "echo");
    EXPECT_EQ(echo.calls, 1);

    // Another page withdraws the object, even a page of the same origin.
    view.SetPage("http://127.0.0.1:8123/elsewhere.html");
    EXPECT_FALSE(view.CallFromPage("http://127.0.0.1:8123", "echo", {}));
    EXPECT_EQ(view.scriptOrigin(), "");
    EXPECT_EQ(echo.calls, 1);
}

}  // namespace
}  // namespace os
