#include "history_fixture.h"

#include <filesystem>
#include <thread>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "core/doors.h"
#include "os/prompt/scripted_prompter.h"
#include "platform/session/sim_session_core.h"
#include "support/require.h"

namespace history_test {

HistoryTest::HistoryTest()
    : world({commonDir.str(), appDir.str()},
            [](const os::PromptRecord& prompt) {
                ADD_FAILURE() << "unanswered prompt: " << prompt.text;
            }),
      context(world.context()),
      trees(context),
      driver(world.windows(), &world.prompter()) {
    context.SetWindowManager(&manager);
    platform::SimAccount me;
    me.loginName = "me";
    me.password = "pw";
    me.nickname = "我自己";
    myJid = world.server().AddAccount(me);
    platform::SimAccount bob;
    bob.loginName = "bob";
    bob.password = "pw";
    bob.nickname = "鲍勃";
    bobJid = world.server().AddAccount(bob);
    std::filesystem::create_directories(commonDir.path() / "me");
    platform::SimSessionCore& session = world.simSession();
    session.Init(nullptr, nullptr, std::this_thread::get_id());
    EXPECT_EQ(session.Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
    while (platform::NotifyRecord* record = session.GetNotify()) session.FreeNotify(record);

    roster = std::make_unique<contacts::CIMTree>(context, 100, "我的好友", 0);
    auto addGroup = [&](const char* id, const char* name) {
        auto item = contacts::CIMTreeItemData::ForGroup(
            std::make_unique<contacts::CGroup>(id, name, "", std::string("top,") + id));
        contacts::CIMTreeItemData* added =
            testing_support::Require(roster->AddItemData(item), "a roster group");
        return roster->InsertGroupItem(added->group(), os::kTreeRoot, os::kTreeLast);
    };
    const os::TreeItem colleagues = addGroup("g", "同事");
    addGroup("duty", history::CFrameMsgMgr::kDutyRoomSection);
    auto user = std::make_unique<contacts::CUser>(context.clock, bobJid, "鲍勃", "g", "both");
    user->groupKey = "top,g";
    auto item = contacts::CIMTreeItemData::ForUser(std::move(user));
    contacts::CUser* added =
        testing_support::Require(roster->AddItemData(item), "the contact")->user();
    roster->InsertUserItem(added, colleagues, os::kTreeLast);
    trees.Add(*roster);
    navigator = std::make_unique<history::MsgNavigator>(context, trees);
    context.doors().history.Plug(*navigator);
}

HistoryTest::~HistoryTest() {
    context.doors().history.Unplug();
    navigator.reset();
    trees.Remove(*roster);
    context.SetWindowManager(nullptr);
    CClientDB::CloseAll();
}

long HistoryTest::Store(const std::string& from, const std::string& to, const std::string& contents,
                        bool web, int state, const std::string& time) {
    CClientDB db("me", UserFolder().c_str());
    long id = 0;
    EXPECT_TRUE(db.AddMsg(from.c_str(), to.c_str(), time.c_str(), contents.c_str(), "", "", "",
                          CClientDB::kTypeChat, web, "", "", state, &id))
        << db.GetErrorInfo();
    return id;
}

history::CFrameMsgMgr& HistoryTest::Open() {
    context.doors().history->OpenNavigator();
    return *testing_support::Require(navigator->frame(), "the navigation frame");
}

qorvdesk::automation::WindowHandle HistoryTest::Frame() const {
    return driver.FindWindowByTitle(history::CFrameMsgMgr::kCaption);
}

std::vector<std::vector<std::string>> HistoryTest::Rows() {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : driver.ListRows(Frame(), history::frame_control::kMessageList)
                               .value_or(std::vector<qorvdesk::automation::ListRow>{})) {
        rows.push_back(row.texts);
    }
    return rows;
}

std::string HistoryTest::Text(int controlId) {
    return driver.Text(Frame(), controlId).value_or("<none>");
}

void HistoryTest::Click(int controlId) {
    ASSERT_TRUE(driver.Click(Frame(), controlId)) << driver.LastError();
    driver.Pump();
}

void HistoryTest::SelectNode(os::TreeItem node) {
    ASSERT_NE(node, 0u);
    ASSERT_TRUE(driver.SelectTreeItem(Frame(), history::frame_control::kNavigationTree, node))
        << driver.LastError();
    driver.Pump();
}

void HistoryTest::BreakStore() {
    CClientDB::CloseAll();
    const std::filesystem::path database = commonDir.path() / "me" / CClientDB::kDatabaseFileName;
    std::filesystem::remove(database);
    std::filesystem::remove(database.string() + "-wal");
    std::filesystem::remove(database.string() + "-shm");
    std::filesystem::create_directories(database);
}

std::vector<std::string> HistoryTest::Boxes() const {
    std::vector<std::string> texts;
    for (const os::PromptRecord& record : world.prompter().RecordsOf(os::PromptKind::MessageBox)) {
        texts.push_back(record.text);
    }
    return texts;
}

}  // namespace history_test
