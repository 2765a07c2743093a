#pragma once
// The contact trees of one client and the notifications that concern all of them.
//
// A contact's presence (notification types 16-24 but 17 and 23, handed to the UI thread as
// WM_IM_NOTIFY subcode 46) reaches every user shown with that JID in any tree: each takes the
// new word, its icon and text, its place among its siblings and the counts of its ancestors.
// When the BuddyStatusNotify setting is on, a contact who comes online asks for a status
// tip (subcode 11): "%s 刚登录" when the contact was offline, "%s 上线了" when it comes back
// to "online" from another state. The answer to a status query (type 24) tells a state, not
// a change, and brings no tip.
//
// The notification pump calls OnPresenceNotify for subcode 46, sends subcode 11 with the tip
// text it answers, and calls OnStatusTip for subcode 11. All on the UI thread: the trees
// belong to the thread that added the first of them, and in a debug build every call from
// another thread fails loudly (os/sys/thread_check.h); other threads ask through SendTask.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/jid/jid.h"
#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}

struct CContactPersonInfo;

namespace contacts {

class CIMTree;
class CUser;

struct PresenceOutcome {
    // How many users (over all trees) took the new presence.
    int usersChanged = 0;
    // The tip to show through subcode 11, if any.
    std::optional<std::string> statusTip;
};

class ContactTrees {
  public:
    explicit ContactTrees(core::ClientContext& context);
    ContactTrees(const ContactTrees&) = delete;
    ContactTrees& operator=(const ContactTrees&) = delete;

    // Trees join when they are created and leave before they are destroyed.
    void Add(CIMTree& tree);
    void Remove(CIMTree& tree);
    const std::vector<CIMTree*>& trees() const { return trees_; }
    core::ClientContext& context() const { return context_; }

    // Subcode 46. A record that is no presence (another type, or another payload) changes
    // nothing.
    PresenceOutcome OnPresenceNotify(const platform::NotifyRecord& record);
    // Subcode 11: shows the tip near the tray.
    void OnStatusTip(const std::string& text);
    // Subcode 22 (a person's vCard, type 39): every tree applies it. Answers how many users
    // took it; a record without vCard slots changes nothing.
    int OnVcardNotify(const platform::NotifyRecord& record);

    // Called on the UI thread with the extension XML of the logged-in user's own vCard when
    // one arrives (subcode 22 for the user's own JID); empty: nobody is told.
    void SetOwnExtensionHandler(std::function<void(const std::string&)> handler) {
        ownExtension_ = std::move(handler);
    }

    // The first user with this JID, tree by tree in the order they joined; null when none.
    CUser* FindUser(std::string_view jid, platform::JidMatch match) const;
    // The subscription state of `jid` in the first tree that holds it, or nothing.
    std::optional<std::string> Subscription(std::string_view jid) const;

    // The presence word a record carries: its own word, or for a record without one the
    // word its type stands for. Empty when there is none.
    static std::string PresenceWordOf(const platform::NotifyRecord& record);

  private:
    // In a debug build, fails loudly unless called on the trees' thread.
    void CheckThread(std::string_view call) const;

    core::ClientContext& context_;
    std::vector<CIMTree*> trees_;
    std::thread::id owner_;  // the thread that added the first tree
    std::string ownerName_;
    std::function<void(const std::string&)> ownExtension_;
};

}  // namespace contacts
