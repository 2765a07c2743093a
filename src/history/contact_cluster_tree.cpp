#include "history/contact_cluster_tree.h"

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "history/message_categories.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace history {
namespace {

// Holds the tree's data mutex for a scope, if it could be had in time.
class DataLock {
  public:
    explicit DataLock(os::NamedMutex* mutex)
        : mutex_(mutex), owns_(mutex != nullptr && mutex->Lock(kHistoryTreeLockWaitMs)) {}
    ~DataLock() {
        if (owns_) mutex_->Unlock();
    }
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;
    bool owns() const { return owns_; }

  private:
    os::NamedMutex* mutex_;
    bool owns_;
};

}  // namespace

CContactClusterTree::CContactClusterTree(core::ClientContext& context, int controlId)
    : os::TreeControl(controlId),
      context_(context),
      dataMutex_(os::NamedMutex::Create(context.namedObjects, kHistoryTreeMutexName, context.clock,
                                        nullptr)) {}

CContactClusterTree::~CContactClusterTree() = default;

os::TreeItem CContactClusterTree::AddNode(os::TreeItem parent, std::string text, int image,
                                          HistoryNode node) {
    const os::TreeItem item = InsertItem(std::move(text), image, image, parent, os::kTreeLast);
    if (item == os::kNoTreeItem) return item;
    nodes_.push_back(std::move(node));
    SetItemData(item, static_cast<std::uint32_t>(nodes_.size()));
    return item;
}

void CContactClusterTree::CopyChildren(contacts::CIMTree& source, os::TreeItem from,
                                       os::TreeItem to) {
    for (os::TreeItem child = source.GetChild(from); child != os::kNoTreeItem;
         child = source.GetNextSibling(child)) {
        HistoryNode node;
        if (const contacts::CUser* user = source.UserOf(child)) {
            node.kind = HistoryNode::Kind::Contact;
            node.key = user->GetJid();
            if (source.IsSmsRecipient(*user) && !user->details().mobile.empty()) {
                node.key =
                    platform::Jid::Sms(user->details().mobile, context_.session.GetHostName())
                        .text();
            }
            node.name = user->ShownName();
        } else {
            node.kind = HistoryNode::Kind::Group;
            node.name = source.GetItemText(child);
        }
        const os::TreeImages images = source.GetItemImage(child);
        const os::TreeItem copy = AddNode(to, source.GetItemText(child), images.image, node);
        if (copy != os::kNoTreeItem) CopyChildren(source, child, copy);
    }
}

bool CContactClusterTree::CopyFrom(contacts::CIMTree& source) {
    const DataLock lock(dataMutex_.get());
    if (!lock.owns()) {
        context_.log.WriteLog2(1, "CContactClusterTree::CopyFrom: " +
                                      std::string(kHistoryTreeMutexName) + " 等待超时");
        return false;
    }
    const contacts::CIMTree::ItemDataLock sourceLock(source);
    if (!sourceLock.owns()) return false;
    CopyChildren(source, os::kTreeRoot, os::kTreeRoot);
    return true;
}

bool CContactClusterTree::AddCategories(std::string_view folder) {
    const DataLock lock(dataMutex_.get());
    if (!lock.owns()) return false;
    for (const MessageCategory& category : MessageCategories()) {
        if (category.folder != folder) continue;
        AddNode(os::kTreeRoot, std::string(category.label), 0,
                HistoryNode{HistoryNode::Kind::Category, std::string(category.key),
                            std::string(category.label)});
    }
    return true;
}

std::optional<HistoryNode> CContactClusterTree::NodeData(os::TreeItem item) {
    const DataLock lock(dataMutex_.get());
    if (!lock.owns() || !IsValid(item)) return std::nullopt;
    const std::uint32_t data = GetItemData(item);
    if (data == 0 || data > nodes_.size()) return std::nullopt;
    return nodes_[data - 1];
}

os::TreeItem CContactClusterTree::FindContact(std::string_view jid) {
    const DataLock lock(dataMutex_.get());
    if (!lock.owns()) return os::kNoTreeItem;
    os::TreeItem found = os::kNoTreeItem;
    ForEachItem([&](os::TreeItem item, int /*depth*/) {
        if (found != os::kNoTreeItem) return;
        const std::uint32_t data = GetItemData(item);
        if (data == 0 || data > nodes_.size()) return;
        const HistoryNode& node = nodes_[data - 1];
        if (node.kind == HistoryNode::Kind::Contact &&
            platform::Jid::Equal(node.key, jid, platform::JidMatch::Loose, nullptr)) {
            found = item;
        }
    });
    return found;
}

}  // namespace history
