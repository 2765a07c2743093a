#include "chat/encoding/gateway_address.h"

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace chat {

bool IsGatewayJid(std::string_view jid) { return os::Find(jid, "@msn.") > 0; }

std::vector<std::string> GatewayParts(std::string_view body) {
    if (body.size() <= kMsnPartBytes) return {std::string(body)};
    std::string first = os::LeftBytes(body, kMsnPartBytes);
    std::string rest(body.substr(first.size()));
    return {std::move(first), std::move(rest)};
}

std::string GatewayStoreAddress(std::string_view jid) {
    std::string address(jid);
    const int slash = os::Find(address, '/');
    if (slash > 0) address = os::Left(address, slash);
    os::Replace(address, "\\40", "@");
    return address;
}

std::string GatewaySpeaker(std::string_view jid) {
    const int escaped = os::Find(jid, "\\40");
    return escaped >= 0 ? os::Left(jid, escaped) : std::string(jid);
}

}  // namespace chat
