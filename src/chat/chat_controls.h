#pragma once
// The controls of a chat window, by id. The automation interface and the tests find them by
// these ids; the captions are what the user sees.

namespace chat::control {

inline constexpr int kView = 1001;        // the message view (read-only rich text)
inline constexpr int kInput = 1002;       // the input box (editable rich text)
inline constexpr int kSend = 1003;        // "发送"
inline constexpr int kStatusLine = 1004;  // counter text + " " + typing status
inline constexpr int kHeaderLine = 1005;  // who the messages go to
inline constexpr int kSmsHint = 1006;     // SMS mode: how to send, what is left
inline constexpr int kSignature = 1007;   // SMS signature (edit), shown when asked for
inline constexpr int kTimedSms = 1008;    // SMS mode: "定时发送" check box
inline constexpr int kSendTime = 1009;    // SMS mode: send time "YYYY-MM-DD HH:MM:SS"

// Top tool bar.
inline constexpr int kSendSms = 1101;     // "发送短信" (instant-message mode)
inline constexpr int kSendFile = 1102;    // "发送文件"
inline constexpr int kAudioVideo = 1103;  // "语音视频"
inline constexpr int kInvite = 1104;      // "邀请"
inline constexpr int kSmsHistory = 1105;  // "历史短信" (SMS mode)
inline constexpr int kToBatch = 1106;     // "转群发" (SMS mode)

// Input tool bar.
inline constexpr int kFont = 1201;           // "字体"
inline constexpr int kFace = 1202;           // "表情"
inline constexpr int kPhrase = 1203;         // "常用语" (both modes)
inline constexpr int kShake = 1204;          // "闪屏振动"
inline constexpr int kScreenCapture = 1205;  // "截屏" (only with HasClipScreen)
inline constexpr int kHistory = 1206;        // "历史消息"

// The transfer panel, right of the view while files are listed: one row per transfer, a label
// (name, "大小:", "速度:", the offline route) over its progress bar.
inline constexpr int kTransferRows = 4;
inline constexpr int kTransferLine = 1401;  // 1401..1404
inline constexpr int kTransferBar = 1411;   // 1411..1414

}  // namespace chat::control
