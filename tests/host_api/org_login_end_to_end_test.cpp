// The organisation login through the shipped wiring: the library's window manager and
// subsystems on the embedded server, the login panel's button 9200 pressed through the
// automation interface, the organisation dialog fed by a generated organisation service on
// 127.0.0.1, and the login that follows with the chosen organisation's group suffix.

#include <fstream>
#include <sstream>

#include "login/dlg_org_units.h"
#include "os/prompt/message_box.h"
#include "os/text/gbk_codec.h"
#include "subsystems_fixture.h"
#include "support/http/no_proxy.h"
#include "support/http/org_service.h"

namespace host_api_test {
namespace {

namespace automation = qorvdesk::automation;

constexpr const char* kDialogTitle = "选择  组织机构";

class OrgLoginTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Init());
        context.config.GetSSOGroupUrl = service.Url();
        context.config.LoginCSFaceGroupTitle = "组织机构";
        context.config.HasGroupLogin = 1;
        panel = manager->LoginPanel().value();
    }

    // Presses button 9200 with `act` queued to drive the organisation dialog, which ends
    // with `result` unless `act` ended it.
    void ChooseOrganisation(
        int result, std::function<void(automation::Driver&, automation::WindowHandle)> act) {
        ASSERT_TRUE(driver.QueueAnswer(
            automation::PromptAnswer::Dialog(result, std::move(act)).WhenCaption(kDialogTitle)));
        ASSERT_TRUE(driver.Click(panel, CDlgLogin::kOrganisationButtonId)) << driver.LastError();
        driver.Pump();
    }

    static std::vector<std::string> FirstColumn(automation::Driver& d,
                                                automation::WindowHandle dialog) {
        std::vector<std::string> names;
        for (const automation::ListRow& row : d.ListRows(dialog, CDlgOrgUnits::kUnitListId)
                                                  .value_or(std::vector<automation::ListRow>{}))
            names.push_back(row.texts.at(0));
        return names;
    }

    // The picker's own log file, as GBK.
    std::string PickerLog() const {
        std::ifstream file(commonDir.path() / "log" / "getGroup.log", std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return os::Utf8ToGbkLossy(bytes.str());
    }

    testing_support::NoProxy noProxy;
    testing_support::OrgService service{3, 2};
    automation::Driver driver{world.windows(), &world.prompter()};
    automation::WindowHandle panel = 0;
};

TEST_F(OrgLoginTest, TheChosenOrganisationIsTheGroupSuffixOfTheLoginTheEngineSees) {
    const std::string account = world.server().AddAccount(
        {.loginName = "zhang.sso2-3", .password = "pw", .nickname = "张"});
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, " Zhang ")) << driver.LastError();
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
    std::vector<std::string> topLevel;
    std::vector<std::string> secondLevel;
    ChooseOrganisation(automation::result::kCancel, [&](automation::Driver& d,
                                                        automation::WindowHandle dialog) {
        topLevel = FirstColumn(d, dialog);
        EXPECT_TRUE(d.DoubleClickListRow(dialog, CDlgOrgUnits::kUnitListId, 1)) << d.LastError();
        secondLevel = FirstColumn(d, dialog);
        EXPECT_TRUE(d.SelectListRow(dialog, CDlgOrgUnits::kUnitListId, 2)) << d.LastError();
        EXPECT_TRUE(d.Click(dialog, os::IDOK)) << d.LastError();
    });
    EXPECT_EQ(topLevel, (std::vector<std::string>{"单位1", "单位2", "单位3"}));
    EXPECT_EQ(secondLevel, (std::vector<std::string>{"单位2-1", "单位2-2", "单位2-3"}));
    EXPECT_EQ(driver.Text(panel, CDlgLogin::kOrganisationLabelId), "单位2-3");
    const std::vector<testing_support::RecordedRequest> requests = service.server().Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/org");
    EXPECT_EQ(requests[1].target, "/org?parentOrgid=2");

    EXPECT_TRUE(world.log().HasCaptured(
        "登录参数:username= Zhang , LoginName=zhang.sso2-3, GroupSSOId=sso2-3, Imuser=zhang, "
        "OrgNumber=2-3,\t\t"
        "                    GroupName=单位2-3,OrgCoding=ORG2-3, orgparentId=2,"
        "ParentGroupName=单位2, Reserve ="));
    ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return world.windows().IsWindowVisible(manager->MainPanel()); }));
    EXPECT_EQ(world.simSession().GetCurrentUserJID(), account);
    EXPECT_TRUE(world.log().HasCaptured("验证登录名:zhang.sso2-3"));

    const std::string pickerLog = PickerLog();
    for (const char* line :
         {"请求子组信息, 父组 ", "请求子组信息, 父组 2", "收到子组信息( 父组 2 ): ", "加载XML成功"})
        EXPECT_NE(pickerLog.find(line), std::string::npos) << os::GbkToUtf8Lossy(line);
}

TEST_F(OrgLoginTest, TheParametersLineNamesTheAccountTypedBeforeTheChoice) {
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, " Li ")) << driver.LastError();
    ChooseOrganisation(automation::result::kCancel,
                       [&](automation::Driver& d, automation::WindowHandle dialog) {
                           EXPECT_TRUE(d.SelectListRow(dialog, CDlgOrgUnits::kUnitListId, 0));
                           EXPECT_TRUE(d.Click(dialog, os::IDOK)) << d.LastError();
                       });
    EXPECT_TRUE(world.log().HasCaptured(
        "登录参数:username= Li , LoginName=li.sso1, GroupSSOId=sso1, Imuser=li, OrgNumber=1,\t\t"
        "                    GroupName=单位1,OrgCoding=ORG1, orgparentId=,ParentGroupName=, "
        "Reserve ="));
}

TEST_F(OrgLoginTest, CancelLeavesTheLoginWithoutGroup) {
    const std::string account =
        world.server().AddAccount({.loginName = "wang", .password = "pw", .nickname = "王"});
    ChooseOrganisation(automation::result::kCancel,
                       [&](automation::Driver& d, automation::WindowHandle dialog) {
                           EXPECT_TRUE(d.SelectListRow(dialog, CDlgOrgUnits::kUnitListId, 0));
                       });
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, "wang")) << driver.LastError();
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
    ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return world.windows().IsWindowVisible(manager->MainPanel()); }));
    EXPECT_EQ(world.simSession().GetCurrentUserJID(), account);
}

TEST_F(OrgLoginTest, WithoutAServiceAddressTheButtonShowsTheErrorOnly) {
    context.config.GetSSOGroupUrl.clear();
    ASSERT_TRUE(driver.QueueAnswer(automation::PromptAnswer::MessageBox(automation::result::kOk)));
    ASSERT_TRUE(driver.Click(panel, CDlgLogin::kOrganisationButtonId)) << driver.LastError();
    driver.Pump();
    const std::vector<automation::PromptInfo> prompts = driver.Prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].kind, automation::PromptKind::MessageBox);
    EXPECT_EQ(prompts[0].caption, "提示");
    EXPECT_EQ(prompts[0].text, "没有配置统一认证组织服务！");
    EXPECT_EQ(prompts[0].style & 0xF0u, os::MB_ICONERROR);
    EXPECT_EQ(service.server().RequestCount(), 0u);
}

TEST_F(OrgLoginTest, ALevelWithoutUnitsShowsNoDataAndUpGoesBack) {
    std::vector<std::string> lastLevel;
    std::vector<std::string> afterUp;
    ChooseOrganisation(automation::result::kCancel,
                       [&](automation::Driver& d, automation::WindowHandle dialog) {
                           EXPECT_TRUE(d.DoubleClickListRow(dialog, CDlgOrgUnits::kUnitListId, 0));
                           EXPECT_TRUE(d.DoubleClickListRow(dialog, CDlgOrgUnits::kUnitListId, 0));
                           lastLevel = FirstColumn(d, dialog);
                           // "(无数据)" is no unit: OK keeps the dialog open.
                           EXPECT_TRUE(d.SelectListRow(dialog, CDlgOrgUnits::kUnitListId, 0));
                           EXPECT_TRUE(d.Click(dialog, os::IDOK));
                           EXPECT_TRUE(d.IsWindow(dialog));
                           EXPECT_TRUE(d.Click(dialog, CDlgOrgUnits::kUpButtonId));
                           afterUp = FirstColumn(d, dialog);
                       });
    EXPECT_EQ(lastLevel, (std::vector<std::string>{"(无数据)"}));
    EXPECT_EQ(afterUp, (std::vector<std::string>{"单位1-1", "单位1-2", "单位1-3"}));
    EXPECT_EQ(driver.Text(panel, CDlgLogin::kOrganisationLabelId), "");
}

TEST_F(OrgLoginTest, AFailedOrUnreadableAnswerLeavesTheListAsItWas) {
    struct Case {
        testing_support::OrgService::Answer served;
        std::vector<std::string> messages;  // message boxes the failed open shows
    };
    const Case cases[] = {
        {testing_support::OrgService::Answer::Failure, {}},
        {testing_support::OrgService::Answer::NotXml, {"解析数据出错"}},
    };
    for (const Case& c : cases) {
        service.SetAnswer(testing_support::OrgService::Answer::Units);
        const std::size_t promptsBefore = driver.Prompts().size();
        std::vector<std::string> before;
        std::vector<std::string> after;
        ChooseOrganisation(automation::result::kCancel, [&](automation::Driver& d,
                                                            automation::WindowHandle dialog) {
            before = FirstColumn(d, dialog);
            service.SetAnswer(c.served);
            for (std::size_t i = 0; i < c.messages.size(); ++i)
                EXPECT_TRUE(
                    d.QueueAnswer(automation::PromptAnswer::MessageBox(automation::result::kOk)));
            EXPECT_TRUE(d.DoubleClickListRow(dialog, CDlgOrgUnits::kUnitListId, 0));
            after = FirstColumn(d, dialog);
        });
        EXPECT_EQ(before, (std::vector<std::string>{"单位1", "单位2", "单位3"}));
        EXPECT_EQ(after, before);
        std::vector<std::string> shown;
        const std::vector<automation::PromptInfo> prompts = driver.Prompts();
        for (std::size_t i = promptsBefore; i < prompts.size(); ++i) {
            if (prompts[i].kind != automation::PromptKind::MessageBox) continue;
            EXPECT_EQ(prompts[i].caption, "提示");
            shown.push_back(prompts[i].text);
        }
        EXPECT_EQ(shown, c.messages);
    }
    EXPECT_NE(PickerLog().find("请求失败"), std::string::npos);
}

}  // namespace
}  // namespace host_api_test
