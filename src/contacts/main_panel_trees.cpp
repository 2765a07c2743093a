#include "contacts/main_panel_trees.h"

#include <string>

#include "config/client_config.h"
#include "contacts/contact_trees.h"
#include "contacts/directory_loader.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_layout.h"
#include "contacts/tree_builder.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

// The mode the full-list requests are sent with (directory_loader.h has the directory's).
constexpr int kWholeListMode = 2;
// The recent-contacts tree has no cache file; its name only labels it.
constexpr std::string_view kRecentTreeName = "最近联系人";

}  // namespace

MainPanelTrees::MainPanelTrees(core::ClientContext& context, ContactTrees& trees)
    : context_(context), trees_(trees), recentContacts_(context, trees) {
    trees_.SetOwnExtensionHandler([this](const std::string& xml) { OnOwnExtension(xml); });
}

MainPanelTrees::~MainPanelTrees() {
    trees_.SetOwnExtensionHandler({});
    for (CIMTree* tree : {roster_, phoneBook_, directory_, recent_}) {
        if (tree == nullptr) continue;
        tree->SetDestroyHandler({});
        trees_.Remove(*tree);
    }
}

CIMTree* MainPanelTrees::Make(os::Window& panel, int id, std::string_view name,
                              std::string_view topKind) {
    if (auto* existing = panel.GetControl<CIMTree>(id)) return existing;
    CIMTree* tree = CIMTree::Create(panel, context_, std::string(name), 0, id, ScrollSkin::Plain);
    if (tree == nullptr) {
        context_.log.WriteLog("创建联系人树失败: " + std::string(name));
        return nullptr;
    }
    tree->topKind = std::string(topKind);
    tree->SetDestroyHandler([this](CIMTree& gone) {
        trees_.Remove(gone);
        for (CIMTree** slot : {&roster_, &phoneBook_, &directory_, &recent_}) {
            if (*slot == &gone) *slot = nullptr;
        }
    });
    trees_.Add(*tree);
    return tree;
}

void MainPanelTrees::Create(os::Window& panel) {
    const config::ClientConfig& config = context_.config;
    if (roster_ == nullptr) {
        roster_ = Make(panel, kRosterTreeId, config.PrivateContactFloderGovTitle, kRosterTop);
    }
    if (phoneBook_ == nullptr) {
        phoneBook_ = Make(panel, kPhoneBookTreeId, config.TelContactTitle, kPhoneBookTop);
    }
    if (directory_ == nullptr) {
        directory_ =
            Make(panel, kDirectoryTreeId, config.WorkContactFloderOrganizeTitle, kDirectoryTop);
    }
    if (recent_ == nullptr && config.HasRecentContact != 0) {
        recent_ = Make(panel, kRecentTreeId, kRecentTreeName, kRecentParentId);
    }
    LayOutMainPanelTrees(panel);
}

CIMTree* MainPanelTrees::TreeForNameSpace(std::string_view nameSpace) const {
    if (nameSpace == platform::kRosterNameSpace) return roster_;
    if (nameSpace == platform::kPhoneBookNameSpace) return phoneBook_;
    return nullptr;
}

bool MainPanelTrees::LoadFromCache(CIMTree& tree, CachedTree which, std::string_view nameSpace) {
    const std::optional<std::string> file = CacheFileOf(which, context_);
    if (!file || !os::FileExists(*file)) return false;
    if (LoadCachedTree(tree, which, context_)) {
        BuildNodes(tree, os::kTreeRoot, tree.topKind);
        platform::SessionCore& session = context_.session;
        if (!nameSpace.empty()) {
            session.CheckCacheTimeVersion(session.GetCurrentUserJID(), nameSpace, 0,
                                          tree.cacheStamp);
        }
    }
    return true;
}

void MainPanelTrees::OnDataPhaseStart() {
    os::Window* panel = context_.windows.FromHandle(context_.windowManager().MainPanel());
    if (panel == nullptr) {
        context_.log.WriteLog("主面板不存在, 不能建立联系人树");
        return;
    }
    Create(*panel);
    platform::SessionCore& session = context_.session;
    if (roster_ != nullptr &&
        !LoadFromCache(*roster_, CachedTree::BuddyList, platform::kRosterNameSpace)) {
        session.RefreshRoster(kWholeListMode);
    }
    if (phoneBook_ != nullptr &&
        !LoadFromCache(*phoneBook_, CachedTree::PhoneBook, platform::kPhoneBookNameSpace)) {
        session.RefreshTelContactTop(kWholeListMode);
    }
    if (directory_ != nullptr && !LoadFromCache(*directory_, CachedTree::Directory, {})) {
        LoadDirectoryTop(context_, *directory_, kDirectoryRequestMode);
    }
    session.RequestGroupOnlineInfo(platform::kRosterNameSpace, "all");
    session.GetServersTime(session.GetCurrentUserJID());
}

void MainPanelTrees::OnContactList(const platform::ContactListData& list) {
    CIMTree* tree = TreeForNameSpace(list.nameSpace);
    if (tree == nullptr) return;
    BuildFromList(context_, *tree, list, tree->topKind);
    if (tree->ItemDataCount() != 0) return;
    const std::string name(kDefaultGroupName);
    if (tree == roster_) {
        context_.session.AddBudyGroup(name, name, tree->treeName());
    } else {
        context_.session.AddTelGroup(name, name, tree->treeName());
    }
}

void MainPanelTrees::OnOwnExtension(const std::string& extensionXml) {
    if (recent_ == nullptr) return;
    recentContacts_.Fill(*recent_, extensionXml);
}

void MainPanelTrees::AddRecentContact(const std::string& jid, const std::string& name) {
    if (context_.config.HasRecentContact == 0) return;
    recentContacts_.Add(recent_, jid, name);
}

void MainPanelTrees::DeleteSelectedRecentContact() {
    if (recent_ == nullptr || !recentContacts_.DeleteSelected(*recent_)) {
        context_.log.WriteLog("没有选中最近联系人");
    }
}

void MainPanelTrees::EmptyAll() {
    for (CIMTree* tree : trees_.trees()) {
        if (!tree->DeleteAllItemData()) {
            context_.log.WriteLog("清空联系人树失败: " + tree->treeName());
        }
        tree->loadedCount = 0;
        tree->requestState.clear();
        tree->SetDirty(false);
    }
    recentContacts_.Forget();
}

}  // namespace contacts
