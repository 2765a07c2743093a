#include "rooms/room_rules.h"

#include "chat/send_rules.h"
#include "os/text/cstring_ops.h"

namespace rooms {

int MaxRoomMessageBytes() { return static_cast<int>(chat::kMaxMessageBytes); }

std::optional<SendRefusal> CheckRoomSend(std::string_view body) {
    if (body.empty()) return SendRefusal{SendRefusal::Shown::Tip, "请输入消息内容"};
    if (body.size() > chat::kMaxMessageBytes) {
        return SendRefusal{SendRefusal::Shown::MessageBox,
                           os::Format("消息太长( 不超过 %d 个字符 )", MaxRoomMessageBytes())};
    }
    return std::nullopt;
}

bool IsFileNotice(std::string_view content) { return content.starts_with(kFileNoticePrefix); }

std::vector<std::string> FileNoticeFields(std::string_view content) {
    std::vector<std::string> fields;
    if (!IsFileNotice(content)) return fields;
    std::string_view rest = content.substr(kFileNoticePrefix.size());
    while (true) {
        const std::size_t comma = rest.find(',');
        fields.emplace_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return fields;
}

std::optional<std::string> OwnFileNoticeLine(std::string_view content) {
    // Split at "," the prefix is the first field, so the file name is the second after it.
    const std::vector<std::string> fields = FileNoticeFields(content);
    if (fields.size() < 2) return std::nullopt;
    return os::Format("文件%s发送成功.\r\n", fields[1].c_str());
}

std::string SkippedMembersText(int skipped) {
    return os::Format("有%d个用户已在群列表中,不被添加", skipped);
}

OwnRoleOutcome OwnRoleChange(RoomKind kind, Role role, std::string_view roomName,
                             std::string_view moderatorName) {
    OwnRoleOutcome outcome;
    const bool consultation = kind == RoomKind::Consultation;
    switch (role) {
        case Role::Visitor:
            if (consultation) {
                outcome.systemLine = os::Format("您暂时不能提交问题，请先举手，等待%s的授权",
                                                std::string(moderatorName).c_str());
            }
            break;
        case Role::Participant:
            outcome.inputEnabled = true;
            if (consultation) outcome.systemLine = "您现在可以提出问题了。";
            break;
        case Role::Moderator:
            outcome.inputEnabled = true;
            outcome.moderatorControls = true;
            break;
        case Role::None:
            outcome.close = true;
            if (consultation) {
                outcome.tip = os::Format("您已离开咨询室 %s", std::string(roomName).c_str());
            } else if (kind == RoomKind::Temporary) {
                outcome.tip = "您已被请出多人聊天!";
            } else {
                outcome.tip = os::Format("您已离开 %s", std::string(roomName).c_str());
            }
            break;
    }
    return outcome;
}

RaiseHandOutcome RaiseHand(RoomKind kind, std::string_view moderatorName, bool moderatorOnline,
                           std::string_view questionPage) {
    RaiseHandOutcome outcome;
    const std::string name(moderatorName);
    if (!moderatorOnline) {
        outcome.lines.push_back(os::Format("%s不在线，不能举手提问.", name.c_str()));
        if (kind == RoomKind::Consultation) {
            outcome.lines.push_back(os::Format("\n如果%s不在线，请到下面的网址提交问题：\n%s",
                                               name.c_str(), std::string(questionPage).c_str()));
        }
        return outcome;
    }
    outcome.request = true;
    outcome.lines.push_back(os::Format("您已经发送发言请求，请等待%s允许.", name.c_str()));
    return outcome;
}

std::string SystemLine(std::string_view text) {
    return os::Format("系统提示: %s", std::string(text).c_str());
}

std::string RoomLogQuery(std::string_view ownJid, std::string_view roomName) {
    return os::Format("jid=%s&method=getroomlog&name=%s&end=end", std::string(ownJid).c_str(),
                      std::string(roomName).c_str());
}

std::string NoticeEditAddress(std::string_view base, std::string_view roomId,
                              std::string_view user) {
    return std::string(base) + "?action=edit&roomid=" + std::string(roomId) +
           "&imuser=" + std::string(user);
}

std::string NoticePageAddress(std::string_view base, std::string_view roomId) {
    if (base.empty()) return "template/disable.html";
    return std::string(base) + "?roomid=" + std::string(roomId);
}

std::optional<std::string> WorkPhoneRefusal(std::string_view name, std::string_view phone) {
    if (!phone.empty()) return std::nullopt;
    return os::Format("%s 的工作电话信息为空,不能拨打电话.", std::string(name).c_str());
}

std::optional<std::string> MobileCallRefusal(std::string_view name, std::string_view mobile) {
    if (!mobile.empty()) return std::nullopt;
    return os::Format("%s 的手机信息为空,不能拨打手机.", std::string(name).c_str());
}

std::optional<std::string> MobileSmsRefusal(std::string_view name, std::string_view mobile) {
    if (!mobile.empty()) return std::nullopt;
    return os::Format("%s 的手机信息为空,不能发送短信.", std::string(name).c_str());
}

}  // namespace rooms
