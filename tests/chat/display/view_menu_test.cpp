// The context menu's entries, in order, and when each can be chosen; the link rules' pieces.

#include "chat/display/view_menu.h"

#include <gtest/gtest.h>

#include "chat/display/link_actions.h"
#include "config/client_config.h"
#include "support/gbk_print.h"

namespace {

using chat::ViewMenuCommand;

// The menu as one line: entries by text, "-" for a separator, "*" after a disabled one.
std::string Describe(const std::vector<chat::ViewMenuEntry>& menu) {
    std::string line;
    for (const chat::ViewMenuEntry& entry : menu) {
        if (!line.empty()) line += " ";
        line += entry.command ? entry.text + (entry.enabled ? "" : "*") : "-";
    }
    return line;
}

TEST(ViewMenuTest, EntriesFollowTheViewKindAndWhatCanBeDone) {
    struct Case {
        const char* name;
        chat::ViewMenuState state;
        const char* menu;
    };
    const Case cases[] = {
        {"read-only view, nothing selected", {}, "复制(&O)* - 全选(&A)"},
        {"read-only view with a selection", {.hasSelection = true}, "复制(&O) - 全选(&A)"},
        {"read-only view with screen capture, a picture selected",
         {.hasClipScreen = true, .hasSelection = true, .pictureSelected = true},
         "复制(&O) 图片另存为...(&s) - 全选(&A)"},
        {"input box, empty clipboard",
         {.editable = true, .acceptsPaste = true},
         "撤消(&U)* - 剪切(&C)* 复制(&O)* 粘贴(&P)* 清除(&L)* - 全选(&A)"},
        {"input box, everything possible",
         {.editable = true,
          .acceptsPaste = true,
          .hasClipScreen = true,
          .canUndo = true,
          .hasSelection = true,
          .clipboardPasteable = true},
         "撤消(&U) - 剪切(&C) 复制(&O) 粘贴(&P) 图片另存为...(&s)* 清除(&L) - 全选(&A)"},
    };
    for (const Case& c : cases) {
        EXPECT_GBK_EQ(Describe(chat::BuildViewMenu(c.state)), c.menu) << c.name;
    }
}

TEST(WebLinkPostTest, TheTargetIsCutAtItsFirstAmpersandAndTheRestFollowsTheLogin) {
    struct Case {
        const char* target;
        const char* url;
        const char* body;
    };
    const Case cases[] = {
        {"http://h/p?a=1&b=2", "http://h/p?a=1", "username=zh&password=p%26w&b=2"},
        {"http://h/p?a=1&b=2&c=3", "http://h/p?a=1", "username=zh&password=p%26w&b=2&c=3"},
        {"http://h/p", "http://h/p", "username=zh&password=p%26w"},
    };
    for (const Case& c : cases) {
        const chat::WebLinkPost post = chat::MakeWebLinkPost(c.target, "zh", "p&w");
        EXPECT_EQ(post.url, c.url) << c.target;
        EXPECT_EQ(post.body, c.body) << c.target;
    }
}

TEST(OwnWebHostsTest, OnlyTheServerAndTheConfiguredServicesAreTheDeploymentsOwn) {
    config::ClientConfig config;
    config.SSOUrl = "http://OA.example.invalid:8080/sso";
    config.MailUrl = "https://mail.example.invalid/";
    const std::vector<std::string> hosts = chat::OwnWebHosts(config, "im.example.invalid");
    struct Case {
        const char* url;
        bool own;
    };
    const Case cases[] = {
        {"http://oa.example.invalid/x?a=1", true},
        {"https://mail.example.invalid/", true},
        {"http://im.example.invalid/page", true},
        {"http://oa.example.invalid.evil.invalid/", false},
        {"http://evil.invalid/?oa.example.invalid", false},
        {"www.oa.example.invalid", false},
        {"oa.example.invalid/x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(chat::LeadsToOwnHost(c.url, hosts), c.own) << c.url;
}

}  // namespace
