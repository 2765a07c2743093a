#pragma once
// What the editing dialogs read of a contact tree: its groups and a group's users. UI thread.

#include <string>
#include <vector>

#include "contacts/editing/contact_rules.h"

namespace contacts {
class CIMTree;
class CUser;
}  // namespace contacts

namespace contacts::editing {

// The names of the tree's groups, in item order.
std::vector<std::string> GroupNames(CIMTree& tree);
// Whether the tree has a group of this name (case ignored, as the group-name check does).
bool HasGroupNamed(CIMTree& tree, const std::string& name);
// The users of the group of this name, as the duplicate-mobile check sees them.
std::vector<GroupMember> MembersOf(CIMTree& tree, const std::string& groupName);
// The name of the group a user of this tree hangs under ("" at the top).
std::string GroupNameOf(CIMTree& tree, const CUser& user);

}  // namespace contacts::editing
