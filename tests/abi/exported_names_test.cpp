// Every exported function is in the library under its undecorated C name.
#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string_view>

#include "abi_support.h"

namespace {

// The host interface's exports, table by table.
constexpr std::array<std::string_view, 101> kHostExports = {
    // Lifecycle and host plumbing (9)
    "InitWindows", "FreeWindows", "RecalcClientSize", "SkinReload", "OnKeyDown",
    "PreTranslateMessageForMenu", "OnIMParam", "GetShaoXSimpleWnd", "GetVcardVersion",
    // Session (13)
    "UserLogin", "UserLogout", "CanLogout", "IsLogined", "GetLoginStat", "GetLoginWaitTimeOut",
    "SetLoginWaitTimeOut", "ShowLoginingText", "ShowLoginingText1", "ChanngeStatus", "IsGoverUser",
    "GetUserNameA", "GetECPUserAccount",
    // Windows and dialogs (14)
    "ShowChatWindow", "ShowBatchChatWindow", "ShowSendSmsWindow", "ShowBatchMailWindow",
    "CanBatchShowEmailMenu", "ShowMsgManagerWindow", "ShowSetWindow", "ShowMailConfigWindow",
    "ShowChangePersonInfoWindow", "ShowWebAdminManagerWindow", "ShowSearchDialog",
    "ShowNoticeIEWindow", "ShowMailMonitor", "ShowMemoWindow",
    // Contacts and groups (27)
    "ShowAddContact", "ShowAddContactFromCurrentItem", "ShowAddMobileContact", "GetUserNameByPhone",
    "ShowContactInfo", "ShowModifyContact", "ShowDelContact", "CanAddContact", "CanNewGroup",
    "CanModifyContact", "CanDelContact", "CanModifyGroup", "CanDeleteGroup", "ShowNewGroup",
    "ShowNewGroupAtRoot", "ShowModifyGroup", "ShowDeleteGroup", "SetGroupSortPlan",
    "GetGroupSortPlan", "RefreshGroup", "RefreshContact", "ShowImportAddressList",
    "ShowExportAddressList", "CallUserChat", "CallUserMsgHistory", "DelRecentContact",
    "GetUserInfo",
    // Telephone, SMS and softphone (20)
    "CallContactTel", "CallPhone", "CallContactMail", "CanCallContactTel", "CanCallContactMail",
    "BindPhone", "ClearCurPhone", "GetCurBindPhone", "GetIsCurSoftPhone", "GetCurSelUserTel",
    "SetAcceptRegual", "GetCallStatus", "ReceiveSMSMsg", "ShowAddNewPhoneDlg", "ShowNetTel",
    "ShowAddTelConfDlg", "ShowReserveConfDlg", "ShowResConfMngDlg", "ShowCallRecordDlg",
    "ShowSMSRecordDlg",
    // Gateway presence, rooms and shared disk (18)
    "ShowMsnOnline", "ShowMsnBusy", "ShowMsnAway", "ShowMsnLeave", "ShowMsnCall", "ShowMsnRepast",
    "ShowMsnOff", "ShowSendMessage", "ShowAddMsnContact", "CanShowMsnMenu", "CanSendMsnMsg",
    "ShowConferenceProperty", "ShowConferenceCreate", "ShowConferenceLogout",
    "ShowConferenceListRefresh", "ShowShareDialog", "RemoveShareDialog", "SetShareNetDisk"};

// The text utilities, the ABI version and what a host needs around the exports.
constexpr std::array<std::string_view, 16> kOtherExports = {"UrlEncode",
                                                            "SplitStringToArray",
                                                            "ConvertUtf8ToGBK",
                                                            "QorvdeskAbiVersion",
                                                            "QorvSetHostHandler",
                                                            "QorvCreateHostFrame",
                                                            "QorvCreateHostClient",
                                                            "QorvRunLoop",
                                                            "QorvPumpMessages",
                                                            "QorvPostQuit",
                                                            "QorvSetStartCommandLine",
                                                            "QorvSetMessageBoxHandler",
                                                            "QorvEmbeddedAddAccount",
                                                            "QorvInternalSessionCore",
                                                            "QorvEmbeddedLoadDemoWorld",
                                                            "QorvSetIdleTimeHandler"};

TEST(ExportedNames, EveryExportIsFoundUnderItsCName) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        for (auto names : {std::span<const std::string_view>(kHostExports),
                           std::span<const std::string_view>(kOtherExports)}) {
            for (std::string_view name : names) {
                const std::string text(name);
                check(dlsym(loaded.library, text.c_str()) != nullptr, "missing export " + text);
            }
        }
    });
}

}  // namespace
