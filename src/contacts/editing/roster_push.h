#pragma once
// Applying a roster push, the server's confirmation of a change to the buddy list or the
// phone book, to one contact tree:
//
//   user item, ask "unsubscribe"   skipped
//   user item, action "remove"     the user of that JID and group leaves the tree (node,
//                                  counts, item data); the tip "删除联系人成功" is due
//   any other user item            the user of that JID and group is created when missing
//                                  (name, groupId, subscription, aux2, presence "offline",
//                                  the next orderIndex) and placed; an existing one takes a
//                                  new name and, when the item names one, its subscription.
//                                  "add" and "update" ask for the user's details
//                                  (QueryMobileVcards (JID, 1) in the phone book, else
//                                  QueryPersonInfo (JID, 0, 0)), then QueryStatusInfo (JID)
//   group "listgroup"/"addgroup"   a missing group is created and placed; "listgroup" and
//   group "updategroupname"        "updategroupname" rename an existing one; both retitle it
//   group "deletegroup"            the group's node and item data go, with its users
//
// The tree is marked dirty. UI thread.

#include <string_view>

#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

struct PushOutcome {
    int usersAdded = 0;
    int usersRemoved = 0;
    int usersUpdated = 0;
    int groupsAdded = 0;
    int groupsRenamed = 0;
    int groupsRemoved = 0;
    bool lockTimedOut = false;
};

// `topKind` is the tree's top kind ("iqRosterTop" or "privatePhoneTop").
PushOutcome ApplyRosterPush(core::ClientContext& context, CIMTree& tree,
                            const platform::RosterPushData& push, std::string_view topKind);

// The group key of a user in `group` of a tree with this top kind (the top kind alone for a
// user outside every group).
std::string UserGroupKey(std::string_view topKind, std::string_view group);

}  // namespace contacts
