// Feeds arbitrary rows to the import's row validator: the input is split at '\n' into rows
// and at '\t' into fields (the row text is the line). No input may crash; every verdict is a
// reason ending in ','; an accepted row's user id keeps the id rules, and no id is accepted
// twice.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "contacts/transfer/import_row_validator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    contacts::ImportRowValidator validator("im.example", "iqRosterTop");
    std::set<std::string> accepted;
    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        contacts::ImportRow row;
        row.text.assign(input.substr(start, end - start));
        std::size_t fieldStart = 0;
        while (true) {
            const std::size_t tab = row.text.find('\t', fieldStart);
            row.fields.push_back(row.text.substr(fieldStart, tab - fieldStart));
            if (tab == std::string::npos) break;
            fieldStart = tab + 1;
        }
        const contacts::RowVerdict verdict = validator.ValidateImportRow(row);
        if (verdict.reason.empty() || verdict.reason.back() != ',') std::abort();
        if (verdict.contact) {
            const std::string& jid = verdict.contact->jid;
            if (jid.size() < 4 || jid.front() == '@' || jid.back() == '@' ||
                jid.find('@') == std::string::npos || jid.find("!~!") != std::string::npos) {
                std::abort();
            }
            std::string lower = jid;
            for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            if (!accepted.insert(lower).second) std::abort();
            if (verdict.contact->nickname.empty() || verdict.contact->group.empty()) std::abort();
        }
        start = end + 1;
    }
    return 0;
}
