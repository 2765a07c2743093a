#pragma once
// Filling a contact tree from a list the server sent (the roster or the phone book) and
// giving the tree's item data their nodes.
//
// BuildFromList takes the users, then the groups, in list order, each with the next value of
// one running order counter: a user already in the tree under the same group key, or a group
// with the same path key ("<top kind>,<group id>"), keeps its item and takes the new order
// index (a group its new name and title too); anything else becomes a new item and marks the
// tree dirty. BuildNodes then places what has no node yet, from the tree's top down: under a
// parent key, first the users whose groupKey is that key, then the groups whose pathKey is
// the key + "," + their id (each filled the same way below it), and the parent's children are
// sorted. A user listed twice under one group key is one user; under two keys, two.
//
// Afterwards the client asks for the users' vCards when QueryPersonInfoInBuildTree is set, and
// expands the top-level nodes of a tree built for the first time when ExpandTreeRootAtFirst is
// set. UI thread, like every change of a tree's nodes.

#include <cstddef>
#include <string_view>

#include "os/controls/tree_control.h"
#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

struct BuildOutcome {
    std::size_t usersAdded = 0;
    std::size_t groupsAdded = 0;
    std::size_t nodesPlaced = 0;
    bool lockTimedOut = false;
};

BuildOutcome BuildFromList(core::ClientContext& context, CIMTree& tree,
                           const platform::ContactListData& list, std::string_view topKind);

// Places every item data without a node whose key lies below `parentKey`, under `parent`
// (kTreeRoot: the top). Answers how many nodes it made.
std::size_t BuildNodes(CIMTree& tree, os::TreeItem parent, std::string_view parentKey);

}  // namespace contacts
