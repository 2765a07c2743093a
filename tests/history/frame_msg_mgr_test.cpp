// The message navigation frame as a person uses it, opened through the history door: its
// list, pages, loaders, search, export, deletion, the handled toggle, the bars and printing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "chat/encoding/gateway_address.h"
#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/tree_item_data.h"
#include "history/count_per_page.h"
#include "history_fixture.h"
#include "os/prompt/scripted_prompter.h"
#include "os/services/log.h"
#include "os/services/recording_shell.h"
#include "os/sys/ini_file.h"
#include "support/fontconfig_caches.h"
#include "support/gbk_print.h"

namespace history_test {
namespace {

namespace id = history::frame_control;
using history::CFrameMsgMgr;
using history::MessageSource;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteCountPerPage(const std::string& folder, const std::string& value) {
    std::ofstream(folder + "user.ini", std::ios::binary)
        << "[Common]\r\nCountPerPage=" << value << "\r\n";
}

class FrameTest : public HistoryTest {};

TEST_F(FrameTest, OpensWithTheSixColumnsEveryMessageAndNoEndRow) {
    Store(myJid, bobJid, "FONT(宋体;12)你好#(05)#看#(-2)#[a.jpg]");
    Store(bobJid, myJid, "#(-1)#");
    CFrameMsgMgr& frame = Open();
    EXPECT_EQ(frame.GetWindowText(), "消息导航");
    EXPECT_EQ(
        driver.ListColumns(Frame(), id::kMessageList).value_or(std::vector<std::string>{}).size(),
        6u);
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 2u);  // the end mark is no row
    EXPECT_EQ(rows[0][1], "我自己");
    EXPECT_EQ(rows[0][2], "鲍勃");
    EXPECT_GBK_EQ(rows[0][3], "你好[表情]看[图片]");
    EXPECT_EQ(rows[0][4], "未处理");
    EXPECT_EQ(rows[0][5], "2026-01-05 09:00:00");
    EXPECT_GBK_EQ(rows[1][3], "#(-1)#( 闪屏振动 )");
    for (const auto& row : rows) EXPECT_NE(row[0], "END");
}

TEST_F(FrameTest, CountPerPageOutsideTwoToFiveThousandBecomesTwentyAndIsWrittenBack) {
    struct Case {
        const char* stored;
        int used;
        bool rewritten;
    };
    const Case cases[] = {{"1", 20, true},
                          {"5001", 20, true},
                          {"2", 2, false},
                          {"5000", 5000, false},
                          {"0", 20, true}};
    for (const Case& c : cases) {
        WriteCountPerPage(UserFolder(), c.stored);
        world.log().ClearCaptured();
        EXPECT_EQ(history::LoadCountPerPage(UserFolder(), world.log()), c.used) << c.stored;
        const std::string line =
            std::string("User.ini CountPerPage=") + c.stored + " 值异常，自动改为缺省值20";
        EXPECT_EQ(world.log().HasCaptured(line), c.rewritten) << c.stored;
        EXPECT_EQ(
            os::IniFile::Load(UserFolder() + "user.ini").GetString("Common", "CountPerPage", ""),
            c.rewritten ? "20" : c.stored);
    }
    // The frame pages with it.
    WriteCountPerPage(UserFolder(), "5001");
    EXPECT_EQ(Open().listView().pageSize(), 20);
}

TEST_F(FrameTest, PagesOfTheChosenSizeThroughTheSelectorAndTheButtons) {
    WriteCountPerPage(UserFolder(), "2");
    for (int i = 0; i < 5; ++i) Store(bobJid, myJid, "第" + std::to_string(i) + "条");
    Open();
    // A fresh load shows page 1.
    EXPECT_EQ(Text(id::kPageLabel), "1/3页");
    EXPECT_EQ(driver.ComboItems(Frame(), id::kPageSelector).value_or(std::vector<std::string>{}),
              (std::vector<std::string>{"1", "2", "3"}));
    ASSERT_EQ(Rows().size(), 2u);
    EXPECT_GBK_EQ(Rows()[0][3], "第0条");
    ASSERT_TRUE(driver.ChooseCombo(Frame(), id::kPageSelector, 2)) << driver.LastError();
    driver.Pump();
    EXPECT_EQ(Text(id::kPageLabel), "3/3页");
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_GBK_EQ(Rows()[0][3], "第4条");
    Click(id::kPreviousPage);
    EXPECT_EQ(Text(id::kPageLabel), "2/3页");
    EXPECT_GBK_EQ(Rows()[0][3], "第2条");
    Click(id::kFirstPage);
    Click(id::kPreviousPage);  // no page before the first
    EXPECT_EQ(Text(id::kPageLabel), "1/3页");
    Click(id::kLastPage);
    Click(id::kNextPage);
    EXPECT_EQ(Text(id::kPageLabel), "3/3页");
    // Another load starts on page 1 again; an empty one has no pages.
    SelectNode(Open().CategoryNode(MessageSource::Sent));
    EXPECT_EQ(Text(id::kPageLabel), "0/0页");
    EXPECT_TRUE(Rows().empty());
}

TEST_F(FrameTest, EachLoaderReadsItsMessagesAndShowsItsOwnTextWhenTheStoreFails) {
    const long sent = Store(myJid, bobJid, "发出");
    const long received = Store(bobJid, myJid, "收到", false, CClientDB::kStateHandled);
    Store("carol@h", "dave@h", "别人的");
    CFrameMsgMgr& frame = Open();
    struct Case {
        os::TreeItem node;
        std::vector<long> ids;
        const char* failure;
    };
    const Case cases[] = {
        {frame.CategoryNode(MessageSource::All),
         {sent, received, received + 1},
         "读取所有的消息,请重试!"},
        {frame.CategoryNode(MessageSource::Sent), {sent}, "读取我发送的消息错误,请重试!"},
        {frame.CategoryNode(MessageSource::Received), {received}, "读取我接收的消息错误,请重试!"},
        {frame.CategoryNode(MessageSource::Handled), {received}, "读取已处理的消息错误,请重试!"},
        {frame.CategoryNode(MessageSource::Unhandled),
         {sent, received + 1},
         "读取未处理的消息错误,请重试!"},
        {frame.ContactNode(bobJid), {sent, received}, "读取好友的消息错误,请重试!"},
    };
    for (const Case& c : cases) {
        SelectNode(c.node);
        std::vector<long> ids;
        for (const auto& row : Rows()) ids.push_back(std::stol(row[0]));
        EXPECT_EQ(ids, c.ids) << testing_support::DisplayGbk(c.failure);
    }
    BreakStore();
    for (const Case& c : cases) {
        // Away and back, so that each node is selected afresh.
        world.prompter().AnswerMessageBox(os::IDOK);
        SelectNode(frame.CategoryNode(c.node == frame.CategoryNode(MessageSource::All)
                                          ? MessageSource::Sent
                                          : MessageSource::All));
        world.prompter().ClearRecords();
        world.prompter().AnswerMessageBox(os::IDOK);
        SelectNode(c.node);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.failure})
            << testing_support::DisplayGbk(c.failure);
        EXPECT_TRUE(Rows().empty());
    }
    ASSERT_TRUE(driver.TypeText(Frame(), id::kSearchBox, "发出")) << driver.LastError();
    world.prompter().ClearRecords();
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kSearchButton);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"查找消息错误,请重试!"});
}

TEST_F(FrameTest, AGatewayContactsNodeReadsTheMessagesStoredUnderItsGatewayAddress) {
    const std::string msn = "alice\\40hotmail.com@msn.im.test";
    auto user = std::make_unique<contacts::CUser>(context.clock, msn, "Alice", "g", "both");
    user->groupKey = "top,g";
    auto item = contacts::CIMTreeItemData::ForUser(std::move(user));
    contacts::CUser* added = roster->AddItemData(item)->user();
    contacts::CGroup* colleagues = roster->FindGroup("top,g");
    ASSERT_NE(colleagues, nullptr);
    ASSERT_NE(roster->InsertUserItem(added, roster->NodeOf(*colleagues->holder()), os::kTreeLast),
              0u);
    // The chat window stores what goes to a gateway contact under "alice@hotmail.com@msn...".
    const long sent = Store(myJid, chat::GatewayStoreAddress(msn), "你好");
    Store(myJid, bobJid, "别人的");
    CFrameMsgMgr& frame = Open();
    SelectNode(frame.ContactNode(msn));
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(std::stol(rows[0][0]), sent);
}

TEST_F(FrameTest, SearchFindsAChineseKeywordAndAnEmptyBoxShowsTheHint) {
    Store(bobJid, myJid, "FONT(宋体;12)明天开会");
    const long match = Store(myJid, bobJid, "FONT(宋体;12)会议改到后天");
    Store(bobJid, myJid, "FONT(会议)无关");
    Open();
    EXPECT_EQ(Text(id::kSearchBox), CFrameMsgMgr::kSearchHint);
    ASSERT_TRUE(driver.TypeText(Frame(), id::kSearchBox, "会议")) << driver.LastError();
    Click(id::kSearchButton);
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][0], std::to_string(match));
    ASSERT_TRUE(driver.TypeText(Frame(), id::kSearchBox, "")) << driver.LastError();
    Click(id::kSearchButton);
    EXPECT_EQ(Text(id::kSearchBox), CFrameMsgMgr::kSearchHint);
    EXPECT_EQ(Rows().size(), 1u);  // no search ran
}

TEST_F(FrameTest, ExportsWriteTheListTheSelectionOrEveryStoredMessage) {
    Store(myJid, bobJid, "FONT(宋体;12)第一条#(05)#", false, CClientDB::kStateUnhandled,
          "2026-01-05 09:00:01");
    Store(bobJid, myJid, "FONT(宋体;12)第二条", false, CClientDB::kStateUnhandled,
          "2026-01-05 09:00:02");
    CFrameMsgMgr& frame = Open();
    const std::string list = commonDir.str() + "list.txt";
    world.prompter().AnswerSaveFile(list);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kExportList);
    EXPECT_GBK_EQ(ReadFile(list),
                  "我自己 2026-01-05 09:00:01\r\n   第一条[表情]\r\n"
                  "鲍勃 2026-01-05 09:00:02\r\n   第二条\r\n");
    EXPECT_EQ(Boxes().back(), "导出成功");

    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 1)) << driver.LastError();
    const std::string selected = commonDir.str() + "selected.txt";
    world.prompter().AnswerSaveFile(selected);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kExportSelected);
    EXPECT_GBK_EQ(ReadFile(selected), "鲍勃 2026-01-05 09:00:02\r\n   第二条\r\n");

    // Every stored message, also those of another list, with the raw contents.
    SelectNode(frame.CategoryNode(MessageSource::Sent));
    const std::string all = commonDir.str() + "all.txt";
    world.prompter().AnswerSaveFile(all);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kExportAll);
    EXPECT_GBK_EQ(ReadFile(all),
                  "时间: 2026-01-05 09:00:01\t 我自己 -> 鲍勃\r\nFONT(宋体;12)第一条#(05)#\r\n"
                  "时间: 2026-01-05 09:00:02\t 鲍勃 -> 我自己\r\nFONT(宋体;12)第二条\r\n");
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    EXPECT_EQ(boxes.back().text, "导出成功");
    EXPECT_EQ(boxes.back().style & os::MB_ICONMASK, os::MB_ICONINFORMATION);

    const std::string nowhere = commonDir.str() + "missing/x.txt";
    world.prompter().AnswerSaveFile(nowhere);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kExportList);
    EXPECT_EQ(Boxes().back(), "创建消息文件 " + nowhere + " 失败");
    world.prompter().AnswerSaveFile(commonDir.str() + "broken.txt");
    world.prompter().AnswerMessageBox(os::IDOK);
    BreakStore();
    Click(id::kExportAll);
    EXPECT_EQ(Boxes().back(), "导出用户消息失败");
}

TEST_F(FrameTest, HandledToggleFlipsTheStateInTheListAndTheStore) {
    const long id = Store(bobJid, myJid, "待办");
    CFrameMsgMgr& frame = Open();
    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 0)) << driver.LastError();
    Click(id::kToggleHandled);
    EXPECT_EQ(Rows()[0][4], "已处理");
    SelectNode(frame.CategoryNode(MessageSource::Handled));
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][0], std::to_string(id));
    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 0)) << driver.LastError();
    Click(id::kToggleHandled);
    EXPECT_EQ(Rows()[0][4], "未处理");
    SelectNode(frame.CategoryNode(MessageSource::Unhandled));
    EXPECT_EQ(Rows().size(), 1u);
    // A message deleted meanwhile: the store's reason is shown.
    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 0)) << driver.LastError();
    CClientDB("me", UserFolder().c_str()).DeleteMsg(id);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kToggleHandled);
    EXPECT_NE(Boxes().back().find(std::to_string(id)), std::string::npos);
    EXPECT_EQ(Rows()[0][4], "未处理");
}

TEST_F(FrameTest, DeletionsAskFirstAndDeleteOnlyOnYes) {
    const long first = Store(bobJid, myJid, "一");
    const long second = Store(bobJid, myJid, "二");
    Store(bobJid, myJid, "三");
    Open();
    Click(id::kDeleteSelected);  // nothing selected: no question
    EXPECT_TRUE(Boxes().empty());
    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 0)) << driver.LastError();
    world.prompter().AnswerMessageBox(os::IDNO);
    Click(id::kDeleteSelected);
    EXPECT_EQ(Rows().size(), 3u);
    const auto question = world.prompter().RecordsOf(os::PromptKind::MessageBox).back();
    EXPECT_EQ(question.text, "您确信要删除这些记录吗？该操作不可恢复");
    EXPECT_EQ(question.caption, "警告");
    EXPECT_EQ(question.style & os::MB_TYPEMASK, os::MB_YESNO);
    world.prompter().AnswerMessageBox(os::IDYES);
    Click(id::kDeleteSelected);
    ASSERT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Rows()[0][0], std::to_string(second));
    int stored = 0;
    CClientDB("me", UserFolder().c_str())
        .GetMsg([&](const MsgFields& f) { stored += IsMsgEndMark(f) ? 0 : 1; }, -1);
    EXPECT_EQ(stored, 2);
    (void)first;

    world.prompter().AnswerMessageBox(os::IDYES);
    Click(id::kDeleteList);
    EXPECT_TRUE(Rows().empty());
    Store(bobJid, myJid, "四");
    world.prompter().AnswerMessageBox(os::IDNO);
    Click(id::kDeleteAll);
    EXPECT_EQ(Boxes().back(), "您确信要删除所有联系人的消息记录吗");
    world.prompter().AnswerMessageBox(os::IDYES);
    Click(id::kDeleteAll);
    stored = 0;
    CClientDB("me", UserFolder().c_str())
        .GetMsg([&](const MsgFields& f) { stored += IsMsgEndMark(f) ? 0 : 1; }, -1);
    EXPECT_EQ(stored, 0);
}

TEST_F(FrameTest, AFailedDeletionShowsItsText) {
    Store(bobJid, myJid, "一");
    Open();
    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 0)) << driver.LastError();
    BreakStore();
    world.prompter().AnswerMessageBox(os::IDYES);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kDeleteSelected);
    EXPECT_EQ(Boxes().back(), "删除选中的消息错误，请重试!");
    // What failed to go stays in the list.
    ASSERT_EQ(Rows().size(), 1u);
    world.prompter().AnswerMessageBox(os::IDYES);
    world.prompter().AnswerMessageBox(os::IDOK);
    Click(id::kDeleteList);
    EXPECT_EQ(Boxes().back(), "删除列表中的所有消息错误，请重试!");
    world.prompter().AnswerMessageBox(os::IDYES);
    world.prompter().AnswerMessageBox(os::IDOK);
    world.prompter().ClearRecords();
    Click(id::kDeleteAll);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_FALSE(Boxes()[1].empty());  // the store's reason
}

TEST_F(FrameTest, TheNavigationTreeCopiesTheSectionsAndListsWebVisitorsUnderTheDutyRoom) {
    Store("visitor1@h", myJid, "请问", true);
    Store("visitor1@h", myJid, "在吗", true);
    Store("visitor2@h", myJid, "你好", true);
    Open();
    std::vector<std::string> texts;
    std::function<void(const std::vector<qorvdesk::automation::TreeNode>&)> walk =
        [&](const std::vector<qorvdesk::automation::TreeNode>& nodes) {
            for (const auto& node : nodes) {
                texts.push_back(node.text);
                walk(node.children);
            }
        };
    walk(driver.TreeItems(Frame(), id::kNavigationTree)
             .value_or(std::vector<qorvdesk::automation::TreeNode>{}));
    const std::vector<std::string> expected = {
        "联系人分类",   "同事 (0/1)",   "鲍勃",        "网上值班室", "访客",
        "visitor1@h",   "visitor2@h",   "消息分类",    "所有消息",   "我发送的消息",
        "我接收的消息", "已处理的消息", "未处理的消息"};
    EXPECT_EQ(texts, expected);
}

TEST_F(FrameTest, BarsShowAndHide) {
    Open();
    auto visible = [&](int control) {
        return driver.DescribeControl(Frame(), control).value().visible;
    };
    Click(id::kShowNavigationBar);
    EXPECT_FALSE(visible(id::kNavigationTree));
    Click(id::kShowSearchToolbar);
    EXPECT_FALSE(visible(id::kSearchBox));
    EXPECT_FALSE(visible(id::kSearchButton));
    Click(id::kShowGeneralToolbar);
    EXPECT_FALSE(visible(id::kPrint));
    EXPECT_FALSE(visible(id::kExportAll));
    Click(id::kShowNavigationBar);
    Click(id::kShowGeneralToolbar);
    EXPECT_TRUE(visible(id::kNavigationTree));
    EXPECT_TRUE(visible(id::kPrint));
}

TEST_F(FrameTest, PrintingWritesTheSelectedRowsOrTheListAsAPdf) {
    Store(myJid, bobJid, "FONT(宋体;12)打印这条");
    Store(bobJid, myJid, "FONT(宋体;12)还有这条");
    CFrameMsgMgr& frame = Open();
    world.prompter().AnswerInput("Letter");
    Click(id::kPrintSetup);
    EXPECT_EQ(frame.printer().paper(), PaperSize::Letter);

    const std::string path = commonDir.str() + "print.pdf";
    world.prompter().AnswerSaveFile(path);
    Click(id::kPrint);
    const std::string pdf = ReadFile(path);
    EXPECT_TRUE(pdf.starts_with("%PDF-"));
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 612 792 ]"), std::string::npos);

    ASSERT_TRUE(driver.SelectListRow(Frame(), id::kMessageList, 1)) << driver.LastError();
    const std::vector<CPrintMessage> rows = frame.listView().RowsToPrint();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].sender, "鲍勃");
    EXPECT_EQ(rows[0].receiver, "我自己");
    EXPECT_GBK_EQ(rows[0].contents, "还有这条");
    Click(id::kPrintPreview);
    ASSERT_EQ(world.shell().RequestCount(), 1u);
    EXPECT_EQ(world.shell().Requests()[0].file,
              commonDir.str() + "temp/" + CMsgPrint::kPreviewFileName);
    EXPECT_TRUE(ReadFile(world.shell().Requests()[0].file).starts_with("%PDF-"));
}

}  // namespace
}  // namespace history_test
