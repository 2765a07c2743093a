#pragma once
// Opening a unit of an organisation tree: its children are fetched from the server into the
// user's directory store once, read from there and given their nodes; later opens only ask
// for the unit's online information.
//
// First open: logs "获取节点'<unit>'的用户列表", shows the child "正在读取信息，请稍候..."
// (image 10) while it asks the engine (RequestGroupChildren with a 2000 ms wait on an event,
// on the context's clock), then reads the children from the store whatever the wait gave:
// sub-units become groups keyed "<unit key>,<id>" (one that exists only takes its new order
// index), persons users with the unit's key as groupKey (unless the unit holds them already);
// order indexes run in child order. The placeholder goes; a unit without children shows
// "(无数据)" (image 10); "建树完毕" is logged. Later opens: "获取节点'<unit>'的在线信息" and
// RequestGroupChildren without a wait.
//
// A tree's top is loaded the same way (LoadDirectoryTop): its units are the children of the
// tree's top kind. UI thread.

#include <string_view>

#include "contacts/presence_table.h"
#include "os/controls/tree_control.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

inline constexpr std::string_view kLoadingPlaceholder = "正在读取信息，请稍候...";
inline constexpr std::string_view kNoDataPlaceholder = "(无数据)";
inline constexpr int kGroupChildrenWaitMs = 2000;
// The request mode of the main panel's organisation tree.
inline constexpr int kDirectoryRequestMode = 0;

enum class UnitOpen { NotAUnit, ChildrenLoaded, OnlineInfoRequested };

// `node` a unit's node of `tree`; `mode` and `flag` go to the engine as they are.
UnitOpen ExpandDirectoryNode(core::ClientContext& context, CIMTree& tree, os::TreeItem node,
                             int mode, int flag);

// Fetches and places the top-level units of an organisation tree (its top kind as the key).
// Answers how many children the top has.
int LoadDirectoryTop(core::ClientContext& context, CIMTree& tree, int mode);

}  // namespace contacts
