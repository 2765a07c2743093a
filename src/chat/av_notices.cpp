#include "chat/av_notices.h"

namespace chat {

std::string AvNoticeText(AvNotice notice, std::string_view selfRoomTitle) {
    switch (notice) {
        case AvNotice::VideoBusyForAudio:
            return "正在视频聊天中，不能再启动音频聊天";
        case AvNotice::NoAudioInGroup:
            return std::string(selfRoomTitle) + "状态下不能启动超级语音";
        case AvNotice::AudioToSelf:
            return "您不能给自己发送语音请求";
        case AvNotice::AudioPeerOffline:
            return "对方不在线，不能接收超级语音请求";
        case AvNotice::VideoToSelf:
            return "您不能给自己发送视频请求";
        case AvNotice::VideoPeerOffline:
            return "对方不在线，不能接收超级视频请求";
        case AvNotice::AudioDeviceFailed:
            return "打开音频设备失败";
        case AvNotice::AudioConnectionFailed:
            return "打开音频连接失败,请稍候重试";
        case AvNotice::AudioRequestSent:
            return "向对方发送超级语音请求";
        case AvNotice::VideoRequestSent:
            return "向对方发送超级视频请求\r\n(若对方长时间无反应,请关闭聊天窗口重试)";
        case AvNotice::CallCollision:
            return "请求会话失败，可能是由于同时呼叫的原因";
        case AvNotice::CallCollisionShort:
            return "同时呼叫";
    }
    return {};
}

}  // namespace chat
