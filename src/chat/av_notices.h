#pragma once
// The texts a chat window shows for audio and video calls: the refusals before a call and
// the lines after a request. The calls themselves belong to the audio/video component, which
// asks the chat window to show these.

#include <string>
#include <string_view>

namespace chat {

enum class AvNotice {
    VideoBusyForAudio,      // "正在视频聊天中，不能再启动音频聊天"
    NoAudioInGroup,         // SelfRoomTitle + "状态下不能启动超级语音"
    AudioToSelf,            // "您不能给自己发送语音请求"
    AudioPeerOffline,       // "对方不在线，不能接收超级语音请求"
    VideoToSelf,            // "您不能给自己发送视频请求"
    VideoPeerOffline,       // "对方不在线，不能接收超级视频请求"
    AudioDeviceFailed,      // "打开音频设备失败"
    AudioConnectionFailed,  // "打开音频连接失败,请稍候重试"
    AudioRequestSent,       // "向对方发送超级语音请求"
    VideoRequestSent,  // "向对方发送超级视频请求\r\n(若对方长时间无反应,请关闭聊天窗口重试)"
    CallCollision,       // "请求会话失败，可能是由于同时呼叫的原因"
    CallCollisionShort,  // "同时呼叫"
};

// The text of a notice; `selfRoomTitle` is the SelfRoomTitle setting (used by NoAudioInGroup).
std::string AvNoticeText(AvNotice notice, std::string_view selfRoomTitle);

}  // namespace chat
