#pragma once
// CDlgPhoneContact: the dialog that adds a contact to the private phone book
// ("添加联系人") or changes one ("修改联系人"): mobile, name, e-mail, work phone, unit, the
// change dialog also short number, second mobile, fax and home phone, and the group (typed
// or chosen). "确定" runs ValidatePhoneContactDialog; a refusal is shown and the focus goes
// back to its field. A new group is created first (AddTelGroup) and looked for every
// 500 ms, kGroupPolls times at most. Then AddMobileContact or ModifyMobileContact is sent
// and the dialog ends with IDOK; the tree changes with the server's roster push. UI thread;
// run modally.

#include <string>

#include "contacts/editing/contact_editor.h"
#include "contacts/editing/contact_rules.h"
#include "os/ui/window.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

class CDlgPhoneContact final : public os::Window {
  public:
    static constexpr int kMobileId = 9401;
    static constexpr int kNameId = 9402;
    static constexpr int kEmailId = 9403;
    static constexpr int kWorkPhoneId = 9404;
    static constexpr int kUnitId = 9405;
    static constexpr int kShortNumberId = 9406;
    static constexpr int kMobile2Id = 9407;
    static constexpr int kFaxId = 9408;
    static constexpr int kHomePhoneId = 9409;
    static constexpr int kGroupId = 9410;
    // Each field's label has the field's id + kLabelOffset.
    static constexpr int kLabelOffset = 100;
    static constexpr std::uint64_t kGroupPollTimer = 1;
    static constexpr int kGroupPollMs = 500;
    static constexpr int kGroupPolls = 10;

    // The contact being changed: its identifier (JID), group and what its card holds.
    struct Existing {
        std::string id;
        std::string group;
        editing::PhoneContact contact;
    };

    CDlgPhoneContact(core::ClientContext& context, CIMTree* phoneBook);

    bool Create(os::HWND owner, const Existing* existing = nullptr);
    void SetMobile(const std::string& mobile);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    std::string Field(int id) const;
    editing::PhoneContactInput Gather() const;
    void Confirm();
    void OnGroupPoll();
    void Send();

    core::ClientContext& context_;
    CIMTree* phoneBook_;
    editing::ContactEditor editor_;
    editing::DialogMode mode_ = editing::DialogMode::Add;
    Existing existing_;
    int pollsLeft_ = 0;
};

}  // namespace contacts
