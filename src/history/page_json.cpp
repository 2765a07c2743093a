#include "history/page_json.h"

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace history {
namespace {

constexpr std::string_view kLineBreak = "<br//>";

struct SenderParts {
    std::string name;
    std::string jid;
};

// "name( jid )" -> name and jid, both trimmed, the jid in its directory spelling.
SenderParts SplitSender(std::string_view sender) {
    SenderParts parts;
    const int open = os::Find(sender, '(');
    if (open < 0) {
        parts.name = os::Trim(sender);
        return parts;
    }
    parts.name = os::Trim(sender.substr(0, open));
    std::string rest(sender.substr(open + 1));
    const int close = os::ReverseFind(rest, ')');
    if (close >= 0) rest.resize(close);
    parts.jid = os::Trim(rest);
    os::Replace(parts.jid, "@gover.", "$gov@");
    os::Replace(parts.jid, "@puber.", "$pub@");
    return parts;
}

std::string BeforeSms(std::string_view text) {
    const int at = os::Find(text, "@sms");
    return at < 0 ? std::string(text) : std::string(text.substr(0, at));
}

}  // namespace

std::string EscapePageText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t i = 0;
    while (i < text.size()) {
        const int length = os::GbkCharLength(text, i);
        const auto c = static_cast<unsigned char>(text[i]);
        if (length == 2) {
            out.append(text.substr(i, 2));
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += kLineBreak;
            ++i;
        } else if (c == '\n') {
            out += kLineBreak;
        } else if (c == '"') {
            out += "\\\\\\\"";
        } else if (c < 0x20 || c == 0x7F) {
            out += os::Format("\\u%04x", c);
        } else if (c > 0x80) {
            out += '?';  // a lead byte without its trail byte, or 0xFF
        } else {
            out += static_cast<char>(c);
        }
        i += length;
    }
    return out;
}

std::string PageName(const HistoryRecord& record, const PageOptions& options) {
    const SenderParts sender = SplitSender(record.sender);
    std::string name = sender.name;
    if (record.type == "11" && os::Find(sender.jid, "@sms") >= 0) {
        name += "(" + BeforeSms(sender.jid) + ")";
    }
    if (options.showReceiver) {
        std::string peer = record.peer;
        const int open = os::Find(peer, '(');
        if (open >= 0) peer.resize(open);
        std::string shown;
        if (os::Find(peer, "@sms") >= 0) {
            shown = BeforeSms(peer);
        } else {
            shown = options.contactName ? options.contactName(peer) : std::string();
            if (shown.empty()) shown = peer;
        }
        name = "接收者(" + os::Trim(shown) + ")";
    }
    return name;
}

std::string BuildPageJson(const std::vector<HistoryRecord>& records, const Paging& paging,
                          const PageOptions& options) {
    const int total = static_cast<int>(records.size());
    const PageSlice slice = paging.Slice(total);
    std::string json = "[";
    for (int i = slice.end - 1; i >= slice.start; --i) {
        const HistoryRecord& record = records[static_cast<std::size_t>(i)];
        json += "{\"ID\":\"";
        json += EscapePageText(std::to_string(record.index));
        json += "\",\"from\":\"";
        json += EscapePageText(PageName(record, options));
        json += "\",\"time\":\"";
        json += EscapePageText(record.time);
        json += "\",\"contents\":\"";
        json += EscapePageText(record.contents);
        json += "\",\"type\":\"";
        json += EscapePageText(record.type);
        json += "\"},";
    }
    if (json.size() > 1) json.pop_back();
    json += ']';
    return json;
}

}  // namespace history
