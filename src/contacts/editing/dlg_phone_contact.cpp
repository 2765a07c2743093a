#include "contacts/editing/dlg_phone_contact.h"

#include <memory>
#include <vector>

#include "contacts/editing/tree_queries.h"
#include "core/client_context.h"
#include "os/controls/button.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/prompt/prompter.h"

namespace contacts {
namespace {

using F = editing::ContactField;
using D = CDlgPhoneContact;

constexpr int kWidth = 340;
constexpr int kMargin = 12;
constexpr int kLabelWidth = 80;
constexpr int kRowHeight = 24;
constexpr int kRowStep = 30;
constexpr int kButtonWidth = 80;

struct Row {
    int id;
    const char* label;
    F field;
    bool modifyOnly;
};

constexpr Row kRows[] = {
    {D::kMobileId, "手机号码", F::Mobile, false},
    {D::kNameId, "姓名", F::Name, false},
    {D::kEmailId, "电子邮件", F::Email, false},
    {D::kWorkPhoneId, "工作电话", F::WorkPhone, false},
    {D::kUnitId, "单位名称", F::Unit, false},
    {D::kShortNumberId, "虚拟短号", F::ShortNumber, true},
    {D::kMobile2Id, "手机号码2", F::Mobile2, true},
    {D::kFaxId, "传真号码", F::Fax, true},
    {D::kHomePhoneId, "家庭电话", F::HomePhone, true},
    {D::kGroupId, "组名", F::Group, false},
};

int ControlOf(F field) {
    for (const Row& row : kRows) {
        if (row.field == field) return row.id;
    }
    return D::kMobileId;
}

}  // namespace

CDlgPhoneContact::CDlgPhoneContact(core::ClientContext& context, CIMTree* phoneBook)
    : os::Window(context.windows), context_(context), phoneBook_(phoneBook), editor_(context) {}

bool CDlgPhoneContact::Create(os::HWND owner, const Existing* existing) {
    mode_ = existing != nullptr ? editing::DialogMode::Modify : editing::DialogMode::Add;
    if (existing != nullptr) existing_ = *existing;
    const bool modify = mode_ == editing::DialogMode::Modify;
    int rows = 0;
    for (const Row& row : kRows) rows += (!row.modifyOnly || modify) ? 1 : 0;
    CreateParams params;
    params.title = modify ? editing::kModifyContactTitle : editing::kAddContactTitle;
    params.owner = owner;
    params.rect = os::Rect::FromSize(0, 0, kWidth, 2 * kMargin + (rows + 1) * kRowStep + 8);
    if (!os::Window::Create(params)) return false;

    const int fieldLeft = kMargin + kLabelWidth;
    const int fieldWidth = kWidth - fieldLeft - kMargin;
    int top = kMargin;
    for (const Row& row : kRows) {
        if (row.modifyOnly && !modify) continue;
        auto* label = AddControl(std::make_unique<os::Label>(row.id + kLabelOffset, row.label));
        label->SetRect(os::Rect::FromSize(kMargin, top, kLabelWidth, kRowHeight));
        os::Control* field = nullptr;
        if (row.id == kGroupId) {
            auto* group =
                AddControl(std::make_unique<os::ComboBox>(kGroupId, os::ComboStyle::DropDown));
            if (phoneBook_ != nullptr) {
                for (const std::string& name : editing::GroupNames(*phoneBook_)) {
                    group->AddString(name);
                }
            }
            field = group;
        } else {
            field = AddControl(std::make_unique<os::Edit>(row.id));
        }
        field->SetRect(os::Rect::FromSize(fieldLeft, top, fieldWidth, kRowHeight));
        top += kRowStep;
    }
    auto* ok = AddControl(std::make_unique<os::Button>(os::IDOK, "确定"));
    ok->SetRect(os::Rect::FromSize(kWidth - kMargin - 2 * kButtonWidth - 8, top + 8, kButtonWidth,
                                   kRowHeight));
    auto* cancel = AddControl(std::make_unique<os::Button>(os::IDCANCEL, "取消"));
    cancel->SetRect(
        os::Rect::FromSize(kWidth - kMargin - kButtonWidth, top + 8, kButtonWidth, kRowHeight));

    if (modify) {
        const editing::PhoneContact& c = existing_.contact;
        const std::pair<int, const std::string*> filled[] = {
            {kMobileId, &c.mobile},       {kNameId, &c.name},     {kEmailId, &c.email},
            {kWorkPhoneId, &c.telephone}, {kUnitId, &c.company},  {kShortNumberId, &c.position},
            {kMobile2Id, &c.mobile2},     {kFaxId, &c.officefax}, {kHomePhoneId, &c.homephone},
            {kGroupId, &existing_.group},
        };
        for (const auto& [id, text] : filled) FindControl(id)->SetText(*text);
    }
    SetFocus(kMobileId);
    return true;
}

void CDlgPhoneContact::SetMobile(const std::string& mobile) {
    if (os::Control* control = FindControl(kMobileId)) control->SetText(mobile);
}

std::string CDlgPhoneContact::Field(int id) const {
    const os::Control* control = FindControl(id);
    return control != nullptr ? control->Text() : std::string();
}

editing::PhoneContactInput CDlgPhoneContact::Gather() const {
    editing::PhoneContactInput input;
    input.mode = mode_;
    input.mobile = Field(kMobileId);
    input.name = Field(kNameId);
    input.email = Field(kEmailId);
    input.workPhone = Field(kWorkPhoneId);
    input.unit = Field(kUnitId);
    input.shortNumber = Field(kShortNumberId);
    input.mobile2 = Field(kMobile2Id);
    input.fax = Field(kFaxId);
    input.homePhone = Field(kHomePhoneId);
    input.group = Field(kGroupId);
    input.id = existing_.id;
    if (phoneBook_ != nullptr) {
        input.groupExists = editing::HasGroupNamed(*phoneBook_, input.group);
        input.groupMembers = editing::MembersOf(*phoneBook_, input.group);
    }
    return input;
}

void CDlgPhoneContact::Confirm() {
    if (pollsLeft_ > 0) return;
    const editing::CheckOutcome outcome = editing::ValidatePhoneContactDialog(Gather());
    if (outcome.refusal) {
        context_.prompter.MessageBox(outcome.refusal->message, os::kDefaultCaption, os::MB_OK,
                                     hwnd());
        SetFocus(ControlOf(outcome.refusal->field));
        return;
    }
    if (outcome.next == editing::NextStep::CreateGroup) {
        editor_.CreateGroup(editing::ContactList::PhoneBook, Field(kGroupId), {});
        pollsLeft_ = kGroupPolls;
        SetTimer(kGroupPollTimer, kGroupPollMs);
        return;
    }
    Send();
}

void CDlgPhoneContact::OnGroupPoll() {
    if (phoneBook_ != nullptr && editing::HasGroupNamed(*phoneBook_, Field(kGroupId))) {
        KillTimer(kGroupPollTimer);
        pollsLeft_ = 0;
        Confirm();  // the group is there now: the remaining checks see its users
        return;
    }
    if (--pollsLeft_ > 0) return;
    KillTimer(kGroupPollTimer);
    context_.prompter.MessageBox(editing::kGroupCreationFailed, os::kDefaultCaption, os::MB_OK,
                                 hwnd());
    SetFocus(kGroupId);
}

void CDlgPhoneContact::Send() {
    editing::PhoneContact contact = existing_.contact;
    contact.mobile = Field(kMobileId);
    contact.name = Field(kNameId);
    contact.email = Field(kEmailId);
    contact.telephone = Field(kWorkPhoneId);
    contact.company = Field(kUnitId);
    if (mode_ == editing::DialogMode::Modify) {
        contact.position = Field(kShortNumberId);
        contact.mobile2 = Field(kMobile2Id);
        contact.officefax = Field(kFaxId);
        contact.homephone = Field(kHomePhoneId);
        editor_.ModifyPhoneContact(Field(kGroupId), contact, existing_.id);
    } else {
        editor_.AddPhoneContact(Field(kGroupId), contact);
    }
    context_.prompter.EndDialog(hwnd(), os::IDOK);
}

os::LRESULT CDlgPhoneContact::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_TIMER && wParam == kGroupPollTimer) {
        OnGroupPoll();
        return 0;
    }
    if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
        switch (os::LOWORD(wParam)) {
            case os::IDOK:
                Confirm();
                return 0;
            case os::IDCANCEL:
                KillTimer(kGroupPollTimer);
                context_.prompter.EndDialog(hwnd(), os::IDCANCEL);
                return 0;
            default:
                break;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

}  // namespace contacts
