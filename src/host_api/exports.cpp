// The exported C functions: each reaches one method of theWindowManager (or, for the text
// utilities, one helper), converting arguments and results by the convention of exports.h.
// None of them throws across the C boundary; without a window manager (the library's
// objects could not be made) each does nothing and answers 0.
#include "qorvdesk/exports.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/room_service.h"
#include "core/doors/settings_service.h"
#include "core/text_utilities.h"
#include "host_api/c_strings.h"
#include "host_api/library.h"

namespace {

// Runs `action` on the window manager; answers `fallback` without one.
template <typename Result, typename Action>
Result Reach(Result fallback, Action action) {
    if (theWindowManager == nullptr) return fallback;
    return action(*theWindowManager);
}

template <typename Action>
void Reach(Action action) {
    if (theWindowManager != nullptr) action(*theWindowManager);
}

os::HWND Handle(QorvWindow window) { return os::HWND(window); }

}  // namespace

extern "C" {

// ---- Lifecycle and host plumbing

void InitWindows(QorvWindow hostMainWnd, QorvWindow hostClientWnd) {
    Reach([&](CWindowManager& m) { m.InitWindows(Handle(hostMainWnd), Handle(hostClientWnd)); });
}

void FreeWindows(void) {
    Reach([](CWindowManager& m) { m.FreeWindows(); });
}

void RecalcClientSize(int cx, int cy) {
    Reach([&](CWindowManager& m) { m.RecalcClientSize(cx, cy); });
}

void SkinReload(void) {
    Reach([](CWindowManager& m) { m.SkinReload(); });
}

int OnKeyDown(int key, int flags) {
    return Reach(0, [&](CWindowManager& m) { return m.OnKeyDown(key, flags); });
}

unsigned char PreTranslateMessageForMenu(QorvMessage* message, int kind) {
    return Reach<unsigned char>(0, [&](CWindowManager& m) -> unsigned char {
        os::Msg msg;
        if (message != nullptr) {
            msg.hwnd = Handle(message->window);
            msg.message = message->message;
            msg.wParam = message->wParam;
            msg.lParam = message->lParam;
        }
        const bool consumed = m.PreTranslateMessageForMenu(msg, kind);
        if (message != nullptr) {
            message->wParam = msg.wParam;
            message->lParam = msg.lParam;
        }
        return consumed ? 1 : 0;
    });
}

int OnIMParam(const QorvIMParam* param) {
    if (param == nullptr) return 0;
    return Reach(0,
                 [&](CWindowManager& m) { return m.OnIMParam(param->kind, InText(param->text)); });
}

int GetShaoXSimpleWnd(void) { return 0; }

int GetVcardVersion(void) {
    return Reach(0, [](CWindowManager& m) { return m.GetVcardVersion(); });
}

// ---- Session

void UserLogin(void) {
    Reach([](CWindowManager& m) { m.UserLogin(); });
}

void UserLogout(void) {
    Reach([](CWindowManager& m) { m.UserLogout(); });
}

int CanLogout(void) {
    return Reach(0, [](CWindowManager& m) { return m.CanLogout() ? 1 : 0; });
}

unsigned char IsLogined(void) {
    return Reach<unsigned char>(
        0, [](CWindowManager& m) -> unsigned char { return m.IsLogined() ? 1 : 0; });
}

int GetLoginStat(void) {
    return Reach(0, [](CWindowManager& m) { return m.GetLoginStat(); });
}

unsigned int GetLoginWaitTimeOut(void) {
    return Reach(0u, [](CWindowManager& m) { return m.GetLoginWaitTimeOut(); });
}

void SetLoginWaitTimeOut(unsigned int milliseconds) {
    Reach([&](CWindowManager& m) { m.SetLoginWaitTimeOut(milliseconds); });
}

void ShowLoginingText(int, int, const char*) {}

void ShowLoginingText1(const char* text) {
    Reach([&](CWindowManager& m) { m.ShowLoginingText1(InText(text)); });
}

void ChanngeStatus(const char* presenceWord) {
    Reach([&](CWindowManager& m) { m.ChanngeStatus(InText(presenceWord)); });
}

int IsGoverUser(void) {
    return Reach(0, [](CWindowManager& m) { return m.IsGoverUser() ? 1 : 0; });
}

int GetUserNameA(char* buf, int cap) {
    return CopyOut(Reach(std::string(), [](CWindowManager& m) { return m.GetUserNameA(); }), buf,
                   cap);
}

int GetECPUserAccount(char* buf, int cap) {
    return CopyOut(Reach(std::string(), [](CWindowManager& m) { return m.GetECPUserAccount(); }),
                   buf, cap);
}

// ---- Windows and dialogs

void ShowChatWindow(void) {
    Reach([](CWindowManager& m) { m.ShowChatWindow(); });
}

void ShowBatchChatWindow(void) {
    Reach([](CWindowManager& m) { m.ShowBatchChatWindow(); });
}

void ShowSendSmsWindow(int mode) {
    Reach([&](CWindowManager& m) { m.ShowSendSmsWindow(mode); });
}

void ShowBatchMailWindow(void) {
    Reach([](CWindowManager& m) { m.ShowBatchMailWindow(); });
}

int CanBatchShowEmailMenu(void) { return 1; }

void ShowMsgManagerWindow(void) {
    Reach([](CWindowManager& m) { m.ShowMsgManagerWindow(); });
}

void ShowSetWindow(int page) {
    Reach([&](CWindowManager& m) { m.ShowSetWindow(page); });
}

void ShowMailConfigWindow(void) { ShowSetWindow(3); }

void ShowChangePersonInfoWindow(void) {
    Reach([](CWindowManager& m) { m.ShowChangePersonInfoWindow(); });
}

void ShowWebAdminManagerWindow(void) {
    Reach([](CWindowManager& m) { m.ShowWebAdminManagerWindow(); });
}

int ShowSearchDialog(void) {
    return Reach(0, [](CWindowManager& m) { return m.ShowSearchDialog(); });
}

void ShowNoticeIEWindow(void) {
    Reach([](CWindowManager& m) { m.ShowNoticeIEWindow(); });
}

void ShowMailMonitor(void) {
    Reach([](CWindowManager& m) { m.ShowMailMonitor(); });
}

void ShowMemoWindow(void) {}

// ---- Contacts and groups: the contact work answers through its door.

#define QORV_CONTACTS(call) Reach([&](CWindowManager& m) { m.context().doors().contacts->call; })
#define QORV_CONTACTS_ANSWER(fallback, call) \
    Reach(fallback, [&](CWindowManager& m) { return m.context().doors().contacts->call; })

void ShowAddContact(void) { QORV_CONTACTS(ShowAddContact()); }
void ShowAddContactFromCurrentItem(int flag) { QORV_CONTACTS(ShowAddContactFromCurrentItem(flag)); }

void ShowAddMobileContact(const char* mobileNumber) {
    Reach([&](CWindowManager& m) { m.ShowAddMobileContact(InText(mobileNumber)); });
}

int GetUserNameByPhone(const char* number, char* buf, int cap) {
    return CopyOut(
        QORV_CONTACTS_ANSWER(std::string(), UserNameByPhone(std::string(InText(number)))), buf,
        cap);
}

void ShowContactInfo(unsigned char ownDetails) { QORV_CONTACTS(ShowContactInfo(ownDetails != 0)); }
void ShowModifyContact(void) { QORV_CONTACTS(ShowModifyContact()); }
void ShowDelContact(void) { QORV_CONTACTS(ShowDelContact()); }
int CanAddContact(void) { return QORV_CONTACTS_ANSWER(false, CanAddContact()) ? 1 : 0; }
int CanNewGroup(void) { return QORV_CONTACTS_ANSWER(false, CanNewGroup()) ? 1 : 0; }
int CanModifyContact(void) { return QORV_CONTACTS_ANSWER(false, CanModifyContact()) ? 1 : 0; }
int CanDelContact(void) { return QORV_CONTACTS_ANSWER(false, CanDelContact()) ? 1 : 0; }
int CanModifyGroup(void) { return QORV_CONTACTS_ANSWER(false, CanModifyGroup()) ? 1 : 0; }
int CanDeleteGroup(void) { return QORV_CONTACTS_ANSWER(false, CanDeleteGroup()) ? 1 : 0; }
void ShowNewGroup(void) { QORV_CONTACTS(ShowNewGroup()); }
void ShowNewGroupAtRoot(void) { QORV_CONTACTS(ShowNewGroupAtRoot()); }
void ShowModifyGroup(void) { QORV_CONTACTS(ShowModifyGroup()); }
void ShowDeleteGroup(void) { QORV_CONTACTS(ShowDeleteGroup()); }
void SetGroupSortPlan(int plan) { QORV_CONTACTS(SetGroupSortPlan(plan)); }
int GetGroupSortPlan(void) { return QORV_CONTACTS_ANSWER(0, GetGroupSortPlan()); }
void RefreshGroup(int value) { QORV_CONTACTS(RefreshGroup(value)); }
void RefreshContact(int value) { QORV_CONTACTS(RefreshContact(value)); }
void ShowImportAddressList(unsigned char flag) { QORV_CONTACTS(ShowImportAddressList(flag != 0)); }
void ShowExportAddressList(unsigned char flag) { QORV_CONTACTS(ShowExportAddressList(flag != 0)); }
void DelRecentContact(void) { QORV_CONTACTS(DelRecentContact()); }

void CallUserChat(void) {
    Reach([](CWindowManager& m) { m.CallUserChat(); });
}

void CallUserMsgHistory(void) {
    Reach([](CWindowManager& m) { m.CallUserMsgHistory(); });
}

int GetUserInfo(char* jid, int jidCap, char* tel, int telCap, char* workPhone, int workCap,
                char* homePhone, int homeCap, char* businessPhone, int businessCap,
                char* mobilePhone2, int mobile2Cap) {
    const auto numbers =
        Reach(CWindowManager::OwnNumbers{}, [](CWindowManager& m) { return m.GetUserInfo(); });
    return std::max({CopyOut(numbers.jid, jid, jidCap), CopyOut(numbers.tel, tel, telCap),
                     CopyOut(numbers.workPhone, workPhone, workCap),
                     CopyOut(numbers.homePhone, homePhone, homeCap),
                     CopyOut(numbers.businessPhone, businessPhone, businessCap),
                     CopyOut(numbers.mobilePhone2, mobilePhone2, mobile2Cap)});
}

// ---- Telephone, SMS and softphone

void CallContactTel(void) {
    Reach([](CWindowManager& m) { m.CallContactTel(); });
}

void CallPhone(int kind) {
    Reach([&](CWindowManager& m) { m.CallPhone(kind); });
}

void CallContactMail(void) {
    Reach([](CWindowManager& m) { m.CallContactMail(); });
}

int CanCallContactTel(void) { return 1; }
int CanCallContactMail(void) { return 1; }

void BindPhone(const char* number, int flag) {
    Reach([&](CWindowManager& m) {
        m.context().doors().libraries->BindPhone(std::string(InText(number)), flag);
    });
}

void ClearCurPhone(void) {
    Reach([](CWindowManager& m) { m.context().doors().settings->ClearCurPhones(); });
}

int GetCurBindPhone(char* buf, int cap) {
    return CopyOut(
        Reach(std::string(),
              [](CWindowManager& m) { return m.context().doors().settings->CurBindPhone(); }),
        buf, cap);
}

int GetIsCurSoftPhone(char* buf, int cap) {
    return CopyOut(
        Reach(std::string(),
              [](CWindowManager& m) { return m.context().doors().settings->IsSoftPhone(); }),
        buf, cap);
}

int GetCurSelUserTel(char* tel, int telCap, char* workPhone, int workCap, char* homePhone,
                     int homeCap, char* businessPhone, int businessCap, char* mobile,
                     int mobileCap) {
    const auto numbers = Reach(CWindowManager::SelectedNumbers{},
                               [](CWindowManager& m) { return m.GetCurSelUserTel(); });
    return std::max({CopyOut(numbers.tel, tel, telCap),
                     CopyOut(numbers.workPhone, workPhone, workCap),
                     CopyOut(numbers.homePhone, homePhone, homeCap),
                     CopyOut(numbers.businessPhone, businessPhone, businessCap),
                     CopyOut(numbers.mobile, mobile, mobileCap)});
}

void SetAcceptRegual(int flag) {
    Reach([&](CWindowManager& m) { m.SetAcceptRegual(flag); });
}

int GetCallStatus(void) { return 0; }

void ReceiveSMSMsg(const char* senderNumber, const char* content, const char* time,
                   const char* senderName) {
    Reach([&](CWindowManager& m) {
        m.ReceiveSMSMsg(InText(senderNumber), InText(content), InText(time), InText(senderName));
    });
}

void ShowAddNewPhoneDlg(void) { QORV_CONTACTS(ShowAddNewPhoneDialog()); }

// Telephone conferences and records have no window in this client.
void ShowNetTel(void) {}
void ShowAddTelConfDlg(int) {}
void ShowReserveConfDlg(void) {}
void ShowResConfMngDlg(void) {}
void ShowCallRecordDlg(void) {}
void ShowSMSRecordDlg(void) {}

#undef QORV_CONTACTS
#undef QORV_CONTACTS_ANSWER

// ---- Gateway presence, rooms and shared disk

#define QORV_MSN(status) \
    Reach([](CWindowManager& m) { m.SendMsnStatus(CWindowManager::MsnStatus::status); })

void ShowMsnOnline(void) { QORV_MSN(Online); }
void ShowMsnBusy(void) { QORV_MSN(Busy); }
void ShowMsnAway(void) { QORV_MSN(Away); }
void ShowMsnLeave(void) { QORV_MSN(Leave); }
void ShowMsnCall(void) { QORV_MSN(Call); }
void ShowMsnRepast(void) { QORV_MSN(Repast); }

#undef QORV_MSN

void ShowMsnOff(void) {}
void ShowSendMessage(void) {}
void ShowAddMsnContact(void) {}
int CanShowMsnMenu(void) { return 1; }

int CanSendMsnMsg(void) {
    return Reach(0, [](CWindowManager& m) { return m.CanSendMsnMsg() ? 1 : 0; });
}

void ShowConferenceProperty(void) {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceProperty(); });
}

void ShowConferenceCreate(void) {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceCreate(); });
}

void ShowConferenceLogout(void) {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceLogout(); });
}

void ShowConferenceListRefresh(void) {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceListRefresh(); });
}

int ShowShareDialog(int kind, void* owner) {
    return Reach(0, [&](CWindowManager& m) {
        return m.context().doors().libraries->ShowShareDialog(kind, owner);
    });
}

int RemoveShareDialog(void* dialog) {
    return Reach(0, [&](CWindowManager& m) {
        return m.context().doors().libraries->RemoveShareDialog(dialog);
    });
}

unsigned char SetShareNetDisk(const char* path, const char* users, int rights) {
    return Reach<unsigned char>(0, [&](CWindowManager& m) -> unsigned char {
        return m.context().doors().libraries->SetShareNetDisk(std::string(InText(path)),
                                                              std::string(InText(users)), rights)
                   ? 1
                   : 0;
    });
}

// ---- Text utilities

int UrlEncode(const char* text, char* buf, int cap) {
    return CopyOut(core::UrlEncode(InText(text)), buf, cap);
}

int SplitStringToArray(const char* text, const char* separators, QorvTokenSink sink, void* user,
                       int skipEmpty) {
    std::vector<std::string> tokens;
    const int count = core::SplitStringToArray(
        InText(text), InText(separators), tokens,
        skipEmpty != 0 ? core::EmptyTokens::Skip : core::EmptyTokens::Keep);
    if (sink != nullptr) {
        for (const std::string& token : tokens) {
            sink(user, token.c_str(),
                 static_cast<int>(std::min<std::size_t>(token.size(), INT_MAX)));
        }
    }
    return count;
}

int ConvertUtf8ToGBK(char* text, int cap) {
    if (text == nullptr || cap <= 0) return 0;
    const std::size_t length = strnlen(text, static_cast<std::size_t>(cap));
    std::string converted(text, length);
    core::ConvertUtf8ToGBK(converted);
    return CopyOut(converted, text, cap);
}

}  // extern "C"
