#pragma once
// SessionCore: the session engine the client imports. It speaks to the server and offers the
// client services; the client calls it, and everything the server answers comes back as
// notifications (notify_record.h) that the client fetches one at a time.
//
// Conventions:
// - Texts are GBK. A text argument the client may pass as "null" is passed empty.
// - Requests return at once; int results are non-zero when the request was accepted, unless
//   a function says otherwise (Login answers -1 for accepted, SendFile -1 for failure).
// - Every method may be called from any thread: the login worker, the notification thread
//   and the user-interface thread all use one engine.
//
// Notifications. When a record is queued the engine sets notifyEvent; when the connection is
// gone it sets lostEvent (both given at Init). GetNotify hands out the next record; the
// engine keeps owning it until it is given back with FreeNotify. Giving back null, a record
// twice, or a pointer the engine never issued does nothing. Records still out when the
// engine is destroyed are freed with it.
//
// Two implementations: SimSessionCore (sim_session_core.h), a session on the embedded
// simulated server, and later a real XMPP engine behind the same interface.

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "os/ui/hwnd.h"
#include "platform/jid/jid.h"
#include "platform/session/notify_record.h"

namespace os {
class Event;
}

namespace platform {

// CanUserLogin answers; any other value means "not decided yet, ask again".
inline constexpr int kCanLoginYes = 1;
inline constexpr int kCanLoginNo = 2;

// Login's answer for an attempt that was accepted (the result follows as a notification).
inline constexpr int kLoginAccepted = -1;
// SendFile's answer for a failure.
inline constexpr int kSendFileFailed = -1;
// GetRootRequestCount's names of the buddy roster ("iqRosterTop") and the private phone book
// ("privatePhoneTop"), apart from the organisation list kinds.
inline constexpr int kRosterRootTree = 1001;
inline constexpr int kPhoneBookRootTree = 1002;

class SessionCore {
  public:
    virtual ~SessionCore() = default;

    // ---- Life cycle ----

    // Gives the engine the two events it signals and the id of the thread that drains the
    // notifications. The events must stay alive until Free or the next Init. Non-zero on
    // success. Called again before a new login with fresh events.
    virtual int Init(os::Event* lostEvent, os::Event* notifyEvent,
                     std::thread::id notifyThread) = 0;
    // Ends the session, if any, and forgets the events. Records not yet given back stay valid.
    virtual void Free() = 0;

    // ---- Notifications ----

    virtual NotifyRecord* GetNotify() = 0;
    virtual void FreeNotify(NotifyRecord* record) = 0;

    // ---- Session ----

    // kCanLoginYes, kCanLoginNo, or anything else for "ask again later".
    virtual int CanUserLogin() = 0;
    // Stops the engine's own check for a new main version (asked while a login waits).
    virtual void StopCheckMainVerUpdate() = 0;
    // Empty for the normal login, "MOBILE" when the user name is a mobile number.
    virtual void SetCurrentUserLoginType(std::string_view loginType) = 0;
    // kLoginAccepted when the attempt was sent; its result arrives as a notification of type 0.
    // `userKind` 1 = government user, 2 = public user.
    virtual int Login(std::string_view userName, std::string_view password, int userKind,
                      std::string_view extraText, int flag) = 0;
    virtual int Logout() = 0;
    // A presence word: "online", "chat", "away", "xa", "dnd", "busy", "offline".
    virtual int ChangePresence(std::string_view presenceWord) = 0;
    virtual int GetServerPort() = 0;

    // ---- The current user ----

    virtual std::string GetCurrentUserJID() = 0;
    virtual std::string GetCurrentUserNickName() = 0;
    // The account name the user folder is named after.
    virtual std::string GetCurrentUserLimitName() = 0;
    virtual std::string GetCurrentUserAccount() = 0;
    virtual std::string GetCurrentUserPassword() = 0;
    virtual void SetCurrentUserPassword(std::string_view password) = 0;
    virtual std::string GetCurrentUserTel() = 0;
    virtual std::string GetCurrentUserWorkPhone() = 0;
    virtual std::string GetCurrentUserHomePhone() = 0;
    virtual std::string GetCurrentUserBusinessPhone() = 0;
    virtual std::string GetCurrentUserMobilePhone2() = 0;
    // The server domain.
    virtual std::string GetHostName() = 0;
    // kUserTypeGovernment, kUserTypePublic, kUserTypeSms or kUserTypeOther (jid.h).
    virtual int GetUserType(std::string_view jid) = 0;
    // The account name of a user JID (its local part without the user-kind marker).
    virtual std::string GetUserLimitId(std::string_view jid) = 0;
    // The JID of an account name for a user type (kUserTypeGovernment, kUserTypePublic, ...).
    virtual std::string GetUserJID(std::string_view account, int userType) = 0;

    // ---- Directory, roster and phone book ----

    virtual int RefreshRoster(int mode) = 0;
    virtual int RefreshTelContactTop(int mode) = 0;
    virtual int CheckCacheTimeVersion(std::string_view jid, std::string_view nameSpace, int value,
                                      std::string_view cacheStamp) = 0;
    virtual int RequestGroupOnlineInfo(std::string_view nameSpace, std::string_view scope) = 0;
    virtual int GetServersTime(std::string_view jid) = 0;
    // Children (timeoutMs > 0, `done` set when they are stored) or online information
    // (timeoutMs 0) of one organisation unit. `result` receives the outcome when given.
    virtual int RequestGroupChildren(os::HWND owner, std::string_view pathKey, int* result,
                                     int timeoutMs, os::Event* done, int mode, int flag) = 0;
    virtual int RequestOrganizeList(int kind, int mode) = 0;
    virtual int QueryRootOnlineInfo(std::string_view units, std::string_view children,
                                    int mode) = 0;
    virtual int QueryPersonInfo(std::string_view jid, int a, int b) = 0;
    virtual int QueryPersonInfo_refresh(std::string_view jid) = 0;
    virtual int QueryStatusInfo(std::string_view jid) = 0;
    virtual int QueryMobileVcards(std::string_view jid, int mode) = 0;
    // How many requests for a tree's root were made so far: an organisation list kind, or
    // kRosterRootTree / kPhoneBookRootTree.
    virtual int GetRootRequestCount(int tree) = 0;
    virtual int SetRequestWholeTreeValue(int value) = 0;
    // The user's own vCard extension (recent contacts and the like).
    virtual int UpdateMyExtendInfo(std::string_view extensionXml) = 0;
    // The user's own details, as the personal-info record's fields.
    virtual int ModifyPersionInfo(const SlotData& info) = 0;

    // ---- Contacts and groups ----

    virtual int AddContact(std::string_view jid, std::string_view nickname,
                           std::string_view group) = 0;
    virtual int ModifyContact(std::string_view jid, std::string_view nickname,
                              std::string_view group, std::string_view previousGroup) = 0;
    virtual int RemoveContact(std::string_view jid, std::string_view name,
                              std::string_view group) = 0;
    virtual int SendRequestMsnContact(std::string_view address) = 0;
    // `accept` non-zero accepts the requester's subscription, 0 refuses it.
    virtual int ConfirmSubscribe(std::string_view jid, int accept) = 0;
    virtual int AddBudyGroup(std::string_view name, std::string_view name2,
                             std::string_view parent) = 0;
    virtual int ModifyBuddyGroup(std::string_view oldName, std::string_view newName) = 0;
    virtual int DeleteBudyGroup(std::string_view group) = 0;
    virtual int AddTelGroup(std::string_view name, std::string_view name2,
                            std::string_view parent) = 0;
    virtual int ModifyTelGroup(std::string_view oldName, std::string_view newName) = 0;
    virtual int DeleteTelGroup(std::string_view group) = 0;
    virtual int AddMobileContact(std::string_view group, std::string_view payload) = 0;
    virtual int ModifyMobileContact(std::string_view group, std::string_view payload,
                                    std::string_view id) = 0;
    virtual int DeleteMobileContact(std::string_view group, std::string_view id) = 0;

    // ---- Messages and SMS ----

    virtual int SendChatMessage(std::string_view to, std::string_view body,
                                std::string_view font) = 0;
    virtual int SendTelMessage(std::string_view to, std::string_view text, int nickFlag,
                               int timedFlag) = 0;
    virtual int SendTimerSMS(std::string_view to, std::string_view text, std::string_view sendTime,
                             int nickFlag, int receiptFlag) = 0;
    // `list`: SMS JIDs separated by ";".
    virtual int BatchSendSms(std::string_view list, std::string_view text, int nickFlag,
                             int receiptFlag) = 0;
    // `state`: "composing" or "active".
    virtual int SendInputStateMessage(std::string_view from, std::string_view to,
                                      std::string_view state) = 0;
    // `timed` 1 asks for the timed quota, 0 for the immediate one.
    virtual int QuerySmsLimitInfo(int timed) = 0;

    // ---- Rooms ----

    virtual int RequestInstantRoom(std::string_view roomJid) = 0;
    virtual int CreatePersistentRoom(std::string_view roomJid, std::string_view name) = 0;
    virtual int DestroyRoom(std::string_view roomJid) = 0;
    virtual int EnterConferenceRoom(std::string_view roomJid, std::string_view nickname) = 0;
    virtual int LeaveConferenceRoom(std::string_view roomJid) = 0;
    virtual int SendConferenceMessage(std::string_view roomJid, std::string_view text,
                                      std::string_view font) = 0;
    virtual int ConferenceInvitation(std::string_view roomJid, std::string_view inviteeJid,
                                     std::string_view reason) = 0;
    // `affiliation`: "member", "none", ...
    virtual int SetConferenceMembership(std::string_view roomJid, std::string_view userJid,
                                        std::string_view affiliation) = 0;
    virtual int ChangeConferenceSubject(std::string_view roomJid, std::string_view subject) = 0;
    virtual int QueryConferenceMembersList(std::string_view roomJid) = 0;
    virtual int QueryConferenceInfo(std::string_view roomJid) = 0;
    virtual int RefreshSelfConferenceList(int flag) = 0;
    virtual int GrantConferenceVoice(std::string_view roomJid, std::string_view member) = 0;
    virtual int RevokeConferenceVoice(std::string_view roomJid, std::string_view member) = 0;
    virtual int KickConferenceUser(std::string_view roomJid, std::string_view member) = 0;
    virtual int RequestConferenceVoice(std::string_view roomJid) = 0;

    // ---- Files ----

    // kSendFileFailed on failure.
    virtual int SendFile(std::string_view peerJid, std::string_view filePath,
                         std::string_view transferKey, int flag) = 0;
    virtual int RecvFile(std::string_view savePath, std::string_view transferKey) = 0;
    virtual int DenyFile(std::string_view transferKey) = 0;
    virtual int CancelFile(std::string_view transferKey) = 0;
    // The sender moves an offered file to the offline route.
    virtual int UseOfflineFileTrans(std::string_view transferKey) = 0;
    // The folder last used for saving a received file.
    virtual std::string getFileLastSavePath() = 0;

    // ---- Gateways, mail, password ----

    virtual int SendMsnStatusMessage(std::string_view gatewayJid, std::string_view statusText,
                                     int priority, std::string_view show) = 0;
    virtual int SendLogoffMsnMessage(std::string_view gatewayJid) = 0;
    virtual int QueryDefaultMailMonitors() = 0;
    virtual int ChangeUserPassword(std::string_view oldPassword, std::string_view newPassword) = 0;

    // ---- Configuration and utilities ----

    // Rereads the engine's configuration after the login server changed.
    virtual void UpDateConfig() = 0;
    virtual std::string GetINIString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::string_view file) = 0;
    virtual int WriteINIInt(std::string_view section, std::string_view key, int value,
                            std::string_view file) = 0;
    virtual void WriteLog(std::string_view text) = 0;
    // `level` 0..7.
    virtual void WriteLog2(int level, std::string_view text) = 0;
    virtual bool FileExists(std::string_view path) = 0;
    // The application folder (face/, sound/, template/), ending in '/'.
    virtual std::string GetAppPath() = 0;
};

}  // namespace platform
