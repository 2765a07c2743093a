#pragma once
// CUser: one person as shown under one group of a contact tree. The same person (same JID)
// under two groups is two CUser objects, each with its own groupKey.
//
// The fields are the person's record; other parts read and write them directly, with two
// exceptions that the owning tree must see:
// - the JID is changed only through SetJid (or assignment), because the tree finds users
//   by it;
// - the presence word is changed only through SetPresence (or assignment), the one place
//   where it changes: every group listing the user recounts its entry there, and the tree
//   holding the user makes its node, its place and its ancestors' titles follow. So counts
//   stay right whichever path a presence takes (a notification, a copy, a cache save).

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contacts/shared_text.h"
#include "os/controls/tree_control.h"

struct CContactPersonInfo;

namespace os {
class Clock;
}

namespace contacts {

class CGroup;
class CIMTreeItemData;

// A small record a user carries for other parts of the client; copied with the user.
struct UserAttachment {
    std::string text1;
    std::string text2;
    std::string text3;
    std::string text4;
    std::uint8_t flag = 0;
    bool operator==(const UserAttachment&) const = default;
};

// The fields of a user that most users never set (see CUser's record), in declared order.
// extra1, extra2 (the vCard's two last further texts) and extra3 mean nothing to the
// client: they are only carried.
//
// The texts are SharedText handles (8 bytes each, no buffer while empty): a user with a few
// details set carries a block of some 400 bytes, not one of 40 full strings, and the users a
// cache file or a directory unit lists one after another share the texts they hold alike
// (the unit, the duty).
struct UserDetails {
    SharedText aux2;
    SharedText mail;
    SharedText mobile;
    SharedText workPhone;
    SharedText industry;
    SharedText unit;
    SharedText reserved;
    SharedText title;
    SharedText duty;
    SharedText shortNumber;
    SharedText fax;
    SharedText extension;
    SharedText staffNumber;
    SharedText phone2;
    SharedText phone3;
    SharedText phone4;
    SharedText extra1;
    SharedText extra2;
    std::array<SharedText, 13> vcardText;
    SharedText signature;
    SharedText extra3;
    SharedText extra4;
    SharedText photoType;
    SharedText photoData;  // Base64
    SharedText extensionXml;
    std::map<std::string, UserAttachment> attachments;
    SharedText nameSuffix;
    std::vector<std::string> recentIm;
    std::vector<std::string> recentSms;
};

// One entry of a group's user list, as the user listed there keeps it: the group, the slot of
// the entry in the group's list, and whether the group counts it online.
struct GroupListing {
    CGroup* group;
    std::uint32_t slot;
    bool countedOnline;
};

// Whether display texts show the personal signature (the ShowSignatureInTree and
// DefaultSignature settings).
struct SignatureRule {
    bool showInTree = false;
    std::string_view defaultSignature;
};

class CUser {
  public:
    // A user untouched for longer than this counts as stale.
    static constexpr std::uint32_t kStaleAfterMs = 10000;
    // The SMS-copy flag's value that asks for copies.
    static constexpr const char* kSmsCopiesWanted = "1";

    // Starts offline, touched now, with the display text for "offline".
    CUser(const os::Clock& clock, std::string jid, std::string name, std::string groupId,
          std::string subscription);
    // Copying takes the person's data (jid, name, groupId, subscription, aux2, presence,
    // groupKey, mail, mobile, workPhone, unit, shortNumber ... extra2, signature, photoType,
    // photoData, vcardFlags, the state byte and the attachments); the rest is what a new user
    // has. A copy belongs to no tree and no group. Assignment leaves the fields it does not
    // copy alone.
    CUser(const CUser& other);
    CUser& operator=(const CUser& other);
    // A user whose every text a cache record is about to give (the display text among
    // them): touched now, offline, but no display text made only to be replaced.
    static std::unique_ptr<CUser> ForRecord(const os::Clock& clock);
    ~CUser();

    const std::string& GetJid() const { return jid_; }
    // Changes the JID; the tree holding this user finds it by the new one from then on.
    void SetJid(std::string jid);

    // The presence word ("online", "away", "offline" ...); "offline" at construction.
    std::string_view presence() const { return presence_.view(); }
    // Changes the presence word (the same word again changes nothing): every group listing
    // this user counts it anew, and the tree holding it updates its node (see above).
    void SetPresence(std::string_view word);
    // presence is exactly "offline".
    bool IsOffline() const { return presence_ == "offline"; }
    // More than kStaleAfterMs since touchedTicks.
    bool IsStale() const;

    // name, followed by nameSuffix when suffixOn is 1.
    std::string ShownName() const;
    // displayText = "<shown name>(<label of the word>)", then "(<signature>)" when the rule
    // shows signatures and this one is set and not the default one.
    void UpdateDisplayText(std::string_view presenceWord, const SignatureRule& rule = {});

    // Whether `text` equals, ignoring case, the mobile, phone2, phone3, phone4, fax, the
    // JID's local part or the work phone. An empty text matches nothing.
    bool MatchesPhone(std::string_view text) const;

    // The vCard extension: signature, picture and the recent-contact lists.
    std::string BuildExtensionXml() const;
    // Empties signature, photoType, photoData, recentIm and recentSms, then reads them from
    // `text` (empty: from extensionXml).
    void ParseExtensionXml(std::string_view text = {});

    // Copies the vCard slots into the fields they fill (all but the JID and the name) and
    // reads the extension XML it carries.
    void ApplyVcardFields(const CContactPersonInfo& vcard);
    // Fills the personal-info record sent to the server from the fields and a freshly built
    // extension XML.
    void FillPersonInfo(CContactPersonInfo& info) const;

    // ---- What the client reads from the record's further fields ----
    // The contact's offline note: the further text its roster item carries (aux2). A chat
    // window opened on the contact while it is offline shows it first.
    std::string OfflineNote() const { return details().aux2.str(); }
    void SetOfflineNote(std::string note) { EditDetails().aux2 = std::move(note); }
    // Whether the contact asked for SMS copies of the chat messages it gets while offline:
    // the vCard's SMS-copy flag (extra4) is "1".
    bool WantsSmsCopiesWhileOffline() const { return details().extra4 == kSmsCopiesWanted; }
    void SetWantsSmsCopiesWhileOffline(bool wanted) {
        EditDetails().extra4 = wanted ? kSmsCopiesWanted : "0";
    }

    // The item data holding this user, if a tree holds it.
    CIMTreeItemData* holder() const { return holder_; }

    // ---- The person's record, in declared order (the JID is field 1) ----
    // Record operations (copying, the vCard, the cache files) take every field as it is; the
    // client reads aux2 and extra4 through the accessors above.
    //
    // A directory holds some 100 000 users of which few ever get more than a JID, a name and
    // their group: the fields every user has are members here; the rest (the vCard's texts,
    // the extension's, the attachments) live in one UserDetails block made when the first of
    // them is written. details() reads them (a user without the block reads empty fields);
    // EditDetails() makes the block and hands it out for writing.
    //
    // groupId, subscription and groupKey are alike for many users (every user of one unit
    // has the unit's key): SharedText handles, so a loader that hands the users of a unit
    // one text makes them share it.
    std::string name;
    SharedText groupId;
    SharedText subscription;  // "to", "from", "both" or empty
    // (the presence word, field 6, is presence() / SetPresence)
    SharedText groupKey;  // pathKey of the group node the user hangs under
    std::uint8_t videoCapable = 0;
    std::uint8_t stateByte = 0;
    std::int32_t vcardFlags = 0;
    std::uint32_t touchedTicks = 0;
    std::int32_t suffixOn = 0;  // (beside the other small fields: no padding)
    std::string displayText;
    os::TreeItem treeItem = os::kNoTreeItem;
    std::int32_t orderIndex = 0;

    const UserDetails& details() const;
    UserDetails& EditDetails();
    bool HasDetails() const { return details_ != nullptr; }
    // Gives the user a new block of details, every field empty, and hands it out.
    UserDetails& ResetDetails();

  private:
    friend class CIMTreeItemData;
    friend class CGroup;

    struct RecordTag {};
    CUser(const os::Clock& clock, RecordTag);
    // Construction's last steps: the display text for the current presence, touched now,
    // counters cleared.
    void Initialise();
    void CopyPersonFrom(const CUser& other);

    const os::Clock* clock_;
    std::string jid_;
    SharedText presence_ = SharedText::Word("offline");
    CIMTreeItemData* holder_ = nullptr;
    std::unique_ptr<UserDetails> details_;  // made on the first write of one of its fields
    // The groups whose user lists hold this user (once per entry): a user that goes leaves
    // them, so no list ever holds a user that is gone. A directory user is listed by its unit
    // and the units above it: the first two entries live in the user itself.
    using Listing = GroupListing;
    class Listings {
      public:
        Listings() = default;
        Listings(const Listings&) = delete;
        Listings& operator=(const Listings&) = delete;
        ~Listings() {
            if (capacity_ > kInline) delete[] heap_;
        }
        Listing* begin() { return data(); }
        Listing* end() { return data() + size_; }
        const Listing* begin() const { return data(); }
        const Listing* end() const { return data() + size_; }
        std::size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        Listing& back() { return data()[size_ - 1]; }
        void push_back(const Listing& listing);
        void pop_back() { --size_; }
        template <typename Predicate>
        void EraseIf(Predicate drop) {
            size_ = static_cast<std::uint32_t>(std::remove_if(begin(), end(), drop) - begin());
        }

      private:
        static constexpr std::uint32_t kInline = 2;
        Listing* data() { return capacity_ > kInline ? heap_ : inline_; }
        const Listing* data() const { return capacity_ > kInline ? heap_ : inline_; }
        union {
            Listing inline_[kInline];
            Listing* heap_;  // once more than kInline are kept
        };
        std::uint32_t size_ = 0;
        std::uint32_t capacity_ = kInline;
    };
    Listings listedIn_;
};

}  // namespace contacts
