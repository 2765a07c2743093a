#pragma once
/*
 * The exported C functions of libqorvdesk.so, through which a host program drives the client.
 *
 * Conventions, the same for every function:
 *  - Strings passed in are `const char*`, zero-terminated GBK; a null pointer reads as "".
 *  - A string result is written into a caller buffer `(char* buf, int cap)`: at most cap-1
 *    bytes and a terminating zero (never half a GBK character); the function returns the
 *    length the whole result needs (without the zero), so a caller can size a second call.
 *    A null buffer or a cap below 1 writes nothing and still answers the length. A function
 *    filling several strings answers the longest length any of them needs.
 *  - A boolean result is an `int` (or `unsigned char` where the original used a byte): 1 or 0.
 *  - Window handles are opaque `QorvWindow` values issued by the library's window system.
 *  - An array result is handed to a caller callback, one call per element, in order.
 *
 * Every function runs on the host's UI thread (the thread that called InitWindows), and all
 * but RecalcClientSize and the text utilities expect InitWindows to have run.
 *
 * No function lets an exception out: what goes wrong inside is written to the library's log
 * and the function answers 0 (an empty string, nothing done). Loading the library makes
 * nothing; the first call makes the library's objects.
 */

#include <stdint.h>

/* Marks every function of the library's C interface: `noexcept` for a C++ host, nothing in C. */
#ifdef __cplusplus
#define QORV_NOEXCEPT noexcept
#else
#define QORV_NOEXCEPT
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define QORVDESK_ABI_VERSION 1

/* Version of the conventions above; a host checks it after loading the library. */
int QorvdeskAbiVersion(void) QORV_NOEXCEPT;

/* A window handle of the library's window system; 0 names no window. */
typedef uint32_t QorvWindow;

/* One window message, as PreTranslateMessageForMenu examines it. */
typedef struct QorvMessage {
    QorvWindow window;
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
} QorvMessage;

/* The request a second start of the program hands to the running one: kind 1 asks whether
 * `text` is the account logged in, kind 4 whether anyone is logged in, any other kind carries
 * a start command line ("username=...&talkid=..."). */
typedef struct QorvIMParam {
    int32_t kind;
    const char* text;
} QorvIMParam;

/* Receives the tokens of SplitStringToArray: one call per token, `token` zero-terminated. */
typedef void (*QorvTokenSink)(void* user, const char* token, int length);

/* ---- Lifecycle and host plumbing ---- */
void InitWindows(QorvWindow hostMainWnd, QorvWindow hostClientWnd) QORV_NOEXCEPT;
void FreeWindows(void) QORV_NOEXCEPT;
void RecalcClientSize(int cx, int cy) QORV_NOEXCEPT;
void SkinReload(void) QORV_NOEXCEPT;
/* Non-zero when the key was consumed. */
int OnKeyDown(int key, int flags) QORV_NOEXCEPT;
/* kind 0: login panel, 1: main tool bar, 2 and 3: the active window; 1 when consumed. */
unsigned char PreTranslateMessageForMenu(QorvMessage* message, int kind) QORV_NOEXCEPT;
int OnIMParam(const QorvIMParam* param) QORV_NOEXCEPT;
int GetShaoXSimpleWnd(void) QORV_NOEXCEPT;
int GetVcardVersion(void) QORV_NOEXCEPT;

/* ---- Session ---- */
void UserLogin(void) QORV_NOEXCEPT;
void UserLogout(void) QORV_NOEXCEPT;
int CanLogout(void) QORV_NOEXCEPT;
unsigned char IsLogined(void) QORV_NOEXCEPT;
int GetLoginStat(void) QORV_NOEXCEPT;
unsigned int GetLoginWaitTimeOut(void) QORV_NOEXCEPT;
void SetLoginWaitTimeOut(unsigned int milliseconds) QORV_NOEXCEPT;
void ShowLoginingText(int a, int b, const char* text) QORV_NOEXCEPT;
void ShowLoginingText1(const char* text) QORV_NOEXCEPT;
void ChanngeStatus(const char* presenceWord) QORV_NOEXCEPT;
int IsGoverUser(void) QORV_NOEXCEPT;
/* The current user's nickname. */
int GetUserNameA(char* buf, int cap) QORV_NOEXCEPT;
int GetECPUserAccount(char* buf, int cap) QORV_NOEXCEPT;

/* ---- Windows and dialogs ---- */
void ShowChatWindow(void) QORV_NOEXCEPT;
void ShowBatchChatWindow(void) QORV_NOEXCEPT;
void ShowSendSmsWindow(int mode) QORV_NOEXCEPT;
void ShowBatchMailWindow(void) QORV_NOEXCEPT;
int CanBatchShowEmailMenu(void) QORV_NOEXCEPT;
void ShowMsgManagerWindow(void) QORV_NOEXCEPT;
void ShowSetWindow(int page) QORV_NOEXCEPT;
void ShowMailConfigWindow(void) QORV_NOEXCEPT;
void ShowChangePersonInfoWindow(void) QORV_NOEXCEPT;
void ShowWebAdminManagerWindow(void) QORV_NOEXCEPT;
int ShowSearchDialog(void) QORV_NOEXCEPT;
void ShowNoticeIEWindow(void) QORV_NOEXCEPT;
void ShowMailMonitor(void) QORV_NOEXCEPT;
void ShowMemoWindow(void) QORV_NOEXCEPT;

/* ---- Contacts and groups (the selection is that of the focused contact tree) ---- */
void ShowAddContact(void) QORV_NOEXCEPT;
void ShowAddContactFromCurrentItem(int flag) QORV_NOEXCEPT;
void ShowAddMobileContact(const char* mobileNumber) QORV_NOEXCEPT;
int GetUserNameByPhone(const char* number, char* buf, int cap) QORV_NOEXCEPT;
void ShowContactInfo(unsigned char ownDetails) QORV_NOEXCEPT;
void ShowModifyContact(void) QORV_NOEXCEPT;
void ShowDelContact(void) QORV_NOEXCEPT;
int CanAddContact(void) QORV_NOEXCEPT;
int CanNewGroup(void) QORV_NOEXCEPT;
int CanModifyContact(void) QORV_NOEXCEPT;
int CanDelContact(void) QORV_NOEXCEPT;
int CanModifyGroup(void) QORV_NOEXCEPT;
int CanDeleteGroup(void) QORV_NOEXCEPT;
void ShowNewGroup(void) QORV_NOEXCEPT;
void ShowNewGroupAtRoot(void) QORV_NOEXCEPT;
void ShowModifyGroup(void) QORV_NOEXCEPT;
void ShowDeleteGroup(void) QORV_NOEXCEPT;
void SetGroupSortPlan(int plan) QORV_NOEXCEPT;
int GetGroupSortPlan(void) QORV_NOEXCEPT;
void RefreshGroup(int value) QORV_NOEXCEPT;
void RefreshContact(int value) QORV_NOEXCEPT;
void ShowImportAddressList(unsigned char flag) QORV_NOEXCEPT;
void ShowExportAddressList(unsigned char flag) QORV_NOEXCEPT;
void CallUserChat(void) QORV_NOEXCEPT;
void CallUserMsgHistory(void) QORV_NOEXCEPT;
void DelRecentContact(void) QORV_NOEXCEPT;
/* The current user's JID and numbers, refreshed from the server first. */
int GetUserInfo(char* jid, int jidCap, char* tel, int telCap, char* workPhone, int workCap,
                char* homePhone, int homeCap, char* businessPhone, int businessCap,
                char* mobilePhone2, int mobile2Cap) QORV_NOEXCEPT;

/* ---- Telephone, SMS and softphone ---- */
void CallContactTel(void) QORV_NOEXCEPT;
/* kind 1: the mobile number; any other kind: the work number. */
void CallPhone(int kind) QORV_NOEXCEPT;
void CallContactMail(void) QORV_NOEXCEPT;
int CanCallContactTel(void) QORV_NOEXCEPT;
int CanCallContactMail(void) QORV_NOEXCEPT;
void BindPhone(const char* number, int flag) QORV_NOEXCEPT;
void ClearCurPhone(void) QORV_NOEXCEPT;
int GetCurBindPhone(char* buf, int cap) QORV_NOEXCEPT;
int GetIsCurSoftPhone(char* buf, int cap) QORV_NOEXCEPT;
/* The selected user's numbers. */
int GetCurSelUserTel(char* tel, int telCap, char* workPhone, int workCap, char* homePhone,
                     int homeCap, char* businessPhone, int businessCap, char* mobile,
                     int mobileCap) QORV_NOEXCEPT;
void SetAcceptRegual(int flag) QORV_NOEXCEPT;
int GetCallStatus(void) QORV_NOEXCEPT;
/* An SMS the host received: who sent it (a number, anything from "@" on is dropped), its
 * text, its time and the sender's display name. */
void ReceiveSMSMsg(const char* senderNumber, const char* content, const char* time,
                   const char* senderName) QORV_NOEXCEPT;
void ShowAddNewPhoneDlg(void) QORV_NOEXCEPT;
void ShowNetTel(void) QORV_NOEXCEPT;
void ShowAddTelConfDlg(int value) QORV_NOEXCEPT;
void ShowReserveConfDlg(void) QORV_NOEXCEPT;
void ShowResConfMngDlg(void) QORV_NOEXCEPT;
void ShowCallRecordDlg(void) QORV_NOEXCEPT;
void ShowSMSRecordDlg(void) QORV_NOEXCEPT;

/* ---- Gateway presence, rooms and shared disk ---- */
void ShowMsnOnline(void) QORV_NOEXCEPT;
void ShowMsnBusy(void) QORV_NOEXCEPT;
void ShowMsnAway(void) QORV_NOEXCEPT;
void ShowMsnLeave(void) QORV_NOEXCEPT;
void ShowMsnCall(void) QORV_NOEXCEPT;
void ShowMsnRepast(void) QORV_NOEXCEPT;
void ShowMsnOff(void) QORV_NOEXCEPT;
void ShowSendMessage(void) QORV_NOEXCEPT;
void ShowAddMsnContact(void) QORV_NOEXCEPT;
int CanShowMsnMenu(void) QORV_NOEXCEPT;
int CanSendMsnMsg(void) QORV_NOEXCEPT;
void ShowConferenceProperty(void) QORV_NOEXCEPT;
void ShowConferenceCreate(void) QORV_NOEXCEPT;
void ShowConferenceLogout(void) QORV_NOEXCEPT;
void ShowConferenceListRefresh(void) QORV_NOEXCEPT;
int ShowShareDialog(int kind, void* owner) QORV_NOEXCEPT;
int RemoveShareDialog(void* dialog) QORV_NOEXCEPT;
unsigned char SetShareNetDisk(const char* path, const char* users, int rights) QORV_NOEXCEPT;

/* ---- Text utilities ---- */
/* Percent-encodes every byte that is not an ASCII letter or digit ("%20", "%D6%D0"). */
int UrlEncode(const char* text, char* buf, int cap) QORV_NOEXCEPT;
/* Splits `text` at any byte of `separators`; answers the number of tokens handed to `sink`.
 * With `skipEmpty` non-zero, empty tokens are left out. */
int SplitStringToArray(const char* text, const char* separators, QorvTokenSink sink, void* user,
                       int skipEmpty) QORV_NOEXCEPT;
/* Converts the zero-terminated UTF-8 text in `text` (a buffer of `cap` bytes) to GBK in
 * place; characters GBK lacks, and bytes that are not UTF-8, become '?'. Answers the new
 * length. */
int ConvertUtf8ToGBK(char* text, int cap) QORV_NOEXCEPT;

#ifdef __cplusplus
}
#endif
