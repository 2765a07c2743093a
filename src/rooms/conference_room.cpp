#include "rooms/conference_room.h"

#include "os/text/cstring_ops.h"

namespace rooms {

Role RoleFromWord(std::string_view word) {
    if (os::EqualsNoCase(word, "moderator")) return Role::Moderator;
    if (os::EqualsNoCase(word, "participant")) return Role::Participant;
    if (os::EqualsNoCase(word, "visitor")) return Role::Visitor;
    return Role::None;
}

bool MaySend(Role role) { return role == Role::Participant || role == Role::Moderator; }

std::string RoomTitle(RoomKind kind, std::string_view name) {
    switch (kind) {
        case RoomKind::Consultation:
            return os::Format("网上咨询室 - %s", std::string(name).c_str());
        case RoomKind::Temporary:
            return "多人聊天";
        case RoomKind::Persistent:
        case RoomKind::InstantAlternative:
            break;
    }
    return std::string(name);
}

std::vector<std::string> MemberGroupCaptions(RoomKind kind) {
    switch (kind) {
        case RoomKind::Consultation:
            return {"管理员", "提问者"};
        case RoomKind::Persistent:
            return {"管理员", "参与者"};
        case RoomKind::Temporary:
        case RoomKind::InstantAlternative:
            break;
    }
    return {"参与者"};
}

std::string RoleLabel(RoomKind kind, Role role) {
    switch (role) {
        case Role::Moderator:
            return "管理员";
        case Role::Participant:
            return "参与者";
        case Role::Visitor:
            return kind == RoomKind::Consultation ? "提问者" : "访客";
        case Role::None:
            break;
    }
    return "";
}

bool ListFollowsPresence(RoomKind kind) { return kind != RoomKind::Persistent; }

std::string MemberCaption(int count, int limit) {
    return os::Format("参与者(%d/%d)", count, limit);
}

std::string RoomNodeText(std::string_view name, int count, int limit) {
    return os::Format("%s (%d/%d)", std::string(name).c_str(), count, limit);
}

std::string MemberLine(RoomKind kind, const RoomMember& member) {
    std::string line = member.name;
    if (kind == RoomKind::Persistent && (os::EqualsNoCase(member.affiliation, "owner") ||
                                         os::EqualsNoCase(member.affiliation, "admin"))) {
        line += "(管理员)";
    }
    if (member.role == Role::Visitor && member.handRaised) {
        line = os::Format("%s/%s", line.c_str(), member.jid.c_str()) + "(举手)";
    }
    return line;
}

}  // namespace rooms
