#include "platform/session/sim_bots.h"

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace platform {
namespace {

// The chat encoding's markers, which the chat window turns into a shake and faces (this
// layer sits below the encoding, so the forms are written out here).
constexpr std::string_view kShake = "#(-1)#";
constexpr std::string_view kFaces = "#(14)##(13)##(79)#";  // smile, grin, victory

// The longest quote of the peer's text, in bytes (cut on a character boundary).
constexpr std::size_t kQuoteBytes = 120;

bool Mentions(std::string_view text, std::string_view chinese, std::string_view english) {
    return os::Find(text, chinese) >= 0 || os::Find(os::MakeLower(text), english) >= 0;
}

std::string Quote(std::string_view text) {
    std::string quoted = os::LeftBytes(text, kQuoteBytes);
    if (quoted.size() < text.size()) quoted += "……";
    return "“" + quoted + "”";
}

// N of "连发 N" / "burst N", or 0 when the text asks for no burst.
int BurstAsked(std::string_view text) {
    for (std::string_view command : {std::string_view("连发"), std::string_view("burst")}) {
        if (!text.starts_with(command)) continue;
        std::string_view rest = text.substr(command.size());
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (rest.empty() || rest.size() > 4) return 0;
        int count = 0;
        for (char c : rest) {
            if (c < '0' || c > '9') return 0;
            count = count * 10 + (c - '0');
        }
        return count >= 1 && count <= kBotBurstLimit ? count : 0;
    }
    return 0;
}

}  // namespace

std::vector<BotStep> BotAnswer(BotStyle style, std::string_view text) {
    if (const int burst = BurstAsked(text); burst > 0) {
        std::vector<BotStep> steps;
        steps.reserve(static_cast<std::size_t>(burst));
        for (int n = 1; n <= burst; ++n) {
            steps.push_back({kBotAnswerAfterMs, BotStepKind::Message, os::Format("第%d条", n)});
        }
        return steps;
    }
    const bool shaken = text == kShake;
    const bool wantsShake = shaken || Mentions(text, "抖动", "shake");
    const bool wantsFaces = !shaken && Mentions(text, "表情", "face");
    const bool wantsFile = !shaken && Mentions(text, "发个文件", "send file");

    std::string answer;
    if (shaken) {
        answer = "哎呀，别晃我！我也晃晃你。";
    } else if (style == BotStyle::Echo) {
        answer = "你说：" + Quote(text);
    } else {
        answer = "你好！我是小助手，收到你的消息：" + Quote(text) + "。";
        if (!wantsShake && !wantsFaces && !wantsFile)
            answer +=
                "发“抖动”我就抖抖你的窗口，发“表情”送你几个表情，发“发个文件”我给你传个"
                "文件，也可以给我发文件。";
    }
    if (wantsShake && !shaken) answer += "好的，抖一抖！";
    if (wantsFaces) answer += "送你几个表情：";
    if (wantsFile) answer += "这就给你发个文件。";

    std::vector<BotStep> steps;
    steps.push_back({kBotTypingAfterMs, BotStepKind::Typing, "composing"});
    steps.push_back({kBotAnswerAfterMs, BotStepKind::Message, answer});
    steps.push_back({kBotAnswerAfterMs, BotStepKind::Typing, "active"});
    if (wantsShake) steps.push_back({kBotExtraAfterMs, BotStepKind::Message, std::string(kShake)});
    if (wantsFaces) steps.push_back({kBotExtraAfterMs, BotStepKind::Message, std::string(kFaces)});
    if (wantsFile) steps.push_back({kBotExtraAfterMs, BotStepKind::SendFile, {}});
    return steps;
}

std::string BotFileContents() {
    std::string text = "你好！这是机器人发给你的文件。\r\n";
    text += "收到它，说明文件传输一切正常：它从机器人那里经服务器来到你的电脑上。\r\n";
    text += "Hello! This small file came from the demo bot.\r\n";
    return text;
}

std::vector<BotStep> BotFileOfferAnswer(std::string_view key, std::int64_t size) {
    if (size <= 0 || size > kBotFileLimit) {
        return {{kBotTypingAfterMs, BotStepKind::Message,
                 os::Format("这个文件我收不了：我只收 1 字节到 %d MB 的文件。",
                            static_cast<int>(kBotFileLimit >> 20))}};
    }
    return {{kBotTypingAfterMs, BotStepKind::AcceptFile, std::string(key)}};
}

std::string BotFileReceivedText(std::string_view name, std::int64_t size) {
    return os::Format("收到你的文件“%s”，共 %lld 字节，谢谢！",
                      os::LeftBytes(name, kQuoteBytes).c_str(), static_cast<long long>(size));
}

}  // namespace platform
