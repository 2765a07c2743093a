#pragma once
// The add-me policy: what the client does when someone who added the user asks for the
// user's presence, and the words the settings show for it.
//
//   already subscribed ("to")   accept, ask nothing (whatever the policy)
//   kAddMeAlways                accept, and add the requester to the buddy list
//   kAddMeAsk                   ask the user; "yes" accepts and adds the requester
//   kAddMeNever                 refuse, ask nothing

#include <optional>
#include <string>
#include <vector>

namespace contacts::editing {

// The policy values, as the user setting keeps them.
inline constexpr int kAddMeAlways = 0;
inline constexpr int kAddMeAsk = 1;
inline constexpr int kAddMeNever = 2;

enum class RequestAnswer { AcceptSilently, AcceptAndAdd, Ask, Refuse };

// `subscription` is the requester's state in the buddy list, when it is there.
RequestAnswer DecideSubscriptionRequest(int policy, const std::optional<std::string>& subscription);

// The heading and the three choices, in the order of the policy values, for the buddy
// list's title.
std::string AddMePolicyHeading(const std::string& listTitle);
std::vector<std::string> AddMePolicyChoices(const std::string& listTitle);

// The question of the ask policy: the requester's name and JID (shown in its "$gov@" or
// "$pub@" form).
std::string AddMeQuestion(const std::string& name, const std::string& jid);

}  // namespace contacts::editing
