#pragma once
// The demo world's bots: what a bot does when someone chats it. An answer is a short script
// of steps on the clock (a typing state, a message, a shake), which the demo world plays
// through the bot's own session, as a person at another client would send them.

#include <string>
#include <string_view>
#include <vector>

#include "os/sys/clock.h"

namespace platform {

enum class BotStyle {
    Helper,  // greets, quotes the text and tells what else it can do
    Echo,    // says the text back
};

enum class BotStepKind {
    Typing,   // `text` is the typing state ("composing", "active")
    Message,  // `text` is the encoded chat body
};

struct BotStep {
    os::Millis afterMs = 0;  // after the message arrived
    BotStepKind kind = BotStepKind::Message;
    std::string text;
    friend bool operator==(const BotStep&, const BotStep&) = default;
};

// When a bot starts typing, answers, and sends what a keyword asked for.
inline constexpr os::Millis kBotTypingAfterMs = 300;
inline constexpr os::Millis kBotAnswerAfterMs = 1200;
inline constexpr os::Millis kBotExtraAfterMs = 1800;

// The font header of a bot's messages.
inline constexpr std::string_view kBotFont = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

// The most messages one "连发 N" ("burst N") asks a bot for.
inline constexpr int kBotBurstLimit = 5000;

// The steps a bot of `style` takes for the chat body `text`, in time order: it types, answers
// with a friendly line quoting the text, and stops typing. A text "连发 N" or "burst N" (N from
// 1 to kBotBurstLimit) is answered with N numbered messages at once, "第1条" to "第N条", for
// trying how a window keeps up with a flood. A text holding "抖动" or "shake"
// also brings a shake, one holding "表情" or "face" a message of faces; a shake sent to the
// bot is shaken back.
std::vector<BotStep> BotAnswer(BotStyle style, std::string_view text);

}  // namespace platform
