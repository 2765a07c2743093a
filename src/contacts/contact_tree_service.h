#pragma once
// The window manager's door to the contact trees (core::ContactService): what the exports read
// of the selected contact. The dialogs behind the other methods of the door come with the
// contact editing work and keep their defaults until then.

#include "core/doors/contact_service.h"

namespace contacts {

class ContactTrees;

class ContactTreeService final : public core::ContactService {
  public:
    explicit ContactTreeService(ContactTrees& trees) : trees_(trees) {}

    // The selected node of the first tree (in the order the trees joined) that has one
    // selected, user or group. The numbers: tel is the work phone, the home and business
    // numbers are the user's second and third phone.
    std::optional<core::ContactSelection> Selection() override;

  private:
    ContactTrees& trees_;
};

}  // namespace contacts
