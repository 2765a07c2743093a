#include "login/dlg_org_units.h"

#include <memory>

#include "config/client_config.h"
#include "os/controls/button.h"
#include "os/controls/list_control.h"
#include "os/prompt/prompter.h"
#include "web/generic_http_client.h"

namespace {

constexpr int kDialogWidth = 520;
constexpr int kDialogHeight = 360;
// Row data of the "(无数据)" row; unit rows carry their index.
constexpr std::uint32_t kNoUnitRow = 0xFFFFFFFF;

}  // namespace

CDlgOrgUnits::CDlgOrgUnits(core::ClientContext& context, web::GenericHttpClient& client,
                           os::Log& pickerLog)
    : os::Window(context.windows), context_(context), client_(client), pickerLog_(pickerLog) {}

bool CDlgOrgUnits::Create(os::HWND owner) {
    CreateParams params;
    params.title = std::string(kTitlePrefix) + context_.config.LoginCSFaceGroupTitle;
    params.owner = owner;
    params.rect = os::Rect::FromSize(0, 0, kDialogWidth, kDialogHeight);
    if (!os::Window::Create(params)) return false;
    auto* list = AddControl(std::make_unique<os::ListControl>(kUnitListId));
    list->SetSingleSelection(true);
    list->InsertColumn(0, "名称", 160);
    list->InsertColumn(1, "编号", 80);
    list->InsertColumn(2, "单点登录编码", 100);
    list->InsertColumn(3, "下级数", 60);
    list->InsertColumn(4, "组织编码", 100);
    AddControl(std::make_unique<os::Button>(kUpButtonId, "上一级"));
    AddControl(std::make_unique<os::Button>(os::IDOK, "确定"));
    AddControl(std::make_unique<os::Button>(os::IDCANCEL, "取消"));
    Open("", "");
    return true;
}

bool CDlgOrgUnits::Open(const std::string& parentId, const std::string& parentName) {
    web::ChildUnitsAnswer answer =
        web::RequestChildUnits(client_, pickerLog_, context_.config.GetSSOGroupUrl, parentId);
    switch (answer.outcome) {
        case web::ChildUnitsAnswer::Outcome::RequestFailed:
            return false;
        case web::ChildUnitsAnswer::Outcome::Unparsable:
            context_.prompter.MessageBox(kUnparsable, os::kDefaultCaption, os::MB_OK, hwnd());
            return false;
        case web::ChildUnitsAnswer::Outcome::Loaded:
            break;
    }
    levels_.push_back({parentId, parentName, std::move(answer.units)});
    ShowLevel();
    return true;
}

void CDlgOrgUnits::ShowLevel() {
    auto* list = GetControl<os::ListControl>(kUnitListId);
    list->DeleteAllItems();
    if (levels_.empty()) return;
    const std::vector<web::OrgUnit>& units = levels_.back().units;
    if (units.empty()) {
        list->InsertItem(0, kNoUnits, -1, kNoUnitRow);
        return;
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const web::OrgUnit& unit = units[i];
        const int row =
            list->InsertItem(static_cast<int>(i), unit.name, -1, static_cast<std::uint32_t>(i));
        list->SetItemText(row, 1, unit.id);
        list->SetItemText(row, 2, unit.ssoCode);
        list->SetItemText(row, 3, unit.childCount);
        list->SetItemText(row, 4, unit.orgCode);
    }
}

const web::OrgUnit* CDlgOrgUnits::UnitOfRow(int row) const {
    const auto* list = GetControl<os::ListControl>(kUnitListId);
    if (levels_.empty() || row < 0 || row >= list->GetItemCount()) return nullptr;
    const std::uint32_t index = list->GetItemData(row);
    const std::vector<web::OrgUnit>& units = levels_.back().units;
    if (index == kNoUnitRow || index >= units.size()) return nullptr;
    return &units[index];
}

void CDlgOrgUnits::GoUp() {
    if (levels_.size() < 2) return;
    levels_.pop_back();
    ShowLevel();
}

void CDlgOrgUnits::Confirm() {
    const int row = GetControl<os::ListControl>(kUnitListId)->GetNextSelected();
    const web::OrgUnit* unit = UnitOfRow(row);
    if (unit == nullptr) return;  // nothing chosen yet: the dialog stays
    choice_ = Choice{*unit, levels_.back().parentId, levels_.back().parentName};
    context_.prompter.EndDialog(hwnd(), os::IDOK);
}

os::LRESULT CDlgOrgUnits::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
        switch (os::LOWORD(wParam)) {
            case kUpButtonId:
                GoUp();
                return 0;
            case os::IDOK:
                Confirm();
                return 0;
            case os::IDCANCEL:
                context_.prompter.EndDialog(hwnd(), os::IDCANCEL);
                return 0;
            default:
                break;
        }
    }
    if (message == os::WM_NOTIFY) {
        const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
        if (note != nullptr && note->controlId == kUnitListId &&
            note->code == os::notify::kDoubleClick) {
            // Copies: opening replaces the level the unit lives in.
            if (const web::OrgUnit* unit = UnitOfRow(static_cast<int>(note->item))) {
                const std::string id = unit->id;
                const std::string name = unit->name;
                Open(id, name);
            }
            return 0;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}
