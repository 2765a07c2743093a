#include "contacts/editing/dlg_buddy.h"

#include <memory>

#include "config/client_config.h"
#include "contacts/editing/tree_queries.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "os/controls/button.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/prompt/prompter.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 250;
constexpr int kMargin = 12;
constexpr int kLabelWidth = 70;
constexpr int kRowHeight = 24;
constexpr int kRowStep = 32;
constexpr int kButtonWidth = 80;

int FieldControl(editing::ContactField field) {
    switch (field) {
        case editing::ContactField::Nickname:
            return CDlgBuddy::kNicknameId;
        case editing::ContactField::Group:
            return CDlgBuddy::kGroupId;
        default:
            return CDlgBuddy::kAccountId;
    }
}

}  // namespace

CDlgBuddy::CDlgBuddy(core::ClientContext& context, CIMTree* buddies, CIMTree* phoneBook)
    : os::Window(context.windows),
      context_(context),
      buddies_(buddies),
      phoneBook_(phoneBook),
      editor_(context) {}

bool CDlgBuddy::Create(os::HWND owner, const Existing* existing) {
    mode_ = existing != nullptr ? editing::DialogMode::Modify : editing::DialogMode::Add;
    if (existing != nullptr) existing_ = *existing;
    CreateParams params;
    params.title = mode_ == editing::DialogMode::Add ? editing::kAddContactTitle
                                                     : editing::kModifyContactTitle;
    params.owner = owner;
    params.rect = os::Rect::FromSize(0, 0, kWidth, kHeight);
    if (!os::Window::Create(params)) return false;

    AddControl(std::make_unique<os::Label>(kListLabelId, "添加到"));
    auto* list = AddControl(std::make_unique<os::ComboBox>(kListId));
    list->AddString(context_.config.PrivateContactFloderGovTitle);
    if (phoneBook_ != nullptr) list->AddString(context_.config.TelContactTitle);
    list->SetCurSel(0);
    AddControl(std::make_unique<os::Label>(kUserTypeLabelId, "用户类型"));
    auto* type = AddControl(std::make_unique<os::ComboBox>(kUserTypeId));
    type->AddString(kGovernmentUser, platform::kUserTypeGovernment);
    type->AddString(kPublicUser, platform::kUserTypePublic);
    type->SetCurSel(0);
    AddControl(std::make_unique<os::Label>(kAccountLabelId, "用户名"));
    auto* account = AddControl(std::make_unique<os::Edit>(kAccountId));
    AddControl(std::make_unique<os::Label>(kNicknameLabelId, "昵称"));
    auto* nickname = AddControl(std::make_unique<os::Edit>(kNicknameId));
    AddControl(std::make_unique<os::Label>(kGroupLabelId, "组群"));
    auto* group = AddControl(std::make_unique<os::ComboBox>(kGroupId, os::ComboStyle::DropDown));
    AddControl(std::make_unique<os::Button>(os::IDOK, "确定"));
    AddControl(std::make_unique<os::Button>(os::IDCANCEL, "取消"));
    FillGroups();
    if (mode_ == editing::DialogMode::Modify) {
        // The contact stays who it is and where it is listed; the rest may change.
        account->SetText(context_.session.GetUserLimitId(existing_.jid));
        account->SetReadOnly(true);
        list->SetEnabled(false);
        type->SetEnabled(false);
        nickname->SetText(existing_.nickname);
        group->SetText(existing_.group);
    }
    LayOutControls();
    SetFocus(mode_ == editing::DialogMode::Add ? kAccountId : kNicknameId);
    return true;
}

void CDlgBuddy::SetAccount(const std::string& account) {
    if (auto* edit = GetControl<os::Edit>(kAccountId)) edit->SetText(account);
}

void CDlgBuddy::LayOutControls() {
    auto place = [this](int id, int x, int y, int w, int h) {
        if (os::Control* control = FindControl(id)) {
            control->SetRect(os::Rect::FromSize(x, y, w, h));
        }
    };
    const int fieldLeft = kMargin + kLabelWidth;
    const int fieldWidth = kWidth - fieldLeft - kMargin;
    const std::pair<int, int> rows[] = {{kListLabelId, kListId},
                                        {kUserTypeLabelId, kUserTypeId},
                                        {kAccountLabelId, kAccountId},
                                        {kNicknameLabelId, kNicknameId},
                                        {kGroupLabelId, kGroupId}};
    int top = kMargin;
    for (const auto& [label, field] : rows) {
        place(label, kMargin, top, kLabelWidth, kRowHeight);
        place(field, fieldLeft, top, fieldWidth, kRowHeight);
        top += kRowStep;
    }
    place(os::IDOK, kWidth - kMargin - 2 * kButtonWidth - 8, top + 8, kButtonWidth, kRowHeight);
    place(os::IDCANCEL, kWidth - kMargin - kButtonWidth, top + 8, kButtonWidth, kRowHeight);
}

editing::ContactList CDlgBuddy::ChosenList() const {
    const auto* list = GetControl<os::ComboBox>(kListId);
    const bool phone = phoneBook_ != nullptr && list != nullptr &&
                       list->Text() == context_.config.TelContactTitle &&
                       mode_ == editing::DialogMode::Add;
    return phone ? editing::ContactList::PhoneBook : editing::ContactList::Buddies;
}

CIMTree* CDlgBuddy::ChosenTree() const {
    return ChosenList() == editing::ContactList::PhoneBook ? phoneBook_ : buddies_;
}

void CDlgBuddy::FillGroups() {
    auto* group = GetControl<os::ComboBox>(kGroupId);
    const std::string typed = group->Text();
    group->ResetContent();
    if (CIMTree* tree = ChosenTree()) {
        for (const std::string& name : editing::GroupNames(*tree)) group->AddString(name);
    }
    group->SetText(typed);
}

void CDlgBuddy::Refuse(const std::string& message, int controlId) {
    context_.prompter.MessageBox(message, os::kDefaultCaption, os::MB_OK, hwnd());
    SetFocus(controlId);
}

void CDlgBuddy::Confirm() {
    if (pollsLeft_ > 0) return;  // the group is on its way
    editing::BuddyInput input;
    input.account = GetControl<os::Edit>(kAccountId)->Text();
    input.nickname = GetControl<os::Edit>(kNicknameId)->Text();
    input.group = GetControl<os::ComboBox>(kGroupId)->Text();
    input.mobileMode = ChosenList() == editing::ContactList::PhoneBook;
    CIMTree* tree = ChosenTree();
    input.groupExists = tree != nullptr && editing::HasGroupNamed(*tree, input.group);
    const editing::CheckOutcome outcome = editing::ValidateBuddyDialog(input);
    if (outcome.refusal) {
        Refuse(outcome.refusal->message, FieldControl(outcome.refusal->field));
        return;
    }
    if (outcome.next == editing::NextStep::CreateGroup) {
        editor_.CreateGroup(ChosenList(), input.group, {});
        pollsLeft_ = kGroupPolls;
        SetTimer(kGroupPollTimer, kGroupPollMs);
        return;
    }
    Send();
}

void CDlgBuddy::OnGroupPoll() {
    const std::string group = GetControl<os::ComboBox>(kGroupId)->Text();
    CIMTree* tree = ChosenTree();
    if (tree != nullptr && editing::HasGroupNamed(*tree, group)) {
        KillTimer(kGroupPollTimer);
        pollsLeft_ = 0;
        FillGroups();
        Send();
        return;
    }
    if (--pollsLeft_ > 0) return;
    KillTimer(kGroupPollTimer);
    Refuse(editing::kGroupCreationFailed, kGroupId);
}

void CDlgBuddy::Send() {
    const std::string account = GetControl<os::Edit>(kAccountId)->Text();
    const std::string nickname = GetControl<os::Edit>(kNicknameId)->Text();
    const std::string group = GetControl<os::ComboBox>(kGroupId)->Text();
    if (mode_ == editing::DialogMode::Modify) {
        editor_.ModifyBuddy(existing_.jid, nickname, group, existing_.group);
    } else if (ChosenList() == editing::ContactList::PhoneBook) {
        editing::PhoneContact contact;
        contact.name = nickname.empty() ? account : nickname;
        contact.mobile = account;
        editor_.AddPhoneContact(group, contact);
    } else {
        const auto* type = GetControl<os::ComboBox>(kUserTypeId);
        const int userType = static_cast<int>(type->GetItemData(type->GetCurSel()));
        editor_.AddBuddy(account, userType, nickname, group);
    }
    context_.prompter.EndDialog(hwnd(), os::IDOK);
}

os::LRESULT CDlgBuddy::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_TIMER && wParam == kGroupPollTimer) {
        OnGroupPoll();
        return 0;
    }
    if (message == os::WM_COMMAND) {
        const int id = os::LOWORD(wParam);
        const int code = os::HIWORD(wParam);
        if (code == os::notify::kClicked && id == os::IDOK) {
            Confirm();
            return 0;
        }
        if (code == os::notify::kClicked && id == os::IDCANCEL) {
            KillTimer(kGroupPollTimer);
            context_.prompter.EndDialog(hwnd(), os::IDCANCEL);
            return 0;
        }
        if (id == kListId) {
            FillGroups();
            return 0;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

}  // namespace contacts
