#pragma once
// CContactClusterTree: a tree of the message manager's folder bar. It holds copies of the
// nodes of one contact tree of the main panel (its groups and people), or the message
// categories of a folder, each node telling what selecting it loads. The node data is
// guarded by the named mutex "IMMsgTRee_data_Mutex" that every such tree shares (waited on
// for at most 1000 ms). UI thread, like every control.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/controls/tree_control.h"
#include "os/sys/clock.h"

namespace os {
class NamedMutex;
}
namespace core {
class ClientContext;
}
namespace contacts {
class CIMTree;
}

namespace history {

inline constexpr std::string_view kHistoryTreeMutexName = "IMMsgTRee_data_Mutex";
inline constexpr os::Millis kHistoryTreeLockWaitMs = 1000;

struct HistoryNode {
    enum class Kind { Group, Contact, Category };
    Kind kind = Kind::Group;
    std::string key;   // a contact's JID (an SMS recipient's rebuilt one), a category's key
    std::string name;  // the contact's display name, the category's label, the group's title
};

class CContactClusterTree : public os::TreeControl {
  public:
    CContactClusterTree(core::ClientContext& context, int controlId);
    ~CContactClusterTree() override;

    // Copies the groups and people of `source` (under its own data lock), as it shows them.
    bool CopyFrom(contacts::CIMTree& source);
    // Adds a top-level node for each category of `folder`.
    bool AddCategories(std::string_view folder);

    // What a node stands for, or nothing.
    std::optional<HistoryNode> NodeData(os::TreeItem item);
    // The first node of a contact whose JID matches `jid` (loose comparison), or 0.
    os::TreeItem FindContact(std::string_view jid);

  private:
    os::TreeItem AddNode(os::TreeItem parent, std::string text, int image, HistoryNode node);
    void CopyChildren(contacts::CIMTree& source, os::TreeItem from, os::TreeItem to);

    core::ClientContext& context_;
    std::unique_ptr<os::NamedMutex> dataMutex_;
    std::vector<HistoryNode> nodes_;  // item data n is nodes_[n - 1]
};

}  // namespace history
