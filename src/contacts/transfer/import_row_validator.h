#pragma once
// The rules every import row passes, in order; the first that fails rejects the row with its
// reason (each reason ends with ","). The validator remembers what it accepted, so the same
// user id twice, or an SMS number twice in one group, is caught in the later row.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "contacts/transfer/delimited_reader.h"

namespace contacts {

inline constexpr std::string_view kRowIncomplete = "此行信息不完整,";
inline constexpr std::string_view kFirstFieldsTooShort = "前3个字段长度不够,";
inline constexpr std::string_view kFirstFieldsHoldMarker = "前3个字段内容不正确,";
inline constexpr std::string_view kUserIdInvalid = "第一列用户名不合法,";
inline constexpr std::string_view kUserIdIllegalChars = "第一列用户名有非法字符,";
inline constexpr std::string_view kNameOrGroupIllegal = "第二列或第三列含有有非法字符< > \" ' &,";
inline constexpr std::string_view kUserIdRepeated = "第一列用户名重复,";
inline constexpr std::string_view kMobileRepeatedInGroup = "同组群下手机号重复,";
inline constexpr std::string_view kRowAccepted = "OK,";
// Separates a row from its result in the result file; refused inside the first three fields.
inline constexpr std::string_view kResultMarker = "!~!";

// An accepted row: the contact to add, the fields after the first three in export order.
struct ImportedContact {
    std::string jid;
    std::string nickname;
    std::string group;                     // as written: levels joined by "::"
    std::vector<std::string> groupLevels;  // outermost first
    bool smsRecipient = false;
    std::string workPhone, mobile, mail, industry, unit, title, duty;
};

struct RowVerdict {
    std::optional<ImportedContact> contact;  // set when accepted
    std::string_view reason;                 // kRowAccepted or the rejection
};

class ImportRowValidator {
  public:
    // `hostName` completes a bare mobile number; `topKind` of the target tree keys the groups.
    ImportRowValidator(std::string hostName, std::string topKind)
        : hostName_(std::move(hostName)), topKind_(std::move(topKind)) {}

    RowVerdict ValidateImportRow(const ImportRow& row);

  private:
    std::string hostName_;
    std::string topKind_;
    std::unordered_set<std::string> acceptedIds_;   // lower-cased
    std::unordered_set<std::string> groupMobiles_;  // group key + "\n" + mobile
};

// The group text split at "::" into its levels, outermost first (empty levels dropped).
std::vector<std::string> SplitGroupPath(std::string_view group);

}  // namespace contacts
