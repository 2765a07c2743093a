// Turns the page tests' vectors into what the client hands the message manager's page: each
// vector becomes one record, and the library's own page builder writes the JSON. The text is
// converted to UTF-8 by the library's codec, as the desktop program does before the page sees it.
//
// Input (stdin), one vector a line: name TAB field TAB text [TAB shown], where field is
// "contents", "from" or "time"; text and shown use the escapes \\ \t \n \r \0 \xNN (a raw GBK
// byte, text only) and \u{H...} (a character). Output, one line per vector:
//   name TAB json TAB from TAB time TAB contents
// each after the name in hexadecimal UTF-8; from, time and contents are what the page should
// show (the shown column, or the text itself). With --one-page every vector is a record of one
// page instead (record i has the ID "i"), and the one line is "page TAB json".
// With --oa-rows every vector fills each shown field of one OA notice (id 1) instead, and the
// line is name TAB rows TAB appDesc TAB address TAB desc TAB sender TAB time TAB status: the
// rows as the notice list hands them to its page, then what each cell should show.

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_record.h"
#include "history/page_json.h"
#include "history/paging.h"
#include "history/rtoa_list.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/text/gbk_codec.h"

namespace {

constexpr std::string_view kName = "张三";  // GBK: the source is compiled to GBK
constexpr std::string_view kJid = "zhangsan@qorv.test";
constexpr std::string_view kTime = "2026-12-11 10:00:00";
constexpr std::string_view kContents = "hello";

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Reads a table field: UTF-8 runs are converted to GBK, \xNN bytes go in as they are. With
// `asUtf8` the result stays UTF-8 (and \xNN is refused).
std::optional<std::string> Unescape(std::string_view field, bool asUtf8) {
    std::string out;
    std::string run;  // UTF-8 not converted yet
    auto flush = [&]() -> bool {
        if (run.empty()) return true;
        std::string gbk;
        if (asUtf8) {
            out += run;
        } else if (os::Utf8ToGbk(run, gbk)) {
            out += gbk;
        } else {
            return false;
        }
        run.clear();
        return true;
    };
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            run += field[i];
            continue;
        }
        const char kind = field[++i];
        switch (kind) {
            case '\\':
                run += '\\';
                break;
            case 't':
                run += '\t';
                break;
            case 'n':
                run += '\n';
                break;
            case 'r':
                run += '\r';
                break;
            case '0':
                run += '\0';
                break;
            case 'x': {
                if (asUtf8 || i + 2 >= field.size() || !flush()) return std::nullopt;
                out +=
                    static_cast<char>(std::stoi(std::string(field.substr(i + 1, 2)), nullptr, 16));
                i += 2;
                break;
            }
            case 'u': {
                const std::size_t close = field.find('}', i);
                if (i + 1 >= field.size() || field[i + 1] != '{' ||
                    close == std::string_view::npos) {
                    return std::nullopt;
                }
                AppendUtf8(
                    run, std::stoul(std::string(field.substr(i + 2, close - i - 2)), nullptr, 16));
                i = close;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    if (!flush()) return std::nullopt;
    return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return parts;
        start = tab + 1;
    }
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    return out;
}

std::string Utf8(std::string_view gbk) { return os::GbkToUtf8Lossy(gbk); }

// What the page shows of the contents when no shown column says otherwise: the text, its line
// breaks as line breaks.
std::string ShownContents(std::string_view gbk) {
    std::string text = Utf8(gbk);
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

// One notice with `text` in every field the page shows; its rows and the cells' texts.
void WriteOaRows(std::string_view name, const std::string& text) {
    history::RTOABody notice;
    notice.id = 1;
    notice.appDesc = text;
    notice.jumpUrl = text;
    notice.desc = text;
    notice.senderName = text;
    notice.sendTime = text;
    notice.status = "1";
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    history::RTOAList list(*log);
    list.PushFront(notice);
    std::cout << name << '\t' << Hex(Utf8(list.getPageContent(0, 1)));
    for (const std::string& cell : {notice.appDesc, history::OaPageAddress(notice), notice.desc,
                                    notice.senderName, notice.sendTime, notice.status}) {
        std::cout << '\t' << Hex(Utf8(cell));
    }
    std::cout << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    const bool onePage = argc > 1 && std::string_view(argv[1]) == "--one-page";
    const bool oaRows = argc > 1 && std::string_view(argv[1]) == "--oa-rows";
    std::vector<history::HistoryRecord> page;
    std::string line;
    int lineNumber = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string_view> parts = SplitTabs(line);
        if (parts.size() < 3 || parts.size() > 4) {
            std::fprintf(stderr, "line %d: name, field, text [, shown] expected\n", lineNumber);
            return 2;
        }
        const std::optional<std::string> text = Unescape(parts[2], false);
        const std::optional<std::string> shown =
            parts.size() == 4 ? Unescape(parts[3], true) : std::nullopt;
        if (!text || (parts.size() == 4 && !shown)) {
            std::fprintf(stderr, "line %d: bad escape, or text GBK cannot hold\n", lineNumber);
            return 2;
        }
        if (oaRows) {
            WriteOaRows(parts[0], *text);
            continue;
        }
        history::HistoryRecord record;
        record.index = 0;
        record.storeId = "1";
        record.sender = std::string(kName) + "( " + std::string(kJid) + " )";
        record.peer = std::string(kJid);
        record.time = std::string(kTime);
        record.contents = std::string(kContents);
        record.type = "0";
        std::string from = Utf8(kName);
        std::string time = Utf8(kTime);
        std::string contents = Utf8(kContents);
        if (parts[1] == "contents") {
            record.contents = *text;
            contents = shown ? *shown : ShownContents(*text);
        } else if (parts[1] == "from") {
            record.sender = *text + "( " + std::string(kJid) + " )";
            from = shown ? *shown : Utf8(*text);
        } else if (parts[1] == "time") {
            record.time = *text;
            time = shown ? *shown : Utf8(*text);
        } else {
            std::fprintf(stderr, "line %d: no field \"%s\"\n", lineNumber,
                         std::string(parts[1]).c_str());
            return 2;
        }
        if (onePage) {
            record.index = static_cast<int>(page.size());
            record.storeId = std::to_string(page.size() + 1);
            page.push_back(std::move(record));
            continue;
        }
        history::Paging paging;
        paging.Recompute(1, history::PageChoice::Reset);
        const std::string json = Utf8(history::BuildPageJson({record}, paging));
        std::cout << parts[0] << '\t' << Hex(json) << '\t' << Hex(from) << '\t' << Hex(time) << '\t'
                  << Hex(contents) << '\n';
    }
    if (onePage) {
        history::Paging paging;
        paging.perPage = history::kPageSizes.back();
        paging.Recompute(static_cast<int>(page.size()), history::PageChoice::Reset);
        std::cout << "page\t" << Hex(Utf8(history::BuildPageJson(page, paging))) << '\n';
    }
    return 0;
}
