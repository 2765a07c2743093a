#pragma once
// A session on the embedded simulated server (sim_server.h): the SessionCore the client runs
// against in tests and demos. Each instance is one client's engine; attach several to one
// server to let a test play the other people.
//
// Requests the server carries out (login, logout, presence and the roster's online
// information, chat, typing, subscriptions, status queries, SMS, the roster and phone-book
// lists, a unit's children) answer as a real server would. Every other request is accepted
// while the session is logged in (0 when it is not; SendFile then answers kSendFileFailed),
// recorded in the call log, and answered with nothing yet: the work that needs a request's
// answer adds it to the server. Every request, carried out or not, is recorded in the call log.
//
// Test hooks: a login that never answers, a chosen CanUserLogin answer, records injected into
// the queue, a dropped connection, and the event the engine sets when a login has succeeded.

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/session/call_log.h"
#include "platform/session/notify_queue.h"
#include "platform/session/session_core.h"
#include "platform/session/session_utilities.h"
#include "platform/session/sim_server.h"

namespace platform {

class SimSessionCore final : public SessionCore {
  public:
    explicit SimSessionCore(std::shared_ptr<SimServer> server,
                            SessionUtilities utilities = SessionUtilities());
    ~SimSessionCore() override;
    SimSessionCore(const SimSessionCore&) = delete;
    SimSessionCore& operator=(const SimSessionCore&) = delete;

    int Init(os::Event* lostEvent, os::Event* notifyEvent, std::thread::id notifyThread) override;
    void Free() override;
    NotifyRecord* GetNotify() override;
    void FreeNotify(NotifyRecord* record) override;
    int CanUserLogin() override;
    void StopCheckMainVerUpdate() override;
    void SetCurrentUserLoginType(std::string_view loginType) override;
    int Login(std::string_view userName, std::string_view password, int userKind,
              std::string_view extraText, int flag) override;
    int Logout() override;
    int ChangePresence(std::string_view presenceWord) override;
    int GetServerPort() override;
    std::string GetCurrentUserJID() override;
    std::string GetCurrentUserNickName() override;
    std::string GetCurrentUserLimitName() override;
    std::string GetCurrentUserAccount() override;
    std::string GetCurrentUserPassword() override;
    void SetCurrentUserPassword(std::string_view password) override;
    std::string GetCurrentUserTel() override;
    std::string GetCurrentUserWorkPhone() override;
    std::string GetCurrentUserHomePhone() override;
    std::string GetCurrentUserBusinessPhone() override;
    std::string GetCurrentUserMobilePhone2() override;
    std::string GetHostName() override;
    int GetUserType(std::string_view jid) override;
    std::string GetUserLimitId(std::string_view jid) override;
    std::string GetUserJID(std::string_view account, int userType) override;
    int RefreshRoster(int mode) override;
    int RefreshTelContactTop(int mode) override;
    int CheckCacheTimeVersion(std::string_view jid, std::string_view nameSpace, int value,
                              std::string_view cacheStamp) override;
    int RequestGroupOnlineInfo(std::string_view nameSpace, std::string_view scope) override;
    int GetServersTime(std::string_view jid) override;
    int RequestGroupChildren(os::HWND owner, std::string_view pathKey, int* result, int timeoutMs,
                             os::Event* done, int mode, int flag) override;
    int RequestOrganizeList(int kind, int mode) override;
    int QueryRootOnlineInfo(std::string_view units, std::string_view children, int mode) override;
    int QueryPersonInfo(std::string_view jid, int a, int b) override;
    int QueryPersonInfo_refresh(std::string_view jid) override;
    int QueryStatusInfo(std::string_view jid) override;
    int QueryMobileVcards(std::string_view jid, int mode) override;
    int GetRootRequestCount(int tree) override;
    int SetRequestWholeTreeValue(int value) override;
    int UpdateMyExtendInfo(std::string_view extensionXml) override;
    int ModifyPersionInfo(const SlotData& info) override;
    int AddContact(std::string_view jid, std::string_view nickname,
                   std::string_view group) override;
    int ModifyContact(std::string_view jid, std::string_view nickname, std::string_view group,
                      std::string_view previousGroup) override;
    int RemoveContact(std::string_view jid, std::string_view name, std::string_view group) override;
    int SendRequestMsnContact(std::string_view address) override;
    int ConfirmSubscribe(std::string_view jid, int accept) override;
    int AddBudyGroup(std::string_view name, std::string_view name2,
                     std::string_view parent) override;
    int ModifyBuddyGroup(std::string_view oldName, std::string_view newName) override;
    int DeleteBudyGroup(std::string_view group) override;
    int AddTelGroup(std::string_view name, std::string_view name2,
                    std::string_view parent) override;
    int ModifyTelGroup(std::string_view oldName, std::string_view newName) override;
    int DeleteTelGroup(std::string_view group) override;
    int AddMobileContact(std::string_view group, std::string_view payload) override;
    int ModifyMobileContact(std::string_view group, std::string_view payload,
                            std::string_view id) override;
    int DeleteMobileContact(std::string_view group, std::string_view id) override;
    int SendChatMessage(std::string_view to, std::string_view body, std::string_view font) override;
    int SendTelMessage(std::string_view to, std::string_view text, int nickFlag,
                       int timedFlag) override;
    int SendTimerSMS(std::string_view to, std::string_view text, std::string_view sendTime,
                     int nickFlag, int receiptFlag) override;
    int BatchSendSms(std::string_view list, std::string_view text, int nickFlag,
                     int receiptFlag) override;
    int SendInputStateMessage(std::string_view from, std::string_view to,
                              std::string_view state) override;
    int QuerySmsLimitInfo(int timed) override;
    int RequestInstantRoom(std::string_view roomJid) override;
    int CreatePersistentRoom(std::string_view roomJid, std::string_view name) override;
    int DestroyRoom(std::string_view roomJid) override;
    int EnterConferenceRoom(std::string_view roomJid, std::string_view nickname) override;
    int LeaveConferenceRoom(std::string_view roomJid) override;
    int SendConferenceMessage(std::string_view roomJid, std::string_view text,
                              std::string_view font) override;
    int ConferenceInvitation(std::string_view roomJid, std::string_view inviteeJid,
                             std::string_view reason) override;
    int SetConferenceMembership(std::string_view roomJid, std::string_view userJid,
                                std::string_view affiliation) override;
    int ChangeConferenceSubject(std::string_view roomJid, std::string_view subject) override;
    int QueryConferenceMembersList(std::string_view roomJid) override;
    int QueryConferenceInfo(std::string_view roomJid) override;
    int RefreshSelfConferenceList(int flag) override;
    int GrantConferenceVoice(std::string_view roomJid, std::string_view member) override;
    int RevokeConferenceVoice(std::string_view roomJid, std::string_view member) override;
    int KickConferenceUser(std::string_view roomJid, std::string_view member) override;
    int RequestConferenceVoice(std::string_view roomJid) override;
    int SendFile(std::string_view peerJid, std::string_view filePath, std::string_view transferKey,
                 int flag) override;
    int RecvFile(std::string_view savePath, std::string_view transferKey) override;
    int DenyFile(std::string_view transferKey) override;
    int CancelFile(std::string_view transferKey) override;
    int UseOfflineFileTrans(std::string_view transferKey) override;
    std::string getFileLastSavePath() override;
    int SendMsnStatusMessage(std::string_view gatewayJid, std::string_view statusText, int priority,
                             std::string_view show) override;
    int SendLogoffMsnMessage(std::string_view gatewayJid) override;
    int QueryDefaultMailMonitors() override;
    int ChangeUserPassword(std::string_view oldPassword, std::string_view newPassword) override;
    void UpDateConfig() override;
    std::string GetINIString(std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::string_view file) override;
    int WriteINIInt(std::string_view section, std::string_view key, int value,
                    std::string_view file) override;
    void WriteLog(std::string_view text) override;
    void WriteLog2(int level, std::string_view text) override;
    bool FileExists(std::string_view path) override;
    std::string GetAppPath() override;

    // ---- Test hooks ----

    // The next Login is accepted but never answered: no result, no login event.
    void SetNextLoginNeverAnswers();
    // CanUserLogin answers `answer` from now on; nullopt restores the default (kCanLoginYes).
    void SetCanUserLoginAnswer(std::optional<int> answer);
    // Queues a record as if the server had sent it (sets the notify event).
    void Inject(NotifyRecord record);
    // The connection goes: the session is logged out, the contacts see "offline" and the lost
    // event is set. False when the session was not connected.
    bool DropConnection();
    // Set when a login has fully succeeded (the client's named "LoginEvent"). May be null.
    void SetLoginEvent(os::Event* loginEvent);
    // Where a unit's children go when the client asks for them (RequestGroupChildren with a
    // time-out): the client's directory store of the logged-in user. Without one the
    // children are not stored; a store that fails makes the request answer 0.
    using DirectoryStore =
        std::function<bool(std::string_view unitKey, const std::vector<DirectoryChild>& children)>;
    void SetDirectoryStore(DirectoryStore store);
    // While held, a request for a unit's children is accepted and never answered: nothing is
    // stored and its event stays unset (a server that does not answer in time).
    void HoldDirectoryAnswers(bool held);
    // Told after each record the server queues for this session, on the thread that caused
    // it and with the server's lock held: it may post work elsewhere, never call the server.
    // Participants of the server itself (the demo world's bots) learn of their mail so,
    // without a thread that waits for it. Empty: nobody is told.
    void SetDeliveryHook(std::function<void()> hook);

    const CallLog& calls() const { return calls_; }
    CallLog& calls() { return calls_; }
    SimServer& server() const { return *server_; }
    // Records queued and not yet taken / taken and not yet given back.
    std::size_t QueuedCount() const { return queue_.QueuedCount(); }
    std::size_t IssuedCount() const { return queue_.IssuedCount(); }
    // The thread id given at Init.
    std::thread::id NotifyThread() const;

  private:
    friend class SimServer;
    friend class SimFileTransfers;
    friend class sim::RoomCall;

    // ---- Called by the server, with its lock held ----
    void Deliver(NotifyRecord record, OnGiveBack onGiveBack = OnGiveBack::Nothing);
    void SignalLost() { queue_.SignalLost(); }
    void SignalLoginSucceeded();

    bool LoggedIn() const;
    // A request the server does not carry out yet: accepted while logged in.
    int Accepted() const { return LoggedIn() ? 1 : 0; }
    // A text of the logged-in account, or empty.
    template <typename Field>
    std::string AccountText(Field field) const;

    std::shared_ptr<SimServer> server_;
    const SessionUtilities utilities_;
    NotifyQueue queue_;
    CallLog calls_;

    mutable std::mutex mutex_;  // the fields below
    bool initialised_ = false;
    std::thread::id notifyThread_;
    bool nextLoginSilent_ = false;
    std::optional<int> canLoginAnswer_;
    os::Event* loginEvent_ = nullptr;
    std::string loginType_;
    std::string loginPassword_;
    std::optional<std::string> passwordOverride_;
    std::string lastSaveFolder_;
    int wholeTreeValue_ = 0;
    std::vector<std::pair<int, int>> rootRequests_;  // (tree kind, count)
    DirectoryStore directoryStore_;
    bool directoryHeld_ = false;
    std::function<void()> deliveryHook_;
};

}  // namespace platform
