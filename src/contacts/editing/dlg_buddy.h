#pragma once
// CDlgBuddy: the dialog that adds a contact ("添加联系人") or changes one ("修改联系人").
// The user chooses the list (the buddy list or the phone book, by their titles), the user
// type, the account, the nickname and the group (typed or chosen). "确定" runs the checks
// of ValidateBuddyDialog; a refusal is shown and the focus goes back to its field. A group
// the list does not have yet is created first, and the dialog looks for it every 500 ms;
// when it has not come after kGroupPolls looks the dialog says so and stays open. Then the
// change is sent (ContactEditor) and the dialog ends with IDOK: the trees change when the
// server's roster push comes. UI thread; run modally.

#include <string>

#include "contacts/editing/contact_editor.h"
#include "contacts/editing/contact_rules.h"
#include "os/ui/window.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

class CDlgBuddy final : public os::Window {
  public:
    static constexpr int kListId = 9301;
    static constexpr int kUserTypeId = 9302;
    static constexpr int kAccountId = 9303;
    static constexpr int kNicknameId = 9304;
    static constexpr int kGroupId = 9305;
    static constexpr int kListLabelId = 9311;
    static constexpr int kUserTypeLabelId = 9312;
    static constexpr int kAccountLabelId = 9313;
    static constexpr int kNicknameLabelId = 9314;
    static constexpr int kGroupLabelId = 9315;
    static constexpr std::uint64_t kGroupPollTimer = 1;
    static constexpr int kGroupPollMs = 500;
    static constexpr int kGroupPolls = 10;
    // The user types of the type box, in order.
    static constexpr const char* kGovernmentUser = "政务用户";
    static constexpr const char* kPublicUser = "公众用户";

    // The contact being changed (modify mode).
    struct Existing {
        std::string jid;
        std::string nickname;
        std::string group;
    };

    // `buddies` and `phoneBook` are the trees the lists stand for (either may be null).
    CDlgBuddy(core::ClientContext& context, CIMTree* buddies, CIMTree* phoneBook);

    // Creates the dialog (hidden; DoModal shows it). With `existing` it changes that contact
    // of the buddy list.
    bool Create(os::HWND owner, const Existing* existing = nullptr);
    // Fills the account (the add dialog opened for a known address).
    void SetAccount(const std::string& account);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    editing::ContactList ChosenList() const;
    CIMTree* ChosenTree() const;
    void FillGroups();
    void LayOutControls();
    void Confirm();
    void OnGroupPoll();
    void Send();
    void Refuse(const std::string& message, int controlId);

    core::ClientContext& context_;
    CIMTree* buddies_;
    CIMTree* phoneBook_;
    editing::ContactEditor editor_;
    editing::DialogMode mode_ = editing::DialogMode::Add;
    Existing existing_;
    int pollsLeft_ = 0;
};

}  // namespace contacts
