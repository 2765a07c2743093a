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
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QORVDESK_ABI_VERSION 1

/* Version of the conventions above; a host checks it after loading the library. */
int QorvdeskAbiVersion(void);

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
void InitWindows(QorvWindow hostMainWnd, QorvWindow hostClientWnd);
void FreeWindows(void);
void RecalcClientSize(int cx, int cy);
void SkinReload(void);
/* Non-zero when the key was consumed. */
int OnKeyDown(int key, int flags);
/* kind 0: login panel, 1: main tool bar, 2 and 3: the active window; 1 when consumed. */
unsigned char PreTranslateMessageForMenu(QorvMessage* message, int kind);
int OnIMParam(const QorvIMParam* param);
int GetShaoXSimpleWnd(void);
int GetVcardVersion(void);

/* ---- Session ---- */
void UserLogin(void);
void UserLogout(void);
int CanLogout(void);
unsigned char IsLogined(void);
int GetLoginStat(void);
unsigned int GetLoginWaitTimeOut(void);
void SetLoginWaitTimeOut(unsigned int milliseconds);
void ShowLoginingText(int a, int b, const char* text);
void ShowLoginingText1(const char* text);
void ChanngeStatus(const char* presenceWord);
int IsGoverUser(void);
/* The current user's nickname. */
int GetUserNameA(char* buf, int cap);
int GetECPUserAccount(char* buf, int cap);

/* ---- Windows and dialogs ---- */
void ShowChatWindow(void);
void ShowBatchChatWindow(void);
void ShowSendSmsWindow(int mode);
void ShowBatchMailWindow(void);
int CanBatchShowEmailMenu(void);
void ShowMsgManagerWindow(void);
void ShowSetWindow(int page);
void ShowMailConfigWindow(void);
void ShowChangePersonInfoWindow(void);
void ShowWebAdminManagerWindow(void);
int ShowSearchDialog(void);
void ShowNoticeIEWindow(void);
void ShowMailMonitor(void);
void ShowMemoWindow(void);

/* ---- Contacts and groups (the selection is that of the focused contact tree) ---- */
void ShowAddContact(void);
void ShowAddContactFromCurrentItem(int flag);
void ShowAddMobileContact(const char* mobileNumber);
int GetUserNameByPhone(const char* number, char* buf, int cap);
void ShowContactInfo(unsigned char ownDetails);
void ShowModifyContact(void);
void ShowDelContact(void);
int CanAddContact(void);
int CanNewGroup(void);
int CanModifyContact(void);
int CanDelContact(void);
int CanModifyGroup(void);
int CanDeleteGroup(void);
void ShowNewGroup(void);
void ShowNewGroupAtRoot(void);
void ShowModifyGroup(void);
void ShowDeleteGroup(void);
void SetGroupSortPlan(int plan);
int GetGroupSortPlan(void);
void RefreshGroup(int value);
void RefreshContact(int value);
void ShowImportAddressList(unsigned char flag);
void ShowExportAddressList(unsigned char flag);
void CallUserChat(void);
void CallUserMsgHistory(void);
void DelRecentContact(void);
/* The current user's JID and numbers, refreshed from the server first. */
int GetUserInfo(char* jid, int jidCap, char* tel, int telCap, char* workPhone, int workCap,
                char* homePhone, int homeCap, char* businessPhone, int businessCap,
                char* mobilePhone2, int mobile2Cap);

/* ---- Telephone, SMS and softphone ---- */
void CallContactTel(void);
/* kind 1: the mobile number; any other kind: the work number. */
void CallPhone(int kind);
void CallContactMail(void);
int CanCallContactTel(void);
int CanCallContactMail(void);
void BindPhone(const char* number, int flag);
void ClearCurPhone(void);
int GetCurBindPhone(char* buf, int cap);
int GetIsCurSoftPhone(char* buf, int cap);
/* The selected user's numbers. */
int GetCurSelUserTel(char* tel, int telCap, char* workPhone, int workCap, char* homePhone,
                     int homeCap, char* businessPhone, int businessCap, char* mobile,
                     int mobileCap);
void SetAcceptRegual(int flag);
int GetCallStatus(void);
/* An SMS the host received: who sent it (a number, anything from "@" on is dropped), its
 * text, its time and the sender's display name. */
void ReceiveSMSMsg(const char* senderNumber, const char* content, const char* time,
                   const char* senderName);
void ShowAddNewPhoneDlg(void);
void ShowNetTel(void);
void ShowAddTelConfDlg(int value);
void ShowReserveConfDlg(void);
void ShowResConfMngDlg(void);
void ShowCallRecordDlg(void);
void ShowSMSRecordDlg(void);

/* ---- Gateway presence, rooms and shared disk ---- */
void ShowMsnOnline(void);
void ShowMsnBusy(void);
void ShowMsnAway(void);
void ShowMsnLeave(void);
void ShowMsnCall(void);
void ShowMsnRepast(void);
void ShowMsnOff(void);
void ShowSendMessage(void);
void ShowAddMsnContact(void);
int CanShowMsnMenu(void);
int CanSendMsnMsg(void);
void ShowConferenceProperty(void);
void ShowConferenceCreate(void);
void ShowConferenceLogout(void);
void ShowConferenceListRefresh(void);
int ShowShareDialog(int kind, void* owner);
int RemoveShareDialog(void* dialog);
unsigned char SetShareNetDisk(const char* path, const char* users, int rights);

/* ---- Text utilities ---- */
/* Percent-encodes every byte that is not an ASCII letter or digit ("%20", "%D6%D0"). */
int UrlEncode(const char* text, char* buf, int cap);
/* Splits `text` at any byte of `separators`; answers the number of tokens handed to `sink`.
 * With `skipEmpty` non-zero, empty tokens are left out. */
int SplitStringToArray(const char* text, const char* separators, QorvTokenSink sink, void* user,
                       int skipEmpty);
/* Converts the zero-terminated UTF-8 text in `text` (a buffer of `cap` bytes) to GBK in
 * place; characters GBK lacks, and bytes that are not UTF-8, become '?'. Answers the new
 * length. */
int ConvertUtf8ToGBK(char* text, int cap);

#ifdef __cplusplus
}
#endif
