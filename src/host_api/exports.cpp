// The exported C functions: each reaches one method of theWindowManager (or, for the text
// utilities, one helper), converting arguments and results by the convention of exports.h.
// Each runs its work through ExportCall (export_call.h): the first call makes the library's
// objects, and nothing thrown crosses the C boundary. Without a window manager (the library's
// objects could not be made) each does nothing and answers 0.
#include "qorvdesk/exports.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <source_location>
#include <string>
#include <vector>

#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/room_service.h"
#include "core/doors/settings_service.h"
#include "core/text_utilities.h"
#include "host_api/c_strings.h"
#include "host_api/export_call.h"
#include "host_api/library.h"

namespace {

// Runs `action` on the window manager through ExportCall; answers `fallback` without one or
// when the action throws.
template <typename Result, typename Action>
Result Reach(Result fallback, Action action,
             const std::source_location where = std::source_location::current()) noexcept {
    return ExportCall(where, fallback, [&]() -> Result {
        EnsureLibraryObjects();
        if (theWindowManager == nullptr) return fallback;
        return action(*theWindowManager);
    });
}

template <typename Action>
void Reach(Action action,
           const std::source_location where = std::source_location::current()) noexcept {
    ExportCall(where, [&] {
        EnsureLibraryObjects();
        if (theWindowManager != nullptr) action(*theWindowManager);
    });
}

// Runs work that needs no window manager (the text utilities) through ExportCall.
template <typename Result, typename Work>
Result Compute(Result failure, Work work,
               const std::source_location where = std::source_location::current()) noexcept {
    return ExportCall(where, failure, work);
}

os::HWND Handle(QorvWindow window) { return os::HWND(window); }

}  // namespace

extern "C" {

// ---- Lifecycle and host plumbing

void InitWindows(QorvWindow hostMainWnd, QorvWindow hostClientWnd) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.InitWindows(Handle(hostMainWnd), Handle(hostClientWnd)); });
}

void FreeWindows(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.FreeWindows(); });
}

void RecalcClientSize(int cx, int cy) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.RecalcClientSize(cx, cy); });
}

void SkinReload(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.SkinReload(); });
}

int OnKeyDown(int key, int flags) QORV_NOEXCEPT {
    return Reach(0, [&](CWindowManager& m) { return m.OnKeyDown(key, flags); });
}

unsigned char PreTranslateMessageForMenu(QorvMessage* message, int kind) QORV_NOEXCEPT {
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

int OnIMParam(const QorvIMParam* param) QORV_NOEXCEPT {
    if (param == nullptr) return 0;
    return Reach(0,
                 [&](CWindowManager& m) { return m.OnIMParam(param->kind, InText(param->text)); });
}

int GetShaoXSimpleWnd(void) QORV_NOEXCEPT { return 0; }

int GetVcardVersion(void) QORV_NOEXCEPT {
    return Reach(0, [](CWindowManager& m) { return m.GetVcardVersion(); });
}

// ---- Session

void UserLogin(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.UserLogin(); });
}

void UserLogout(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.UserLogout(); });
}

int CanLogout(void) QORV_NOEXCEPT {
    return Reach(0, [](CWindowManager& m) { return m.CanLogout() ? 1 : 0; });
}

unsigned char IsLogined(void) QORV_NOEXCEPT {
    return Reach<unsigned char>(
        0, [](CWindowManager& m) -> unsigned char { return m.IsLogined() ? 1 : 0; });
}

int GetLoginStat(void) QORV_NOEXCEPT {
    return Reach(0, [](CWindowManager& m) { return m.GetLoginStat(); });
}

unsigned int GetLoginWaitTimeOut(void) QORV_NOEXCEPT {
    return Reach(0u, [](CWindowManager& m) { return m.GetLoginWaitTimeOut(); });
}

void SetLoginWaitTimeOut(unsigned int milliseconds) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.SetLoginWaitTimeOut(milliseconds); });
}

void ShowLoginingText(int, int, const char*) QORV_NOEXCEPT {}

void ShowLoginingText1(const char* text) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.ShowLoginingText1(InText(text)); });
}

void ChanngeStatus(const char* presenceWord) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.ChanngeStatus(InText(presenceWord)); });
}

int IsGoverUser(void) QORV_NOEXCEPT {
    return Reach(0, [](CWindowManager& m) { return m.IsGoverUser() ? 1 : 0; });
}

int GetUserNameA(char* buf, int cap) QORV_NOEXCEPT {
    return CopyOut(Reach(std::string(), [](CWindowManager& m) { return m.GetUserNameA(); }), buf,
                   cap);
}

int GetECPUserAccount(char* buf, int cap) QORV_NOEXCEPT {
    return CopyOut(Reach(std::string(), [](CWindowManager& m) { return m.GetECPUserAccount(); }),
                   buf, cap);
}

// ---- Windows and dialogs

void ShowChatWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowChatWindow(); });
}

void ShowBatchChatWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowBatchChatWindow(); });
}

void ShowSendSmsWindow(int mode) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.ShowSendSmsWindow(mode); });
}

void ShowBatchMailWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowBatchMailWindow(); });
}

int CanBatchShowEmailMenu(void) QORV_NOEXCEPT { return 1; }

void ShowMsgManagerWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowMsgManagerWindow(); });
}

void ShowSetWindow(int page) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.ShowSetWindow(page); });
}

void ShowMailConfigWindow(void) QORV_NOEXCEPT { ShowSetWindow(3); }

void ShowChangePersonInfoWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowChangePersonInfoWindow(); });
}

void ShowWebAdminManagerWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowWebAdminManagerWindow(); });
}

int ShowSearchDialog(void) QORV_NOEXCEPT {
    return Reach(0, [](CWindowManager& m) { return m.ShowSearchDialog(); });
}

void ShowNoticeIEWindow(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowNoticeIEWindow(); });
}

void ShowMailMonitor(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.ShowMailMonitor(); });
}

void ShowMemoWindow(void) QORV_NOEXCEPT {}

// ---- Contacts and groups: the contact work answers through its door.

#define QORV_CONTACTS(call) Reach([&](CWindowManager& m) { m.context().doors().contacts->call; })
#define QORV_CONTACTS_ANSWER(fallback, call) \
    Reach(fallback, [&](CWindowManager& m) { return m.context().doors().contacts->call; })

void ShowAddContact(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowAddContact()); }
void ShowAddContactFromCurrentItem(int flag) QORV_NOEXCEPT {
    QORV_CONTACTS(ShowAddContactFromCurrentItem(flag));
}

void ShowAddMobileContact(const char* mobileNumber) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.ShowAddMobileContact(InText(mobileNumber)); });
}

int GetUserNameByPhone(const char* number, char* buf, int cap) QORV_NOEXCEPT {
    return CopyOut(
        QORV_CONTACTS_ANSWER(std::string(), UserNameByPhone(std::string(InText(number)))), buf,
        cap);
}

void ShowContactInfo(unsigned char ownDetails) QORV_NOEXCEPT {
    QORV_CONTACTS(ShowContactInfo(ownDetails != 0));
}
void ShowModifyContact(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowModifyContact()); }
void ShowDelContact(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowDelContact()); }
int CanAddContact(void) QORV_NOEXCEPT {
    return QORV_CONTACTS_ANSWER(false, CanAddContact()) ? 1 : 0;
}
int CanNewGroup(void) QORV_NOEXCEPT { return QORV_CONTACTS_ANSWER(false, CanNewGroup()) ? 1 : 0; }
int CanModifyContact(void) QORV_NOEXCEPT {
    return QORV_CONTACTS_ANSWER(false, CanModifyContact()) ? 1 : 0;
}
int CanDelContact(void) QORV_NOEXCEPT {
    return QORV_CONTACTS_ANSWER(false, CanDelContact()) ? 1 : 0;
}
int CanModifyGroup(void) QORV_NOEXCEPT {
    return QORV_CONTACTS_ANSWER(false, CanModifyGroup()) ? 1 : 0;
}
int CanDeleteGroup(void) QORV_NOEXCEPT {
    return QORV_CONTACTS_ANSWER(false, CanDeleteGroup()) ? 1 : 0;
}
void ShowNewGroup(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowNewGroup()); }
void ShowNewGroupAtRoot(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowNewGroupAtRoot()); }
void ShowModifyGroup(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowModifyGroup()); }
void ShowDeleteGroup(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowDeleteGroup()); }
void SetGroupSortPlan(int plan) QORV_NOEXCEPT { QORV_CONTACTS(SetGroupSortPlan(plan)); }
int GetGroupSortPlan(void) QORV_NOEXCEPT { return QORV_CONTACTS_ANSWER(0, GetGroupSortPlan()); }
void RefreshGroup(int value) QORV_NOEXCEPT { QORV_CONTACTS(RefreshGroup(value)); }
void RefreshContact(int value) QORV_NOEXCEPT { QORV_CONTACTS(RefreshContact(value)); }
void ShowImportAddressList(unsigned char flag) QORV_NOEXCEPT {
    QORV_CONTACTS(ShowImportAddressList(flag != 0));
}
void ShowExportAddressList(unsigned char flag) QORV_NOEXCEPT {
    QORV_CONTACTS(ShowExportAddressList(flag != 0));
}
void DelRecentContact(void) QORV_NOEXCEPT { QORV_CONTACTS(DelRecentContact()); }

void CallUserChat(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.CallUserChat(); });
}

void CallUserMsgHistory(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.CallUserMsgHistory(); });
}

int GetUserInfo(char* jid, int jidCap, char* tel, int telCap, char* workPhone, int workCap,
                char* homePhone, int homeCap, char* businessPhone, int businessCap,
                char* mobilePhone2, int mobile2Cap) QORV_NOEXCEPT {
    const auto numbers =
        Reach(CWindowManager::OwnNumbers{}, [](CWindowManager& m) { return m.GetUserInfo(); });
    return std::max({CopyOut(numbers.jid, jid, jidCap), CopyOut(numbers.tel, tel, telCap),
                     CopyOut(numbers.workPhone, workPhone, workCap),
                     CopyOut(numbers.homePhone, homePhone, homeCap),
                     CopyOut(numbers.businessPhone, businessPhone, businessCap),
                     CopyOut(numbers.mobilePhone2, mobilePhone2, mobile2Cap)});
}

// ---- Telephone, SMS and softphone

void CallContactTel(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.CallContactTel(); });
}

void CallPhone(int kind) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.CallPhone(kind); });
}

void CallContactMail(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.CallContactMail(); });
}

int CanCallContactTel(void) QORV_NOEXCEPT { return 1; }
int CanCallContactMail(void) QORV_NOEXCEPT { return 1; }

void BindPhone(const char* number, int flag) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) {
        m.context().doors().libraries->BindPhone(std::string(InText(number)), flag);
    });
}

void ClearCurPhone(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.context().doors().settings->ClearCurPhones(); });
}

int GetCurBindPhone(char* buf, int cap) QORV_NOEXCEPT {
    return CopyOut(
        Reach(std::string(),
              [](CWindowManager& m) { return m.context().doors().settings->CurBindPhone(); }),
        buf, cap);
}

int GetIsCurSoftPhone(char* buf, int cap) QORV_NOEXCEPT {
    return CopyOut(
        Reach(std::string(),
              [](CWindowManager& m) { return m.context().doors().settings->IsSoftPhone(); }),
        buf, cap);
}

int GetCurSelUserTel(char* tel, int telCap, char* workPhone, int workCap, char* homePhone,
                     int homeCap, char* businessPhone, int businessCap, char* mobile,
                     int mobileCap) QORV_NOEXCEPT {
    const auto numbers = Reach(CWindowManager::SelectedNumbers{},
                               [](CWindowManager& m) { return m.GetCurSelUserTel(); });
    return std::max({CopyOut(numbers.tel, tel, telCap),
                     CopyOut(numbers.workPhone, workPhone, workCap),
                     CopyOut(numbers.homePhone, homePhone, homeCap),
                     CopyOut(numbers.businessPhone, businessPhone, businessCap),
                     CopyOut(numbers.mobile, mobile, mobileCap)});
}

void SetAcceptRegual(int flag) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) { m.SetAcceptRegual(flag); });
}

int GetCallStatus(void) QORV_NOEXCEPT { return 0; }

void ReceiveSMSMsg(const char* senderNumber, const char* content, const char* time,
                   const char* senderName) QORV_NOEXCEPT {
    Reach([&](CWindowManager& m) {
        m.ReceiveSMSMsg(InText(senderNumber), InText(content), InText(time), InText(senderName));
    });
}

void ShowAddNewPhoneDlg(void) QORV_NOEXCEPT { QORV_CONTACTS(ShowAddNewPhoneDialog()); }

// Telephone conferences and records have no window in this client.
void ShowNetTel(void) QORV_NOEXCEPT {}
void ShowAddTelConfDlg(int) QORV_NOEXCEPT {}
void ShowReserveConfDlg(void) QORV_NOEXCEPT {}
void ShowResConfMngDlg(void) QORV_NOEXCEPT {}
void ShowCallRecordDlg(void) QORV_NOEXCEPT {}
void ShowSMSRecordDlg(void) QORV_NOEXCEPT {}

#undef QORV_CONTACTS
#undef QORV_CONTACTS_ANSWER

// ---- Gateway presence, rooms and shared disk

#define QORV_MSN(status) \
    Reach([](CWindowManager& m) { m.SendMsnStatus(CWindowManager::MsnStatus::status); })

void ShowMsnOnline(void) QORV_NOEXCEPT { QORV_MSN(Online); }
void ShowMsnBusy(void) QORV_NOEXCEPT { QORV_MSN(Busy); }
void ShowMsnAway(void) QORV_NOEXCEPT { QORV_MSN(Away); }
void ShowMsnLeave(void) QORV_NOEXCEPT { QORV_MSN(Leave); }
void ShowMsnCall(void) QORV_NOEXCEPT { QORV_MSN(Call); }
void ShowMsnRepast(void) QORV_NOEXCEPT { QORV_MSN(Repast); }

#undef QORV_MSN

void ShowMsnOff(void) QORV_NOEXCEPT {}
void ShowSendMessage(void) QORV_NOEXCEPT {}
void ShowAddMsnContact(void) QORV_NOEXCEPT {}
int CanShowMsnMenu(void) QORV_NOEXCEPT { return 1; }

int CanSendMsnMsg(void) QORV_NOEXCEPT {
    return Reach(0, [](CWindowManager& m) { return m.CanSendMsnMsg() ? 1 : 0; });
}

void ShowConferenceProperty(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceProperty(); });
}

void ShowConferenceCreate(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceCreate(); });
}

void ShowConferenceLogout(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceLogout(); });
}

void ShowConferenceListRefresh(void) QORV_NOEXCEPT {
    Reach([](CWindowManager& m) { m.context().doors().rooms->ShowConferenceListRefresh(); });
}

int ShowShareDialog(int kind, void* owner) QORV_NOEXCEPT {
    return Reach(0, [&](CWindowManager& m) {
        return m.context().doors().libraries->ShowShareDialog(kind, owner);
    });
}

int RemoveShareDialog(void* dialog) QORV_NOEXCEPT {
    return Reach(0, [&](CWindowManager& m) {
        return m.context().doors().libraries->RemoveShareDialog(dialog);
    });
}

unsigned char SetShareNetDisk(const char* path, const char* users, int rights) QORV_NOEXCEPT {
    return Reach<unsigned char>(0, [&](CWindowManager& m) -> unsigned char {
        return m.context().doors().libraries->SetShareNetDisk(std::string(InText(path)),
                                                              std::string(InText(users)), rights)
                   ? 1
                   : 0;
    });
}

// ---- Text utilities

int UrlEncode(const char* text, char* buf, int cap) QORV_NOEXCEPT {
    return Compute(0, [&] { return CopyOut(core::UrlEncode(InText(text)), buf, cap); });
}

int SplitStringToArray(const char* text, const char* separators, QorvTokenSink sink, void* user,
                       int skipEmpty) QORV_NOEXCEPT {
    return Compute(0, [&] {
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
    });
}

int ConvertUtf8ToGBK(char* text, int cap) QORV_NOEXCEPT {
    if (text == nullptr || cap <= 0) return 0;
    return Compute(0, [&] {
        const std::size_t length = strnlen(text, static_cast<std::size_t>(cap));
        std::string converted(text, length);
        core::ConvertUtf8ToGBK(converted);
        return CopyOut(converted, text, cap);
    });
}

}  // extern "C"
