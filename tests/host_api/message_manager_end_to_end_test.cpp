// The message manager from end to end on the embedded server: opened through the exports
// (ShowMsgManagerWindow, CallUserMsgHistory, a chat window's "历史消息"), driven as a person
// does through the automation interface (folders, the paging bar, the page's reports), with
// the messages in the user's real store. Also the loader of a conversation's stored messages.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "config/user_settings.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "core/message_from_db.h"
#include "core/user_folder.h"
#include "history/frame_message_manager.h"
#include "history/message_manager_service.h"
#include "host_api/library.h"
#include "os/controls/web_view.h"
#include "os/services/log.h"
#include "os/text/gbk_codec.h"
#include "platform/store/client_db.h"
#include "qorvdesk/exports.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/json_check.h"

namespace host_api_test {
namespace {

using Frame = CFrameMessageManager;
using qorvdesk::automation::PageScriptCall;
using qorvdesk::automation::TreeNode;
using testing_support::JsonValue;

constexpr const char* kHeader = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

class MessageManagerTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        theWindowManager = manager.get();
    }
    void TearDown() override { theWindowManager = nullptr; }

    std::string UserFolder() {
        return core::UserFolder(commonDir.str(), world.simSession().GetCurrentUserLimitName())
            .value_or("");
    }
    // A handle on the user's store, as the client opens it.
    std::unique_ptr<CClientDB> Db() {
        const std::string account = world.simSession().GetCurrentUserLimitName();
        return std::make_unique<CClientDB>(account.c_str(), UserFolder().c_str());
    }
    int StoredCount() {
        int count = 0;
        Db()->GetMsg([&](const MsgFields& f) { count += IsMsgEndMark(f) ? 0 : 1; }, -1);
        return count;
    }
    void Store(const std::string& from, const std::string& to, const std::string& contents,
               int type = CClientDB::kTypeChat, const std::string& time = "2026-01-02 03:04:05") {
        ASSERT_TRUE(Db()->AddMsg(from.c_str(), to.c_str(), time.c_str(), contents.c_str(), "", "",
                                 "", type, false, "", "", CClientDB::kStateHandled, nullptr));
    }
    // `count` messages from Bob: "m0", "m1", ...
    void StoreFromBob(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_NO_FATAL_FAILURE(Store(bob, me, "m" + std::to_string(i)));
        }
    }

    Frame* OpenedFrame() { return subsystems->messageManager().window(); }
    std::uint32_t FrameHandle() {
        Frame* frame = OpenedFrame();
        return frame != nullptr ? frame->hwnd().value() : 0;
    }
    // Opens the manager on Bob's messages, as CallUserMsgHistory does with Bob selected.
    void OpenOnBob() {
        ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                          tree->FindUserNode(groupNode, bob)))
            << driver.LastError();
        CallUserMsgHistory();
        ASSERT_NE(OpenedFrame(), nullptr);
    }

    std::optional<PageScriptCall> LastCall(const char* method) {
        const auto page = driver.ReadWebPage(FrameHandle(), Frame::kPageViewId);
        if (!page) return std::nullopt;
        std::optional<PageScriptCall> found;
        for (const PageScriptCall& call : page->calls) {
            if (call.method == method) found = call;
        }
        return found;
    }
    // The ids and the flag of the page shown last.
    struct Shown {
        std::vector<std::string> ids;
        std::int64_t flag = -1;
        JsonValue json;
    };
    Shown ShownPage() {
        Shown shown;
        const auto call = LastCall("showmsg");
        if (!call || call->arguments.size() != 2) {
            ADD_FAILURE() << "no showmsg call";
            return shown;
        }
        std::string utf8;
        EXPECT_TRUE(os::GbkToUtf8(call->arguments[0].text, utf8));
        std::string error;
        auto json = testing_support::ParseJson(utf8, &error);
        EXPECT_TRUE(json.has_value()) << error;
        if (json) shown.json = *json;
        for (const JsonValue& item : shown.json.items) {
            shown.ids.push_back(item.Member("ID") ? item.Member("ID")->text : "?");
        }
        shown.flag = call->arguments[1].integer;
        return shown;
    }
    bool HasTip(const std::string& text) {
        const auto texts = world.tips().TipTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    std::string TextOf(int id) { return driver.Text(FrameHandle(), id).value_or("?"); }
    bool Enabled(int id) {
        const auto control = driver.DescribeControl(FrameHandle(), id);
        return control && control->enabled;
    }
    // The first node of a folder tree whose text starts with `text`, depth first.
    TreeNode FindNode(int treeId, const std::string& text) {
        const auto nodes = driver.TreeItems(FrameHandle(), treeId);
        if (!nodes) return {};
        std::vector<TreeNode> open(nodes->rbegin(), nodes->rend());
        while (!open.empty()) {
            TreeNode node = std::move(open.back());
            open.pop_back();
            if (node.text.starts_with(text)) return node;
            open.insert(open.end(), node.children.rbegin(), node.children.rend());
        }
        return {};
    }
    // The folder tree holding the categories of `folder`.
    int FolderTree(const std::string& folder) {
        for (int i = 0; i < 12; ++i) {
            if (TextOf(Frame::kFolderLabelBase + i) == folder) return Frame::kFolderTreeBase + i;
        }
        return 0;
    }

    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
};

std::vector<std::string> Ids(int from, int downTo) {
    std::vector<std::string> ids;
    for (int i = from; i >= downTo; --i) ids.push_back(std::to_string(i));
    return ids;
}

TEST_F(MessageManagerTest, MessagesExchangedWithAContactArePagedAndDeletedThroughTheManager) {
    remote = Remote("bob");
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
    // Bob writes 31 times; the user answers once from the chat window.
    for (int i = 0; i < 31; ++i) {
        ASSERT_EQ(remote->SendChatMessage(me, "第" + std::to_string(i) + "条", kHeader), 1);
    }
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return StoredCount() == 31; }));
    ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                      tree->FindUserNode(groupNode, bob)))
        << driver.LastError();
    CallUserChat();
    auto* chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
    ASSERT_NE(chat, nullptr);
    ASSERT_TRUE(driver.AppendText(chat->hwnd().value(), chat::control::kInput, "都收到了"))
        << driver.LastError();
    ASSERT_TRUE(driver.Click(chat->hwnd().value(), chat::control::kSend)) << driver.LastError();
    driver.Pump();
    ASSERT_EQ(StoredCount(), 32);

    // The manager opens with its folders; the user picks Bob in the copy of the buddy list.
    ShowMsgManagerWindow();
    ASSERT_NE(OpenedFrame(), nullptr);
    EXPECT_GBK_EQ(driver.Describe(FrameHandle()).value_or(qorvdesk::automation::WindowInfo{}).title,
                  "消息管理器");
    const int roster = FolderTree("我的好友");
    ASSERT_NE(roster, 0) << "the buddy list has no folder";
    EXPECT_NE(FolderTree("我的消息"), 0);
    EXPECT_NE(FolderTree("其它消息"), 0);
    const TreeNode group = FindNode(roster, "同事");
    ASSERT_NE(group.item, 0u);
    ASSERT_TRUE(driver.ExpandTreeItem(FrameHandle(), roster, group.item)) << driver.LastError();
    const TreeNode bobNode = FindNode(roster, "Bob");
    ASSERT_NE(bobNode.item, 0u);
    ASSERT_TRUE(driver.SelectTreeItem(FrameHandle(), roster, bobNode.item)) << driver.LastError();

    const auto page = driver.ReadWebPage(FrameHandle(), Frame::kPageViewId);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->path, appDir.str() + "template/msgmgr.html");
    const auto path = LastCall("SetPath");
    ASSERT_TRUE(path.has_value());
    ASSERT_EQ(path->arguments.size(), 2u);
    EXPECT_EQ(path->arguments[0].text, commonDir.str() + "temp/");
    EXPECT_EQ(path->arguments[1].text, appDir.str() + "face/");
    EXPECT_GBK_EQ(TextOf(Frame::kTitleLabelId), "和Bob的聊天记录");
    EXPECT_GBK_EQ(TextOf(Frame::kPageCountLabelId), "页/2页");
    EXPECT_EQ(TextOf(Frame::kPageBoxId), "2");
    Shown shown = ShownPage();
    EXPECT_EQ(shown.flag, 1);
    EXPECT_EQ(shown.ids, Ids(29, 0));
    ASSERT_FALSE(shown.json.items.empty());
    EXPECT_EQ(shown.json.items.back().Member("contents")->text, os::GbkToUtf8Lossy("第0条"));
    EXPECT_EQ(shown.json.items.back().Member("from")->text, "Bob");

    // The first page holds the newest two: Bob's last and the user's answer.
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kFirstPageButtonId)) << driver.LastError();
    shown = ShownPage();
    EXPECT_EQ(shown.flag, 0);
    EXPECT_EQ(shown.ids, Ids(31, 30));
    ASSERT_EQ(shown.json.items.size(), 2u);
    EXPECT_EQ(shown.json.items[0].Member("contents")->text, os::GbkToUtf8Lossy("都收到了"));

    // The user selects the answer in the page and deletes it.
    ASSERT_TRUE(driver.ReportPageEvent(FrameHandle(), Frame::kPageViewId, "selection", "31"))
        << driver.LastError();
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteButtonId)) << driver.LastError();
    world.prompter().AnswerMessageBox(os::IDYES, {.textContains = "是否真的删除消息记录"});
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteSelectedButtonId)) << driver.LastError();
    EXPECT_EQ(StoredCount(), 31);
    EXPECT_EQ(ShownPage().ids, Ids(30, 30));
    EXPECT_GBK_EQ(TextOf(Frame::kPageCountLabelId), "页/2页");
    EXPECT_EQ(TextOf(Frame::kPageBoxId), "1");
}

TEST_F(MessageManagerTest, AnEmptyHistoryHasNoPagesAndNoPageButtons) {
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    EXPECT_GBK_EQ(TextOf(Frame::kPageCountLabelId), "页/0页");
    for (const int id : {Frame::kFirstPageButtonId, Frame::kPreviousPageButtonId,
                         Frame::kNextPageButtonId, Frame::kLastPageButtonId}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    const Shown shown = ShownPage();
    EXPECT_TRUE(shown.ids.empty());
    EXPECT_EQ(shown.json.kind, JsonValue::Kind::Array);
}

TEST_F(MessageManagerTest, TheFourButtonsPageThroughTheList) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(95));  // 4 pages at 30
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    struct Step {
        int button;
        std::string page;
        std::vector<std::string> ids;
        bool first, previous, next, last;
    };
    const Step steps[] = {
        {Frame::kFirstPageButtonId, "1", Ids(94, 65), false, false, true, true},
        {Frame::kNextPageButtonId, "2", Ids(64, 35), true, true, true, true},
        {Frame::kNextPageButtonId, "3", Ids(34, 5), true, true, true, true},
        {Frame::kPreviousPageButtonId, "2", Ids(64, 35), true, true, true, true},
        {Frame::kLastPageButtonId, "4", Ids(4, 0), true, true, false, false},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(driver.Click(FrameHandle(), step.button)) << driver.LastError();
        EXPECT_EQ(TextOf(Frame::kPageBoxId), step.page);
        const Shown shown = ShownPage();
        EXPECT_EQ(shown.ids, step.ids) << "page " << step.page;
        EXPECT_EQ(shown.flag, 0);
        EXPECT_EQ(Enabled(Frame::kFirstPageButtonId), step.first) << step.page;
        EXPECT_EQ(Enabled(Frame::kPreviousPageButtonId), step.previous) << step.page;
        EXPECT_EQ(Enabled(Frame::kNextPageButtonId), step.next) << step.page;
        EXPECT_EQ(Enabled(Frame::kLastPageButtonId), step.last) << step.page;
    }
}

TEST_F(MessageManagerTest, ATypedPageNumberOutsideThePagesIsRefusedAndTheBoxRestored) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(31));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    for (const char* typed : {"0", "3", "x", "99999999999"}) {
        world.prompter().AnswerMessageBox(os::IDOK, {.textContains = "请输入正确的页码!"});
        ASSERT_TRUE(driver.TypeText(FrameHandle(), Frame::kPageBoxId, typed)) << driver.LastError();
        ASSERT_TRUE(driver.PressKey(FrameHandle(), qorvdesk::automation::key::kReturn))
            << driver.LastError();
        driver.Pump();
        EXPECT_EQ(world.prompter().Remaining(), 0u) << typed;
        EXPECT_EQ(TextOf(Frame::kPageBoxId), "2") << typed;
    }
    ASSERT_TRUE(driver.TypeText(FrameHandle(), Frame::kPageBoxId, "1")) << driver.LastError();
    ASSERT_TRUE(driver.PressKey(FrameHandle(), qorvdesk::automation::key::kReturn))
        << driver.LastError();
    driver.Pump();
    const Shown shown = ShownPage();
    EXPECT_EQ(shown.ids, Ids(30, 30));
    EXPECT_EQ(shown.flag, 0);
}

TEST_F(MessageManagerTest, ThePageSizeChoiceIsSavedAndAStrangeOneIsReset) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(120));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    EXPECT_EQ(ShownPage().ids.size(), 30u);
    ASSERT_TRUE(driver.ChooseCombo(FrameHandle(), Frame::kPageSizeComboId, 3))
        << driver.LastError();
    const Shown shown = ShownPage();
    EXPECT_EQ(shown.ids, Ids(119, 0));
    EXPECT_EQ(shown.flag, 0);
    EXPECT_EQ(context.doors().settings->Settings().CountOfMsgRecordPerPage, 200);
    std::ifstream ini(UserFolder() + "user.ini");
    std::stringstream text;
    text << ini.rdbuf();
    EXPECT_NE(text.str().find("CountOfMsgRecordPerPage=200"), std::string::npos) << text.str();

    // A value that is not one of the choices becomes 30 at the next opening.
    ASSERT_TRUE(driver.Close(FrameHandle())) << driver.LastError();
    driver.Pump();
    ASSERT_EQ(OpenedFrame(), nullptr);
    context.doors().settings->SetCountOfMsgRecordPerPage(77);
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    EXPECT_EQ(ShownPage().ids.size(), 30u);
    EXPECT_EQ(context.doors().settings->Settings().CountOfMsgRecordPerPage, 30);
}

TEST_F(MessageManagerTest, DeletingAllOfANodeAsksAndEmptiesTheStoreOfThatConversation) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(3));
    ASSERT_NO_FATAL_FAILURE(Store(me, "carol@" + world.server().HostName(), "not Bob's"));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteButtonId)) << driver.LastError();
    world.prompter().AnswerMessageBox(os::IDNO, {.textContains = "是否删除与'Bob'的所有消息记录?"});
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteListButtonId)) << driver.LastError();
    EXPECT_EQ(StoredCount(), 4);
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteButtonId)) << driver.LastError();
    world.prompter().AnswerMessageBox(os::IDYES,
                                      {.textContains = "是否删除与'Bob'的所有消息记录?"});
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteListButtonId)) << driver.LastError();
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_TRUE(ShownPage().ids.empty());
    EXPECT_GBK_EQ(TextOf(Frame::kPageCountLabelId), "页/0页");
}

TEST_F(MessageManagerTest, DeletingAllWithoutANodeSaysNoUserIsSelected) {
    ShowMsgManagerWindow();
    ASSERT_NE(OpenedFrame(), nullptr);
    world.prompter().AnswerMessageBox(os::IDOK, {.textContains = "您还没有选择用户"});
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteButtonId)) << driver.LastError();
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kDeleteListButtonId)) << driver.LastError();
    EXPECT_EQ(world.prompter().Remaining(), 0u);
}

TEST_F(MessageManagerTest, ExportWritesEveryRecordAsTextAndSaysSo) {
    ASSERT_NO_FATAL_FAILURE(Store(bob, me, std::string(kHeader) + "你好#(05)#"));
    ASSERT_NO_FATAL_FAILURE(
        Store(me, bob, "看#(-2)#[abc.jpg]图", CClientDB::kTypeChat, "2026-01-02 03:04:06"));
    ASSERT_NO_FATAL_FAILURE(Store(bob, me, "#(-1)#", CClientDB::kTypeChat, "2026-01-02 03:04:07"));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    const std::string file = commonDir.str() + "out.txt";
    world.prompter().AnswerSaveFile(file);
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kSaveButtonId)) << driver.LastError();
    const auto saves = world.prompter().RecordsOf(os::PromptKind::SaveFile);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_GBK_EQ(saves[0].text, "Bob消息记录.txt");
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string bobText = "Bob( " + bob + " )";
    const std::string meText = "我( " + me + " )";
    EXPECT_GBK_EQ(bytes.str(), bobText + " 2026-01-02 03:04:05\r\n   你好[表情]\r\n" + meText +
                                   " 2026-01-02 03:04:06\r\n   看[图片]图\r\n" + bobText +
                                   " 2026-01-02 03:04:07\r\n   #(-1)#( 闪屏振动 )\r\n");
    EXPECT_TRUE(HasTip("保存成功！"));
}

TEST_F(MessageManagerTest, AnExportThatCannotBeWrittenSaysWhichFile) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(1));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    const std::string file = commonDir.str() + "no-such-folder/out.txt";
    world.prompter().AnswerSaveFile(file);
    world.prompter().AnswerMessageBox(os::IDOK, {.textContains = "创建消息文件 " + file + " 失败"});
    ASSERT_TRUE(driver.Click(FrameHandle(), Frame::kSaveButtonId)) << driver.LastError();
    EXPECT_EQ(world.prompter().Remaining(), 0u);
    EXPECT_FALSE(HasTip("保存成功！"));
}

TEST_F(MessageManagerTest, UpAndDownMoveTheSelectionThroughThePage) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(10));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    struct Case {
        const char* selection;
        const char* key;
        std::optional<std::vector<std::int64_t>> selectFromId;  // nothing: no call
    };
    const Case cases[] = {
        {"5", "Up", std::vector<std::int64_t>{6, -1, 1}},
        {"5", "Down", std::vector<std::int64_t>{4, -1, 2}},
        {"9", "Up", std::nullopt},    // the top of the list
        {"0", "Down", std::nullopt},  // its bottom
        {"2;7;4", "Up", std::vector<std::int64_t>{7, -1, 1}},
        {"2;7;4", "Down", std::vector<std::int64_t>{2, -1, 2}},
    };
    for (const Case& c : cases) {
        const std::uint64_t before = LastCall("SelectFromID").value_or(PageScriptCall{}).sequence;
        ASSERT_TRUE(
            driver.ReportPageEvent(FrameHandle(), Frame::kPageViewId, "selection", c.selection));
        ASSERT_TRUE(driver.ReportPageEvent(FrameHandle(), Frame::kPageViewId, "key", c.key));
        const auto call = LastCall("SelectFromID");
        const bool called = call && call->sequence != before;
        ASSERT_EQ(called, c.selectFromId.has_value()) << c.selection << " " << c.key;
        if (!called) continue;
        std::vector<std::int64_t> arguments;
        for (const auto& argument : call->arguments) arguments.push_back(argument.integer);
        EXPECT_EQ(arguments, *c.selectFromId) << c.selection << " " << c.key;
    }
}

TEST_F(MessageManagerTest, CopyPutsTheSelectionOnTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(3));
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    ASSERT_TRUE(
        driver.ReportPageEvent(FrameHandle(), Frame::kPageViewId, "command",
                               std::string("copy") + os::WebView::kEventSeparator + "复制的字"));
    EXPECT_GBK_EQ(context.clipboard.GetText().value_or(""), "复制的字");
    // Ctrl+C in the page copies the selected records.
    ASSERT_TRUE(driver.ReportPageEvent(FrameHandle(), Frame::kPageViewId, "selection", "1"));
    ASSERT_TRUE(driver.ReportPageEvent(FrameHandle(), Frame::kPageViewId, "key", "Ctrl+C"));
    driver.Pump();
    EXPECT_GBK_EQ(context.clipboard.GetText().value_or(""),
                  "Bob( " + bob + " ) 2026-01-02 03:04:05\r\n   m1\r\n");
}

TEST_F(MessageManagerTest, ASentCategoryNamesTheReceiverAndListsOnlyItsType) {
    ASSERT_NO_FATAL_FAILURE(Store(me, bob, "给Bob"));
    ASSERT_NO_FATAL_FAILURE(
        Store(me, "13900000000@sms." + world.server().HostName(), "短信", CClientDB::kTypeSms));
    ASSERT_NO_FATAL_FAILURE(Store(bob, me, "来自Bob"));
    ShowMsgManagerWindow();
    ASSERT_NE(OpenedFrame(), nullptr);
    const int mine = FolderTree("我的消息");
    ASSERT_NE(mine, 0);
    const struct {
        const char* node;
        std::vector<std::string> names;
        std::int64_t pageFlag;
    } cases[] = {
        {"我发送的消息", {"接收者(Bob)"}, 1},
        {"我发送的短信", {"接收者(13900000000)"}, 1},
        {"我接收的消息", {"Bob"}, 1},
    };
    for (const auto& c : cases) {
        const TreeNode node = FindNode(mine, c.node);
        ASSERT_NE(node.item, 0u) << c.node;
        ASSERT_TRUE(driver.SelectTreeItem(FrameHandle(), mine, node.item)) << driver.LastError();
        EXPECT_GBK_EQ(TextOf(Frame::kTitleLabelId), c.node);
        const Shown shown = ShownPage();
        EXPECT_EQ(shown.flag, c.pageFlag);
        std::vector<std::string> names;
        for (const JsonValue& item : shown.json.items) {
            names.push_back(os::Utf8ToGbkLossy(item.Member("from")->text));
        }
        EXPECT_EQ(names, c.names) << c.node;
    }
}

TEST_F(MessageManagerTest, TheChatWindowsHistoryCommandOpensTheManagerOnThePeer) {
    ASSERT_NO_FATAL_FAILURE(StoreFromBob(2));
    ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                      tree->FindUserNode(groupNode, bob)))
        << driver.LastError();
    CallUserChat();
    auto* chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
    ASSERT_NE(chat, nullptr);
    ASSERT_TRUE(driver.Click(chat->hwnd().value(), chat::control::kHistory)) << driver.LastError();
    ASSERT_NE(OpenedFrame(), nullptr);
    EXPECT_GBK_EQ(TextOf(Frame::kTitleLabelId), "和Bob的聊天记录");
    EXPECT_EQ(ShownPage().ids, Ids(1, 0));
    // Opening again brings the same window forward.
    const std::uint32_t first = FrameHandle();
    ShowMsgManagerWindow();
    EXPECT_EQ(FrameHandle(), first);
}

TEST_F(MessageManagerTest, LoggingOutClosesTheManager) {
    ASSERT_NO_FATAL_FAILURE(OpenOnBob());
    const os::HWND window = OpenedFrame()->hwnd();
    manager->UserLogout();
    driver.Pump();
    EXPECT_FALSE(world.windows().IsWindow(window));
    EXPECT_EQ(OpenedFrame(), nullptr);
}

// ---- The conversation loader

TEST_F(MessageManagerTest, GetMessageFromDBReadsABoundedConversationWithoutHeadersOrResources) {
    ASSERT_NO_FATAL_FAILURE(Store(bob + "/phone", me, std::string(kHeader) + "一"));
    ASSERT_NO_FATAL_FAILURE(Store(me + "/desk", bob, "二"));
    ASSERT_NO_FATAL_FAILURE(Store(bob, me, "三"));
    ASSERT_NO_FATAL_FAILURE(Store(me, "carol@" + world.server().HostName(), "别人"));
    core::CFunction function(context);
    std::vector<core::StoredMessage> messages;
    ASSERT_TRUE(function.GetMessageFromDB(bob.c_str(), bob.c_str(), &messages, 2));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(function.fillCount(), 2);
    EXPECT_EQ(messages[0].from, me);
    EXPECT_EQ(messages[0].to, bob);
    EXPECT_GBK_EQ(messages[0].contents, "二");
    ASSERT_TRUE(function.GetMessageFromDB(bob.c_str(), bob.c_str(), &messages, -1));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].from, bob);
    EXPECT_GBK_EQ(messages[0].contents, "一");
    EXPECT_FALSE(function.GetMessageFromDB(bob.c_str(), bob.c_str(), nullptr, 2));
}

TEST_F(MessageManagerTest, GetMessageFromDBOfTheUsersOwnJidKeepsOnlyNotesToSelf) {
    ASSERT_NO_FATAL_FAILURE(Store(me, me, "给自己"));
    ASSERT_NO_FATAL_FAILURE(Store(me, bob, "给Bob"));
    ASSERT_NO_FATAL_FAILURE(Store(bob, me, "来自Bob"));
    core::CFunction function(context);
    std::vector<core::StoredMessage> messages;
    ASSERT_TRUE(function.GetMessageFromDB(me.c_str(), me.c_str(), &messages, 10));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_GBK_EQ(messages[0].contents, "给自己");
}

TEST_F(MessageManagerTest, GetMessageFromDBWithoutAUserLogsItsFailure) {
    manager->UserLogout();
    driver.Pump();
    core::CFunction function(context);
    std::vector<core::StoredMessage> messages;
    EXPECT_FALSE(function.GetMessageFromDB(bob.c_str(), bob.c_str(), &messages, 5));
    EXPECT_TRUE(world.log().HasCaptured("从数据库中读取历史消息错误CFunction::GetMessageFromDB!"));
}

}  // namespace
}  // namespace host_api_test
