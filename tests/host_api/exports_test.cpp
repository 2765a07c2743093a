// The exported functions, called through the C header with theWindowManager pointed at a
// test's own manager: argument and result conventions, and what each export reaches.
#include "qorvdesk/exports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

#include "config/client_config.h"
#include "core/doors.h"
#include "core/window_messages.h"
#include "host_api/library.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "os/controls/label.h"
#include "os/services/log.h"
#include "os/services/recording_shell.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/doors/recording_contacts.h"
#include "support/doors/recording_libraries.h"
#include "support/doors/recording_pump.h"
#include "support/doors/recording_settings.h"
#include "support/doors/recording_web.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

using ::testing::ElementsAre;

core::ContactSelection User(std::string name, std::string jid) {
    core::ContactSelection user;
    user.name = std::move(name);
    user.jid = std::move(jid);
    return user;
}

class ExportsTest : public ManagerTest {
  protected:
    void SetUp() override {
        core::Doors& doors = context.doors();
        doors.contacts.Plug(contacts);
        doors.libraries.Plug(libraries);
        doors.pump.Plug(pump);
        doors.settings.Plug(settings);
        doors.web.Plug(web);
        ASSERT_NO_FATAL_FAILURE(Init());
        theWindowManager = manager.get();
    }
    void TearDown() override { theWindowManager = nullptr; }

    std::vector<std::string> Boxes() const { return world.prompter().Texts(); }

    testing_support::RecordingContacts contacts;
    testing_support::RecordingLibraries libraries;
    testing_support::RecordingPump pump;
    testing_support::RecordingSettings settings;
    testing_support::RecordingWeb web;
};

TEST(ExportsWithoutManager, EveryExportIsHarmlessBeforeTheLibraryHasAManager) {
    ASSERT_EQ(theWindowManager, nullptr);
    RecalcClientSize(10, 10);
    UserLogout();
    EXPECT_EQ(OnKeyDown(13, 0), 0);
    char buf[8] = "x";
    EXPECT_EQ(GetUserNameA(buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
}

TEST_F(ExportsTest, TheFixedAnswersAreFixed) {
    EXPECT_EQ(GetShaoXSimpleWnd(), 0);
    EXPECT_EQ(CanBatchShowEmailMenu(), 1);
    EXPECT_EQ(CanCallContactTel(), 1);
    EXPECT_EQ(CanCallContactMail(), 1);
    EXPECT_EQ(CanShowMsnMenu(), 1);
    EXPECT_EQ(GetCallStatus(), 0);
}

TEST_F(ExportsTest, AStringResultIsCutAtAWholeCharacterAndAnswersItsFullLength) {
    LogIn("nick", "张三");  // four GBK bytes
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(GetUserNameA(buf, 4), 4);
    EXPECT_STREQ(buf, "张");  // the second character does not fit beside the zero
    EXPECT_EQ(GetUserNameA(buf, 5), 4);
    EXPECT_STREQ(buf, "张三");
    EXPECT_EQ(GetUserNameA(nullptr, 0), 4);
    EXPECT_EQ(GetUserNameA(buf, 0), 4);
    EXPECT_EQ(GetECPUserAccount(buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "nick");
}

TEST_F(ExportsTest, LoginWaitAndLoginStatReadTheManager) {
    SetLoginWaitTimeOut(2500);
    EXPECT_EQ(GetLoginWaitTimeOut(), 2500u);
    EXPECT_EQ(manager->Flags().loginWaitTimeOut, 2500u);
    manager->Flags().loginStat = 1;
    EXPECT_EQ(GetLoginStat(), 1);
}

TEST_F(ExportsTest, UserLoginPressesTheLoginButton) {
    // With the fields empty, the press ends in the input check's first question.
    world.prompter().AnswerMessageBox(os::IDOK);
    UserLogin();
    ASSERT_EQ(world.prompter().Texts().size(), 1u);
    EXPECT_GBK_EQ(world.prompter().Texts()[0], "请输入或选择用户名");
}

TEST_F(ExportsTest, ShowLoginingText1ShowsTheProgressLabelAndTheOtherDoesNothing) {
    os::Label& label = manager->loginPanel()->progressLabel();
    ShowLoginingText(1, 2, "ignored");
    EXPECT_FALSE(label.visible());
    ShowLoginingText1("正在登录中....");
    EXPECT_TRUE(label.visible());
    EXPECT_EQ(label.Text(), "正在登录中....");
}

TEST_F(ExportsTest, IsLoginedAndOnIMParamAnswerForTheSession) {
    const QorvIMParam anyone{4, nullptr};
    const QorvIMParam isMe{1, "li"};
    const QorvIMParam isMeOtherCase{1, "LI"};
    EXPECT_EQ(IsLogined(), 0);
    EXPECT_EQ(OnIMParam(&anyone), 0);

    LogIn("li");
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    EXPECT_EQ(IsLogined(), 1);
    EXPECT_EQ(OnIMParam(&anyone), 1);
    EXPECT_EQ(OnIMParam(&isMe), 1);
    EXPECT_EQ(OnIMParam(&isMeOtherCase), 0);
    EXPECT_EQ(OnIMParam(nullptr), 0);
}

TEST_F(ExportsTest, IsGoverUserAsksTheUserTypeOfTheOwnJid) {
    EXPECT_EQ(IsGoverUser(), 0);
    LogIn("gov");
    EXPECT_EQ(IsGoverUser(), 1);
}

TEST_F(ExportsTest, ChanngeStatusChangesThePresence) {
    LogIn("li");
    ChanngeStatus("away");
    ChanngeStatus(nullptr);
    const auto calls = world.simSession().calls().Named("ChangePresence");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_THAT(calls[0].args, ElementsAre("away"));
    EXPECT_THAT(calls[1].args, ElementsAre(""));
}

TEST_F(ExportsTest, TheSettingsDialogOpensOnItsPageButNotWhileLoggingIn) {
    ShowSetWindow(2);
    ShowMailConfigWindow();
    manager->Flags().loggingIn = true;
    ShowSetWindow(1);
    EXPECT_EQ(settings.pages, (std::vector<int>{2, 3}));
}

TEST_F(ExportsTest, ShowChangePersonInfoWindowSaysWhereToGo) {
    world.prompter().AnswerMessageBox(os::IDOK);
    ShowChangePersonInfoWindow();
    EXPECT_THAT(Boxes(), ElementsAre("请到教师培训管理平台修改个人信息."));
    EXPECT_EQ(world.prompter().Records()[0].caption, "提示");
}

TEST_F(ExportsTest, AMobileNumberIsAddedToThePhoneBookOnlyOnYes) {
    world.prompter().AnswerMessageBox(os::IDNO);
    ShowAddMobileContact("13800138000");
    world.prompter().AnswerMessageBox(os::IDYES);
    ShowAddMobileContact("13900139000");
    EXPECT_THAT(contacts.addedNumbers, ElementsAre("13900139000"));
    EXPECT_EQ(Boxes()[0], " 是否添加该号码到电话簿？");
}

TEST_F(ExportsTest, CallUserChatOpensTheSelectedUsersWindow) {
    CallUserChat();  // nothing selected
    EXPECT_TRUE(manager->ChatWindows().empty());
    contacts.selection = User("赵", "zhao$gov@host");
    CallUserChat();
    ASSERT_EQ(manager->ChatWindows().size(), 1u);
    EXPECT_EQ(manager->ChatWindows()[0]->ContactJid(), "zhao$gov@host");
}

TEST_F(ExportsTest, DiallingAContactWithoutTheNumberSaysWhichIsMissing) {
    contacts.selection = User("王五", "wang@host");
    contacts.selection->workPhone = "010-1234";
    world.prompter().AnswerMessageBox(os::IDOK);
    world.prompter().AnswerMessageBox(os::IDOK);
    CallContactTel();
    CallPhone(1);
    CallPhone(0);
    EXPECT_THAT(Boxes(), ElementsAre("王五 的手机信息为空!", "王五 的手机信息为空,不能拨打手机."));
    EXPECT_THAT(libraries.dialled, ElementsAre("010-1234"));

    contacts.selection->workPhone.clear();
    contacts.selection->mobile = "13800138000";
    world.prompter().AnswerMessageBox(os::IDOK);
    CallPhone(0);
    CallContactTel();
    EXPECT_EQ(Boxes().back(), "王五 的工作电话信息为空,不能拨打电话.");
    EXPECT_THAT(libraries.dialled, ElementsAre("010-1234", "13800138000"));
}

TEST_F(ExportsTest, CallContactMailOpensAMailtoAddress) {
    contacts.selection = User("李", "li@host");
    contacts.selection->email = "li@example.org";
    CallContactMail();
    const auto requests = world.shell().Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].verb, "open");
    EXPECT_EQ(requests[0].file, "mailto:li@example.org");
}

TEST_F(ExportsTest, TheSelectedUsersNumbersFillTheCallersBuffers) {
    contacts.selection = User("李", "li@host");
    contacts.selection->tel = "1";
    contacts.selection->workPhone = "22";
    contacts.selection->homePhone = "333";
    contacts.selection->businessPhone = "4444";
    contacts.selection->mobile = "55555";
    char tel[8], work[8], home[8], business[8], mobile[4];
    EXPECT_EQ(GetCurSelUserTel(tel, 8, work, 8, home, 8, business, 8, mobile, 4), 5);
    EXPECT_STREQ(tel, "1");
    EXPECT_STREQ(business, "4444");
    EXPECT_STREQ(mobile, "555");  // cut to its buffer
}

TEST_F(ExportsTest, GetUserInfoRefreshesAndGivesTheOwnNumbers) {
    platform::SimAccount account;
    account.loginName = "me";
    account.password = "pw";
    account.tel = "88";
    account.mobile2 = "139";
    const std::string jid = world.server().AddAccount(account);
    world.simSession().Init(nullptr, nullptr, {});
    ASSERT_EQ(world.simSession().Login("me", "pw", 1, "", 0), platform::kLoginAccepted);

    char ownJid[64], tel[8], work[8], home[8], business[8], mobile2[8];
    GetUserInfo(ownJid, 64, tel, 8, work, 8, home, 8, business, 8, mobile2, 8);
    EXPECT_EQ(ownJid, jid);
    EXPECT_STREQ(tel, "88");
    EXPECT_STREQ(work, "");
    EXPECT_STREQ(mobile2, "139");
    EXPECT_EQ(world.simSession().calls().Count("QueryPersonInfo_refresh"), 1u);
}

TEST_F(ExportsTest, AnSmsFromTheHostBecomesAnIncomingMessageOfItsSmsJid) {
    LogIn("li");
    ReceiveSMSMsg("13800138000@gateway", "你好", "2026-01-05 09:00:00", "张三");
    ASSERT_EQ(pump.incoming.size(), 1u);
    const core::QueuedMessage& sms = pump.incoming[0];
    EXPECT_EQ(sms.from, "13800138000@sms." + world.server().HostName() + "/PC");
    EXPECT_EQ(sms.to, "li$gov@" + world.server().HostName());
    EXPECT_EQ(sms.content, "你好");
    EXPECT_EQ(sms.time, "2026-01-05 09:00:00");
    EXPECT_EQ(sms.fromName, "张三");
    EXPECT_EQ(sms.type, core::kQueuedSmsType);
}

TEST_F(ExportsTest, EachGatewayPresenceSendsItsStatus) {
    LogIn("li");
    ShowMsnOnline();
    ShowMsnBusy();
    ShowMsnAway();
    ShowMsnLeave();
    ShowMsnCall();
    ShowMsnRepast();
    ShowMsnOff();  // does nothing
    const std::string gateway = "msn." + world.server().HostName();
    const auto calls = world.simSession().calls().Named("SendMsnStatusMessage");
    std::vector<std::vector<std::string>> sent;
    for (const auto& call : calls) sent.push_back(call.args);
    EXPECT_THAT(sent, ElementsAre(ElementsAre(gateway, "Available", "1", ""),
                                  ElementsAre(gateway, "Do Not Disturb", "-1", "dnd"),
                                  ElementsAre(gateway, "Away", "-1", "away"),
                                  ElementsAre(gateway, "Away", "-1", "away"),
                                  ElementsAre(gateway, "Do Not Disturb", "-1", "dnd"),
                                  ElementsAre(gateway, "Extended Away", "-1", "xa")));
}

TEST_F(ExportsTest, GatewayMessagesAreRefusedOnlyToAnOfflineGatewayUser) {
    struct Case {
        std::optional<core::ContactSelection> selection;
        int expected;
    };
    core::ContactSelection offlineMsn = User("m", "bob@msn.host");
    offlineMsn.presence = "OFFLINE";
    core::ContactSelection onlineMsn = User("m", "bob@msn.host");
    onlineMsn.presence = "online";
    core::ContactSelection offlineLocal = User("l", "bob@host");
    offlineLocal.presence = "offline";
    core::ContactSelection group = offlineMsn;
    group.kind = core::ContactSelection::Kind::Group;
    const Case cases[] = {
        {std::nullopt, 0}, {offlineMsn, 0}, {onlineMsn, 1}, {offlineLocal, 1}, {group, 1}};
    for (const Case& c : cases) {
        contacts.selection = c.selection;
        EXPECT_EQ(CanSendMsnMsg(), c.expected)
            << (c.selection ? c.selection->jid + " " + c.selection->presence : "none");
    }
}

TEST_F(ExportsTest, TheBatchMailFormCarriesTheLoginNameTheEncodedPasswordAndTheList) {
    platform::SimAccount account;
    account.loginName = "li";
    account.accountName = "li@corp";
    account.password = "p w&1";
    world.server().AddAccount(account);
    world.simSession().Init(nullptr, nullptr, {});
    ASSERT_EQ(world.simSession().Login("li", "p w&1", 1, "", 0), platform::kLoginAccepted);
    context.config.SendMailUrl = "http://mail.example/login";

    ShowBatchMailWindow();  // nothing selected: nothing opens
    core::ContactSelection group;
    group.kind = core::ContactSelection::Kind::Group;
    group.groupMailList = "a@x.org,b@x.org";
    contacts.selection = group;
    ShowBatchMailWindow();

    ASSERT_EQ(web.forms.size(), 1u);
    EXPECT_EQ(web.forms[0].first, "http://mail.example/login");
    EXPECT_EQ(web.forms[0].second,
              "Username=li&Password=p%20w%261&RedirectTo=/lib/public.nsf/"
              "sendmail%3Fopenform%26sendto%3Da@x.org,b@x.org");
}

TEST_F(ExportsTest, TheTextUtilitiesFollowTheConvention) {
    char buf[32];
    EXPECT_EQ(UrlEncode("a b", buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "a%20b");
    EXPECT_EQ(UrlEncode(nullptr, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");

    std::vector<std::string> tokens;
    auto sink = [](void* user, const char* token, int length) {
        static_cast<std::vector<std::string>*>(user)->emplace_back(token, length);
    };
    EXPECT_EQ(SplitStringToArray("a;;b;", ";", sink, &tokens, 0), 3);
    EXPECT_THAT(tokens, ElementsAre("a", "", "b"));
    EXPECT_EQ(SplitStringToArray("a;;b;", ";", nullptr, nullptr, 1), 2);

    char text[16] = "\xE4\xB8\xAD!";  // "中!" in UTF-8
    EXPECT_EQ(ConvertUtf8ToGBK(text, sizeof text), 3);
    EXPECT_STREQ(text, "中!");
}

// A contact door whose answers throw, as a collaborator that broke would.
class ThrowingContacts : public core::ContactService {
  public:
    bool CanAddContact() override { throw std::runtime_error("the contact tree is gone"); }
    std::string UserNameByPhone(const std::string&) override { throw std::bad_alloc(); }
    void ShowAddContact() override { throw 42; }  // not a std::exception
};

struct ThrowingCase {
    const char* name;
    // Calls the export and answers what it answered (0 for an export that answers nothing).
    std::function<int()> call;
    const char* exportName;  // in the log line
    const char* reason;      // in the log line
};

class ExportThrowsTest : public ExportsTest, public ::testing::WithParamInterface<ThrowingCase> {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ExportsTest::SetUp());
        context.doors().contacts.Plug(throwing);
        world.log().ClearCaptured();
    }
    ThrowingContacts throwing;
};

TEST_P(ExportThrowsTest, AnswersItsFailureValueLogsAndTheLibraryGoesOn) {
    const ThrowingCase& c = GetParam();
    EXPECT_EQ(c.call(), 0);

    auto failures = [&] {
        std::vector<os::LogLine> found;
        for (const os::LogLine& line : world.log().CapturedLines()) {
            if (line.text.find(c.reason) != std::string::npos) found.push_back(line);
        }
        return found;
    };
    const std::vector<os::LogLine> logged = failures();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].text.find(c.exportName), std::string::npos) << logged[0].text;
    EXPECT_EQ(logged[0].level, 1);

    // The library goes on: the next calls reach the window manager as before.
    SetLoginWaitTimeOut(1500);
    EXPECT_EQ(GetLoginWaitTimeOut(), 1500u);
    EXPECT_EQ(c.call(), 0);
    EXPECT_EQ(failures().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ExportThrowsTest,
    ::testing::Values(ThrowingCase{"StandardException", [] { return CanAddContact(); },
                                   "CanAddContact", "the contact tree is gone"},
                      ThrowingCase{"OutOfMemory",
                                   [] {
                                       char buf[8] = "x";
                                       const int length =
                                           GetUserNameByPhone("13900000000", buf, sizeof buf);
                                       return length +
                                              (buf[0] == '\0' ? 0 : 100);  // the empty string
                                   },
                                   "GetUserNameByPhone", "bad_alloc"},
                      ThrowingCase{"NotAStandardException",
                                   [] {
                                       ShowAddContact();
                                       return 0;
                                   },
                                   "ShowAddContact", "not a std::exception"},
                      ThrowingCase{"HostCallback",
                                   [] {
                                       auto sink = [](void*, const char*, int) {
                                           throw std::runtime_error("the host's sink failed");
                                       };
                                       return SplitStringToArray("a;b", ";", sink, nullptr, 0);
                                   },
                                   "SplitStringToArray", "the host's sink failed"}),
    [](const ::testing::TestParamInfo<ThrowingCase>& info) { return info.param.name; });

}  // namespace
}  // namespace host_api_test
