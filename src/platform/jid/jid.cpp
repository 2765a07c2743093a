#include "platform/jid/jid.h"

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace platform {
namespace {

// The position after which an SMS address keeps only the 11 bytes before its '@'.
constexpr int kSmsDigits = 11;

// Replaces every `from` (lower-case ASCII) found without regard to ASCII case by `to` (lower
// case too), left to right without overlapping, matching whole characters only. `lower` is
// the lower-case copy of `text` and stays so. Lower-casing keeps every character boundary
// where it was, so a match in `lower` is one in `text`.
void ReplaceIgnoringCase(std::string& text, std::string& lower, std::string_view from,
                         std::string_view to) {
    int at = os::Find(lower, from);
    if (at < 0) return;
    std::string out, outLower;
    std::size_t copied = 0;
    while (at >= 0) {
        const std::size_t kept = static_cast<std::size_t>(at) - copied;
        out.append(text, copied, kept).append(to);
        outLower.append(lower, copied, kept).append(to);
        copied = static_cast<std::size_t>(at) + from.size();
        at = copied < lower.size() ? os::Find(lower, from, static_cast<int>(copied)) : -1;
    }
    out.append(text, copied, std::string::npos);
    outLower.append(lower, copied, std::string::npos);
    text = std::move(out);
    lower = std::move(outLower);
}

// Whether lower-cased text holds a lower-case marker (so ASCII case is ignored).
bool Contains(std::string_view lowerText, std::string_view marker) {
    return os::Find(lowerText, marker) >= 0;
}

// The same, with at least one byte of local part before the marker: a room or a gateway
// contact has a name.
bool ContainsAfterName(std::string_view lowerText, std::string_view marker) {
    return os::Find(lowerText, marker) > 0;
}

// Position of the '/' that starts the resource, or -1.
int ResourceSlash(std::string_view text) {
    const int slash = os::Find(text, '/');
    return slash > 0 ? slash : -1;
}

// Steps 1-3 of the loose rule.
std::string LooseFormWithoutSms(std::string_view jid) {
    std::string form(jid);
    std::string lower = os::MakeLower(form);
    // Both notations end in the "$gov@" / "$pub@" form: one way, then back.
    ReplaceIgnoringCase(form, lower, "$gov@", "@gover.");
    ReplaceIgnoringCase(form, lower, "$pub@", "@puber.");
    ReplaceIgnoringCase(form, lower, "@gover.", "$gov@");
    ReplaceIgnoringCase(form, lower, "@puber.", "$pub@");

    const int slash = ResourceSlash(form);
    if (slash > 0) form.resize(static_cast<std::size_t>(slash));
    return os::TrimLeft(form);
}

}  // namespace

Jid Jid::Government(std::string_view localPart, std::string_view host) {
    return Jid(std::string(localPart) + "$gov@" + std::string(host));
}

Jid Jid::Public(std::string_view localPart, std::string_view host) {
    return Jid(std::string(localPart) + "$pub@" + std::string(host));
}

Jid Jid::Sms(std::string_view mobile, std::string_view host) {
    return Jid(std::string(mobile) + "@sms." + std::string(host));
}

Jid Jid::ForAccount(std::string_view account, int userType, std::string_view host) {
    if (os::Find(account, '@') >= 0) return Jid(account);
    switch (userType) {
        case kUserTypeGovernment:
            return Government(account, host);
        case kUserTypePublic:
            return Public(account, host);
        case kUserTypeSms:
            return Sms(account, host);
        default:
            return Jid(std::string(account) + "@" + std::string(host));
    }
}

std::string Jid::Bare() const {
    const int slash = ResourceSlash(text_);
    return slash > 0 ? os::Left(text_, slash) : text_;
}

std::string Jid::Resource() const {
    const int slash = ResourceSlash(text_);
    return slash > 0 ? os::Mid(text_, slash + 1) : std::string();
}

std::string Jid::LocalPart() const {
    const std::string bare = Bare();
    const int at = os::Find(bare, '@');
    return at >= 0 ? os::Left(bare, at) : bare;
}

std::string Jid::Domain() const {
    const std::string bare = Bare();
    const int at = os::Find(bare, '@');
    return at >= 0 ? os::Mid(bare, at + 1) : std::string();
}

std::string Jid::UserId() const {
    std::string local = LocalPart();
    const std::string lower = os::MakeLower(local);
    // '$' is no trail byte, so a marker at the end always starts a character.
    for (std::string_view marker : {std::string_view("$gov"), std::string_view("$pub")}) {
        if (lower.size() >= marker.size() &&
            std::string_view(lower).substr(lower.size() - marker.size()) == marker) {
            local.resize(local.size() - marker.size());
            break;
        }
    }
    return local;
}

JidKind Jid::Kind() const {
    const std::string lower = os::MakeLower(Bare());
    if (ContainsAfterName(lower, "@conference.")) {
        return Resource().empty() ? JidKind::Room : JidKind::Occupant;
    }
    if (ContainsAfterName(lower, "@msn.")) return JidKind::Msn;
    switch (UserType()) {
        case kUserTypeSms:
            return JidKind::Sms;
        case kUserTypeGovernment:
            return JidKind::Government;
        case kUserTypePublic:
            return JidKind::Public;
        default:
            return JidKind::Plain;
    }
}

int Jid::UserType() const {
    const std::string lower = os::MakeLower(Bare());
    if (Contains(lower, "@sms.")) return kUserTypeSms;
    if (Contains(lower, "$gov@") || Contains(lower, "@gover.")) {
        return kUserTypeGovernment;
    }
    if (Contains(lower, "$pub@") || Contains(lower, "@puber.")) {
        return kUserTypePublic;
    }
    return kUserTypeOther;
}

std::string Jid::ExactKey() const { return os::MakeLower(text_); }

std::string Jid::LooseForm(const UserTypeOf& userTypeOf) const {
    std::string form = LooseFormWithoutSms(text_);
    if (userTypeOf) {
        const int at = os::Find(form, '@');
        if (at > kSmsDigits && userTypeOf(form) == kUserTypeSms) {
            // Digits in practice; never start inside a double-byte character all the same.
            form.erase(0,
                       os::CharBoundaryAtOrBefore(form, static_cast<std::size_t>(at - kSmsDigits)));
        }
    }
    return form;
}

std::string Jid::LooseKey(const UserTypeOf& userTypeOf) const {
    return os::MakeLower(LooseForm(userTypeOf));
}

std::string Jid::Key(JidMatch match, const UserTypeOf& userTypeOf) const {
    return match == JidMatch::Exact ? ExactKey() : LooseKey(userTypeOf);
}

std::string Jid::StoreKey() const { return os::MakeLower(LooseFormWithoutSms(text_)); }

bool Jid::Equal(std::string_view a, std::string_view b, JidMatch match,
                const UserTypeOf& userTypeOf) {
    if (match == JidMatch::Exact) return os::EqualsNoCase(a, b);
    return os::EqualsNoCase(Jid(a).LooseForm(userTypeOf), Jid(b).LooseForm(userTypeOf));
}

}  // namespace platform
