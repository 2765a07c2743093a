#include "platform/session/jid_forms.h"

#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace platform {

std::string BareJid(std::string_view jid) {
    const int slash = os::Find(jid, '/');
    if (slash > 0) return std::string(jid.substr(0, static_cast<std::size_t>(slash)));
    return std::string(jid);
}

std::string JidKey(std::string_view jid) {
    std::string key = os::MakeLower(os::Trim(BareJid(jid)));
    os::Replace(key, "@gover.", "$gov@");
    os::Replace(key, "@puber.", "$pub@");
    return key;
}

int UserTypeOfJid(std::string_view jid) {
    const std::string lower = os::MakeLower(jid);
    if (os::Find(lower, "@sms.") >= 0) return kUserTypeSms;
    if (os::Find(lower, "$gov@") >= 0 || os::Find(lower, "@gover.") >= 0)
        return kUserTypeGovernment;
    if (os::Find(lower, "$pub@") >= 0 || os::Find(lower, "@puber.") >= 0) return kUserTypePublic;
    return kUserTypeOther;
}

std::string LocalUserId(std::string_view jid) {
    const int at = os::Find(jid, '@');
    std::string local = at >= 0 ? os::Left(jid, at) : std::string(jid);
    for (std::string_view marker : {std::string_view("$gov"), std::string_view("$pub")}) {
        const std::string lower = os::MakeLower(local);
        if (lower.size() >= marker.size() &&
            std::string_view(lower).substr(lower.size() - marker.size()) == marker) {
            local.resize(local.size() - marker.size());
            break;
        }
    }
    return local;
}

std::string JidForAccount(std::string_view account, int userType, std::string_view host) {
    if (os::Find(account, '@') >= 0) return std::string(account);
    const std::string name(account);
    const std::string domain(host);
    switch (userType) {
        case kUserTypeGovernment:
            return name + "$gov@" + domain;
        case kUserTypePublic:
            return name + "$pub@" + domain;
        case kUserTypeSms:
            return name + "@sms." + domain;
        default:
            return name + "@" + domain;
    }
}

}  // namespace platform
