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
    for (std::size_t slot = 0; slot < members_.size(); ++slot) {
        if (CUser* user = members_[slot]) {
            user->listedIn_.EraseIf([&](const CUser::Listing& listing) {
                return listing.group == this && listing.slot == slot;
            });
        }
    }
}

std::size_t CGroup::FirstSlotOf(const CUser& user) const {
    std::size_t first = std::string::npos;
    for (const CUser::Listing& listing : user.listedIn_) {
        if (listing.group == this && listing.slot < first) first = listing.slot;
    }
    return first;
}

GroupListing* CGroup::ListingOf(CUser& user, std::size_t slot) const {
    for (CUser::Listing& listing : user.listedIn_) {
        if (listing.group == this && listing.slot == slot) return &listing;
    }
    return nullptr;  // never: every entry has its listing
}

void CGroup::CompactIfSparse() {
    if (holes_ < 16 || holes_ * 2 < members_.size()) return;
    std::size_t kept = 0;
    for (std::size_t slot = 0; slot < members_.size(); ++slot) {
        CUser* user = members_[slot];
        if (user == nullptr) continue;
        if (kept != slot) {
            for (CUser::Listing& listing : user->listedIn_) {
                if (listing.group == this && listing.slot == slot) {
                    listing.slot = static_cast<std::uint32_t>(kept);
                }
            }
            members_[kept] = members_[slot];
        }
        ++kept;
    }
    members_.resize(kept);
    holes_ = 0;
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
    user->listedIn_.push_back({this, static_cast<std::uint32_t>(members_.size()), online});
    members_.push_back(user);
    if (online) ++onlineCount_;
}

void CGroup::RemoveUser(CUser* user) {
    if (user == nullptr) return;
    Guard guard(*this);
    const std::size_t slot = FirstSlotOf(*user);
    if (slot == std::string::npos) return;
    if (CUser::Listing* listing = ListingOf(*user, slot); listing->countedOnline) --onlineCount_;
    members_[slot] = nullptr;
    ++holes_;
    user->listedIn_.EraseIf([&](const CUser::Listing& listing) {
        return listing.group == this && listing.slot == slot;
    });
    CompactIfSparse();
}

bool CGroup::RefreshOnline(const CUser* user) {
    if (user == nullptr) return false;
    Guard guard(*this);
    const bool online = CountsOnline(*user);
    bool listed = false;
    for (CUser::Listing& listing : const_cast<CUser*>(user)->listedIn_) {
        if (listing.group != this) continue;
        listed = true;
        if (listing.countedOnline != online) {
            onlineCount_ += online ? 1 : -1;
            listing.countedOnline = online;
        }
    }
    return listed;
}

void CGroup::RecountOnline() {
    Guard guard(*this);
    onlineCount_ = 0;
    for (std::size_t slot = 0; slot < members_.size(); ++slot) {
        CUser* user = members_[slot];
        if (user == nullptr) continue;
        const bool online = CountsOnline(*user);
        ListingOf(*user, slot)->countedOnline = online;
        if (online) ++onlineCount_;
    }
}

std::string CGroup::GetDisplayText(int mode, OnlineTitleForm form) {
    int online = 0;
    int total = 0;
    {
        Guard guard(*this);
        totalCount_ = static_cast<int>(members_.size() - holes_);
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
    users.reserve(members_.size() - holes_);
    for (CUser* user : members_) {
        if (user != nullptr) users.push_back(user);
    }
    return users;
}

int CGroup::UserCount() {
    Guard guard(*this);
    return static_cast<int>(members_.size() - holes_);
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
