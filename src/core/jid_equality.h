#pragma once
// When two JIDs name the same person. The window manager finds chat windows with it and the
// contact model finds users with it, so both apply exactly one rule.
//
// Exact: the whole texts compare equal without regard to ASCII case.
// Loose, on copies of both:
//   1. the two spellings of a directory user become one: "@gover." is written "$gov@" and
//      "@puber." is written "$pub@" ("wang$gov@host" and "wang@gover.host" are one user);
//   2. the resource goes: the text is cut at its first '/' unless that is its first byte;
//   3. leading blanks go;
//   4. an SMS address (user type kUserTypeSms) is compared by its last 11 digits: when its
//      '@' stands after position 11, only the 11 bytes before the '@' and what follows it
//      are kept ("8613800138000@sms.host" is "13800138000@sms.host");
//   5. the results compare equal without regard to ASCII case.
// Every step works on GBK characters: an ASCII byte that is the second half of a Chinese
// character is never matched, cut at or folded.

#include <functional>
#include <string>
#include <string_view>

namespace core {

enum class JidMatch { Exact, Loose };

// The session engine's GetUserType: answers platform::kUserTypeSms (3) for an SMS address.
using UserTypeOf = std::function<int(std::string_view jid)>;

// Steps 1-4 of the loose rule: the form two loosely equal JIDs share (apart from case).
// Without `userTypeOf` step 4 is left out.
std::string LooseJidForm(std::string_view jid, const UserTypeOf& userTypeOf);

// A key for hashing: equal keys exactly when the JIDs are equal under `match` (the loose
// form, or the JID itself, with ASCII letters outside double-byte characters in lower case).
std::string JidKey(std::string_view jid, JidMatch match, const UserTypeOf& userTypeOf);

bool JidsEqual(std::string_view a, std::string_view b, JidMatch match,
               const UserTypeOf& userTypeOf);

}  // namespace core
