// The demo world on the embedded server, as a newcomer meets it: log in as demo / demo, find
// the buddies, the bots and the organisation, chat a bot (it types, answers, shakes and sends
// faces), and watch the buddies' presence move with the clock, never without it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "core/user_folder.h"
#include "history/oa_notices.h"
#include "history/rtoa_body.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "platform/session/sim_bots.h"
#include "platform/session/sim_demo_world.h"
#include "platform/session/sim_file_transfers.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace host_api_test {
namespace {

using contacts::CIMTree;

class DemoWorldTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Init());
        demo = platform::SimDemoWorld::Load(world.server(), world.windows());
        ASSERT_NE(demo, nullptr);
        // As a newcomer logs in: the demo account, its password, the login button.
        const auto panel = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, platform::kDemoLogin))
            << driver.LastError();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, platform::kDemoPassword))
            << driver.LastError();
        ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return world.windows().IsWindowVisible(manager->MainPanel()) && Drained();
        }));
    }
    void TearDown() override {
        manager->UserLogout();
        demo.reset();
    }

    bool Drained() {
        const platform::SimSessionCore& session = world.simSession();
        return session.QueuedCount() == 0 && session.IssuedCount() == 0;
    }
    std::uint32_t Panel() { return manager->MainPanel().value(); }
    CIMTree* Roster() { return manager->mainPanel()->GetControl<CIMTree>(contacts::kRosterTreeId); }

    // The buddy list's item showing `name`, whatever count or presence follows it.
    qorvdesk::automation::TreeItemHandle RosterItem(const std::string& name) {
        const auto nodes = driver.TreeItems(Panel(), contacts::kRosterTreeId);
        if (!nodes) return 0;
        std::vector<qorvdesk::automation::TreeNode> open(nodes->begin(), nodes->end());
        while (!open.empty()) {
            qorvdesk::automation::TreeNode node = std::move(open.back());
            open.pop_back();
            if (node.text == name || node.text.starts_with(name + " (") ||
                node.text.starts_with(name + "(")) {
                return node.item;
            }
            open.insert(open.end(), node.children.begin(), node.children.end());
        }
        return 0;
    }

    // Opens the chat with a contact of the buddy list (its groups start open) as a person
    // does: the contact, the chat command.
    CDlgChat* OpenChatFromRoster(const char* name) {
        const auto item = RosterItem(name);
        EXPECT_NE(item, 0u) << driver.LastError();
        EXPECT_TRUE(driver.SelectTreeItem(Panel(), contacts::kRosterTreeId, item))
            << driver.LastError();
        manager->CallUserChat();
        const std::vector<std::string> bots = demo->BotJids();
        for (const std::string& jid : bots) {
            if (auto* chat = dynamic_cast<CDlgChat*>(
                    manager->FindChatWindow(jid, platform::JidMatch::Loose))) {
                return chat;
            }
        }
        return nullptr;
    }

    void Send(CDlgChat& chat, const char* text) {
        const auto window = chat.hwnd().value();
        ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, text)) << driver.LastError();
        ASSERT_TRUE(driver.Click(window, chat::control::kSend)) << driver.LastError();
        driver.Pump();
    }
    std::string View(CDlgChat& chat) {
        const auto text = driver.ReadRichText(chat.hwnd().value(), chat::control::kView);
        return text ? text->plainText : "?";
    }
    // Moves the clock and lets the loop and the pump carry what it set off.
    void Advance(os::Millis ms) {
        ASSERT_TRUE(driver.AdvanceClock(ms)) << driver.LastError();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
        driver.Pump();
    }

    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
    std::unique_ptr<platform::SimDemoWorld> demo;
};

TEST_F(DemoWorldTest, TheDemoAccountSeesItsGroupsItsBotsAndAnOrganisationOfHundreds) {
    EXPECT_GBK_EQ(world.simSession().GetCurrentUserNickName(), "体验用户");
    CIMTree* roster = Roster();
    ASSERT_NE(roster, nullptr);
    for (const char* group : {"机器人", "同事", "朋友", "家人"}) {
        EXPECT_NE(RosterItem(group), 0u) << group;
    }
    for (const std::string& bot : demo->BotJids()) {
        const contacts::CUser* user = roster->FindUser(bot, "", platform::JidMatch::Exact);
        ASSERT_NE(user, nullptr) << bot;
        EXPECT_EQ(user->presence(), "online") << bot;
    }
    int away = 0;
    for (const std::string& buddy : demo->BuddyJids()) {
        const contacts::CUser* user = roster->FindUser(buddy, "", platform::JidMatch::Exact);
        ASSERT_NE(user, nullptr) << buddy;
        away += user->presence() != "online" ? 1 : 0;
    }
    EXPECT_GT(away, 0) << "some buddies are away, busy or offline";

    // The organisation: one company at the top, a few hundred people below it.
    const auto top =
        driver.FindTreeItemByPath(Panel(), contacts::kDirectoryTreeId, {"启明数字科技"});
    EXPECT_NE(top, 0u) << driver.LastError();
    int people = 0;
    std::vector<std::string> keys = {"top"};
    while (!keys.empty()) {
        const std::string key = keys.back();
        keys.pop_back();
        for (const platform::DirectoryChild& child : world.server().DirectoryChildren(key)) {
            if (child.isUnit) keys.push_back(key + "," + child.id);
            people += child.isUnit ? 0 : 1;
        }
    }
    EXPECT_GE(people, 200);
    EXPECT_LE(people, 1000);
}

// The organisation's units come without children: a double click on one loads them from the
// server and opens it, a second shuts it; a person found there opens a chat.
TEST_F(DemoWorldTest, ADoubleClickedUnitOfTheOrganisationLoadsItsChildrenAndOpens) {
    using qorvdesk::automation::TreeNode;
    const auto childrenOf = [&](qorvdesk::automation::TreeItemHandle item) {
        const auto nodes = driver.TreeItems(Panel(), contacts::kDirectoryTreeId);
        std::vector<TreeNode> open = nodes.value_or(std::vector<TreeNode>{});
        while (!open.empty()) {
            TreeNode node = std::move(open.back());
            open.pop_back();
            if (node.item == item) return node;
            open.insert(open.end(), node.children.begin(), node.children.end());
        }
        return TreeNode{};
    };
    const std::vector<platform::DirectoryChild> tops = world.server().DirectoryChildren("top");
    ASSERT_EQ(tops.size(), 1u);
    const auto top = driver.FindTreeItemByPath(Panel(), contacts::kDirectoryTreeId, {tops[0].name});
    ASSERT_NE(top, 0u) << driver.LastError();
    ASSERT_TRUE(childrenOf(top).children.empty());
    // Without children it has no button to open it with.
    EXPECT_FALSE(driver.ExpandTreeItem(Panel(), contacts::kDirectoryTreeId, top));

    ASSERT_TRUE(driver.DoubleClickTreeItem(Panel(), contacts::kDirectoryTreeId, top))
        << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    const std::vector<platform::DirectoryChild> units =
        world.server().DirectoryChildren("top," + tops[0].id);
    ASSERT_FALSE(units.empty());
    TreeNode opened = childrenOf(top);
    EXPECT_TRUE(opened.expanded);
    ASSERT_EQ(opened.children.size(), units.size());
    for (const platform::DirectoryChild& unit : units) {
        EXPECT_TRUE(std::any_of(opened.children.begin(), opened.children.end(),
                                [&](const TreeNode& n) { return n.text.starts_with(unit.name); }))
            << unit.name;
    }

    // A sub-unit with people: opened the same way, its first person chats.
    const auto withPeople = std::find_if(units.begin(), units.end(), [&](const auto& unit) {
        const auto inside = world.server().DirectoryChildren("top," + tops[0].id + "," + unit.id);
        return unit.isUnit && std::any_of(inside.begin(), inside.end(),
                                          [](const auto& child) { return !child.isUnit; });
    });
    ASSERT_NE(withPeople, units.end());
    const auto subItem =
        std::find_if(opened.children.begin(), opened.children.end(),
                     [&](const TreeNode& n) { return n.text.starts_with(withPeople->name); });
    ASSERT_NE(subItem, opened.children.end());
    const auto sub = subItem->item;
    ASSERT_TRUE(driver.DoubleClickTreeItem(Panel(), contacts::kDirectoryTreeId, sub));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    const TreeNode subNode = childrenOf(sub);
    ASSERT_TRUE(subNode.expanded);
    const auto person = std::find_if(subNode.children.begin(), subNode.children.end(),
                                     [](const TreeNode& n) { return n.children.empty(); });
    ASSERT_NE(person, subNode.children.end());
    const std::size_t windowsBefore = manager->ChatWindows().size();
    ASSERT_TRUE(driver.SelectTreeItem(Panel(), contacts::kDirectoryTreeId, person->item));
    manager->CallUserChat();
    EXPECT_EQ(manager->ChatWindows().size(), windowsBefore + 1);

    // Again: the unit shuts, its children stay.
    ASSERT_TRUE(driver.DoubleClickTreeItem(Panel(), contacts::kDirectoryTreeId, top));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    EXPECT_FALSE(childrenOf(top).expanded);
    EXPECT_EQ(childrenOf(top).children.size(), units.size());
}

TEST_F(DemoWorldTest, ABotTypesThenAnswersQuotingTheText) {
    CDlgChat* chat = OpenChatFromRoster("小助手");
    ASSERT_NE(chat, nullptr);
    ASSERT_NO_FATAL_FAILURE(Send(*chat, "今天天气不错"));
    EXPECT_EQ(chat->StatusLine().find("正在输入"), std::string::npos) << "nothing before the clock";

    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotTypingAfterMs));
    EXPECT_NE(chat->StatusLine().find("小助手 正在输入"), std::string::npos) << chat->StatusLine();
    EXPECT_EQ(View(*chat).find("小助手"), std::string::npos) << "no answer yet";

    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotAnswerAfterMs - platform::kBotTypingAfterMs));
    const std::string view = View(*chat);
    EXPECT_NE(view.find("小助手"), std::string::npos) << view;
    EXPECT_NE(view.find("“今天天气不错”"), std::string::npos) << view;
    EXPECT_EQ(chat->StatusLine().find("正在输入"), std::string::npos) << "typing ends with it";
}

TEST_F(DemoWorldTest, ABotShakesTheWindowAndSendsFacesWhenAsked) {
    CDlgChat* chat = OpenChatFromRoster("回声机器人");
    ASSERT_NE(chat, nullptr);
    ASSERT_NO_FATAL_FAILURE(Send(*chat, "抖动一下，再来个表情"));
    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotAnswerAfterMs));
    EXPECT_NE(View(*chat).find("你说：“抖动一下，再来个表情”"), std::string::npos) << View(*chat);
    const int shakesBefore = chat->WindowShakes();

    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotExtraAfterMs - platform::kBotAnswerAfterMs));
    EXPECT_EQ(chat->WindowShakes(), shakesBefore + 1);
    EXPECT_NE(View(*chat).find("您收到了一个闪屏振动"), std::string::npos) << View(*chat);
    const auto text = driver.ReadRichText(chat->hwnd().value(), chat::control::kView);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->description.find("face 14"), std::string::npos) << text->description;
}

// The entries of a folder, by name.
std::vector<std::string> EntriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(DemoWorldTest, ABotTakesAFileSentToItAndSaysWhatArrived) {
    CDlgChat* chat = OpenChatFromRoster("小助手");
    ASSERT_NE(chat, nullptr);
    const auto window = chat->hwnd().value();
    testing_support::TempDir files;
    const std::filesystem::path sent = files.path() / "report.bin";
    testing_support::Put(sent, std::string(3 * 1048576, 'r'));

    world.prompter().AnswerOpenFile(sent.string());
    ASSERT_TRUE(driver.Click(window, chat::control::kSendFile)) << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(Advance(0));
    EXPECT_NE(View(*chat).find("等待对方回应文件传输请求( 文件:report.bin"), std::string::npos);
    // The bot takes it a moment later; it moves a chunk at a time.
    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotTypingAfterMs));
    EXPECT_NE(View(*chat).find("开始发送文件 report.bin ..."), std::string::npos) << View(*chat);
    ASSERT_NO_FATAL_FAILURE(Advance(platform::SimFileTransfers::kChunkIntervalMs));
    ASSERT_EQ(chat->transfers().Panel().size(), 1u);
    EXPECT_EQ(chat->transfers().Panel()[0].percent, "33%");
    ASSERT_NO_FATAL_FAILURE(Advance(2 * platform::SimFileTransfers::kChunkIntervalMs));
    EXPECT_NE(View(*chat).find("文件 report.bin 发送成功"), std::string::npos) << View(*chat);

    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotTypingAfterMs));
    EXPECT_NE(View(*chat).find("收到你的文件“report.bin”，共 3145728 字节，谢谢！"),
              std::string::npos)
        << View(*chat);
    // The bot keeps nothing of what it was sent.
    EXPECT_EQ(EntriesOf(demo->botFolder()).size(), 1u);
    EXPECT_TRUE(os::FileExists(demo->botFolder() + std::string(platform::kBotFileName)));
}

TEST_F(DemoWorldTest, ABotRefusesAFileAboveItsLimit) {
    CDlgChat* chat = OpenChatFromRoster("回声机器人");
    ASSERT_NE(chat, nullptr);
    testing_support::TempDir files;
    const std::filesystem::path big = files.path() / "big.iso";
    testing_support::Put(big, "x");
    std::filesystem::resize_file(big, platform::kBotFileLimit + 1);  // a hole, no disk

    world.prompter().AnswerOpenFile(big.string());
    ASSERT_TRUE(driver.Click(chat->hwnd().value(), chat::control::kSendFile)) << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotTypingAfterMs));
    EXPECT_NE(View(*chat).find("对方拒绝了文件传输"), std::string::npos) << View(*chat);
    EXPECT_NE(View(*chat).find("这个文件我收不了"), std::string::npos) << View(*chat);
    EXPECT_EQ(chat->transfers().Count(), 0);
}

TEST_F(DemoWorldTest, ABotSendsItsSmallFileWhenAskedAndTheUserReceivesIt) {
    CDlgChat* chat = OpenChatFromRoster("小助手");
    ASSERT_NE(chat, nullptr);
    ASSERT_NO_FATAL_FAILURE(Send(*chat, "发个文件"));
    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotAnswerAfterMs));
    EXPECT_NE(View(*chat).find("这就给你发个文件"), std::string::npos) << View(*chat);
    const std::string name(platform::kBotFileName);
    const std::string contents = platform::BotFileContents();
    ASSERT_NO_FATAL_FAILURE(Advance(platform::kBotExtraAfterMs - platform::kBotAnswerAfterMs));
    EXPECT_NE(
        View(*chat).find(os::Format("要发送文件 %s(%zu 字节)给您, 您可以接收、另存、拒绝该文件",
                                    name.c_str(), contents.size())),
        std::string::npos)
        << View(*chat);

    ASSERT_TRUE(driver.ClickLink(chat->hwnd().value(), chat::control::kView, "接收"))
        << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(Advance(platform::SimFileTransfers::kChunkIntervalMs));
    EXPECT_NE(View(*chat).find("接收文件 " + name + " 成功"), std::string::npos) << View(*chat);
    const std::string account = world.simSession().GetCurrentUserLimitName();
    std::string arrived;
    ASSERT_TRUE(os::ReadFile(
        core::UserFolder(commonDir.str(), account).value_or("") + "File/" + name, arrived));
    EXPECT_EQ(arrived, contents);
}

TEST_F(DemoWorldTest, BuddiesChangePresenceAsTheClockMovesAndOnlyThen) {
    CIMTree* roster = Roster();
    ASSERT_NE(roster, nullptr);
    auto presences = [&] {
        std::map<std::string, std::string> seen;
        for (const std::string& buddy : demo->BuddyJids()) {
            const contacts::CUser* user = roster->FindUser(buddy, "", platform::JidMatch::Exact);
            seen[buddy] = user != nullptr ? user->presence() : "?";
        }
        return seen;
    };
    const auto start = presences();
    driver.Pump();
    EXPECT_EQ(presences(), start) << "nothing moves while the clock stands";

    ASSERT_NO_FATAL_FAILURE(Advance(platform::SimDemoWorld::kPresenceStepMs - 1));
    EXPECT_EQ(presences(), start);

    ASSERT_NO_FATAL_FAILURE(Advance(1));
    const auto after = presences();
    int changed = 0;
    for (const auto& [jid, presence] : after) {
        if (presence != start.at(jid)) {
            ++changed;
            EXPECT_EQ(presence, world.server().PresenceOf(jid)) << "the tree shows the server's";
        }
    }
    EXPECT_EQ(changed, 1);
}

TEST_F(DemoWorldTest, TheOfficeSystemsNoticeArrivesAfterLoginAndIsKept) {
    history::OaNoticeCenter& notices = subsystems->messageManager().oaNotices();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return static_cast<bool>(notices.Window()); }));
    const std::vector<history::RTOABody>& list = notices.list().notices();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].desc, history::ParseRTOABody(platform::kDemoOaNotice).desc);
    EXPECT_EQ(list[0].sendTime, "2026-01-05 09:00:00");
    EXPECT_NE(list[0].id, 0) << "stored";
    EXPECT_EQ(world.windows().GetWindowText(notices.Window()), "实时消息提醒");
}

}  // namespace
}  // namespace host_api_test
