#pragma once
// Jid: the address of a user, a room or a gateway contact, as GBK text: a local part, "@", a
// domain and, after the first "/", a resource. One type answers every question the client
// asks of an address, so the message store, the contact trees, the chat windows and the
// simulated server agree on who is who.
//
// Forms the client builds and recognises:
//   "%s$gov@%s"   a government directory user, also written local + "@gover." + host
//   "%s$pub@%s"   a public directory user, also written local + "@puber." + host
//   "%s@sms.%s"   an SMS recipient (the session engine's GetUserType answers kUserTypeSms)
//   "...@conference...."   a group-chat room; room JID + "/" + nickname is an occupant
//   "...@msn...."          a contact reached through the MSN gateway
//
// Two JIDs name one person under one of two rules:
//   Exact: the whole texts are equal without regard to ASCII case.
//   Loose, on copies of both:
//     1. the two spellings of a directory user become one: "@gover." is written "$gov@" and
//        "@puber." is written "$pub@", ASCII case ignored in finding them ("wang@gover.host",
//        "wang@GOVER.host" and "wang$gov@host" are one user);
//     2. the resource goes: the text is cut at its first '/' unless that is its first byte;
//     3. leading blanks go (trailing ones stay);
//     4. an SMS address is compared by its last 11 digits: when the session engine calls it
//        an SMS recipient and its '@' stands after position 11, only the 11 bytes before the
//        '@' and what follows are kept ("8613800138000@sms.host" is "13800138000@sms.host");
//     5. the results are equal without regard to ASCII case.
// Step 4 needs the session engine, so it is an input of the loose form (UserTypeOf); the
// store key, which must not depend on an engine, is the loose key without it.
//
// Every operation works on GBK characters: an ASCII byte that is the second half of a
// Chinese character ("丂" is 0x81 '@', "誠" is 0xD5 '\\') is never matched, cut at or folded.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// The session engine's GetUserType answers.
inline constexpr int kUserTypeOther = 0;
inline constexpr int kUserTypeGovernment = 1;
inline constexpr int kUserTypePublic = 2;
inline constexpr int kUserTypeSms = 3;

// Which of the two comparison rules above.
enum class JidMatch { Exact, Loose };

// What an address names, by its text (see Jid::Kind for the order of the tests).
enum class JidKind { Plain, Government, Public, Sms, Room, Occupant, Msn };

// The session engine's GetUserType, the one input of the loose rule that the text cannot
// give: an address it answers kUserTypeSms for compares by its last 11 digits. An empty
// function stands for no engine: SMS addresses then compare whole.
using UserTypeOf = std::function<int(std::string_view jid)>;

class Jid {
  public:
    Jid() = default;
    explicit Jid(std::string_view text) : text_(text) {}

    // The forms the client builds: local + "$gov@" + host, local + "$pub@" + host and
    // mobile + "@sms." + host.
    static Jid Government(std::string_view localPart, std::string_view host);
    static Jid Public(std::string_view localPart, std::string_view host);
    static Jid Sms(std::string_view mobile, std::string_view host);
    // The JID of an account name for a user type (kUserTypeGovernment: Government, and so
    // on; any other type: account + "@" + host). A name that holds '@' already is a JID.
    static Jid ForAccount(std::string_view account, int userType, std::string_view host);

    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }

    // ---- Parts ---------------------------------------------------------------------

    // Without the resource: the text before its first '/', unless that '/' is the first byte
    // (then it is no resource and the whole text is bare).
    std::string Bare() const;
    // The text after the first '/' that starts a resource; empty when there is none.
    std::string Resource() const;
    // The bare JID's text before its first '@'; all of it when there is no '@'.
    std::string LocalPart() const;
    // The bare JID's text after its first '@'; empty when there is no '@'.
    std::string Domain() const;
    // The local part without a trailing "$gov" / "$pub" marker (ASCII case ignored):
    // "zhang$gov@host" -> "zhang". The account name of a directory user.
    std::string UserId() const;

    // ---- Kind ----------------------------------------------------------------------

    // Looked for in the bare JID, ASCII case ignored, in this order: "@conference." after the
    // first byte (Room, or Occupant when a non-empty resource follows), "@msn." after the
    // first byte (Msn), "@sms." (Sms), "$gov@" or "@gover." (Government), "$pub@" or
    // "@puber." (Public); anything else is Plain.
    JidKind Kind() const;
    // The user-type markers alone, as a session engine answers GetUserType from the text:
    // kUserTypeSms for "@sms.", kUserTypeGovernment, kUserTypePublic, else kUserTypeOther
    // (a directory user's room is still a government user's address).
    int UserType() const;
    bool IsRoom() const { return Kind() == JidKind::Room; }
    bool IsOccupant() const { return Kind() == JidKind::Occupant; }
    bool IsMsn() const { return Kind() == JidKind::Msn; }

    // ---- Comparison forms ------------------------------------------------------------

    // The exact rule's key: the text with ASCII letters outside double-byte characters in
    // lower case. Equal keys exactly when the texts are equal under JidMatch::Exact.
    std::string ExactKey() const;
    // Steps 1-4 of the loose rule (step 4 only with `userTypeOf`): the text two loosely
    // equal JIDs share, apart from ASCII case. Other letters keep the case they were given.
    std::string LooseForm(const UserTypeOf& userTypeOf) const;
    // The loose form in lower case: equal keys exactly when the JIDs are loosely equal.
    std::string LooseKey(const UserTypeOf& userTypeOf) const;
    // ExactKey or LooseKey.
    std::string Key(JidMatch match, const UserTypeOf& userTypeOf) const;
    // The key of tables kept without a session engine (the message store, the simulated
    // server's accounts): the loose key without the SMS step. Spellings of one directory
    // user, resources and ASCII case make no difference; two SMS numbers always differ.
    std::string StoreKey() const;

    // Whether `a` and `b` name one person under `match`.
    static bool Equal(std::string_view a, std::string_view b, JidMatch match,
                      const UserTypeOf& userTypeOf);

  private:
    std::string text_;
};

}  // namespace platform
