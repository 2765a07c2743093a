#include "rooms/conference_center.h"

#include <algorithm>

#include "chat/transfer/transfer_list.h"
#include "config/client_config.h"
#include "contacts/main_panel_layout.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/controls/tree_control.h"
#include "os/prompt/message_box.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"
#include "platform/session/session_core.h"
#include "rooms/dlg_room.h"

using rooms::RoomKind;

CConferenceCenter::CConferenceCenter(core::ClientContext& context, contacts::ContactTrees* trees)
    : context_(context), trees_(trees) {}

CConferenceCenter::~CConferenceCenter() {
    // The windows go with their records; no room is left from here (the session is gone).
    std::map<std::string, RoomPtr, std::less<>> rooms;
    {
        std::lock_guard lock(mutex_);
        rooms.swap(rooms_);
    }
    for (auto& [key, room] : rooms) {
        if (room->window != nullptr && room->window->IsWindow()) room->window->DestroyWindow();
    }
}

std::string CConferenceCenter::RoomTerm() const {
    return context_.config.SelfRoomTitle.empty() ? std::string("群")
                                                 : context_.config.SelfRoomTitle;
}

// ---- The map ----

CConferenceCenter::RoomPtr CConferenceCenter::Find(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    const auto found = rooms_.find(rooms::RoomKey(jid));
    return found == rooms_.end() ? nullptr : found->second;
}

CConferenceCenter::RoomPtr CConferenceCenter::FindByWindow(os::HWND window) const {
    std::lock_guard lock(mutex_);
    for (const auto& [key, room] : rooms_) {
        if (room->window != nullptr && room->window->hwnd() == window) return room;
    }
    return nullptr;
}

std::size_t CConferenceCenter::RoomCount() const {
    std::lock_guard lock(mutex_);
    return rooms_.size();
}

std::vector<std::string> CConferenceCenter::RoomJids() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> jids;
    for (const auto& [key, room] : rooms_) jids.push_back(room->jid);
    return jids;
}

CConferenceCenter::RoomPtr CConferenceCenter::Insert(RoomPtr room) {
    std::lock_guard lock(mutex_);
    const auto [at, inserted] = rooms_.try_emplace(rooms::RoomKey(room->jid), room);
    return at->second;
}

void CConferenceCenter::Remove(const std::string& jid) {
    RoomPtr room;
    {
        std::lock_guard lock(mutex_);
        const auto found = rooms_.find(rooms::RoomKey(jid));
        if (found == rooms_.end()) return;
        room = found->second;
        rooms_.erase(found);
    }
    if (room->window != nullptr && room->window->IsWindow()) room->window->CloseRoom();
    RemoveNode(jid);
}

std::string CConferenceCenter::NewRoomJid() const {
    return os::Format("%s@conference.%s", chat::NewTransferKey().c_str(),
                      context_.session.GetHostName().c_str());
}

// ---- Windows ----

CDlgRoom* CConferenceCenter::OpenWindow(Room& room, rooms::RoomEntry entry) {
    if (room.window != nullptr && room.window->IsWindow()) {
        room.window->ShowWindow(os::SW_SHOW);
        return room.window.get();
    }
    room.window = std::make_unique<CDlgRoom>(*this, room);
    if (!room.window->Create(entry)) {
        room.window.reset();
        return nullptr;
    }
    return room.window.get();
}

bool CConferenceCenter::ShowConferenceRoom(std::string_view jid) {
    const RoomPtr room = Find(jid);
    if (room == nullptr) {
        context_.log.WriteLog(os::Format("CConferenceCenter::ShowConferenceRoom Cannot found %s",
                                         std::string(jid).c_str()));
        return false;
    }
    return OpenWindow(*room) != nullptr;
}

bool CConferenceCenter::ShowConferenceProperty(std::string_view jid) {
    const RoomPtr room = Find(jid);
    if (room == nullptr) {
        context_.log.WriteLog(os::Format(
            "CConferenceCenter::ShowConferenceProperty Cannot found %s", std::string(jid).c_str()));
        return false;
    }
    const std::string text =
        os::Format("名称: %s\r\n主题: %s\r\n成员: %d/%d", room->name.c_str(), room->subject.c_str(),
                   room->memberCount, room->memberLimit);
    context_.prompter.MessageBox(text, os::Format("%s属性", RoomTerm().c_str()), os::MB_OK);
    return true;
}

// ---- Creating, leaving, listing ----

bool CConferenceCenter::CreateInstantRoom(const std::vector<std::string>& invitees,
                                          bool alternative) {
    auto record = std::make_shared<Room>();
    record->jid = NewRoomJid();
    record->name = std::string(rooms::kTemporaryRoomName);
    record->kind = alternative ? RoomKind::InstantAlternative : RoomKind::Temporary;
    record->pendingInvitees = invitees;
    const RoomPtr room = Insert(record);
    // The request itself puts the user into the new room.
    CDlgRoom* window = OpenWindow(*room, rooms::RoomEntry::AskedAlready);
    context_.session.RequestInstantRoom(room->jid);
    for (const std::string& invitee : invitees) {
        context_.session.ConferenceInvitation(room->jid, invitee, rooms::kTemporaryReason);
    }
    if (window == nullptr) return false;
    window->SetInvitees(invitees);
    return true;
}

void CConferenceCenter::CreateInstantRoom(const std::vector<std::string>& invitees) {
    CreateInstantRoom(invitees, false);
}

bool CConferenceCenter::CreatePersistentRoom() {
    os::InputRequest request;
    request.caption = os::Format("创建%s", RoomTerm().c_str());
    request.prompt = os::Format("%s名称:", RoomTerm().c_str());
    request.maxBytes = 64;
    const std::optional<std::string> name = context_.prompter.InputText(request);
    if (!name) return false;
    const std::string trimmed = os::Trim(*name);
    if (trimmed.empty()) return false;
    return CreatePersistentRoom(trimmed);
}

bool CConferenceCenter::CreatePersistentRoom(const std::string& name) {
    auto record = std::make_shared<Room>();
    record->jid = NewRoomJid();
    record->name = name;
    record->affiliation = std::string(rooms::kOwnerAffiliation);
    record->kind = RoomKind::Persistent;
    const RoomPtr room = Insert(record);
    context_.session.CreatePersistentRoom(room->jid, name);
    AddNode(*room, true);
    return true;
}

bool CConferenceCenter::LeaveOrDestroySelected() {
    const RoomPtr room = SelectedRoom();
    if (room == nullptr) return false;
    const std::string term = RoomTerm();
    const os::UINT style = os::MB_YESNO | os::MB_ICONQUESTION | os::MB_DEFBUTTON2;
    const bool owner = os::EqualsNoCase(room->affiliation, rooms::kOwnerAffiliation);
    const std::string question =
        owner
            ? os::Format("您是这个%s的创建者，如果退出，将永久删除它。确认要删除吗？", term.c_str())
            : os::Format("确认退出%s吗? \r\n如果退出，只有%s管理员才能重新把您加入。", term.c_str(),
                         term.c_str());
    if (context_.prompter.MessageBox(question, os::kDefaultCaption, style) != os::IDYES) {
        return false;
    }
    if (owner) {
        context_.session.DestroyRoom(room->jid);
    } else {
        context_.session.SetConferenceMembership(room->jid, context_.session.GetCurrentUserJID(),
                                                 "none");
    }
    Remove(room->jid);
    return true;
}

bool CConferenceCenter::RefreshOwnRoomList() {
    // The flag tells the server whether a window titled with a known room's name is open.
    bool titled = false;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [key, room] : rooms_) {
            if (!room->name.empty() && context_.windows.FindWindow({}, room->name) != os::HWND{}) {
                titled = true;
                break;
            }
        }
    }
    return context_.session.RefreshSelfConferenceList(titled ? 1 : 0) != 0;
}

void CConferenceCenter::QueryInfoOfSelected() {
    if (const RoomPtr room = SelectedRoom()) context_.session.QueryConferenceInfo(room->jid);
}

// ---- The door ----

void CConferenceCenter::Init() {
    os::Window* panel = context_.windows.FromHandle(context_.windowManager().MainPanel());
    if (panel == nullptr || panel->FindControl(rooms::kRoomTreeId) != nullptr) return;
    auto tree = std::make_unique<os::TreeControl>(rooms::kRoomTreeId);
    tree->SetText(RoomTerm());
    panel->AddControl(std::move(tree));
    contacts::LayOutMainPanelTrees(*panel);
}

void CConferenceCenter::LeaveAllRooms() {
    std::map<std::string, RoomPtr, std::less<>> rooms;
    {
        std::lock_guard lock(mutex_);
        rooms.swap(rooms_);
    }
    for (auto& [key, room] : rooms) {
        if (room->window != nullptr && room->window->IsWindow()) room->window->CloseRoom();
    }
    if (os::TreeControl* tree = RoomTree()) tree->DeleteAllItems();
    nodes_.clear();
}

void CConferenceCenter::ReenterLostRooms() {
    std::vector<RoomPtr> open;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [key, room] : rooms_) {
            if (room->window != nullptr && room->window->IsWindow()) open.push_back(room);
        }
    }
    const std::string nickname = platform::Jid(context_.session.GetCurrentUserJID()).UserId();
    for (const RoomPtr& room : open) context_.session.EnterConferenceRoom(room->jid, nickname);
}

void CConferenceCenter::ShowConferenceProperty() {
    if (const RoomPtr room = SelectedRoom()) ShowConferenceProperty(room->jid);
}

void CConferenceCenter::ShowConferenceCreate() { CreatePersistentRoom(); }

void CConferenceCenter::ShowConferenceLogout() { LeaveOrDestroySelected(); }

void CConferenceCenter::ShowConferenceListRefresh() { RefreshOwnRoomList(); }

bool CConferenceCenter::OnRoomKeyDown(os::HWND room, int key, int flags) {
    // Enter (without Ctrl) sends, as in the chat window.
    constexpr int kReturn = 0x0D;
    const RoomPtr record = FindByWindow(room);
    if (record == nullptr || record->window == nullptr || key != kReturn || flags != 0) {
        return false;
    }
    record->window->Send();
    return true;
}

// ---- The rooms branch ----

os::TreeControl* CConferenceCenter::RoomTree() const {
    os::Window* panel = context_.windows.FromHandle(context_.windowManager().MainPanel());
    return panel == nullptr ? nullptr : panel->GetControl<os::TreeControl>(rooms::kRoomTreeId);
}

CConferenceCenter::RoomPtr CConferenceCenter::SelectedRoom() const {
    os::TreeControl* tree = RoomTree();
    if (tree == nullptr) return nullptr;
    const os::TreeItem selected = tree->GetSelectedItem();
    if (selected == os::kNoTreeItem) return nullptr;
    for (const auto& [key, node] : nodes_) {
        if (node == selected) return Find(key);
    }
    return nullptr;
}

void CConferenceCenter::AddNode(const Room& room, bool select) {
    os::TreeControl* tree = RoomTree();
    if (tree == nullptr) return;
    const std::string key = rooms::RoomKey(room.jid);
    auto found = nodes_.find(key);
    if (found == nodes_.end() || !tree->IsValid(found->second)) {
        const os::TreeItem node = tree->InsertItem(room.name);
        found = nodes_.insert_or_assign(key, node).first;
    }
    if (select) tree->Select(found->second);
}

void CConferenceCenter::UpdateNode(const Room& room) {
    os::TreeControl* tree = RoomTree();
    const auto found = nodes_.find(rooms::RoomKey(room.jid));
    if (tree == nullptr || found == nodes_.end()) return;
    tree->SetItemText(found->second,
                      rooms::RoomNodeText(room.name, room.memberCount, room.memberLimit));
}

void CConferenceCenter::RemoveNode(const std::string& jid) {
    const auto found = nodes_.find(rooms::RoomKey(jid));
    if (found == nodes_.end()) return;
    if (os::TreeControl* tree = RoomTree()) tree->DeleteItem(found->second);
    nodes_.erase(found);
}

// ---- Notifications ----

CDlgRoom* CConferenceCenter::OpenWindowOf(const Room& room) {
    return room.window != nullptr && room.window->IsWindow() ? room.window.get() : nullptr;
}

void CConferenceCenter::OnInvitation(const rooms::Invitation& invitation) {
    if (Find(invitation.jid) != nullptr) return;
    auto record = std::make_shared<Room>();
    record->jid = rooms::RoomOfOccupant(invitation.jid);
    const bool temporary = os::EqualsNoCase(invitation.roomType, rooms::kTemporaryReason);
    record->kind = temporary ? RoomKind::Temporary : RoomKind::Persistent;
    record->name = temporary || invitation.name.empty() ? std::string(rooms::kTemporaryRoomName)
                                                        : invitation.name;
    const RoomPtr room = Insert(record);
    if (temporary) {
        OpenWindow(*room);
    } else {
        AddNode(*room, false);
    }
}

void CConferenceCenter::OnRoomList(const std::vector<rooms::RoomListEntry>& entries,
                                   RoomKind kind) {
    for (const rooms::RoomListEntry& entry : entries) {
        if (Find(entry.jid) != nullptr) continue;
        auto record = std::make_shared<Room>();
        record->jid = rooms::RoomOfOccupant(entry.jid);
        record->name = entry.name.empty() ? entry.jid : entry.name;
        record->affiliation = entry.affiliation;
        record->kind = kind;
        AddNode(*Insert(record), false);
    }
}

void CConferenceCenter::OnRoomInfo(const rooms::RoomInfo& info) {
    const RoomPtr room = Find(info.jid);
    if (room == nullptr) return;
    room->subject = info.subject;
    // A temporary room keeps its own name ("多人对话"); the server's is empty.
    if (!info.name.empty()) room->name = info.name;
    room->memberCount = info.count;
    room->memberLimit = info.limit;
    UpdateNode(*room);
    if (CDlgRoom* window = OpenWindowOf(*room)) window->RefreshTitleAndCounts();
}

CConferenceCenter::RoomPtr CConferenceCenter::FindOrAddSpeakingRoom(const std::string& jid) {
    RoomPtr room = Find(jid);
    if (room == nullptr) {
        auto record = std::make_shared<Room>();
        record->jid = jid;
        record->name = platform::Jid(jid).LocalPart();
        record->kind = RoomKind::Persistent;
        room = Insert(record);
        AddNode(*room, false);
    }
    return room;
}

void CConferenceCenter::OnMemberPresence(const rooms::MemberPresence& presence) {
    // Only an open window follows presence: the answer to its own leaving must not open it.
    const RoomPtr room = FindOrAddSpeakingRoom(rooms::RoomOfOccupant(presence.occupantJid));
    if (CDlgRoom* window = OpenWindowOf(*room)) window->OnMemberPresence(presence);
}

void CConferenceCenter::OnRoomMessage(const core::QueuedMessage& queued) {
    const std::optional<rooms::RoomMessage> message = rooms::ReadRoomMessage(queued);
    if (!message) return;
    const RoomPtr room = FindOrAddSpeakingRoom(rooms::RoomOfOccupant(message->occupantJid));
    if (CDlgRoom* window = OpenWindow(*room)) window->OnMessage(*message);
}

void CConferenceCenter::OnMemberCounts(const rooms::RoomCounts& counts) {
    const RoomPtr room = Find(counts.jid);
    if (room == nullptr) return;
    room->memberCount = counts.count;
    room->memberLimit = counts.limit;
    UpdateNode(*room);
    if (CDlgRoom* window = OpenWindowOf(*room)) window->RefreshTitleAndCounts();
}

void CConferenceCenter::OnMemberList(const rooms::MemberList& list) {
    const RoomPtr room = Find(list.jid);
    if (room == nullptr) return;
    room->members.clear();
    for (const rooms::MemberListEntry& entry : list.members) {
        rooms::RoomMember member;
        member.jid = entry.jid;
        member.name = entry.name.empty() ? entry.jid : entry.name;
        member.affiliation = entry.affiliation;
        member.role = rooms::RoleFromWord(entry.role);
        room->members.insert_or_assign(platform::Jid(entry.jid).ExactKey(), member);
    }
    if (CDlgRoom* window = OpenWindowOf(*room)) window->OnMemberList(list);
}

void CConferenceCenter::OnRoomError(const rooms::RoomError& error) {
    const RoomPtr room = Find(error.jid);
    CDlgRoom* window = room == nullptr ? nullptr : OpenWindowOf(*room);
    if (window == nullptr) {
        // A call about a room the user has already left (the leave of a temporary room that
        // ended with it, say): nothing is open to close, and nothing to tell.
        context_.log.WriteLog2(
            2, os::Format("CConferenceCenter: room error %s %s %s", error.jid.c_str(),
                          error.condition.c_str(), error.call.c_str()));
        return;
    }
    context_.prompter.MessageBox("群服务不可用或您已退出该群！", os::kDefaultCaption,
                                 os::MB_OK | os::MB_ICONINFORMATION);
    window->CloseRoom();
}

void CConferenceCenter::OnRoomRemoved(const rooms::RoomRemoved& removed) {
    const RoomPtr room = Find(removed.jid);
    if (room == nullptr) return;
    if (removed.reason != rooms::kRoomDestroyed) {
        Remove(room->jid);  // the user's membership was taken: the room leaves the list
        return;
    }
    if (CDlgRoom* window = OpenWindowOf(*room)) {
        window->ShowDissolved();
    } else {
        context_.prompter.MessageBox("很抱歉，该群组已经被解散！", "解散提示", os::MB_OK);
        context_.session.RefreshSelfConferenceList(0);
    }
    Remove(room->jid);
}

void CConferenceCenter::OnVoiceRequest(const rooms::VoiceRequest& request) {
    const RoomPtr room = Find(request.jid);
    if (room == nullptr) return;
    if (CDlgRoom* window = OpenWindowOf(*room)) window->OnVoiceRequest(request);
}
