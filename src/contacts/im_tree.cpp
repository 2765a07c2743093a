#include "contacts/im_tree.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "config/client_config.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/sys/named_objects.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window.h"
#include "platform/session/session_core.h"
#include "platform/store/contact_person_info.h"

namespace contacts {

// The data lock for one internal operation; logs when it cannot be had.
class CIMTree::Locked {
  public:
    Locked(const CIMTree& tree, std::string_view operation)
        : mutex_(tree.dataMutex_.get()),
          owns_(mutex_ != nullptr && mutex_->Lock(kTreeDataLockWaitMs)) {
        if (!owns_) tree.LogLockTimeOut(operation);
    }
    ~Locked() {
        if (owns_) mutex_->Unlock();
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    explicit operator bool() const { return owns_; }

  private:
    os::NamedMutex* mutex_;
    bool owns_;
};

CIMTree::ItemDataLock::ItemDataLock(CIMTree& tree)
    : mutex_(tree.dataMutex_.get()),
      owns_(mutex_ != nullptr && mutex_->Lock(kTreeDataLockWaitMs)) {}

CIMTree::ItemDataLock::~ItemDataLock() {
    if (owns_) mutex_->Unlock();
}

CIMTree::CIMTree(core::ClientContext& context, int controlId, std::string treeName, int countMode)
    : os::TreeControl(controlId),
      context_(context),
      treeName_(std::move(treeName)),
      countMode_(countMode),
      itemHeight_(context.config.TreeItemHeight),
      userTypeOf_(
          [&session = context.session](std::string_view jid) { return session.GetUserType(jid); }),
      dataMutex_(
          os::NamedMutex::Create(context.namedObjects, kTreeDataMutexName, context.clock, nullptr)),
      items_(userTypeOf_) {
    // The window text names the tree, as the tab or band that shows it says.
    text_ = treeName_;
    if (dataMutex_ == nullptr) {
        Log(0, os::Format("CIMTree(%s): 无法打开IMTRee_data_Mutex", treeName_.c_str()));
    }
}

CIMTree::~CIMTree() {
    if (onDestroy_) std::exchange(onDestroy_, {})(*this);
    Locked locked(*this, "~CIMTree");
    items_.Clear();
}

CIMTree* CIMTree::Create(os::Window& parent, core::ClientContext& context, std::string treeName,
                         int countMode, int controlId, ScrollSkin skin) {
    auto tree = std::make_unique<CIMTree>(context, controlId, std::move(treeName), countMode);
    tree->scrollSkin_ = skin;
    tree->SetVisible(true);
    return parent.AddControl(std::move(tree));
}

// ---- Helpers ----

void CIMTree::Log(int level, std::string_view text) const {
    context_.session.WriteLog2(level, text);
}

void CIMTree::LogLockTimeOut(std::string_view operation) const {
    Log(0, os::Format("CIMTree::%s(%s): 等待IMTRee_data_Mutex超过%d毫秒, 未执行",
                      std::string(operation).c_str(), treeName_.c_str(),
                      static_cast<int>(kTreeDataLockWaitMs)));
}

bool CIMTree::TitledByServer(const CGroup& group) const {
    return context_.config.QueryRootOnlineNumInterval != -1 &&
           (group.parentId == "02" || group.parentId == "07");
}

OnlineTitleForm CIMTree::TitleForm() const {
    return context_.config.OnlineUserInfoFormatInGroupTitle == 1 ? OnlineTitleForm::Words
                                                                 : OnlineTitleForm::Numbers;
}

SignatureRule CIMTree::signatureRule() const {
    return SignatureRule{context_.config.ShowSignatureInTree != 0,
                         context_.config.DefaultSignature};
}

std::string CIMTree::GroupTitle(CGroup& group, int mode) const {
    return group.GetDisplayText(mode, TitleForm());
}

bool CIMTree::IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) const {
    return platform::Jid::Equal(a, b, match, userTypeOf_);
}

bool CIMTree::IsSmsRecipient(const CUser& user) const {
    return context_.session.GetUserType(user.GetJid()) == platform::kUserTypeSms;
}

std::string CIMTree::UserNodeText(const CUser& user) const {
    if (!IsSmsRecipient(user)) return user.displayText;
    std::string text = user.ShownName();
    if (options.showAddress) text = os::Format("%s( %s )", text.c_str(), user.GetJid().c_str());
    return text;
}

int CIMTree::UserNodeImage(const CUser& user) const {
    return IsSmsRecipient(user) ? kSmsRecipientImage : presence_.GetImage(user.presence());
}

os::TreeItem CIMTree::Normal(os::TreeItem parent) const {
    return parent == os::kTreeRoot ? os::kNoTreeItem : parent;
}

std::uint64_t CIMTree::NodeKey(os::TreeItem parent, std::string_view jid) {
    const std::uint64_t hash = std::hash<std::string_view>{}(jid);
    return hash ^ ((std::uint64_t{parent} + 1) * 0x9E3779B97F4A7C15ull);
}

void CIMTree::RememberUserNode(std::uint64_t key, os::TreeItem node) {
    auto [first, last] = userNodes_.equal_range(key);
    const CIMTreeItemData* item = ItemOfNode(node);
    const CUser* user = item != nullptr ? item->user() : nullptr;
    for (auto it = first; it != last;) {
        // The same node again, or another node of the same parent and JID: replaced.
        const CIMTreeItemData* other = ItemOfNode(it->second);
        const bool samePlace =
            it->second == node ||
            (user != nullptr && other != nullptr && other->user() != nullptr &&
             other->user()->GetJid() == user->GetJid() && GetParent(it->second) == GetParent(node));
        it = samePlace ? userNodes_.erase(it) : std::next(it);
    }
    userNodes_.emplace(key, node);
}

void CIMTree::ForgetUserNode(std::uint64_t key, os::TreeItem node) {
    auto [first, last] = userNodes_.equal_range(key);
    for (auto it = first; it != last; ++it) {
        if (it->second == node) {
            userNodes_.erase(it);
            return;
        }
    }
}

CIMTreeItemData* CIMTree::ItemOfNode(os::TreeItem node) const {
    if (node == os::kNoTreeItem || !IsValid(node)) return nullptr;
    return items_.ById(os::TreeControl::GetItemData(node));
}

// ---- Item data ----

CIMTreeItemData* CIMTree::AddItemData(std::unique_ptr<CIMTreeItemData>& item) {
    if (item == nullptr) return nullptr;
    Locked locked(*this, "AddItemData");
    if (!locked) return nullptr;
    CIMTreeItemData* added = items_.Append(std::move(item), this);
    if (added != nullptr && added->group() != nullptr) {
        added->group()->SetLogSink([this](int level, std::string_view text) { Log(level, text); });
    }
    return added;
}

bool CIMTree::RemoveItemData(CIMTreeItemData* item) {
    Locked locked(*this, "RemoveItemData");
    if (!locked || !items_.Contains(item)) return false;
    DeleteItemNodeLocked(*item);
    items_.Remove(item);
    SetDirty(true);
    return true;
}

bool CIMTree::DeleteAllItemData() {
    Locked locked(*this, "DeleteAllItemData");
    if (!locked) return false;
    clearing_.store(true);
    DeleteAllItems();
    items_.Clear();
    userNodes_.clear();
    ForgetOrder(os::kNoTreeItem);
    clearing_.store(false);
    hotItem = os::kNoTreeItem;
    return true;
}

void CIMTree::ReserveItemData(std::size_t count) {
    Locked locked(*this, "ReserveItemData");
    if (locked) items_.Reserve(count);
}

std::size_t CIMTree::ItemDataCount() {
    Locked locked(*this, "ItemDataCount");
    return locked ? items_.size() : 0;
}

bool CIMTree::ForEachItemData(const std::function<void(CIMTreeItemData&)>& visit) {
    Locked locked(*this, "ForEachItemData");
    if (!locked) return false;
    for (const auto& item : items_) visit(*item);
    return true;
}

CIMTreeItemData* CIMTree::GetItemData(os::TreeItem node) {
    Locked locked(*this, "GetItemData");
    return locked ? ItemOfNode(node) : nullptr;
}

CUser* CIMTree::UserOf(os::TreeItem node) {
    CIMTreeItemData* item = GetItemData(node);
    return item != nullptr ? item->user() : nullptr;
}

CGroup* CIMTree::GroupOf(os::TreeItem node) {
    CIMTreeItemData* item = GetItemData(node);
    return item != nullptr ? item->group() : nullptr;
}

void CIMTree::OnJidChanged(CIMTreeItemData& item, std::string_view previous) {
    Locked locked(*this, "OnJidChanged");
    if (!locked) return;
    items_.Reindex(item);
    const os::TreeItem node = item.node_;
    CUser* user = item.user();
    if (user == nullptr || node == os::kNoTreeItem || !IsValid(node)) return;
    const os::TreeItem parent = GetParent(node);
    ForgetUserNode(NodeKey(parent, previous), node);
    RememberUserNode(NodeKey(parent, user->GetJid()), node);
}

void CIMTree::OnPathKeyChanged(CIMTreeItemData& item, std::string_view /*previous*/) {
    Locked locked(*this, "OnPathKeyChanged");
    if (locked) items_.Reindex(item);
}

// ---- Finding ----

CUser* CIMTree::FindUser(std::string_view jid, std::string_view groupKey,
                         platform::JidMatch match) {
    Locked locked(*this, "FindUser");
    return locked ? items_.FindUser(jid, groupKey, match) : nullptr;
}

std::vector<CUser*> CIMTree::FindUsers(std::string_view jid, platform::JidMatch match) {
    Locked locked(*this, "FindUsers");
    if (!locked) return {};
    return items_.FindUsers(jid, match);
}

CGroup* CIMTree::FindGroup(std::string_view pathKey) {
    Locked locked(*this, "FindGroup");
    return locked ? items_.FindGroup(pathKey) : nullptr;
}

os::TreeItem CIMTree::FindUserNode(os::TreeItem parent, std::string_view jid) {
    Locked locked(*this, "FindUserNode");
    return locked ? FindUserNodeLocked(parent, jid) : os::kNoTreeItem;
}

os::TreeItem CIMTree::FindUserNodeLocked(os::TreeItem parent, std::string_view jid) {
    parent = Normal(parent);
    auto [it, last] = userNodes_.equal_range(NodeKey(parent, jid));
    while (it != last) {
        const os::TreeItem node = it->second;
        const CIMTreeItemData* item = ItemOfNode(node);
        if (item == nullptr || item->user() == nullptr) {
            it = userNodes_.erase(it);  // the node went
            continue;
        }
        if (item->user()->GetJid() == jid && GetParent(node) == parent) return node;
        ++it;  // another pair of the same hash, or a node that moved (its entry is checked)
    }
    return os::kNoTreeItem;
}

// ---- Nodes ----

os::TreeItem CIMTree::InsertGroupItem(CGroup* group, os::TreeItem parent, os::TreeItem after) {
    Locked locked(*this, "InsertGroupItem");
    if (!locked || group == nullptr || !items_.Contains(group->holder())) return os::kNoTreeItem;
    group->childSortMode = topSortMode;
    const os::TreeItem node = InsertItem(GroupTitle(*group, countMode_), 0, 0, parent, after);
    if (node == os::kNoTreeItem) return node;
    CIMTreeItemData& item = *group->holder();
    os::TreeControl::SetItemData(node, item.id_);
    item.node_ = node;
    item.placed = true;
    SetDirty(true);
    return node;
}

os::TreeItem CIMTree::InsertUserItem(CUser* user, os::TreeItem parent, os::TreeItem after) {
    Locked locked(*this, "InsertUserItem");
    if (!locked || user == nullptr) return os::kNoTreeItem;
    if (!items_.Contains(user->holder())) {
        Log(0, os::Format("CIMTree::InsertUserItem: %s 不在树 %s 的数据中", user->GetJid().c_str(),
                          treeName_.c_str()));
        return os::kNoTreeItem;
    }
    if (FindUserNodeLocked(parent, user->GetJid()) != os::kNoTreeItem) return os::kNoTreeItem;

    if (!IsSmsRecipient(*user)) user->UpdateDisplayText(user->presence(), signatureRule());
    const int image = UserNodeImage(*user);
    const os::TreeItem node = InsertItem(UserNodeText(*user), image, image, parent, after);
    if (node == os::kNoTreeItem) return node;
    CIMTreeItemData& item = *user->holder();
    os::TreeControl::SetItemData(node, item.id_);
    item.node_ = node;
    item.placed = true;
    RememberUserNode(NodeKey(Normal(parent), user->GetJid()), node);
    UpdateGroupCountsLocked(node, user, CountChange::Add);
    user->treeItem = node;
    SetDirty(true);
    return node;
}

void CIMTree::DeleteItemNode(CIMTreeItemData* item) {
    Locked locked(*this, "DeleteItemNode");
    if (locked && items_.Contains(item)) DeleteItemNodeLocked(*item);
}

void CIMTree::DetachUserNode(os::TreeItem node, CUser& user) {
    UpdateGroupCountsLocked(node, &user, CountChange::Remove);
    ForgetUserNode(NodeKey(GetParent(node), user.GetJid()), node);
    if (user.treeItem == node) user.treeItem = os::kNoTreeItem;
}

void CIMTree::DeleteItemNodeLocked(CIMTreeItemData& item) {
    const os::TreeItem node = item.node_;
    if (node == os::kNoTreeItem || !IsValid(node) || ItemOfNode(node) != &item) {
        item.node_ = os::kNoTreeItem;
        return;
    }
    // Every node of the subtree lets go of its item first: users leave the counts while
    // their ancestors are still there to be told.
    std::vector<os::TreeItem> pending{node};
    while (!pending.empty()) {
        const os::TreeItem current = pending.back();
        pending.pop_back();
        for (os::TreeItem child = GetChild(current); child != os::kNoTreeItem;
             child = GetNextSibling(child)) {
            pending.push_back(child);
        }
        ForgetOrder(current);
        CIMTreeItemData* held = ItemOfNode(current);
        if (held == nullptr) continue;
        if (CUser* user = held->user()) DetachUserNode(current, *user);
        held->node_ = os::kNoTreeItem;
        held->placed = false;
    }
    DeleteItem(node);
    if (hotItem != os::kNoTreeItem && !IsValid(hotItem)) hotItem = os::kNoTreeItem;
    SetDirty(true);
}

// ---- Counting ----

void CIMTree::UpdateGroupCounts(os::TreeItem node, CUser* user, CountChange change) {
    Locked locked(*this, "UpdateGroupCounts");
    if (locked) UpdateGroupCountsLocked(node, user, change);
}

void CIMTree::UpdateGroupCountsLocked(os::TreeItem node, CUser* user, CountChange change) {
    if (!options.groupCounting || node == os::kNoTreeItem || user == nullptr) return;
    for (os::TreeItem ancestor = GetParent(node); ancestor != os::kNoTreeItem;
         ancestor = GetParent(ancestor)) {
        const CIMTreeItemData* item = ItemOfNode(ancestor);
        CGroup* group = item != nullptr ? item->group() : nullptr;
        if (group == nullptr) continue;
        if (change == CountChange::Add) {
            group->AddUser(user);
        } else {
            group->RemoveUser(user);
        }
        if (!TitledByServer(*group)) SetItemText(ancestor, GroupTitle(*group, countMode_));
    }
}

void CIMTree::RecountAncestors(os::TreeItem node) {
    Locked locked(*this, "RecountAncestors");
    if (!locked || !options.groupCounting || countMode_ == kTitleTotalOnly) return;
    for (os::TreeItem ancestor = GetParent(node); ancestor != os::kNoTreeItem;
         ancestor = GetParent(ancestor)) {
        const CIMTreeItemData* item = ItemOfNode(ancestor);
        CGroup* group = item != nullptr ? item->group() : nullptr;
        if (group == nullptr || TitledByServer(*group)) continue;
        group->RecountOnline();
        SetItemText(ancestor, GroupTitle(*group, 0));
    }
}

void CIMTree::RetitleAncestorsForPresence(os::TreeItem node) {
    if (!options.groupCounting || countMode_ == kTitleTotalOnly) return;
    // Their counts are already right: the user told every group listing it.
    for (os::TreeItem ancestor = GetParent(node); ancestor != os::kNoTreeItem;
         ancestor = GetParent(ancestor)) {
        const CIMTreeItemData* item = ItemOfNode(ancestor);
        CGroup* group = item != nullptr ? item->group() : nullptr;
        if (group == nullptr || TitledByServer(*group)) continue;
        SetItemText(ancestor, GroupTitle(*group, 0));
    }
}

// ---- Order ----

OrderRule CIMTree::RuleFor(os::TreeItem parent) const {
    OrderRule rule;
    rule.groupsByName = topSortMode != 0;
    rule.userMode = topSortMode;
    if (parent != os::kNoTreeItem) {
        const CIMTreeItemData* item = ItemOfNode(parent);
        if (item != nullptr && item->group() != nullptr)
            rule.userMode = item->group()->childSortMode;
    }
    return rule;
}

ChildKey CIMTree::KeyOf(os::TreeItem node, int userMode) const {
    ChildKey key;
    const CIMTreeItemData* item = ItemOfNode(node);
    if (item == nullptr) return key;
    if (const CGroup* group = item->group()) {
        key.kind = ChildKey::Kind::Group;
        key.name = &group->name;
    } else if (const CUser* user = item->user()) {
        key.kind = ChildKey::Kind::User;
        key.name = &user->name;
        key.orderIndex = user->orderIndex;
        if (userMode == kSortByPresence) {
            key.presenceClass = presence_.GetClass(user->presence());
            key.admin = HasAdminMark(user->displayText);
        } else if (userMode == kSortRaisedHandFirst) {
            key.raisedHand = HasRaisedHandMark(GetItemText(node));
        }
    }
    return key;
}

void CIMTree::SortChildren(os::TreeItem node) {
    Locked locked(*this, "SortChildren");
    if (locked) OrderChildren(Normal(node), os::kNoTreeItem);
}

void CIMTree::OrderChildren(os::TreeItem parent, os::TreeItem changed) {
    if (!sortEnabled) {
        // The remembered order no longer matches the children's keys: sort afresh next time.
        sortedChildren_.erase(parent);
        return;
    }
    if (parent != os::kNoTreeItem && !IsValid(parent)) return;
    const OrderRule rule = RuleFor(parent);
    if (changed != os::kNoTreeItem && RepositionChild(parent, changed, rule)) return;

    std::vector<os::TreeItem> children;
    std::vector<ChildKey> keys;
    children.reserve(static_cast<std::size_t>(GetChildCount(parent == 0 ? os::kTreeRoot : parent)));
    keys.reserve(children.capacity());
    std::size_t changedAt = SIZE_MAX;
    bool anyMissing = false;
    for (os::TreeItem child = parent == os::kNoTreeItem ? GetRoot() : GetChild(parent);
         child != os::kNoTreeItem; child = GetNextSibling(child)) {
        if (child == changed) changedAt = children.size();
        children.push_back(child);
        keys.push_back(KeyOf(child, rule.userMode));
        anyMissing = anyMissing || keys.back().kind == ChildKey::Kind::Missing;
    }

    if (anyMissing) {
        // Children without data compare equal to everything, which is no ordering a shortcut
        // may rely on; let the control sort with the plain comparison.
        sortedChildren_.erase(parent);
        std::unordered_map<std::uint32_t, ChildKey> byData;
        for (std::size_t i = 0; i < children.size(); ++i) {
            byData.emplace(os::TreeControl::GetItemData(children[i]), keys[i]);
        }
        os::TreeControl::SortChildren(parent == os::kNoTreeItem ? os::kTreeRoot : parent,
                                      [&](std::uint32_t a, std::uint32_t b) {
                                          return CompareChildKeys(byData[a], byData[b], rule);
                                      });
        return;
    }

    const std::vector<std::size_t> order = changedAt != SIZE_MAX
                                               ? StableOrderAfterChange(keys, rule, changedAt)
                                               : StableOrder(keys, rule);
    std::vector<os::TreeItem> ordered;
    std::vector<ChildKey> orderedKeys;
    ordered.reserve(order.size());
    orderedKeys.reserve(order.size());
    bool moved = false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        moved = moved || order[i] != i;
        ordered.push_back(children[order[i]]);
        orderedKeys.push_back(keys[order[i]]);
    }
    if (moved) ApplyOrder(parent, ordered);
    sortedChildren_[parent].Assign(rule, std::move(ordered), orderedKeys);
}

bool CIMTree::RepositionChild(os::TreeItem parent, os::TreeItem changed, const OrderRule& rule) {
    auto found = sortedChildren_.find(parent);
    if (found == sortedChildren_.end() || !(found->second.rule() == rule)) return false;
    SortedChildren& sorted = found->second;
    // Still the children that were sorted, in that order?
    const std::vector<os::TreeItem>& known = sorted.children();
    std::size_t index = SIZE_MAX;
    std::size_t i = 0;
    for (os::TreeItem child = parent == os::kNoTreeItem ? GetRoot() : GetChild(parent);
         child != os::kNoTreeItem; child = GetNextSibling(child), ++i) {
        if (i >= known.size() || known[i] != child) return false;
        if (child == changed) index = i;
    }
    if (i != known.size() || index == SIZE_MAX) return false;
    const ChildKey key = KeyOf(changed, rule.userMode);
    if (key.kind == ChildKey::Kind::Missing) return false;
    if (sorted.Update(index, key) != index) ApplyOrder(parent, sorted.children());
    return true;
}

void CIMTree::ApplyOrder(os::TreeItem parent, const std::vector<os::TreeItem>& ordered) {
    // Hand the control each child's rank by its item id (ids are distinct and dense).
    if (rankScratch_.size() < items_.idSpan()) rankScratch_.resize(items_.idSpan());
    const std::uint32_t firstId = items_.firstId();
    for (std::size_t rank = 0; rank < ordered.size(); ++rank) {
        const std::uint32_t id = os::TreeControl::GetItemData(ordered[rank]);
        rankScratch_[id - firstId] = static_cast<std::uint32_t>(rank);
    }
    os::TreeControl::SortChildren(parent == os::kNoTreeItem ? os::kTreeRoot : parent,
                                  [&](std::uint32_t a, std::uint32_t b) {
                                      const std::uint32_t rankA = rankScratch_[a - firstId];
                                      const std::uint32_t rankB = rankScratch_[b - firstId];
                                      return rankA < rankB ? -1 : rankA > rankB ? 1 : 0;
                                  });
}

void CIMTree::ForgetOrder(os::TreeItem node) {
    if (node == os::kNoTreeItem) {
        sortedChildren_.clear();
        return;
    }
    sortedChildren_.erase(node);
}

// ---- Presence ----

void CIMTree::SetUserPresence(CUser* user, std::string_view word) {
    if (user == nullptr || user->presence() == word) return;
    const bool held = user->holder() != nullptr && user->holder()->listener_ != nullptr;
    user->SetPresence(word);  // the tree holding the user follows (OnPresenceChanged)
    if (!held) user->UpdateDisplayText(word, signatureRule());
}

void CIMTree::OnPresenceChanged(CIMTreeItemData& item) {
    Locked locked(*this, "SetUserPresence");
    CUser* user = item.user();
    if (!locked || user == nullptr) return;
    user->UpdateDisplayText(user->presence(), signatureRule());

    const os::TreeItem node = item.node_;
    if (node == os::kNoTreeItem || ItemOfNode(node) != &item) return;
    SetItemText(node, UserNodeText(*user));
    const int image = UserNodeImage(*user);
    SetItemImage(node, image, image);
    OrderChildren(GetParent(node), node);
    RetitleAncestorsForPresence(node);
}

// ---- Walks ----

void CIMTree::CollectUsers(os::TreeItem node, std::vector<CUser*>& users) {
    Locked locked(*this, "CollectUsers");
    if (!locked) return;
    node = Normal(node);
    if (node != os::kNoTreeItem && !IsValid(node)) return;
    // Depth first, siblings in order: push children in reverse so the first pops first.
    std::vector<os::TreeItem> pending;
    auto pushChildren = [&](os::TreeItem parent) {
        const std::size_t mark = pending.size();
        for (os::TreeItem child = parent == os::kNoTreeItem ? GetRoot() : GetChild(parent);
             child != os::kNoTreeItem; child = GetNextSibling(child)) {
            pending.push_back(child);
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
    };
    pushChildren(node);
    while (!pending.empty()) {
        const os::TreeItem current = pending.back();
        pending.pop_back();
        const CIMTreeItemData* item = ItemOfNode(current);
        if (item != nullptr && item->user() != nullptr) users.push_back(item->user());
        pushChildren(current);
    }
}

int CIMTree::ApplyPersonVcard(const CContactPersonInfo& vcard) {
    Locked locked(*this, "ApplyPersonVcard");
    if (!locked) return 0;
    int applied = 0;
    bool nameDiffers = false;
    for (CUser* user : items_.FindUsers(vcard.jid, platform::JidMatch::Exact)) {
        CIMTreeItemData& item = *user->holder();
        user->ApplyVcardFields(vcard);
        if (options.renameFromVcard && item.placed) {
            // An empty vCard name would leave a nameless entry: keep the tree's name then.
            if (!vcard.name.empty()) user->name = vcard.name;
            user->UpdateDisplayText(user->presence(), signatureRule());
            if (item.node_ != os::kNoTreeItem && IsValid(item.node_)) {
                SetItemText(item.node_, UserNodeText(*user));
                ForgetOrder(GetParent(item.node_));  // its name sorts anew next time
            }
        } else if (options.nameCheck && !vcard.name.empty() &&
                   !os::EqualsNoCase(vcard.name, user->name) && item.placed) {
            hotItem = item.node_;
            nameDiffers = true;
        }
        SetDirty(true);
        ++applied;
    }
    if (nameDiffers && context_.hasWindowManager())
        context_.windowManager().OnContactNameDiffers(vcard.jid, vcard.name, treeName_);
    return applied;
}

}  // namespace contacts
