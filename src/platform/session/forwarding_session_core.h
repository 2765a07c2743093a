#pragma once
// A SessionCore that hands every call to another engine, which can be replaced: the client's
// world holds one of these, so the engine behind it (the simulated server or a real XMPP
// server) is chosen when the configuration is known, after the client's objects took their
// reference to the session.
//
// Replace the target only while no other thread uses the session (before Init, or between a
// Free and the next Init).

#include <atomic>
#include <functional>
#include <utility>

#include "platform/session/session_core.h"

namespace platform {

class ForwardingSessionCore final : public SessionCore {
  public:
    explicit ForwardingSessionCore(SessionCore& target) : target_(&target) {}

    SessionCore& target() const { return *target_.load(); }
    void SetTarget(SessionCore& target) { target_.store(&target); }
    // Told first in Init and UpDateConfig (where the engine may change): it may SetTarget.
    void SetChooser(std::function<void()> chooser) { chooser_ = std::move(chooser); }
    int Init(os::Event* lostEvent, os::Event* notifyEvent, std::thread::id notifyThread) override {
        if (chooser_) chooser_();
        return target_.load()->Init(lostEvent, notifyEvent, notifyThread);
    }
    void Free() override { target_.load()->Free(); }
    NotifyRecord* GetNotify() override { return target_.load()->GetNotify(); }
    void FreeNotify(NotifyRecord* record) override { target_.load()->FreeNotify(record); }
    int CanUserLogin() override { return target_.load()->CanUserLogin(); }
    void StopCheckMainVerUpdate() override { target_.load()->StopCheckMainVerUpdate(); }
    void SetCurrentUserLoginType(std::string_view loginType) override {
        target_.load()->SetCurrentUserLoginType(loginType);
    }
    int Login(std::string_view userName, std::string_view password, int userKind,
              std::string_view extraText, int flag) override {
        return target_.load()->Login(userName, password, userKind, extraText, flag);
    }
    int Logout() override { return target_.load()->Logout(); }
    int ChangePresence(std::string_view presenceWord) override {
        return target_.load()->ChangePresence(presenceWord);
    }
    int GetServerPort() override { return target_.load()->GetServerPort(); }
    std::string GetCurrentUserJID() override { return target_.load()->GetCurrentUserJID(); }
    std::string GetCurrentUserNickName() override {
        return target_.load()->GetCurrentUserNickName();
    }
    std::string GetCurrentUserLimitName() override {
        return target_.load()->GetCurrentUserLimitName();
    }
    std::string GetCurrentUserAccount() override { return target_.load()->GetCurrentUserAccount(); }
    std::string GetCurrentUserPassword() override {
        return target_.load()->GetCurrentUserPassword();
    }
    void SetCurrentUserPassword(std::string_view password) override {
        target_.load()->SetCurrentUserPassword(password);
    }
    std::string GetCurrentUserTel() override { return target_.load()->GetCurrentUserTel(); }
    std::string GetCurrentUserWorkPhone() override {
        return target_.load()->GetCurrentUserWorkPhone();
    }
    std::string GetCurrentUserHomePhone() override {
        return target_.load()->GetCurrentUserHomePhone();
    }
    std::string GetCurrentUserBusinessPhone() override {
        return target_.load()->GetCurrentUserBusinessPhone();
    }
    std::string GetCurrentUserMobilePhone2() override {
        return target_.load()->GetCurrentUserMobilePhone2();
    }
    std::string GetHostName() override { return target_.load()->GetHostName(); }
    int GetUserType(std::string_view jid) override { return target_.load()->GetUserType(jid); }
    std::string GetUserLimitId(std::string_view jid) override {
        return target_.load()->GetUserLimitId(jid);
    }
    std::string GetUserJID(std::string_view account, int userType) override {
        return target_.load()->GetUserJID(account, userType);
    }
    int RefreshRoster(int mode) override { return target_.load()->RefreshRoster(mode); }
    int RefreshTelContactTop(int mode) override {
        return target_.load()->RefreshTelContactTop(mode);
    }
    int CheckCacheTimeVersion(std::string_view jid, std::string_view nameSpace, int value,
                              std::string_view cacheStamp) override {
        return target_.load()->CheckCacheTimeVersion(jid, nameSpace, value, cacheStamp);
    }
    int RequestGroupOnlineInfo(std::string_view nameSpace, std::string_view scope) override {
        return target_.load()->RequestGroupOnlineInfo(nameSpace, scope);
    }
    int GetServersTime(std::string_view jid) override {
        return target_.load()->GetServersTime(jid);
    }
    int RequestGroupChildren(os::HWND owner, std::string_view pathKey, int* result, int timeoutMs,
                             os::Event* done, int mode, int flag) override {
        return target_.load()->RequestGroupChildren(owner, pathKey, result, timeoutMs, done, mode,
                                                    flag);
    }
    int RequestOrganizeList(int kind, int mode) override {
        return target_.load()->RequestOrganizeList(kind, mode);
    }
    int QueryRootOnlineInfo(std::string_view units, std::string_view children, int mode) override {
        return target_.load()->QueryRootOnlineInfo(units, children, mode);
    }
    int QueryPersonInfo(std::string_view jid, int a, int b) override {
        return target_.load()->QueryPersonInfo(jid, a, b);
    }
    int QueryPersonInfo_refresh(std::string_view jid) override {
        return target_.load()->QueryPersonInfo_refresh(jid);
    }
    int QueryStatusInfo(std::string_view jid) override {
        return target_.load()->QueryStatusInfo(jid);
    }
    int QueryMobileVcards(std::string_view jid, int mode) override {
        return target_.load()->QueryMobileVcards(jid, mode);
    }
    int GetRootRequestCount(int tree) override { return target_.load()->GetRootRequestCount(tree); }
    int SetRequestWholeTreeValue(int value) override {
        return target_.load()->SetRequestWholeTreeValue(value);
    }
    int UpdateMyExtendInfo(std::string_view extensionXml) override {
        return target_.load()->UpdateMyExtendInfo(extensionXml);
    }
    int ModifyPersionInfo(const SlotData& info) override {
        return target_.load()->ModifyPersionInfo(info);
    }
    int AddContact(std::string_view jid, std::string_view nickname,
                   std::string_view group) override {
        return target_.load()->AddContact(jid, nickname, group);
    }
    int ModifyContact(std::string_view jid, std::string_view nickname, std::string_view group,
                      std::string_view previousGroup) override {
        return target_.load()->ModifyContact(jid, nickname, group, previousGroup);
    }
    int RemoveContact(std::string_view jid, std::string_view name,
                      std::string_view group) override {
        return target_.load()->RemoveContact(jid, name, group);
    }
    int SendRequestMsnContact(std::string_view address) override {
        return target_.load()->SendRequestMsnContact(address);
    }
    int ConfirmSubscribe(std::string_view jid, int accept) override {
        return target_.load()->ConfirmSubscribe(jid, accept);
    }
    int AddBudyGroup(std::string_view name, std::string_view name2,
                     std::string_view parent) override {
        return target_.load()->AddBudyGroup(name, name2, parent);
    }
    int ModifyBuddyGroup(std::string_view oldName, std::string_view newName) override {
        return target_.load()->ModifyBuddyGroup(oldName, newName);
    }
    int DeleteBudyGroup(std::string_view group) override {
        return target_.load()->DeleteBudyGroup(group);
    }
    int AddTelGroup(std::string_view name, std::string_view name2,
                    std::string_view parent) override {
        return target_.load()->AddTelGroup(name, name2, parent);
    }
    int ModifyTelGroup(std::string_view oldName, std::string_view newName) override {
        return target_.load()->ModifyTelGroup(oldName, newName);
    }
    int DeleteTelGroup(std::string_view group) override {
        return target_.load()->DeleteTelGroup(group);
    }
    int AddMobileContact(std::string_view group, std::string_view payload) override {
        return target_.load()->AddMobileContact(group, payload);
    }
    int ModifyMobileContact(std::string_view group, std::string_view payload,
                            std::string_view id) override {
        return target_.load()->ModifyMobileContact(group, payload, id);
    }
    int DeleteMobileContact(std::string_view group, std::string_view id) override {
        return target_.load()->DeleteMobileContact(group, id);
    }
    int SendChatMessage(std::string_view to, std::string_view body,
                        std::string_view font) override {
        return target_.load()->SendChatMessage(to, body, font);
    }
    int SendTelMessage(std::string_view to, std::string_view text, int nickFlag,
                       int timedFlag) override {
        return target_.load()->SendTelMessage(to, text, nickFlag, timedFlag);
    }
    int SendTimerSMS(std::string_view to, std::string_view text, std::string_view sendTime,
                     int nickFlag, int receiptFlag) override {
        return target_.load()->SendTimerSMS(to, text, sendTime, nickFlag, receiptFlag);
    }
    int BatchSendSms(std::string_view list, std::string_view text, int nickFlag,
                     int receiptFlag) override {
        return target_.load()->BatchSendSms(list, text, nickFlag, receiptFlag);
    }
    int SendInputStateMessage(std::string_view from, std::string_view to,
                              std::string_view state) override {
        return target_.load()->SendInputStateMessage(from, to, state);
    }
    int QuerySmsLimitInfo(int timed) override { return target_.load()->QuerySmsLimitInfo(timed); }
    int RequestInstantRoom(std::string_view roomJid) override {
        return target_.load()->RequestInstantRoom(roomJid);
    }
    int CreatePersistentRoom(std::string_view roomJid, std::string_view name) override {
        return target_.load()->CreatePersistentRoom(roomJid, name);
    }
    int DestroyRoom(std::string_view roomJid) override {
        return target_.load()->DestroyRoom(roomJid);
    }
    int EnterConferenceRoom(std::string_view roomJid, std::string_view nickname) override {
        return target_.load()->EnterConferenceRoom(roomJid, nickname);
    }
    int LeaveConferenceRoom(std::string_view roomJid) override {
        return target_.load()->LeaveConferenceRoom(roomJid);
    }
    int SendConferenceMessage(std::string_view roomJid, std::string_view text,
                              std::string_view font) override {
        return target_.load()->SendConferenceMessage(roomJid, text, font);
    }
    int ConferenceInvitation(std::string_view roomJid, std::string_view inviteeJid,
                             std::string_view reason) override {
        return target_.load()->ConferenceInvitation(roomJid, inviteeJid, reason);
    }
    int SetConferenceMembership(std::string_view roomJid, std::string_view userJid,
                                std::string_view affiliation) override {
        return target_.load()->SetConferenceMembership(roomJid, userJid, affiliation);
    }
    int ChangeConferenceSubject(std::string_view roomJid, std::string_view subject) override {
        return target_.load()->ChangeConferenceSubject(roomJid, subject);
    }
    int QueryConferenceMembersList(std::string_view roomJid) override {
        return target_.load()->QueryConferenceMembersList(roomJid);
    }
    int QueryConferenceInfo(std::string_view roomJid) override {
        return target_.load()->QueryConferenceInfo(roomJid);
    }
    int RefreshSelfConferenceList(int flag) override {
        return target_.load()->RefreshSelfConferenceList(flag);
    }
    int GrantConferenceVoice(std::string_view roomJid, std::string_view member) override {
        return target_.load()->GrantConferenceVoice(roomJid, member);
    }
    int RevokeConferenceVoice(std::string_view roomJid, std::string_view member) override {
        return target_.load()->RevokeConferenceVoice(roomJid, member);
    }
    int KickConferenceUser(std::string_view roomJid, std::string_view member) override {
        return target_.load()->KickConferenceUser(roomJid, member);
    }
    int RequestConferenceVoice(std::string_view roomJid) override {
        return target_.load()->RequestConferenceVoice(roomJid);
    }
    int SendFile(std::string_view peerJid, std::string_view filePath, std::string_view transferKey,
                 int flag) override {
        return target_.load()->SendFile(peerJid, filePath, transferKey, flag);
    }
    int RecvFile(std::string_view savePath, std::string_view transferKey) override {
        return target_.load()->RecvFile(savePath, transferKey);
    }
    int DenyFile(std::string_view transferKey) override {
        return target_.load()->DenyFile(transferKey);
    }
    int CancelFile(std::string_view transferKey) override {
        return target_.load()->CancelFile(transferKey);
    }
    int UseOfflineFileTrans(std::string_view transferKey) override {
        return target_.load()->UseOfflineFileTrans(transferKey);
    }
    std::string getFileLastSavePath() override { return target_.load()->getFileLastSavePath(); }
    int SendMsnStatusMessage(std::string_view gatewayJid, std::string_view statusText, int priority,
                             std::string_view show) override {
        return target_.load()->SendMsnStatusMessage(gatewayJid, statusText, priority, show);
    }
    int SendLogoffMsnMessage(std::string_view gatewayJid) override {
        return target_.load()->SendLogoffMsnMessage(gatewayJid);
    }
    int QueryDefaultMailMonitors() override { return target_.load()->QueryDefaultMailMonitors(); }
    int ChangeUserPassword(std::string_view oldPassword, std::string_view newPassword) override {
        return target_.load()->ChangeUserPassword(oldPassword, newPassword);
    }
    void UpDateConfig() override {
        if (chooser_) chooser_();
        target_.load()->UpDateConfig();
    }
    std::string GetINIString(std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::string_view file) override {
        return target_.load()->GetINIString(section, key, defaultValue, file);
    }
    int WriteINIInt(std::string_view section, std::string_view key, int value,
                    std::string_view file) override {
        return target_.load()->WriteINIInt(section, key, value, file);
    }
    void WriteLog(std::string_view text) override { target_.load()->WriteLog(text); }
    void WriteLog2(int level, std::string_view text) override {
        target_.load()->WriteLog2(level, text);
    }
    bool FileExists(std::string_view path) override { return target_.load()->FileExists(path); }
    std::string GetAppPath() override { return target_.load()->GetAppPath(); }

  private:
    std::atomic<SessionCore*> target_;
    std::function<void()> chooser_;
};

}  // namespace platform
