#include "contacts/item_data_list.h"

#include <algorithm>
#include <utility>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace contacts {
ItemDataList::ItemDataList(platform::UserTypeOf userTypeOf) : userTypeOf_(std::move(userTypeOf)) {}

ItemDataList::~ItemDataList() { Clear(); }

std::uint64_t ItemDataList::ExactHash(std::string_view jid) {
    // FNV-1a over the bytes of Jid::ExactKey, folded here rather than copied.
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    std::size_t pos = 0;
    while (pos < jid.size()) {
        const int length = os::GbkCharLength(jid, pos);
        if (length == 2) {
            add(static_cast<unsigned char>(jid[pos]));
            add(static_cast<unsigned char>(jid[pos + 1]));
        } else {
            const auto byte = static_cast<unsigned char>(jid[pos]);
            add(byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte);
        }
        pos += static_cast<std::size_t>(length);
    }
    return hash;
}

std::uint64_t ItemDataList::TextHash(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

std::string ItemDataList::LooseKey(std::string_view jid) const {
    return platform::Jid(jid).LooseKey(userTypeOf_);
}

CIMTreeItemData* ItemDataList::Append(std::unique_ptr<CIMTreeItemData> item,
                                      CIMTreeItemData::KeyListener* listener) {
    if (item == nullptr || item->id_ != 0) return nullptr;
    CIMTreeItemData* raw = item.get();
    raw->id_ = firstId_ + static_cast<std::uint32_t>(byId_.size());
    raw->listener_ = listener;
    byId_.push_back(std::move(item));
    ++size_;
    IndexItem(*raw);
    return raw;
}

std::unique_ptr<CIMTreeItemData> ItemDataList::Remove(CIMTreeItemData* item) {
    if (!Contains(item)) return nullptr;
    UnindexItem(*item);
    std::unique_ptr<CIMTreeItemData> owned = std::move(byId_[item->id_ - firstId_]);
    --size_;
    owned->id_ = 0;
    owned->listener_ = nullptr;
    owned->node_ = os::kNoTreeItem;
    return owned;
}

void ItemDataList::Clear() {
    for (auto& item : byId_) {
        if (item != nullptr) item->listener_ = nullptr;
    }
    // Ids are never given twice in a list's life, so a stale node parameter never finds a
    // new item.
    firstId_ += static_cast<std::uint32_t>(byId_.size());
    exact_.Clear();
    loose_.Clear();
    groups_.Clear();
    Slots items = std::move(byId_);
    byId_ = Slots();
    size_ = 0;
    items.clear();  // in list order, after the list has let them go
}

bool ItemDataList::Contains(const CIMTreeItemData* item) const {
    return item != nullptr && item->id_ != 0 && ById(item->id_) == item;
}

CIMTreeItemData* ItemDataList::ById(std::uint32_t id) const {
    if (id < firstId_) return nullptr;
    const std::size_t slot = id - firstId_;
    return slot < byId_.size() ? byId_[slot].get() : nullptr;
}

void ItemDataList::IndexItem(CIMTreeItemData& item) {
    if (const CUser* user = item.user()) {
        item.exactHash_ = ExactHash(user->GetJid());
        exact_.Insert(item.exactHash_, &item);
        if (looseBuilt_) {
            item.looseHash_ = TextHash(LooseKey(user->GetJid()));
            loose_.Insert(item.looseHash_, &item);
        }
    } else if (const CGroup* group = item.group()) {
        item.groupHash_ = TextHash(group->pathKey());
        groups_.Insert(item.groupHash_, &item);
    }
}

void ItemDataList::UnindexItem(CIMTreeItemData& item) {
    if (item.user() != nullptr) {
        exact_.Erase(item.exactHash_, &item);
        if (looseBuilt_) loose_.Erase(item.looseHash_, &item);
    } else if (item.group() != nullptr) {
        groups_.Erase(item.groupHash_, &item);
    }
}

void ItemDataList::Reindex(CIMTreeItemData& item) {
    if (!Contains(&item)) return;
    UnindexItem(item);
    IndexItem(item);
}

void ItemDataList::BuildLooseIndex() {
    if (looseBuilt_) return;
    looseBuilt_ = true;
    for (auto& item : *this) {
        if (const CUser* user = item->user()) {
            item->looseHash_ = TextHash(LooseKey(user->GetJid()));
            loose_.Insert(item->looseHash_, item.get());
        }
    }
}

void ItemDataList::Reserve(std::size_t count) {
    exact_.Reserve(exact_.size() + count);
    if (looseBuilt_) loose_.Reserve(loose_.size() + count);
    byId_.reserve(byId_.size() + count);
}

template <typename Visit>
void ItemDataList::ForMatches(std::string_view jid, platform::JidMatch match, Visit visit) {
    if (match == platform::JidMatch::Loose) {
        BuildLooseIndex();
        const std::string key = LooseKey(jid);
        for (CIMTreeItemData* item : loose_.Find(TextHash(key))) {
            CUser* user = item->user();
            if (user != nullptr && LooseKey(user->GetJid()) == key && visit(*user)) return;
        }
        return;
    }
    for (CIMTreeItemData* item : exact_.Find(ExactHash(jid))) {
        CUser* user = item->user();
        if (user != nullptr &&
            platform::Jid::Equal(user->GetJid(), jid, platform::JidMatch::Exact, nullptr) &&
            visit(*user)) {
            return;
        }
    }
}

CUser* ItemDataList::FindUser(std::string_view jid, std::string_view groupKey,
                              platform::JidMatch match) {
    CUser* found = nullptr;
    ForMatches(jid, match, [&](CUser& user) {
        if (!groupKey.empty() && user.groupKey != groupKey) return false;
        found = &user;
        return true;
    });
    return found;
}

std::vector<CUser*> ItemDataList::FindUsers(std::string_view jid, platform::JidMatch match) {
    std::vector<CUser*> users;
    ForMatches(jid, match, [&](CUser& user) {
        users.push_back(&user);
        return false;
    });
    return users;
}

CGroup* ItemDataList::FindGroup(std::string_view pathKey) const {
    for (CIMTreeItemData* item : groups_.Find(TextHash(pathKey))) {
        CGroup* group = item->group();
        if (group != nullptr && group->pathKey() == pathKey) return group;
    }
    return nullptr;
}

}  // namespace contacts
