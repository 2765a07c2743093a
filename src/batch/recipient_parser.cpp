#include "batch/recipient_parser.h"

#include <cctype>

#include "chat/sms_copy.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "platform/jid/jid.h"

namespace batch {
namespace {

constexpr std::string_view kFullWidthSemicolon = "；";

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> SplitRecipientText(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    auto take = [&](std::size_t end) {
        std::string entry = os::Trim(text.substr(start, end - start));
        if (!entry.empty()) entries.push_back(std::move(entry));
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const int length = os::GbkCharLength(text, pos);
        const std::string_view ch = text.substr(pos, static_cast<std::size_t>(length));
        if (ch == ";" || ch == kFullWidthSemicolon) {
            take(pos);
            start = pos + ch.size();
        }
        pos += static_cast<std::size_t>(length);
    }
    take(text.size());
    return entries;
}

ParsedRecipients ParseRecipients(std::string_view text, std::string_view pickerText,
                                 std::string_view smsHost) {
    ParsedRecipients parsed;
    int pickedFrom = 0;
    for (const std::string& entry : SplitRecipientText(text)) {
        if (entry.size() >= 2 && entry.front() == '<' && entry.back() == '>') {
            // A picked contact: its JID follows its name in the picker text.
            const std::string name = entry.substr(1, entry.size() - 2);
            const int found = name.empty() ? -1 : os::Find(pickerText, name + "(", pickedFrom);
            const int close =
                found < 0 ? -1
                          : os::Find(pickerText, ')', found + static_cast<int>(name.size()) + 1);
            if (close < 0) {
                parsed.invalidEntry = entry;
                return parsed;
            }
            const int jidStart = found + static_cast<int>(name.size()) + 1;
            parsed.jids.push_back(std::string(pickerText.substr(
                static_cast<std::size_t>(jidStart), static_cast<std::size_t>(close - jidStart))));
            pickedFrom = close + 1;
            continue;
        }
        if (os::Find(pickerText, entry) >= 0) {
            parsed.duplicates.push_back(entry);
            continue;
        }
        if (os::Find(entry, '@') < 0) {
            if (entry.size() >= kShortestPhoneNumber && AllDigits(entry)) {
                parsed.jids.push_back(chat::SmsJid(entry, smsHost));
                continue;
            }
            parsed.invalidEntry = entry;
            return parsed;
        }
        if (entry.front() == '@' || entry.back() == '@') {
            parsed.invalidEntry = entry;
            return parsed;
        }
        // "@gover." and "@puber." are the other spellings of "$gov@" and "$pub@".
        parsed.jids.push_back(platform::Jid(entry).LooseForm({}));
    }
    return parsed;
}

bool IsSmsRecipient(std::string_view jid) { return os::Find(os::MakeUpper(jid), "@SMS.") >= 1; }

std::string RecentContactName(std::string_view jid) {
    const int at = os::Find(os::MakeUpper(jid), "@SMS");
    return at >= 0 ? std::string(jid.substr(0, static_cast<std::size_t>(at))) : std::string(jid);
}

}  // namespace batch
