#include "contacts/tree_item_data.h"

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"

namespace contacts {

CIMTreeItemData::CIMTreeItemData(ItemKind kind) : kind_(kind) {}

CIMTreeItemData::~CIMTreeItemData() {
    // The payload dies with its item; it must not tell anybody about it.
    if (CUser* held = user()) {
        held->holder_ = nullptr;
        delete held;
    }
    if (CGroup* held = group()) {
        held->holder_ = nullptr;
        delete held;
    }
}

std::unique_ptr<CIMTreeItemData> CIMTreeItemData::ForGroup(std::unique_ptr<CGroup> group) {
    std::unique_ptr<CIMTreeItemData> item(new CIMTreeItemData(ItemKind::Group));
    if (group != nullptr) group->holder_ = item.get();
    item->payload_ = group.release();
    return item;
}

std::unique_ptr<CIMTreeItemData> CIMTreeItemData::ForUser(std::unique_ptr<CUser> user) {
    std::unique_ptr<CIMTreeItemData> item(new CIMTreeItemData(ItemKind::User));
    if (user != nullptr) user->holder_ = item.get();
    item->payload_ = user.release();
    return item;
}

std::unique_ptr<CIMTreeItemData> CIMTreeItemData::WithoutPayload(ItemKind kind) {
    return std::unique_ptr<CIMTreeItemData>(new CIMTreeItemData(kind));
}

void CIMTreeItemData::JidChanged(std::string_view previous) {
    if (listener_ != nullptr) listener_->OnJidChanged(*this, previous);
}

void CIMTreeItemData::PathKeyChanged(std::string_view previous) {
    if (listener_ != nullptr) listener_->OnPathKeyChanged(*this, previous);
}

void CIMTreeItemData::PresenceChanged() {
    if (listener_ != nullptr) listener_->OnPresenceChanged(*this);
}

}  // namespace contacts
