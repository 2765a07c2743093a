// Feeds arbitrary notice bodies, as an office system may push them, to the OA body parser
// and the notice list's page rows: every field is trimmed and found in the body, the send
// time is the 14 digits with their marks or the text as it came, and the notice's row reads
// back, by the page's escape rules, as exactly one row of seven fields (no field text can end
// its field or row). The same bytes as a page's id list must parse without harm.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "history/rtoa_body.h"
#include "history/rtoa_list.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/text/gbk_chars.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void CheckField(std::string_view body, const std::string& field) {
    if (field.empty()) return;
    if (IsBlank(field.front()) || IsBlank(field.back())) std::abort();
    if (body.find(field) == std::string_view::npos) std::abort();
}

// The page's reading of the rows, by characters as the page sees them after conversion (a
// GBK trail byte 0x5C is no backslash): "\\" a backslash, "\t" a field end, "\r\n" a row end.
std::vector<std::vector<std::string>> ReadRows(std::string_view text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (os::GbkCharLength(text, i) == 2) {
            rows.back().back() += text.substr(i, 2);
            ++i;
        } else if (text[i] != '\\') {
            rows.back().back() += text[i];
        } else if (text.substr(i, 2) == "\\\\") {
            rows.back().back() += '\\';
            ++i;
        } else if (text.substr(i, 2) == "\\t") {
            rows.back().emplace_back();
            ++i;
        } else if (text.substr(i, 4) == "\\r\\n") {
            rows.emplace_back(1);
            i += 3;
        } else {
            std::abort();  // a lone backslash: the row writer never leaves one
        }
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    history::RTOABody notice = history::ParseRTOABody(body);
    for (const std::string* field :
         {&notice.appId, &notice.appDesc, &notice.tipType, &notice.count, &notice.desc,
          &notice.senderName, &notice.jumpUrl, &notice.jumpUrlParam, &notice.displayUrl,
          &notice.offlineTip}) {
        CheckField(body, *field);
    }
    const std::string rawTime = history::TagValue(body, "SendTime");
    if (notice.sendTime != rawTime && (rawTime.size() != 14 || notice.sendTime.size() != 19 ||
                                       history::FormatSendTime(rawTime) != notice.sendTime)) {
        std::abort();
    }
    if (notice.status != "1") std::abort();

    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    history::RTOAList list(*log);
    notice.id = 42;
    list.PushFront(notice);
    list.PushFront(notice);
    const auto rows = ReadRows(list.getPageContent(0, 2));
    if (rows.size() != 2) std::abort();
    for (const auto& row : rows) {
        if (row.size() != 7 || row[0] != "42" || row[6] != "1") std::abort();
    }

    // The same bytes as an id list from the page.
    list.updateStatus(body);
    list.deleteScheduler(body);
    list.Sort(body, body);
    return 0;
}
