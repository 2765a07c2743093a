#pragma once
// The server's later answers about the contact lists:
//   OnCacheCheckAnswer   a cached list's check: "yes" (out of date) for the roster asks for
//                        the whole roster (RefreshRoster 2), any other answer only for its
//                        online information (RequestGroupOnlineInfo "jabber:iq:roster",
//                        "all"); "yes" for the phone book asks for the whole phone book; then
//                        GetServersTime in both cases. Record: slot 0 the namespace, slot 2
//                        the answer.
//   OnGroupSizeForSms    a group's size for a group SMS: above 300 users (slot 1, decimal)
//                        the user is told "该组用户数大于300，不能群发短信！"
//   OnRootOnlineCounts   online and total counts of directory roots: each unit's node shows
//                        "name (online/total)"

#include <string>
#include <vector>

#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

inline constexpr int kMaxGroupSmsUsers = 300;
inline constexpr const char* kGroupTooLargeForSms = "该组用户数大于300，不能群发短信！";

enum class CacheCheck { Refreshed, OnlineInfoOnly, NothingAsked, NotACheck };
CacheCheck OnCacheCheckAnswer(core::ClientContext& context, const platform::SlotData& answer);

// True when the group is too large (the box was shown).
bool OnGroupSizeForSms(core::ClientContext& context, const platform::SlotData& answer);

struct RootOnlineCount {
    std::string unitKey;  // the unit's path key
    std::string online;
    std::string total;
};
// Answers how many units took their counts.
int OnRootOnlineCounts(CIMTree& tree, const std::vector<RootOnlineCount>& counts);

}  // namespace contacts
