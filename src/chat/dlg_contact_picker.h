#pragma once
// CDlgContactPicker: the modal dialog in which the user picks contacts from the contact trees
// (the chat window's "邀请" opens it titled "添加参与者"). The left list offers the user's
// contacts; "添加" (or a double click) moves the selected one to the right list of chosen
// contacts, "移除" takes the selected chosen one back; "确定" ends with what was chosen.
//
// The offer is every user of every contact tree once (the first of the same JID, exact
// match), in tree order; SMS recipients of the phone book are left out (they have no chat),
// and so is the user.
// UI thread only, like the trees.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chat/chat_doors.h"
#include "core/client_context.h"
#include "os/ui/window.h"

namespace contacts {
class ContactTrees;
}

namespace chat {

struct PickableContact {
    std::string jid;
    std::string name;  // as the trees show it
};

// What a picker offers from `trees` to the user of `ownJid`: see the top of this file.
std::vector<PickableContact> PickableContacts(const contacts::ContactTrees& trees,
                                              std::string_view ownJid);

// Runs a picker titled `title` over `trees` (null: nothing to offer) modally, owned by
// `owner`. The chosen contacts with their presence as the trees know it when the user
// confirms; nothing when the user cancels.
std::optional<std::vector<ChatCommands::PickedContact>> PickContactsFromTrees(
    core::ClientContext& context, const contacts::ContactTrees* trees, const std::string& title,
    os::HWND owner);

}  // namespace chat

class CDlgContactPicker final : public os::Window {
  public:
    static constexpr int kOfferedListId = 1301;
    static constexpr int kChosenListId = 1302;
    static constexpr int kAddButtonId = 1303;
    static constexpr int kRemoveButtonId = 1304;

    CDlgContactPicker(core::ClientContext& context, std::string title,
                      std::vector<chat::PickableContact> offered);

    // Creates the dialog (hidden; DoModal shows it) owned by `owner`.
    bool Create(os::HWND owner);

    // The chosen contacts, in the order they were chosen.
    const std::vector<chat::PickableContact>& chosen() const { return chosen_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    void AddSelected();
    void RemoveSelected();
    void Choose(int offeredRow);
    void FillChosenList();

    core::ClientContext& context_;
    std::string title_;
    std::vector<chat::PickableContact> offered_;
    std::vector<chat::PickableContact> chosen_;
};
