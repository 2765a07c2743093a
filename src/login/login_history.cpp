#include "login/login_history.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>

#include "login/password_scrambler.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"

namespace login {
namespace {

constexpr std::size_t kFullFields = 8;
constexpr std::size_t kMobileFields = 3;

// Escapes the bytes that would break a line into fields or lines. All are ASCII, below the
// range of GBK trail bytes, so no double-byte character is touched.
std::string EscapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '%':
                out += "%25";
                break;
            case ';':
                out += "%3B";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            case '\0':
                out += "%00";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string code = os::MakeUpper(text.substr(i + 1, 2));
            int decoded = -1;
            if (code == "25")
                decoded = '%';
            else if (code == "3B")
                decoded = ';';
            else if (code == "0D")
                decoded = '\r';
            else if (code == "0A")
                decoded = '\n';
            else if (code == "00")
                decoded = '\0';
            if (decoded >= 0) {
                out += static_cast<char>(decoded);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The first `most` pieces of the line between ';'s (the last one holding the rest): a line
// has only so many fields the history reads, however many separators a damaged file holds.
std::vector<std::string_view> SplitFields(std::string_view line, std::size_t most) {
    std::vector<std::string_view> fields;
    fields.reserve(most);
    std::size_t start = 0;
    while (start <= line.size()) {
        if (fields.size() + 1 == most) {
            fields.push_back(line.substr(start));
            break;
        }
        const std::size_t end = line.find(';', start);
        if (end == std::string_view::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool SameName(std::string_view a, std::string_view b) { return os::EqualsNoCase(a, b); }

}  // namespace

bool SavedAccount::IsNamed(std::string_view text) const {
    return name == text || std::find(aliases.begin(), aliases.end(), text) != aliases.end();
}

LoginHistory::LoginHistory(std::string path, HistoryLayout layout)
    : path_(std::move(path)), layout_(layout) {}

bool LoginHistory::Load(os::LogSink* log) {
    accounts_.clear();
    readable_ = true;
    if (!os::FileExists(path_) && !os::DirectoryExists(path_)) return true;
    std::string bytes;
    if (!os::ReadFile(path_, bytes, kHistoryReadLimit, log)) {
        readable_ = false;
        return false;
    }
    // Names already taken, folded as SameName compares them, so a long file loads in one pass.
    std::unordered_set<std::string> seen;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        SavedAccount account;
        if (!line.empty() && ParseLine(line, account) &&
            seen.insert(os::MakeLower(account.name)).second) {
            accounts_.push_back(std::move(account));
        }
        start = end + 1;
    }
    return true;
}

bool LoginHistory::Save() const {
    if (!readable_) return false;
    std::string bytes;
    for (const SavedAccount& account : accounts_) bytes += FormatLine(account) + "\r\n";
    return os::WriteFileAtomically(path_, bytes);
}

void LoginHistory::Remember(SavedAccount account) {
    auto old = std::find_if(accounts_.begin(), accounts_.end(),
                            [&](const SavedAccount& a) { return SameName(a.name, account.name); });
    if (old != accounts_.end()) {
        for (std::string& alias : old->aliases) {
            if (account.aliases.size() >= kMaxAliases) break;
            if (!account.IsNamed(alias)) account.aliases.push_back(std::move(alias));
        }
        accounts_.erase(old);
    }
    if (account.aliases.size() > kMaxAliases) account.aliases.resize(kMaxAliases);
    accounts_.insert(accounts_.begin(), std::move(account));
}

const SavedAccount* LoginHistory::Find(std::string_view name) const {
    for (const SavedAccount& account : accounts_) {
        if (SameName(account.name, name)) return &account;
    }
    return nullptr;
}

std::string LoginHistory::FormatLine(const SavedAccount& account) const {
    const auto alias = [&](std::size_t i) {
        return i < account.aliases.size() ? EscapeField(account.aliases[i]) : std::string();
    };
    const std::string name = EscapeField(account.name);
    const std::string password = ScramblePassword(account.password);
    // Joined by hand, not through a format: a field may hold a NUL byte (kept as "%00").
    if (layout_ == HistoryLayout::Mobile) return name + ";" + password + ";" + alias(0) + ";";
    return name + ";" + password + ";" + std::to_string(account.userKind) + ";" +
           EscapeField(account.extraText) + ";" + EscapeField(account.groupName) + ";" + alias(0) +
           ";" + alias(1) + ";" + alias(2) + ";";
}

bool LoginHistory::ParseLine(std::string_view line, SavedAccount& account) const {
    const std::size_t wanted = layout_ == HistoryLayout::Mobile ? kMobileFields : kFullFields;
    const std::vector<std::string_view> fields = SplitFields(line, wanted + 1);
    // Each field ends in ';', so the split leaves one empty piece after the last.
    if (fields.size() < wanted + 1 || fields[0].empty()) return false;
    account = SavedAccount{};
    account.name = UnescapeField(fields[0]);
    account.password = UnscramblePassword(fields[1]).value_or(std::string());
    std::size_t firstAlias = 2;
    if (layout_ == HistoryLayout::Full) {
        int kind = 1;
        const std::string_view text = fields[2];
        std::from_chars(text.data(), text.data() + text.size(), kind);
        account.userKind = kind == 2 ? 2 : 1;
        account.extraText = UnescapeField(fields[3]);
        account.groupName = UnescapeField(fields[4]);
        firstAlias = 5;
    }
    for (std::size_t i = firstAlias; i < wanted; ++i) {
        if (!fields[i].empty()) account.aliases.push_back(UnescapeField(fields[i]));
    }
    return true;
}

}  // namespace login
