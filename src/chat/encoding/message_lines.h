#pragma once
// The lines a chat window puts in its message view: a message under its grey speaker line, and
// the grey block of recent history shown when a chat window opens.

#include <span>
#include <string>
#include <string_view>

#include "chat/encoding/marker_objects.h"

namespace os {
class Clock;
class RichEdit;
}  // namespace os

namespace chat {

enum class SpeakerVerb {
    Says,   // "%s 说 %s"
    Sends,  // "%s 发送 %s"
};

// "FONT(grey)<speaker> 说 <time>" (or 发送). An empty time is the clock's current local time as
// "%Y-%m-%d %H:%M:%S".
std::string SpeakerLine(std::string_view speaker, std::string_view time, SpeakerVerb verb,
                        const os::Clock& clock);

// Appends a message (header + body) under its speaker line, each followed by "\r\n"; a
// message without a usable header is shown with kDefaultHeader. An
// offline-file notice gets no speaker line; instead the speaker and the time become its fourth
// and fifth fields ("#(-3)#[file|size|key|speaker|time]").
void AppendChatMessage(os::RichEdit& view, MarkerObjects& objects, std::string_view speaker,
                       std::string_view time, std::string_view message, SpeakerVerb verb,
                       const os::Clock& clock);

struct RecentMessage {
    std::string speaker;
    std::string time;
    std::string text;  // as stored: the header and the body
};

// Appends the recent-history block, oldest message first as given: for each message whose
// prepared text (PrepareRecentHistoryBody) is not empty, a grey "speaker time" line and the grey
// text, shown as history (missing pictures say so); after at least one, a grey line of 70 "-".
// Returns how many messages were shown.
int AppendRecentHistory(os::RichEdit& view, MarkerObjects& objects,
                        std::span<const RecentMessage> messages);

}  // namespace chat
