#pragma once
// Control ids of the batch composer (CDlgBatchChat).

namespace batch::control {

inline constexpr int kRecipientLabel = 1501;  // " 短信接收者列表( 用分号;隔开 )" / chat
inline constexpr int kRecipients = 1502;      // the recipient text box
inline constexpr int kRecipientCount = 1503;  // "共 %d 人"
inline constexpr int kPick = 1504;            // "选择接收者..."
inline constexpr int kClear = 1505;           // "清除" (the recipient box's menu)
inline constexpr int kContentLabel = 1506;    // " 请在下方输入消息内容"
inline constexpr int kContents = 1507;        // the message text
inline constexpr int kCounter = 1508;         // "还可输入 %d 字符" (SMS)
inline constexpr int kSignatureLabel = 1509;  // "签名："
inline constexpr int kSignature = 1510;       // the SMS signature line
inline constexpr int kReceipt = 1511;         // "短信到达对方手机通知我"
inline constexpr int kTimed = 1512;           // "定时短信"
inline constexpr int kTimedDate = 1513;       // the send date, "YYYY-MM-DD"
inline constexpr int kTimedHour = 1514;       // "时"
inline constexpr int kTimedMinute = 1515;     // "分"
inline constexpr int kHourLabel = 1516;
inline constexpr int kMinuteLabel = 1517;
inline constexpr int kTimeRange = 1518;  // "时间范围:..." or why there is no timed SMS
inline constexpr int kSend = 1519;       // "发送消息" / "发送短信"
inline constexpr int kClose = 1520;      // "关闭"

}  // namespace batch::control
