#include "support/http/org_service.h"

#include <algorithm>

#include "os/text/gbk_codec.h"

namespace testing_support {
namespace {

// The level of a unit id: "" is 0 (the top's parent), "2" is 1, "2-1" is 2.
int LevelOf(std::string_view id) {
    if (id.empty()) return 0;
    return 1 + static_cast<int>(std::count(id.begin(), id.end(), '-'));
}

// Whether `id` is a well-formed path of positions within `fanOut`.
bool IsUnitId(std::string_view id, int fanOut) {
    std::size_t at = 0;
    while (at < id.size()) {
        std::size_t end = id.find('-', at);
        if (end == std::string_view::npos) end = id.size();
        const std::string_view part = id.substr(at, end - at);
        if (part.empty() || part.size() > 4 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        const int position = std::stoi(std::string(part));
        if (position < 1 || position > fanOut) return false;
        at = end + 1;
        if (end == id.size()) break;
    }
    return true;
}

std::string ParentOf(const std::string& target) {
    const std::string key = "parentOrgid=";
    const std::size_t at = target.find(key);
    if (at == std::string::npos) return "";
    std::size_t end = target.find('&', at);
    if (end == std::string::npos) end = target.size();
    return target.substr(at + key.size(), end - at - key.size());
}

}  // namespace

OrgService::OrgService(int fanOut, int depth)
    : fanOut_(fanOut),
      depth_(depth),
      server_([this](const RecordedRequest& request) { return Respond(request); }) {}

std::vector<GeneratedUnit> OrgService::UnitsBelow(std::string_view parentId) const {
    std::vector<GeneratedUnit> units;
    const int level = LevelOf(parentId);
    if (!IsUnitId(parentId, fanOut_) || level >= depth_) return units;
    for (int position = 1; position <= fanOut_; ++position) {
        GeneratedUnit unit;
        unit.id = parentId.empty() ? std::to_string(position)
                                   : std::string(parentId) + "-" + std::to_string(position);
        unit.name = "单位" + unit.id;
        unit.ssoCode = "sso" + unit.id;
        unit.childCount = level + 1 < depth_ ? fanOut_ : 0;
        unit.orgCode = "ORG" + unit.id;
        units.push_back(std::move(unit));
    }
    return units;
}

std::string OrgService::Document(std::string_view parentId) const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<units>\n";
    for (const GeneratedUnit& unit : UnitsBelow(parentId)) {
        xml += "  <unit><orgid>" + unit.id + "</orgid><orgname>" + os::GbkToUtf8Lossy(unit.name) +
               "</orgname><ssocoding>" + unit.ssoCode + "</ssocoding><childnum>" +
               std::to_string(unit.childCount) + "</childnum><orgcoding>" + unit.orgCode +
               "</orgcoding></unit>\n";
    }
    xml += "</units>\n";
    return xml;
}

std::optional<std::string> OrgService::Respond(const RecordedRequest& request) const {
    switch (answer_.load()) {
        case Answer::Failure:
            return LoopbackHttpServer::Response(500, "");
        case Answer::NotXml:
            return LoopbackHttpServer::Response(200, "<units><unit>", "Content-Type: text/xml\r\n");
        case Answer::Units:
            break;
    }
    return LoopbackHttpServer::Response(200, Document(ParentOf(request.target)),
                                        "Content-Type: text/xml; charset=UTF-8\r\n");
}

}  // namespace testing_support
