#include "contacts/transfer/import_row_validator.h"

#include "contacts/editing/text_rules.h"
#include "os/text/cstring_ops.h"

namespace contacts {
namespace {

// The contact dialogs' own field rules.
using editing::HasIllegalChars;
using editing::IsValidMobile;

bool IsUserIdChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == '@' || c == '$';
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

RowVerdict Reject(std::string_view reason) { return RowVerdict{std::nullopt, reason}; }

const std::string& FieldOr(const std::vector<std::string>& fields, std::size_t index) {
    static const std::string kEmpty;
    return index < fields.size() ? fields[index] : kEmpty;
}

}  // namespace

std::vector<std::string> SplitGroupPath(std::string_view group) {
    std::vector<std::string> levels;
    std::size_t start = 0;
    while (start <= group.size()) {
        // "::" is ASCII and ':' is no GBK trail byte: a byte search finds only real colons.
        std::size_t end = group.find("::", start);
        if (end == std::string_view::npos) end = group.size();
        if (end > start) levels.emplace_back(group.substr(start, end - start));
        start = end + 2;
    }
    return levels;
}

RowVerdict ImportRowValidator::ValidateImportRow(const ImportRow& row) {
    if (row.text.size() < 5) return Reject(kRowIncomplete);
    if (row.fields.size() < 3) return Reject(kRowIncomplete);
    std::string id = os::Trim(row.fields[0]);
    const std::string nickname = os::Trim(row.fields[1]);
    const std::string group = os::Trim(row.fields[2]);
    if (id.size() < 4 || nickname.empty() || group.empty()) return Reject(kFirstFieldsTooShort);
    if (id.find(kResultMarker) != std::string::npos ||
        nickname.find(kResultMarker) != std::string::npos ||
        group.find(kResultMarker) != std::string::npos) {
        return Reject(kFirstFieldsHoldMarker);
    }
    if (id.find('@') == std::string::npos) {
        if (!IsValidMobile(id)) return Reject(kUserIdInvalid);
        id = id + "@sms." + hostName_;
    } else if (id.front() == '@' || id.back() == '@') {
        return Reject(kUserIdInvalid);
    }
    for (const char c : id) {
        if (!IsUserIdChar(c)) return Reject(kUserIdIllegalChars);
    }
    const bool sms = id.find("@sms") != std::string::npos;
    if (!sms && (HasIllegalChars(nickname) || HasIllegalChars(group))) {
        return Reject(kNameOrGroupIllegal);
    }
    std::string lowerId = LowerAscii(id);
    if (acceptedIds_.count(lowerId) != 0) return Reject(kUserIdRepeated);
    std::string mobileKey;
    if (sms) {
        mobileKey = topKind_ + "," + group + "\n" + id.substr(0, id.find('@'));
        if (groupMobiles_.count(mobileKey) != 0) return Reject(kMobileRepeatedInGroup);
    }
    acceptedIds_.insert(std::move(lowerId));
    if (sms) groupMobiles_.insert(std::move(mobileKey));

    ImportedContact contact;
    contact.jid = std::move(id);
    contact.nickname = nickname;
    contact.group = group;
    contact.groupLevels = SplitGroupPath(group);
    contact.smsRecipient = sms;
    contact.workPhone = FieldOr(row.fields, 3);
    contact.mobile = FieldOr(row.fields, 4);
    contact.mail = FieldOr(row.fields, 5);
    contact.industry = FieldOr(row.fields, 6);
    contact.unit = FieldOr(row.fields, 7);
    contact.title = FieldOr(row.fields, 8);
    contact.duty = FieldOr(row.fields, 9);
    return RowVerdict{std::move(contact), kRowAccepted};
}

}  // namespace contacts
