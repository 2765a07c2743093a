#include "rooms/dlg_room.h"

#include <algorithm>

#include "chat/dlg_contact_picker.h"
#include "chat/encoding/font_header.h"
#include "config/client_config.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "core/doors/web_service.h"
#include "core/window_messages.h"
#include "os/controls/button.h"
#include "os/controls/label.h"
#include "os/controls/tree_control.h"
#include "os/controls/web_view.h"
#include "os/prompt/message_box.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/jid/jid.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"
#include "rooms/conference_center.h"
#include "rooms/room_controls.h"
#include "rooms/room_rules.h"
#include "web/generic_http_client.h"

namespace id = rooms::control;
using rooms::Role;
using rooms::RoomKind;

CDlgRoom::CDlgRoom(CConferenceCenter& center, rooms::ConferenceRoom& room)
    : os::Window(center.context().windows), center_(center), room_(room) {}

CDlgRoom::~CDlgRoom() {
    if (IsWindow()) DestroyWindow();
}

bool CDlgRoom::Create(rooms::RoomEntry entry) {
    core::ClientContext& context = center_.context();
    context.windows.RegisterClass(core::kRoomWindowClass);
    CreateParams params;
    params.className = std::string(core::kRoomWindowClass);
    params.title = rooms::RoomTitle(room_.kind, room_.name);
    params.rect = os::Rect::FromSize(0, 0, rooms::kRoomWidth, rooms::kRoomHeight);
    if (!os::Window::Create(params)) return false;
    view_->AttachTo(context.windows, hwnd());
    input_->AttachTo(context.windows, hwnd());
    // Nothing may be sent until the room tells the user's own role.
    input_->SetEnabled(false);
    send_->SetEnabled(false);
    raiseHand_->SetVisible(false);
    for (os::Button* button : moderatorButtons_) button->SetVisible(false);
    RefreshTitleAndCounts();
    if (room_.kind == RoomKind::Persistent) {
        context.session.QueryConferenceMembersList(room_.jid);
        SetTimer(rooms::kMemberListTimer, rooms::kMemberListPeriodMs);
        SetTimer(rooms::kPresenceTimer, rooms::kPresencePeriodMs);
    }
    if (!room_.temporary()) {
        notice_->SetPage(rooms::NoticePageAddress({}, platform::Jid(room_.jid).LocalPart()));
    }
    if (entry == rooms::RoomEntry::Enter) {
        context.session.EnterConferenceRoom(room_.jid, platform::Jid(OwnJid()).UserId());
        context.session.QueryConferenceInfo(room_.jid);
    }
    entered_ = true;
    RebuildMembers();
    LayOutControls(params.rect.Width(), params.rect.Height());
    ShowWindow(os::SW_SHOW);
    return true;
}

void CDlgRoom::MakeControls() {
    core::ClientContext& context = center_.context();
    const std::string tempDir = context.folders.commonDir + "temp/";
    view_ = AddControl(std::make_unique<chat::CChatRichView>(
        id::kView, chat::ViewKind::ReadOnly, context.clock, context.folders.appDir, tempDir));
    for (const auto& [toolId, caption] :
         {std::pair{id::kFontTool, "字体"}, std::pair{id::kFaceTool, "表情"},
          std::pair{id::kPhraseTool, "常用语"}, std::pair{id::kCaptureTool, "截图"},
          std::pair{id::kHistoryTool, "历史消息"}}) {
        AddControl(std::make_unique<os::Button>(toolId, caption));
    }
    input_ = AddControl(std::make_unique<chat::CChatRichView>(
        id::kInput, chat::ViewKind::Editable, context.clock, context.folders.appDir, tempDir));
    send_ = AddControl(std::make_unique<os::Button>(id::kSend, "发送"));
    raiseHand_ = AddControl(std::make_unique<os::Button>(id::kRaiseHand, "举手"));
    memberCaption_ = AddControl(std::make_unique<os::Label>(id::kMemberCaption));
    members_ = AddControl(std::make_unique<os::TreeControl>(id::kMembers));
    const bool persistent = room_.kind == RoomKind::Persistent;
    AddControl(
        std::make_unique<os::Button>(id::kAddMembers, persistent ? "添加成员" : "添加参与者"));
    for (const auto& [commandId, caption] :
         {std::pair{id::kDeleteMember, "删除成员"}, std::pair{id::kGrantVoice, "允许发言"},
          std::pair{id::kRevokeVoice, "禁止发言"}, std::pair{id::kKick, "请出"},
          std::pair{id::kSubject, "修改主题"}}) {
        moderatorButtons_.push_back(AddControl(std::make_unique<os::Button>(commandId, caption)));
    }
    AddControl(std::make_unique<os::Button>(id::kBatchSms, "群发短信"));
    AddControl(std::make_unique<os::Button>(id::kProperties, "查看属性"));
    AddControl(std::make_unique<os::Button>(id::kRoomLog, "聊天记录"));
    noticeCaption_ = AddControl(std::make_unique<os::Label>(
        id::kNoticeCaption, os::Format("%s公告", center_.RoomTerm().c_str())));
    notice_ = AddControl(std::make_unique<os::WebView>(id::kNotice));
    noticeCaption_->SetVisible(!room_.temporary());
    notice_->SetVisible(!room_.temporary());
}

os::LRESULT CDlgRoom::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    switch (message) {
        case os::WM_CREATE:
            MakeControls();
            return 0;
        case os::WM_SIZE:
            LayOutControls(os::LOWORD(static_cast<os::WPARAM>(lParam)),
                           os::HIWORD(static_cast<os::WPARAM>(lParam)));
            return 0;
        case os::WM_CLOSE:
            CloseRoom();
            return 0;
        case os::WM_TIMER:
            if (wParam == rooms::kMemberListTimer) {
                center_.context().session.QueryConferenceMembersList(room_.jid);
            } else if (wParam == rooms::kPresenceTimer) {
                for (const auto& [key, member] : room_.members) {
                    center_.context().session.QueryStatusInfo(member.jid);
                }
            }
            return 0;
        case os::WM_COMMAND:
            OnCommand(static_cast<int>(wParam & 0xFFFF), static_cast<int>((wParam >> 16) & 0xFFFF));
            return 0;
        default:
            return os::Window::OnMessage(message, wParam, lParam);
    }
}

void CDlgRoom::OnCommand(int controlId, int code) {
    if (code != os::notify::kClicked) return;
    switch (controlId) {
        case id::kSend:
            Send();
            break;
        case id::kRaiseHand:
            RaiseHand();
            break;
        case id::kAddMembers:
            AddMembers();
            break;
        case id::kDeleteMember:
            DeleteSelectedMember();
            break;
        case id::kGrantVoice:
            GrantVoiceToSelected();
            break;
        case id::kRevokeVoice:
            RevokeVoiceFromSelected();
            break;
        case id::kKick:
            KickSelected();
            break;
        case id::kBatchSms:
            BatchSmsToSelected();
            break;
        case id::kProperties:
            center_.ShowConferenceProperty(room_.jid);
            break;
        case id::kSubject:
            ChangeSubject();
            break;
        case id::kRoomLog:
            ShowRoomLog();
            break;
        default:
            break;
    }
}

void CDlgRoom::CloseRoom() {
    if (!IsWindow() || closing_) return;
    closing_ = true;
    if (entered_) {
        center_.context().session.LeaveConferenceRoom(room_.jid);
        center_.context().session.QueryConferenceInfo(room_.jid);
        entered_ = false;
    }
    DestroyWindow();
}

// ---- Title, counts, members ----

void CDlgRoom::RefreshTitleAndCounts() {
    SetWindowText(rooms::RoomTitle(room_.kind, room_.name));
    memberCaption_->SetText(rooms::MemberCaption(room_.memberCount, room_.memberLimit));
}

std::string CDlgRoom::OwnJid() const { return center_.context().session.GetCurrentUserJID(); }

bool CDlgRoom::IsOwnOccupant(const rooms::MemberPresence& presence) const {
    const std::string own = OwnJid();
    if (!presence.realJid.empty()) {
        return platform::Jid::Equal(presence.realJid, own, platform::JidMatch::Loose, nullptr);
    }
    return os::EqualsNoCase(rooms::NicknameOfOccupant(presence.occupantJid),
                            platform::Jid(own).UserId());
}

std::string CDlgRoom::ModeratorName() const {
    for (const auto& [key, member] : room_.occupants) {
        if (member.role == Role::Moderator) return member.name;
    }
    return rooms::RoleLabel(room_.kind, Role::Moderator);
}

bool CDlgRoom::ModeratorOnline() const {
    return std::any_of(room_.occupants.begin(), room_.occupants.end(),
                       [](const auto& entry) { return entry.second.role == Role::Moderator; });
}

bool CDlgRoom::IsOwnMessage(const rooms::RoomMessage& message) const {
    if (!ownOccupant_.empty()) {
        return platform::Jid(message.occupantJid).ExactKey() ==
               platform::Jid(ownOccupant_).ExactKey();
    }
    return os::EqualsNoCase(rooms::NicknameOfOccupant(message.occupantJid),
                            platform::Jid(OwnJid()).UserId());
}

void CDlgRoom::OnMemberPresence(const rooms::MemberPresence& presence) {
    const Role role = rooms::RoleFromWord(presence.role);
    if (IsOwnOccupant(presence)) {
        if (role == Role::None) {
            entered_ = false;  // the room has let the user go: there is nothing to leave
            ownOccupant_.clear();
        } else {
            ownOccupant_ = presence.occupantJid;
        }
        ApplyOwnRole(role);
        return;
    }
    const std::string key = platform::Jid(presence.occupantJid).ExactKey();
    const auto known = room_.occupants.find(key);
    std::string name = presence.nickname.empty() ? rooms::NicknameOfOccupant(presence.occupantJid)
                                                 : presence.nickname;
    if (name.empty()) name = presence.occupantJid;
    if (role == Role::None) {
        if (known == room_.occupants.end()) return;
        if (room_.temporary()) ShowSystemLine(known->second.name + " 离开了多人聊天");
        room_.occupants.erase(known);
    } else {
        const bool newcomer = known == room_.occupants.end();
        rooms::RoomMember& member = room_.occupants[key];
        member.occupantJid = presence.occupantJid;
        member.jid = presence.realJid;
        member.name = name;
        member.affiliation = presence.affiliation;
        if (member.role != role) member.handRaised = false;
        member.role = role;
        if (newcomer && room_.temporary()) ShowSystemLine(name + " 进入了多人聊天");
        std::erase_if(room_.pendingInvitees, [&](const std::string& invitee) {
            return platform::Jid::Equal(invitee, presence.realJid, platform::JidMatch::Loose,
                                        nullptr);
        });
    }
    RebuildMembers();
}

void CDlgRoom::OnMemberList(const rooms::MemberList& /*list*/) { RebuildMembers(); }

void CDlgRoom::OnVoiceRequest(const rooms::VoiceRequest& request) {
    if (ownRole_ != Role::Moderator) return;
    const auto known = room_.occupants.find(platform::Jid(request.occupantJid).ExactKey());
    if (known == room_.occupants.end() || known->second.role != Role::Visitor) return;
    known->second.handRaised = true;
    RebuildMembers();
}

void CDlgRoom::SetInvitees(const std::vector<std::string>& invitees) {
    room_.pendingInvitees = invitees;
}

void CDlgRoom::RebuildMembers() {
    members_->DeleteAllItems();
    const std::vector<std::string> captions = rooms::MemberGroupCaptions(room_.kind);
    std::vector<os::TreeItem> groups;
    for (const std::string& caption : captions) groups.push_back(members_->InsertItem(caption));
    auto add = [&](std::size_t group, const rooms::RoomMember& member) {
        members_->InsertItem(rooms::MemberLine(room_.kind, member), 0, 0, groups[group]);
    };
    if (room_.kind == RoomKind::Persistent) {
        for (const auto& [key, member] : room_.members) {
            const bool admin = os::EqualsNoCase(member.affiliation, "owner") ||
                               os::EqualsNoCase(member.affiliation, "admin");
            add(admin ? 0 : 1, member);
        }
        // Guests present without membership follow the members, so that a moderator can
        // see a raised hand and give the voice.
        for (const auto& [key, guest] : room_.occupants) {
            if (!IsListedMember(guest)) add(1, guest);
        }
    } else {
        for (const auto& [key, member] : room_.occupants) {
            const bool second = groups.size() > 1 && member.role == Role::Visitor;
            add(second ? 1 : 0, member);
        }
    }
    for (os::TreeItem group : groups) members_->Expand(group, os::ExpandAction::Expand);
}

const rooms::RoomMember* CDlgRoom::SelectedMember() const {
    const os::TreeItem selected = members_->GetSelectedItem();
    if (selected == os::kNoTreeItem || members_->GetParent(selected) == os::kNoTreeItem) {
        return nullptr;
    }
    const std::string text = members_->GetItemText(selected);
    if (room_.kind == RoomKind::Persistent) {
        for (const auto& [key, member] : room_.members) {
            if (rooms::MemberLine(room_.kind, member) == text) return &member;
        }
    }
    for (const auto& [key, member] : room_.occupants) {
        if (rooms::MemberLine(room_.kind, member) == text) return &member;
    }
    return nullptr;
}

bool CDlgRoom::IsListedMember(const rooms::RoomMember& occupant) const {
    return !occupant.jid.empty() && room_.members.contains(platform::Jid(occupant.jid).ExactKey());
}

std::string CDlgRoom::CommandTarget(const rooms::RoomMember& member) {
    // A member of the list who is not present is named by its own JID.
    return member.occupantJid.empty() ? member.jid : member.occupantJid;
}

// ---- Own role ----

bool CDlgRoom::inputEnabled() const { return input_->enabled() && send_->enabled(); }

void CDlgRoom::ApplyOwnRole(Role role) {
    ownRole_ = role;
    const rooms::OwnRoleOutcome outcome =
        rooms::OwnRoleChange(room_.kind, role, room_.name, ModeratorName());
    input_->SetEnabled(outcome.inputEnabled);
    send_->SetEnabled(outcome.inputEnabled);
    raiseHand_->SetVisible(role == Role::Visitor);
    for (os::Button* button : moderatorButtons_) button->SetVisible(outcome.moderatorControls);
    const os::Rect rect = GetWindowRect();
    LayOutControls(rect.Width(), rect.Height());
    if (!outcome.systemLine.empty()) ShowSystemLine(outcome.systemLine);
    if (!outcome.tip.empty()) center_.context().noticePop.ShowTip(outcome.tip);
    if (outcome.close) CloseRoom();
}

void CDlgRoom::ShowSystemLine(const std::string& text) {
    view_->QueueNotice(rooms::SystemLine(text));
}

// ---- Messages ----

void CDlgRoom::OnMessage(const rooms::RoomMessage& message) {
    const std::string& nickname = message.nickname;
    const bool own = IsOwnMessage(message);
    if (rooms::IsFileNotice(message.content)) {
        if (own) {
            if (const std::optional<std::string> line = rooms::OwnFileNoticeLine(message.content)) {
                view_->AppendEncoded(*line);
            }
            return;
        }
        const std::vector<std::string> fields = rooms::FileNoticeFields(message.content);
        if (fields.size() < 3) return;  // not the four fields of a file notice
        // key, file name, size: the message view shows a file entry of its own.
        view_->AppendMessage(nickname, message.time,
                             "#(-3)#[" + fields[1] + "|" + fields[2] + "|" + fields[0] + "]");
        return;
    }
    const std::string speaker = own ? center_.context().session.GetCurrentUserNickName()
                                    : (nickname.empty() ? message.occupantJid : nickname);
    view_->AppendMessage(speaker, message.time, message.font + message.content);
}

void CDlgRoom::Send() {
    if (!inputEnabled()) return;
    core::ClientContext& context = center_.context();
    std::vector<std::string> pictures;
    const chat::EncodedInput encoded = chat::EncodeInputText(*input_, pictures_, pictures);
    if (const std::optional<rooms::SendRefusal> refusal = rooms::CheckRoomSend(encoded.body)) {
        if (refusal->shown == rooms::SendRefusal::Shown::Tip) {
            context.noticePop.ShowTip(refusal->text);
        } else {
            context.prompter.MessageBox(refusal->text, os::kDefaultCaption, os::MB_OK, hwnd());
        }
        SetFocus(id::kInput);
        return;
    }
    UploadPictures(pictures);
    context.session.SendConferenceMessage(room_.jid, encoded.body, chat::MakeFontHeader(*input_));
    input_->Clear();
    SetFocus(id::kInput);
}

void CDlgRoom::UploadPictures(const std::vector<std::string>& pictures) {
    core::ClientContext& context = center_.context();
    const std::string& url = context.config.OfflineUploadUrl;
    for (const std::string& picture : pictures) {
        const std::string path = context.folders.commonDir + "temp/" + picture;
        context.log.WriteLog(os::Format("上传图片:%s", path.c_str()));
        if (url.empty()) continue;
        web::GenericHttpClient client({.clock = &context.clock, .prompter = &context.prompter});
        client.UploadPicture(url, path);
    }
}

// ---- Commands ----

void CDlgRoom::RaiseHand() {
    if (ownRole_ != Role::Visitor) return;
    const rooms::RaiseHandOutcome outcome =
        rooms::RaiseHand(room_.kind, ModeratorName(), ModeratorOnline(),
                         center_.context().config.VirtualInteractionSubmitUrl);
    if (outcome.request) center_.context().session.RequestConferenceVoice(room_.jid);
    for (const std::string& line : outcome.lines) ShowSystemLine(line);
}

void CDlgRoom::AddMembers() {
    core::ClientContext& context = center_.context();
    const bool persistent = room_.kind == RoomKind::Persistent;
    const auto picked = chat::PickContactsFromTrees(context, center_.contactTrees(),
                                                    persistent ? "添加成员" : "添加参与者", hwnd());
    if (!picked || picked->empty()) return;
    if (!persistent) {
        for (const auto& contact : *picked) {
            context.session.ConferenceInvitation(room_.jid, contact.jid, rooms::kTemporaryReason);
            room_.pendingInvitees.push_back(contact.jid);
        }
        return;
    }
    std::vector<rooms::Candidate> candidates;
    for (const auto& contact : *picked) candidates.push_back({contact.jid, contact.name, true});
    const rooms::AddPlan plan = rooms::PlanAddMembers(
        candidates, room_.memberCount, room_.memberLimit, [this](const std::string& jid) {
            return room_.members.contains(platform::Jid(jid).ExactKey());
        });
    if (!plan.refusedText.empty()) context.prompter.MessageBox(plan.refusedText);
    if (!plan.skippedText.empty()) context.prompter.MessageBox(plan.skippedText);
    const std::string font = chat::MakeFontHeader(*input_);
    for (const std::string& jid : plan.added) {
        context.session.SetConferenceMembership(room_.jid, jid, "member");
        context.session.SendChatMessage(jid, os::Format("invite@%s", room_.jid.c_str()), font);
    }
    room_.memberCount = plan.countAfter;
    RefreshTitleAndCounts();
    if (plan.limitReached) context.prompter.MessageBox(std::string(rooms::kMemberLimitText));
}

void CDlgRoom::DeleteSelectedMember() {
    const rooms::RoomMember* member = SelectedMember();
    if (ownRole_ != Role::Moderator || room_.kind != RoomKind::Persistent || member == nullptr) {
        return;
    }
    core::ClientContext& context = center_.context();
    const std::string jid = member->jid;
    if (context.prompter.MessageBox(" 是否删除该成员？", os::kDefaultCaption, os::MB_YESNO,
                                    hwnd()) != os::IDYES) {
        return;
    }
    context.session.SetConferenceMembership(room_.jid, jid, "none");
    context.session.SendChatMessage(jid, os::Format("delete@%s", room_.jid.c_str()),
                                    chat::MakeFontHeader(*input_));
}

void CDlgRoom::GrantVoiceToSelected() {
    const rooms::RoomMember* member = SelectedMember();
    if (ownRole_ != Role::Moderator || member == nullptr) return;
    center_.context().session.GrantConferenceVoice(room_.jid, CommandTarget(*member));
}

void CDlgRoom::RevokeVoiceFromSelected() {
    const rooms::RoomMember* member = SelectedMember();
    if (ownRole_ != Role::Moderator || member == nullptr) return;
    center_.context().session.RevokeConferenceVoice(room_.jid, CommandTarget(*member));
}

void CDlgRoom::KickSelected() {
    const rooms::RoomMember* member = SelectedMember();
    if (ownRole_ != Role::Moderator || member == nullptr) return;
    center_.context().session.KickConferenceUser(room_.jid, CommandTarget(*member));
}

void CDlgRoom::BatchSmsToSelected() {
    std::string recipients;
    if (const rooms::RoomMember* member = SelectedMember()) {
        recipients = member->jid;
    } else {
        const auto& map = room_.kind == RoomKind::Persistent ? room_.members : room_.occupants;
        for (const auto& [key, member] : map) {
            if (member.jid.empty()) continue;
            if (!recipients.empty()) recipients += ";";
            recipients += member.jid;
        }
    }
    center_.context().doors().batch->OpenComposer({core::kComposerSms, recipients, {}});
}

void CDlgRoom::ChangeSubject() {
    if (ownRole_ != Role::Moderator) return;
    core::ClientContext& context = center_.context();
    os::InputRequest request;
    request.owner = hwnd();
    request.caption = "修改主题";
    request.prompt = "主题:";
    request.initialValue = room_.subject;
    const std::optional<std::string> subject = context.prompter.InputText(request);
    if (!subject) return;
    context.session.ChangeConferenceSubject(room_.jid, *subject);
}

void CDlgRoom::ShowRoomLog() {
    core::ClientContext& context = center_.context();
    context.doors().web->OpenFormInBrowser(context.config.ConferenceHistoryUrl,
                                           rooms::RoomLogQuery(OwnJid(), room_.name));
}

void CDlgRoom::ShowDissolved() {
    core::ClientContext& context = center_.context();
    context.prompter.MessageBox("很抱歉，该群组已经被解散！", "解散提示", os::MB_OK, hwnd());
    context.session.RefreshSelfConferenceList(0);
    CloseRoom();
}
