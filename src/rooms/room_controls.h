#pragma once
// Control ids of the room window (CDlgRoom).

namespace rooms::control {

inline constexpr int kView = 1701;           // the message view
inline constexpr int kFontTool = 1702;       // "字体"
inline constexpr int kFaceTool = 1703;       // "表情"
inline constexpr int kPhraseTool = 1704;     // "常用语"
inline constexpr int kCaptureTool = 1705;    // "截图"
inline constexpr int kHistoryTool = 1706;    // "历史消息"
inline constexpr int kInput = 1707;          // the input box
inline constexpr int kSend = 1708;           // "发送"
inline constexpr int kRaiseHand = 1709;      // "举手"
inline constexpr int kMemberCaption = 1710;  // "参与者(%d/%d)"
inline constexpr int kMembers = 1711;        // the member tree: a group per caption
inline constexpr int kAddMembers = 1712;     // "添加成员" / "添加参与者"
inline constexpr int kDeleteMember = 1713;   // "删除成员" (moderator, persistent room)
inline constexpr int kGrantVoice = 1714;     // "允许发言" (moderator)
inline constexpr int kRevokeVoice = 1715;    // "禁止发言" (moderator)
inline constexpr int kKick = 1716;           // "请出" (moderator)
inline constexpr int kBatchSms = 1717;       // "群发短信"
inline constexpr int kProperties = 1718;     // "查看属性"
inline constexpr int kSubject = 1719;        // "修改主题"
inline constexpr int kRoomLog = 1720;        // "聊天记录" (the room log on the web)
inline constexpr int kNoticeCaption = 1721;  // "%s公告"
inline constexpr int kNotice = 1722;         // the notice page

}  // namespace rooms::control
