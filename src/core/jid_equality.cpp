#include "core/jid_equality.h"

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace core {
namespace {

// The position after which an SMS address keeps only the 11 bytes before its '@'.
constexpr int kSmsDigits = 11;
// A user-type answer for SMS addresses (platform::kUserTypeSms).
constexpr int kSmsUserType = 3;

}  // namespace

std::string LooseJidForm(std::string_view jid, const UserTypeOf& userTypeOf) {
    std::string form(jid);
    // Both notations end in the "$gov@" / "$pub@" form: one way, then back.
    os::Replace(form, "$gov@", "@gover.");
    os::Replace(form, "$pub@", "@puber.");
    os::Replace(form, "@gover.", "$gov@");
    os::Replace(form, "@puber.", "$pub@");

    const int slash = os::Find(form, '/');
    if (slash > 0) form.resize(static_cast<std::size_t>(slash));

    form = os::TrimLeft(form);

    if (userTypeOf) {
        const int at = os::Find(form, '@');
        if (at > kSmsDigits && userTypeOf(form) == kSmsUserType) {
            // Digits in practice; never start inside a double-byte character all the same.
            const std::size_t start = os::CharBoundaryAtOrBefore(form, at - kSmsDigits);
            form.erase(0, start);
        }
    }
    return form;
}

std::string JidKey(std::string_view jid, JidMatch match, const UserTypeOf& userTypeOf) {
    if (match == JidMatch::Exact) return os::MakeLower(jid);
    return os::MakeLower(LooseJidForm(jid, userTypeOf));
}

bool JidsEqual(std::string_view a, std::string_view b, JidMatch match,
               const UserTypeOf& userTypeOf) {
    if (match == JidMatch::Exact) return os::EqualsNoCase(a, b);
    return os::EqualsNoCase(LooseJidForm(a, userTypeOf), LooseJidForm(b, userTypeOf));
}

}  // namespace core
