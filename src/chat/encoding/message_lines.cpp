#include "chat/encoding/message_lines.h"

#include "chat/encoding/markers.h"
#include "chat/encoding/plain_text.h"
#include "chat/encoding/text_scan.h"
#include "chat/encoding/view_inserter.h"
#include "os/controls/rich_edit.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"

namespace chat {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr int kHistoryRuleLength = 70;

std::string CurrentTime(const os::Clock& clock) {
    os::LocalTime now = clock.LocalNow();
    return os::Format("%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                      now.minute, now.second);
}

void InsertLine(os::RichEdit& view, MarkerObjects& objects, std::string line, InsertMode mode) {
    line += kLineBreak;
    InsertEncodedText(view, line, mode, objects);
}

}  // namespace

std::string SpeakerLine(std::string_view speaker, std::string_view time, SpeakerVerb verb,
                        const os::Clock& clock) {
    std::string line(kGreyHeader);
    line += speaker;
    line += verb == SpeakerVerb::Says ? " 说 " : " 发送 ";
    line += time.empty() ? CurrentTime(clock) : std::string(time);
    return line;
}

void AppendChatMessage(os::RichEdit& view, MarkerObjects& objects, std::string_view speaker,
                       std::string_view time, std::string_view message, SpeakerVerb verb,
                       const os::Clock& clock) {
    if (scan::FindFrom(message, kOfflineFileMarker, 0) != scan::npos) {
        std::string notice(message);
        int close = os::ReverseFind(notice, ']');
        if (close >= 0) notice.erase(static_cast<std::size_t>(close), 1);
        notice += '|';
        notice += speaker;
        notice += '|';
        notice += time.empty() ? CurrentTime(clock) : std::string(time);
        notice += ']';
        InsertLine(view, objects, std::move(notice), InsertMode::Live);
        return;
    }
    InsertLine(view, objects, SpeakerLine(speaker, time, verb, clock), InsertMode::Live);
    // Without a header of its own the message would take the grey speaker line's format.
    std::string shown;
    std::size_t header = scan::FindFrom(message, kFontHeaderStart, 0);
    if (header == scan::npos ||
        scan::FindFrom(message, ")", header + kFontHeaderStart.size()) == scan::npos)
        shown = kDefaultHeader;
    shown += message;
    InsertLine(view, objects, std::move(shown), InsertMode::Live);
}

int AppendRecentHistory(os::RichEdit& view, MarkerObjects& objects,
                        std::span<const RecentMessage> messages) {
    int shown = 0;
    for (const RecentMessage& message : messages) {
        std::string text = PrepareRecentHistoryBody(message.text);
        if (text.empty()) continue;
        std::string line(kGreyHeader);
        line += message.speaker;
        line += ' ';
        line += message.time;
        InsertLine(view, objects, std::move(line), InsertMode::History);
        InsertLine(view, objects, std::string(kGreyHeader) + text, InsertMode::History);
        ++shown;
    }
    if (shown > 0) {
        InsertLine(view, objects, std::string(kGreyHeader) + std::string(kHistoryRuleLength, '-'),
                   InsertMode::History);
    }
    return shown;
}

}  // namespace chat
