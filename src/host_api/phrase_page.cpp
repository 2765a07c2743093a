#include "host_api/phrase_page.h"

#include "config/phrase_store.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "os/controls/button.h"
#include "os/controls/list_control.h"
#include "os/prompt/prompter.h"
#include "os/text/cstring_ops.h"

namespace {

constexpr const char* kSelectFirst = "请先选择一条数据再执行此操作";
constexpr const char* kPhraseFilter = "常用语文本文件(*.txt)|*.txt||";

}  // namespace

CPhrasePage::CPhrasePage(core::ClientContext& context)
    : os::Window(context.windows), context_(context) {}

bool CPhrasePage::Create(os::HWND parent, const os::Rect& rect) {
    CreateParams params;
    params.title = "常用语";
    params.parent = parent;
    params.rect = rect;
    params.visible = true;
    if (!os::Window::Create(params)) return false;
    list_ = AddControl(std::make_unique<os::ListControl>(kList));
    list_->SetSingleSelection(true);
    list_->InsertColumn(0, "序号", 40);
    list_->InsertColumn(1, "常用语", 300);
    const struct {
        int id;
        const char* caption;
    } buttons[] = {{kAdd, "添加"},      {kDelete, "删除"}, {kMoveUp, "上移"},
                   {kMoveDown, "下移"}, {kImport, "导入"}, {kExport, "导出"}};
    for (const auto& button : buttons) {
        AddControl(std::make_unique<os::Button>(button.id, button.caption));
    }
    Fill(-1);
    return true;
}

os::LRESULT CPhrasePage::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message != os::WM_COMMAND) return os::Window::OnMessage(message, wParam, lParam);
    switch (static_cast<int>(wParam & 0xFFFF)) {
        case kAdd:
            OnAdd();
            break;
        case kDelete:
            OnDelete();
            break;
        case kMoveUp:
            OnMove(true);
            break;
        case kMoveDown:
            OnMove(false);
            break;
        case kImport:
            OnImport();
            break;
        case kExport:
            OnExport();
            break;
        default:
            break;
    }
    return 0;
}

void CPhrasePage::OnAdd() {
    os::InputRequest request;
    request.owner = hwnd();
    request.caption = os::kDefaultCaption;
    request.prompt = "请输入新的常用语";
    const std::optional<std::string> text = context_.prompter.InputText(request);
    if (!text || text->empty()) return;
    if (text->size() > config::kMaxPhraseBytes) {
        Tell(os::Format("%s(一条常用语最多%d个汉字)", text->c_str(), kMaxPhraseChineseCharacters));
        return;
    }
    config::PhraseStore& phrases = context_.doors().settings->Phrases();
    if (!phrases.Add(*text)) return;
    Save();
    Fill(phrases.Count() - 1);
}

void CPhrasePage::OnDelete() {
    const int row = SelectedOrAsk();
    if (row < 0) return;
    if (!context_.doors().settings->Phrases().Remove(row)) return;
    Save();
    Fill(-1);
}

void CPhrasePage::OnMove(bool up) {
    const int row = SelectedOrAsk();
    if (row < 0) return;
    config::PhraseStore& phrases = context_.doors().settings->Phrases();
    const int moved = up ? phrases.MoveUp(row) : phrases.MoveDown(row);
    if (moved < 0) return;
    if (moved != row) Save();
    Fill(moved);
}

void CPhrasePage::OnImport() {
    const bool keep = context_.prompter.MessageBox("要保留现有的常用语信息吗", os::kDefaultCaption,
                                                   os::MB_YESNO, hwnd()) == os::IDYES;
    os::FileDialogRequest request;
    request.owner = hwnd();
    request.filter = kPhraseFilter;
    request.defaultExtension = "txt";
    const std::optional<std::string> path = context_.prompter.OpenFile(request);
    if (!path) return;
    const config::PhraseLoadReport report = context_.doors().settings->Phrases().Load(*path, keep);
    Save();
    Fill(-1);
    for (const std::string& message : config::PhraseLoadMessages(report)) Tell(message);
}

void CPhrasePage::OnExport() {
    os::FileDialogRequest request;
    request.owner = hwnd();
    request.filter = kPhraseFilter;
    request.defaultName = "常用语.txt";
    request.defaultExtension = "txt";
    const std::optional<std::string> path = context_.prompter.SaveFile(request);
    if (!path) return;
    if (!context_.doors().settings->Phrases().Save(*path)) {
        Tell("导出常用语失败:" + *path);
        return;
    }
    Tell("导出常用语成功");
}

int CPhrasePage::SelectedOrAsk() {
    const int row = list_->GetNextSelected();
    if (row < 0) Tell(kSelectFirst);
    return row;
}

void CPhrasePage::Fill(int selected) {
    const config::PhraseStore& phrases = context_.doors().settings->Phrases();
    list_->DeleteAllItems();
    for (int i = 0; i < phrases.Count(); ++i) {
        const int row = list_->InsertItem(-1, std::to_string(i + 1));
        list_->SetItemText(row, 1, phrases.At(i));
    }
    if (selected >= 0 && selected < phrases.Count()) list_->SelectRow(selected);
}

void CPhrasePage::Save() { context_.doors().settings->SavePhrases(); }

void CPhrasePage::Tell(const std::string& text) {
    context_.prompter.MessageBox(text, os::kDefaultCaption, os::MB_OK, hwnd());
}
