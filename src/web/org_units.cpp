#include "web/org_units.h"

#include <pugixml.hpp>

#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "web/generic_http_client.h"

namespace web {
namespace {

// Whether the document's declaration says its text is already GBK.
bool DeclaresGbk(const pugi::xml_document& document) {
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_declaration) continue;
        const std::string_view encoding = node.attribute("encoding").value();
        return os::EqualsNoCase(encoding, "gbk") || os::EqualsNoCase(encoding, "gb2312") ||
               os::EqualsNoCase(encoding, "gb18030");
    }
    return false;
}

// The document's text in GBK: as it is when declared GBK, else read as UTF-8.
std::string ToGbk(std::string_view text, bool isGbk) {
    return isGbk ? std::string(text) : os::Utf8ToGbkLossy(text);
}

OrgUnit ReadUnit(const pugi::xml_node& element, bool isGbk) {
    OrgUnit unit;
    for (pugi::xml_node field = element.first_child(); field; field = field.next_sibling()) {
        if (field.type() != pugi::node_element) continue;
        const std::string_view name = field.name();
        std::string* target = nullptr;
        if (os::EqualsNoCase(name, "orgid"))
            target = &unit.id;
        else if (os::EqualsNoCase(name, "orgname"))
            target = &unit.name;
        else if (os::EqualsNoCase(name, "ssocoding"))
            target = &unit.ssoCode;
        else if (os::EqualsNoCase(name, "childnum"))
            target = &unit.childCount;
        else if (os::EqualsNoCase(name, "orgcoding"))
            target = &unit.orgCode;
        if (target != nullptr) *target = ToGbk(field.text().get(), isGbk);
    }
    return unit;
}

bool Load(pugi::xml_document& document, std::string_view text) {
    // Read as bytes: the encoding is decided from the declaration afterwards, so a GBK
    // document's bytes come through untouched.
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(),
                             pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8);
    return result && document.document_element();
}

}  // namespace

std::optional<std::vector<OrgUnit>> ParseOrgUnits(std::string_view text) {
    pugi::xml_document document;
    if (!Load(document, text)) return std::nullopt;
    const bool isGbk = DeclaresGbk(document);
    std::vector<OrgUnit> units;
    for (pugi::xml_node element : document.document_element().children()) {
        if (element.type() == pugi::node_element) units.push_back(ReadUnit(element, isGbk));
    }
    return units;
}

std::string OrgUnitsUrl(std::string_view serviceUrl, std::string_view parentId) {
    std::string url(serviceUrl);
    if (!parentId.empty()) {
        url += "?";
        url += kParentOrgParameter;
        url += "=";
        url += parentId;
    }
    return url;
}

ChildUnitsAnswer RequestChildUnits(GenericHttpClient& client, os::Log& pickerLog,
                                   std::string_view serviceUrl, std::string_view parentId) {
    const std::string parent(parentId);
    pickerLog.WriteLog(os::Format("请求子组信息, 父组 %s", parent.c_str()));
    ChildUnitsAnswer answer;
    if (!client.Request(OrgUnitsUrl(serviceUrl, parentId), RequestKind::Get, kClientUserAgent)) {
        pickerLog.WriteLog("请求失败");
        return answer;
    }
    const std::string& body = client.Body();
    pugi::xml_document document;
    const bool loaded = Load(document, body);
    const std::string shown = ToGbk(body, loaded && DeclaresGbk(document));
    pickerLog.WriteLog(os::Format("收到子组信息( 父组 %s ): %s", parent.c_str(), shown.c_str()));
    std::optional<std::vector<OrgUnit>> units = ParseOrgUnits(body);
    if (!units) {
        answer.outcome = ChildUnitsAnswer::Outcome::Unparsable;
        return answer;
    }
    pickerLog.WriteLog("加载XML成功");
    answer.outcome = ChildUnitsAnswer::Outcome::Loaded;
    answer.units = std::move(*units);
    return answer;
}

}  // namespace web
