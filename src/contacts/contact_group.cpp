#include "contacts/contact_group.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "contacts/contact_user.h"
#include "contacts/presence_table.h"
#include "contacts/tree_item_data.h"
#include "os/text/cstring_ops.h"

namespace contacts {

class CGroup::Guard {
  public:
    explicit Guard(CGroup& group) : group_(group), locked_(group.LockUserList()) {}
    ~Guard() {
        if (locked_) group_.UnlockUserList();
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

  private:
    CGroup& group_;
    bool locked_;
};

CGroup::CGroup(std::string id, std::string name, std::string parentId, std::string pathKey)
    : id(std::move(id)),
      name(std::move(name)),
      parentId(std::move(parentId)),
      pathKey_(std::move(pathKey)) {}

CGroup::~CGroup() {
    for (Member& member : members_) std::erase(member.user->listedIn_, this);
}

void CGroup::Unlist(CUser& user) {
    auto& groups = user.listedIn_;
    auto at = std::find(groups.rbegin(), groups.rend(), this);
    if (at != groups.rend()) groups.erase(std::next(at).base());
}

void CGroup::SetPathKey(std::string pathKey) {
    if (pathKey == pathKey_) return;
    std::string previous = std::exchange(pathKey_, std::move(pathKey));
    if (holder_ != nullptr) holder_->PathKeyChanged(previous);
}

bool CGroup::LockUserList() {
    try {
        lock_.lock();
        return true;
    } catch (const std::system_error&) {
        if (log_) log_(0, "CGroup::LockUserList异常");
        return false;
    }
}

void CGroup::UnlockUserList() { lock_.unlock(); }

bool CGroup::CountsOnline(const CUser& user) {
    return !PresenceTable().IsOfflineWord(user.presence());
}

void CGroup::AddUser(CUser* user) {
    if (user == nullptr) return;
    Guard guard(*this);
    const bool online = CountsOnline(*user);
    auto entry = members_.insert(members_.end(), Member{user, online});
    entries_.emplace(user, entry);
    user->listedIn_.push_back(this);
    if (online) ++onlineCount_;
}

void CGroup::RemoveUser(CUser* user) {
    Guard guard(*this);
    auto found = entries_.find(user);
    if (found == entries_.end()) return;
    if (found->second->countedOnline) --onlineCount_;
    members_.erase(found->second);
    entries_.erase(found);
    Unlist(*user);
}

bool CGroup::RefreshOnline(const CUser* user) {
    Guard guard(*this);
    auto [first, last] = entries_.equal_range(user);
    if (first == last) return false;
    const bool online = CountsOnline(*user);
    for (auto it = first; it != last; ++it) {
        Member& member = *it->second;
        if (member.countedOnline != online) {
            onlineCount_ += online ? 1 : -1;
            member.countedOnline = online;
        }
    }
    return true;
}

void CGroup::RecountOnline() {
    Guard guard(*this);
    onlineCount_ = 0;
    for (Member& member : members_) {
        member.countedOnline = CountsOnline(*member.user);
        if (member.countedOnline) ++onlineCount_;
    }
}

std::string CGroup::GetDisplayText(int mode, OnlineTitleForm form) {
    int online = 0;
    int total = 0;
    {
        Guard guard(*this);
        totalCount_ = static_cast<int>(members_.size());
        total = totalCount_;
        online = onlineCount_;
    }
    if (total == 0) return name;
    if (mode == kTitleTotalOnly) return os::Format("%s (%d)", name.c_str(), total);
    if (form == OnlineTitleForm::Words) {
        return os::Format("%s (在线%d人/共%d人)", name.c_str(), online, total);
    }
    return os::Format("%s (%d/%d)", name.c_str(), online, total);
}

std::vector<CUser*> CGroup::Users() {
    Guard guard(*this);
    std::vector<CUser*> users;
    users.reserve(members_.size());
    for (const Member& member : members_) users.push_back(member.user);
    return users;
}

int CGroup::UserCount() {
    Guard guard(*this);
    return static_cast<int>(members_.size());
}

int CGroup::OnlineCount() {
    Guard guard(*this);
    return onlineCount_;
}

int CGroup::TotalCount() {
    Guard guard(*this);
    return totalCount_;
}

}  // namespace contacts
