#pragma once
// The organisation-unit picker's source: the units below one parent, fetched over HTTP from
// the deployment's organisation service (`GetSSOGroupUrl`) and read from its XML answer.
//
// The answer is a document whose root element holds one element per unit (its name does not
// matter); inside each, the child elements below carry the unit's fields. Their names are
// compared ignoring ASCII case, other elements are ignored, and a missing one reads as "".
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <units>
//     <unit>
//       <orgid>101</orgid>
//       <orgname>办公厅</orgname>
//       <ssocoding>sso101</ssocoding>
//       <childnum>3</childnum>
//       <orgcoding>BGT</orgcoding>
//     </unit>
//   </units>
//
// The document is UTF-8 unless its declaration names GBK, GB2312 or GB18030 (then its text is
// taken as it is); the fields come out in GBK like all text here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {
class Log;
}

namespace web {

class GenericHttpClient;

// The picker's log file, in the shared client directory.
inline constexpr const char* kOrgUnitsLogFile = "log/getGroup.log";
// The query parameter that names the parent unit.
inline constexpr const char* kParentOrgParameter = "parentOrgid";

struct OrgUnit {
    std::string id;
    std::string name;
    std::string ssoCode;     // single-sign-on code
    std::string childCount;  // as the service wrote it
    std::string orgCode;     // organisation code

    bool operator==(const OrgUnit&) const = default;
};

// The units of an answer, in document order; nothing when it is not well-formed XML or has
// no root element.
std::optional<std::vector<OrgUnit>> ParseOrgUnits(std::string_view document);

// `serviceUrl` + "?parentOrgid=" + the parent id as it is (ids are the service's own plain
// codes); the service address alone when the parent id is empty.
std::string OrgUnitsUrl(std::string_view serviceUrl, std::string_view parentId);

struct ChildUnitsAnswer {
    enum class Outcome {
        RequestFailed,  // no answer: "请求失败" logged
        Unparsable,     // an answer that is not XML: the caller shows "解析数据出错"
        Loaded,         // "加载XML成功" logged; `units` may be empty
    };
    Outcome outcome = Outcome::RequestFailed;
    std::vector<OrgUnit> units;
};

// Asks the service at `serviceUrl` for the units below `parentId` with a GET of `client`
// (the client's user agent), logging each step to `pickerLog`.
ChildUnitsAnswer RequestChildUnits(GenericHttpClient& client, os::Log& pickerLog,
                                   std::string_view serviceUrl, std::string_view parentId);

}  // namespace web
