#pragma once
// The three contact trees of the main panel (the buddy list, the private phone book and the
// organisation directory) and their loading after a login:
//
//   data phase (type 106)  the trees are made on the main panel if they are not there yet;
//                          each is read from its cache file when it has one (then its nodes
//                          are built and it is checked with CheckCacheTimeVersion; a broken
//                          file asks for the whole list itself, contact_cache_files.h), else
//                          fetched: RefreshRoster (2), RefreshTelContactTop (2), the
//                          directory's top units; then RequestGroupOnlineInfo
//                          ("jabber:iq:roster", "all") and GetServersTime
//   list (type 5)          BuildFromList into the tree of the list's namespace; a buddy
//                          list or phone book left without item data asks the server for
//                          the group "未分组" (AddBudyGroup / AddTelGroup)
//   own vCard (type 39)    with HasRecentContact set, the recent-contacts tree is filled from
//                          the user's own extension (recent_contacts.h)
//   a chat or an SMS       the contact goes to the top of the recent contacts (AddRecentContact)
//   session end            every tree is emptied (EmptyAll; the window manager has saved
//                          the caches before) and the own extension is forgotten
//
// The trees belong to the main panel (its controls) and to the UI thread; they leave the
// contact trees when they are destroyed with the panel.

#include <string>
#include <string_view>

#include "contacts/contact_cache_files.h"
#include "contacts/recent_contacts.h"
#include "os/controls/tree_control.h"
#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}
namespace os {
class Window;
}

namespace contacts {

class CIMTree;
class ContactTrees;

// The trees' control ids on the main panel and the directory's top kind. The trees are named
// by the configured titles (PrivateContactFloderGovTitle, TelContactTitle,
// WorkContactFloderOrganizeTitle), which name their cache files too.
inline constexpr int kRosterTreeId = 6001;
inline constexpr int kPhoneBookTreeId = 6002;
inline constexpr int kDirectoryTreeId = 6003;
// The recent-contacts tree, made only with HasRecentContact set.
inline constexpr int kRecentTreeId = 6004;
inline constexpr std::string_view kDirectoryTop = "organizeTop";
// The name of the default group of the buddy list and the phone book.
inline constexpr std::string_view kDefaultGroupName = "未分组";

class MainPanelTrees {
  public:
    MainPanelTrees(core::ClientContext& context, ContactTrees& trees);
    ~MainPanelTrees();
    MainPanelTrees(const MainPanelTrees&) = delete;
    MainPanelTrees& operator=(const MainPanelTrees&) = delete;

    // Makes the three trees on `panel` unless they exist. UI thread.
    void Create(os::Window& panel);
    // Null until made (and after the panel went).
    CIMTree* roster() const { return roster_; }
    CIMTree* phoneBook() const { return phoneBook_; }
    CIMTree* directory() const { return directory_; }
    CIMTree* recent() const { return recent_; }
    // The tree a list of this namespace fills, or null.
    CIMTree* TreeForNameSpace(std::string_view nameSpace) const;

    // ---- UI thread
    // The data phase began: makes the trees on the main panel if needed and loads them.
    void OnDataPhaseStart();
    // A roster or phone-book list arrived.
    void OnContactList(const platform::ContactListData& list);
    // The user's own vCard arrived with this extension XML.
    void OnOwnExtension(const std::string& extensionXml);
    // The user chats with or texts `jid` (HasRecentContact set): see RecentContacts::Add.
    void AddRecentContact(const std::string& jid, const std::string& name);
    // Takes the recent-contacts tree's selected contact out of the recent contacts.
    void DeleteSelectedRecentContact();
    // The session ended: empties every contact tree.
    void EmptyAll();

  private:
    CIMTree* Make(os::Window& panel, int id, std::string_view name, std::string_view topKind);
    // True when the tree came from its cache file (or a broken one asked for the list).
    bool LoadFromCache(CIMTree& tree, CachedTree which, std::string_view nameSpace);

    core::ClientContext& context_;
    ContactTrees& trees_;
    CIMTree* roster_ = nullptr;
    CIMTree* phoneBook_ = nullptr;
    CIMTree* directory_ = nullptr;
    CIMTree* recent_ = nullptr;
    RecentContacts recentContacts_;
};

}  // namespace contacts
