#pragma once
// What the room window decides without a window: the send checks, the file notices, adding
// members within the member limit, the own role's consequences, raising a hand, and the
// room's web requests. The window gathers the input, calls these and shows the answer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chat/encoding/markers.h"
#include "rooms/conference_room.h"

namespace rooms {

// The room's sending limit: the chat's instant-message limit in bytes.
int MaxRoomMessageBytes();

// Why a room message is not sent: a tip for an empty input, a message box for a long one.
struct SendRefusal {
    enum class Shown { Tip, MessageBox };
    Shown shown = Shown::Tip;
    std::string text;
    bool operator==(const SendRefusal&) const = default;
};
std::optional<SendRefusal> CheckRoomSend(std::string_view body);

// The ten-character prefix of a room file notice.
inline constexpr std::string_view kFileNoticePrefix = chat::kRoomFileNoticePrefix;
bool IsFileNotice(std::string_view content);
// The notice's fields after the prefix, split at ",".
std::vector<std::string> FileNoticeFields(std::string_view content);
// The line the sender sees for a file notice of its own: "文件%s发送成功.\r\n" with the
// file name (the third field counting the prefix), or nothing when the notice is short.
std::optional<std::string> OwnFileNoticeLine(std::string_view content);

// Adding members to a persistent room, in the order the user picked them.
struct Candidate {
    std::string jid;
    std::string name;
    bool allowed = true;  // the contact permission lets the user add this one
};
struct AddPlan {
    std::vector<std::string> added;  // JIDs given membership, in order
    std::string refusedText;         // "由于系统设置,..." with the names, or empty
    std::string skippedText;         // "有%d个用户已在群列表中,不被添加", or empty
    bool limitReached = false;       // "已达到群成员上限，不能再添加！" was due
    int countAfter = 0;
};
// `isMember` answers whether a JID is already in the room's list.
template <typename IsMember>
AddPlan PlanAddMembers(const std::vector<Candidate>& candidates, int count, int limit,
                       IsMember isMember);
// "有%d个用户已在群列表中,不被添加".
std::string SkippedMembersText(int skipped);
inline constexpr std::string_view kMemberLimitText = "已达到群成员上限，不能再添加！";

// What the user's own role means for the window.
struct OwnRoleOutcome {
    bool inputEnabled = false;
    bool moderatorControls = false;
    std::string systemLine;  // a line in the view, or empty
    std::string tip;         // a pop-up tip, or empty
    bool close = false;
};
OwnRoleOutcome OwnRoleChange(RoomKind kind, Role role, std::string_view roomName,
                             std::string_view moderatorName);

// Raising a hand: the lines the user sees and whether the voice is asked for.
struct RaiseHandOutcome {
    bool request = false;
    std::vector<std::string> lines;
};
RaiseHandOutcome RaiseHand(RoomKind kind, std::string_view moderatorName, bool moderatorOnline,
                           std::string_view questionPage);

// "系统提示: %s".
std::string SystemLine(std::string_view text);
// The room log query "jid=%s&method=getroomlog&name=%s&end=end".
std::string RoomLogQuery(std::string_view ownJid, std::string_view roomName);
// The notice editor's address: base + "?action=edit&roomid=" + id + "&imuser=" + user.
std::string NoticeEditAddress(std::string_view base, std::string_view roomId,
                              std::string_view user);
// The notice page: base + "?roomid=" + id, or "template/disable.html" without a base.
std::string NoticePageAddress(std::string_view base, std::string_view roomId);

// ---- Member-panel commands ----
std::optional<std::string> WorkPhoneRefusal(std::string_view name, std::string_view phone);
std::optional<std::string> MobileCallRefusal(std::string_view name, std::string_view mobile);
std::optional<std::string> MobileSmsRefusal(std::string_view name, std::string_view mobile);

// ---- Template ----

template <typename IsMember>
AddPlan PlanAddMembers(const std::vector<Candidate>& candidates, int count, int limit,
                       IsMember isMember) {
    AddPlan plan;
    std::string refusedNames;
    int skipped = 0;
    for (const Candidate& candidate : candidates) {
        if (!candidate.allowed) {
            refusedNames += candidate.name + "\r\n";
            continue;
        }
        if (isMember(candidate.jid)) {
            ++skipped;
            continue;
        }
        if (plan.limitReached) continue;
        if (limit >= count + 1) {
            ++count;
            plan.added.push_back(candidate.jid);
        } else {
            plan.limitReached = true;
        }
    }
    if (!refusedNames.empty()) {
        plan.refusedText = "由于系统设置,您不能添加下列用户参与此群:\r\n" + refusedNames;
    }
    if (skipped > 0) plan.skippedText = SkippedMembersText(skipped);
    plan.countAfter = count;
    return plan;
}

}  // namespace rooms
