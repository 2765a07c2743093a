#pragma once
// The demo world's bots: what a bot does when someone chats it. An answer is a short script
// of steps on the clock (a typing state, a message, a shake, a file), which the demo world
// plays through the bot's own session, as a person at another client would send them. Every
// bot takes a file offered to it and says what arrived, and sends a small file when asked.

#include <cstdint>
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
    Typing,      // `text` is the typing state ("composing", "active")
    Message,     // `text` is the encoded chat body
    SendFile,    // the bot offers its small file (kBotFileName)
    AcceptFile,  // `text` is the key of the file offered to the bot, which it receives
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

// The file a bot sends, and the most it takes: a bigger file is refused, so a demo never fills
// the disk.
inline constexpr std::string_view kBotFileName = "机器人的问候.txt";
inline constexpr std::int64_t kBotFileLimit = std::int64_t{64} << 20;
// The small file's contents (GBK text).
std::string BotFileContents();

// The steps a bot takes for a file of `name` and `size` bytes offered to it (the transfer
// `key`): it receives it (AcceptFile) a moment later, or says the file is too big for it.
std::vector<BotStep> BotFileOfferAnswer(std::string_view key, std::int64_t size);
// What a bot says once the file arrived, naming it and its size.
std::string BotFileReceivedText(std::string_view name, std::int64_t size);

// The steps a bot of `style` takes for the chat body `text`, in time order: it types, answers
// with a friendly line quoting the text, and stops typing. A text "连发 N" or "burst N" (N from
// 1 to kBotBurstLimit) is answered with N numbered messages at once, "第1条" to "第N条", for
// trying how a window keeps up with a flood. A text holding "抖动" or "shake"
// also brings a shake, one holding "表情" or "face" a message of faces, one holding "发个文件"
// or "send file" the bot's small file; a shake sent to the bot is shaken back.
std::vector<BotStep> BotAnswer(BotStyle style, std::string_view text);

}  // namespace platform
