#include "contacts/directory_loader.h"

#include <memory>
#include <string>
#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/tree_builder.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/services/log.h"
#include "os/sys/event.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"
#include "platform/store/group_child.h"

namespace contacts {
namespace {

// Deletes the children of `node` that show no item data (placeholders).
void RemovePlaceholders(CIMTree& tree, os::TreeItem node) {
    os::TreeItem child = node == os::kTreeRoot ? tree.GetRoot() : tree.GetChild(node);
    while (child != os::kNoTreeItem) {
        const os::TreeItem next = tree.GetNextSibling(child);
        if (tree.GetItemData(child) == nullptr) tree.DeleteItem(child);
        child = next;
    }
}

// Asks the engine for the children of `key` and waits for them at most 2000 ms.
void FetchChildren(core::ClientContext& context, const std::string& key, int mode) {
    os::Event done(context.clock, os::EventReset::Manual);
    int result = 0;
    context.session.RequestGroupChildren(context.windowManager().MainPanel(), key, &result,
                                         kGroupChildrenWaitMs, &done, mode, 0);
    done.Wait(kGroupChildrenWaitMs);
}

// Adds the stored children of `key` as item data; answers how many there are.
int AddStoredChildren(core::ClientContext& context, CIMTree& tree, const std::string& key) {
    CGroupChildList children;
    if (std::unique_ptr<CClientDB> store = context.OpenUserStore()) {
        if (!store->GetGroupChildren(key.c_str(), children)) {
            context.log.WriteLog("读取组织结构失败: " + key);
        }
    }
    CIMTree::ItemDataLock lock(tree);
    if (!lock.owns()) return static_cast<int>(children.size());
    std::int32_t order = 0;
    // The unit's persons share one key text and, mostly, one parent id text.
    const SharedText unitKey(key);
    RecentTexts parentIds;
    for (const CGroupChild& child : children) {
        const std::string childKey = key + "," + child.GetId();
        if (child.IsUnit()) {
            if (CGroup* found = tree.FindGroup(childKey)) {
                found->orderIndex = order++;
                continue;
            }
            auto group =
                std::make_unique<CGroup>(child.GetId(), child.GetName(), child.GetPId(), childKey);
            group->orderIndex = order++;
            auto item = CIMTreeItemData::ForGroup(std::move(group));
            if (tree.AddItemData(item) != nullptr) tree.SetDirty(true);
            continue;
        }
        if (CUser* found = tree.FindUser(child.GetId(), key, platform::JidMatch::Exact)) {
            found->orderIndex = order++;
            continue;
        }
        auto user = std::make_unique<CUser>(context.clock, child.GetId(), child.GetName(), "", "");
        user->groupId = parentIds.Share(child.GetPId());
        user->groupKey = unitKey;
        user->orderIndex = order++;
        auto item = CIMTreeItemData::ForUser(std::move(user));
        if (tree.AddItemData(item) != nullptr) tree.SetDirty(true);
    }
    return static_cast<int>(children.size());
}

// The loading steps shared by a unit and the tree's top.
int LoadChildren(core::ClientContext& context, CIMTree& tree, os::TreeItem node,
                 const std::string& key, int mode) {
    RemovePlaceholders(tree, node);
    const os::TreeItem waiting = tree.InsertItem(std::string(kLoadingPlaceholder),
                                                 kPlaceholderImage, kPlaceholderImage, node);
    FetchChildren(context, key, mode);
    const int count = AddStoredChildren(context, tree, key);
    BuildNodes(tree, node, key);
    tree.DeleteItem(waiting);
    if (count == 0) {
        tree.InsertItem(std::string(kNoDataPlaceholder), kPlaceholderImage, kPlaceholderImage,
                        node);
    }
    context.log.WriteLog("建树完毕");
    tree.SetDirty(true);
    return count;
}

}  // namespace

UnitOpen ExpandDirectoryNode(core::ClientContext& context, CIMTree& tree, os::TreeItem node,
                             int mode, int flag) {
    CGroup* unit = tree.GroupOf(node);
    if (unit == nullptr) return UnitOpen::NotAUnit;
    const std::string key = unit->pathKey();
    if (unit->childrenLoaded == 0) {
        context.log.WriteLog(os::Format("获取节点'%s'的用户列表", unit->name.c_str()));
        LoadChildren(context, tree, node, key, mode);
        // The unit may have been retitled or moved meanwhile; look it up again.
        if (CGroup* loaded = tree.FindGroup(key)) loaded->childrenLoaded = 1;
        return UnitOpen::ChildrenLoaded;
    }
    context.log.WriteLog(os::Format("获取节点'%s'的在线信息", unit->name.c_str()));
    int result = 0;
    context.session.RequestGroupChildren(context.windowManager().MainPanel(), key, &result, 0,
                                         nullptr, mode, flag);
    return UnitOpen::OnlineInfoRequested;
}

int LoadDirectoryTop(core::ClientContext& context, CIMTree& tree, int mode) {
    return LoadChildren(context, tree, os::kTreeRoot, tree.topKind, mode);
}

}  // namespace contacts
