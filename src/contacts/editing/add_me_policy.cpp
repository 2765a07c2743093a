#include "contacts/editing/add_me_policy.h"

#include "os/text/cstring_ops.h"

namespace contacts::editing {

RequestAnswer DecideSubscriptionRequest(int policy,
                                        const std::optional<std::string>& subscription) {
    if (subscription && os::EqualsNoCase(*subscription, "to")) return RequestAnswer::AcceptSilently;
    switch (policy) {
        case kAddMeAlways:
            return RequestAnswer::AcceptAndAdd;
        case kAddMeNever:
            return RequestAnswer::Refuse;
        default:
            return RequestAnswer::Ask;  // an unknown value asks, as the default does
    }
}

std::string AddMePolicyHeading(const std::string& listTitle) {
    return os::Format("当对方添加我到%s时", listTitle.c_str());
}

std::vector<std::string> AddMePolicyChoices(const std::string& listTitle) {
    return {os::Format("总是自动添加对方到%s", listTitle.c_str()),
            os::Format("提示是否添加对方到%s", listTitle.c_str()),
            os::Format("总是不添加对方到%s", listTitle.c_str())};
}

std::string AddMeQuestion(const std::string& name, const std::string& jid) {
    return os::Format("%s(%s) 已添加你为常用联系人\n您是否添加对方为常用联系人", name.c_str(),
                      jid.c_str());
}

}  // namespace contacts::editing
