// CFrameMessageManager: what the page reports, deleting and exporting.
#include <algorithm>
#include <cstdlib>

#include "contacts/contact_trees.h"
#include "core/client_context.h"
#include "core/text_utilities.h"
#include "history/frame_message_manager.h"
#include "history/history_text_export.h"
#include "os/controls/web_view.h"
#include "os/prompt/message_box.h"
#include "os/prompt/prompter.h"
#include "os/services/clipboard.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace {

// The smallest selected index is searched from this value, so it is never above it.
constexpr int kSmallestIndexStart = 10000;
constexpr std::int64_t kMovingUp = 1;
constexpr std::int64_t kMovingDown = 2;

}  // namespace

std::vector<int> CFrameMessageManager::SelectedIds() const {
    std::vector<std::string> tokens;
    core::SplitStringToArray(page()->selection(), ";", tokens, core::EmptyTokens::Skip);
    std::vector<int> ids;
    for (const std::string& token : tokens) {
        const std::string id = os::Trim(token);
        if (id.empty() || !std::all_of(id.begin(), id.end(),
                                       [](char c) { return (c >= '0' && c <= '9') || c == '-'; })) {
            continue;
        }
        ids.push_back(std::atoi(id.c_str()));
    }
    return ids;
}

void CFrameMessageManager::OnPageEvent(const std::string& text) {
    const std::size_t separator = text.find(os::WebView::kEventSeparator);
    const std::string name = text.substr(0, separator);
    const std::string value = separator == std::string::npos ? "" : text.substr(separator + 1);
    if (name == "key") {
        OnPageKey(value);
    } else if (name == "command" || name == "copy" || name == "savePicture") {
        // A command comes as "copy\x1f<text>" inside the value when it carries one.
        const std::size_t inner = value.find(os::WebView::kEventSeparator);
        const std::string command = name == "command" ? value.substr(0, inner) : name;
        const std::string argument =
            name != "command" ? value : (inner == std::string::npos ? "" : value.substr(inner + 1));
        if (command == "copy") CopyText(argument);
        if (command == "savePicture") SavePicture(argument);
    }
}

void CFrameMessageManager::OnPageKey(const std::string& key) {
    if (key == "Ctrl+C" || key == "Ctrl+c") {
        PostMessage(os::WM_COMMAND, os::MAKEWPARAM(kCopyCommandId, 0), 0);
        return;
    }
    const bool up = key == "Up";
    if (!up && key != "Down") return;
    const std::vector<int> ids = SelectedIds();
    if (ids.empty()) return;
    const int total = static_cast<int>(records_.size());
    if (ids.size() == 1) {
        const int index = std::clamp(up ? ids[0] + 1 : ids[0] - 1, 0, std::max(total - 1, 0));
        if (index == ids[0]) return;
        page()->CallScript("SelectFromID", {os::ScriptArgument::Of(std::int64_t{index}),
                                            os::ScriptArgument::Of(std::int64_t{-1}),
                                            os::ScriptArgument::Of(up ? kMovingUp : kMovingDown)});
        return;
    }
    int index = 0;
    if (up) {
        index = *std::max_element(ids.begin(), ids.end());
    } else {
        index = kSmallestIndexStart;
        for (const int id : ids) index = std::min(index, id);
    }
    page()->CallScript("SelectFromID", {os::ScriptArgument::Of(std::int64_t{index}),
                                        os::ScriptArgument::Of(std::int64_t{-1}),
                                        os::ScriptArgument::Of(up ? kMovingUp : kMovingDown)});
}

void CFrameMessageManager::CopyText(std::string text) {
    if (text.empty()) return;
    context_.clipboard.SetText(std::move(text));
}

void CFrameMessageManager::CopySelectedRecords() {
    const std::vector<int> ids = SelectedIds();
    std::vector<history::HistoryRecord> selected;
    for (const history::HistoryRecord& record : records_) {
        if (std::find(ids.begin(), ids.end(), record.index) != ids.end())
            selected.push_back(record);
    }
    CopyText(history::HistoryTextExport(selected));
}

void CFrameMessageManager::SavePicture(const std::string& path) {
    // Only a picture of the client's own folders is offered for saving.
    const std::string temp = context_.folders.commonDir + "temp/";
    const std::string faces = context_.folders.appDir + "face/";
    if (path.empty() || os::Find(path, "..") >= 0 ||
        !(path.starts_with(temp) || path.starts_with(faces))) {
        return;
    }
    os::FileDialogRequest request;
    request.owner = hwnd();
    request.title = "图片另存为...";
    const int slash = os::ReverseFind(path, '/');
    request.defaultName = os::Mid(path, slash + 1);
    const std::optional<std::string> target = context_.prompter.SaveFile(request);
    if (!target) return;
    if (!os::CopyFile(path, *target, os::ExistingTarget::kReplace)) {
        context_.prompter.MessageBox(os::Format("保存图片 %s 失败", target->c_str()),
                                     os::kDefaultCaption, os::MB_OK, hwnd());
    }
}

void CFrameMessageManager::DeleteSelected() {
    if (context_.prompter.MessageBox(kAskDeleteSelected, os::kDefaultCaption, os::MB_YESNO,
                                     hwnd()) != os::IDYES) {
        return;
    }
    const std::vector<int> ids = SelectedIds();
    const std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    for (const int id : ids) {
        const auto it = std::find_if(records_.begin(), records_.end(),
                                     [id](const auto& record) { return record.index == id; });
        if (it == records_.end()) continue;
        // A failed delete is not reported: the record leaves the list all the same.
        if (db != nullptr) db->DeleteMsg(std::atol(it->storeId.c_str()));
        records_.erase(it);
    }
    Repage(history::PageChoice::Keep, 0);
}

void CFrameMessageManager::DeleteWholeList() {
    if (!current_) {
        context_.prompter.MessageBox(kNoNodeSelected, os::kDefaultCaption, os::MB_OK, hwnd());
        return;
    }
    std::string question;
    if (current_->kind == history::HistoryNode::Kind::Category) {
        question = "是否删除所有 " + current_->name + "  ?";
    } else if (os::Find(current_->key, "@conference") >= 0) {
        question = "是否删除群 " + current_->name + " 的所有消息记录?";
    } else {
        question = "是否删除与'" + current_->name + "'的所有消息记录?";
    }
    if (context_.prompter.MessageBox(question, os::kDefaultCaption, os::MB_YESNO, hwnd()) !=
        os::IDYES) {
        return;
    }
    if (const std::unique_ptr<CClientDB> db = context_.OpenUserStore()) {
        for (const history::HistoryRecord& record : records_) {
            db->DeleteMsg(std::atol(record.storeId.c_str()));
        }
    }
    records_.clear();
    Repage(history::PageChoice::Keep, 0);
}

void CFrameMessageManager::ExportList() {
    const std::string name = current_ ? current_->name : context_.session.GetCurrentUserNickName();
    os::FileDialogRequest request;
    request.owner = hwnd();
    request.filter = "消息文件(*.txt)|*.txt||";
    request.defaultName = name + "消息记录.txt";
    request.defaultExtension = "txt";
    const std::optional<std::string> path = context_.prompter.SaveFile(request);
    if (!path) return;
    if (!os::WriteFileAtomically(*path, history::HistoryTextExport(records_))) {
        context_.prompter.MessageBox(os::Format("创建消息文件 %s 失败", path->c_str()),
                                     os::kDefaultCaption, os::MB_OK, hwnd());
        return;
    }
    context_.noticePop.ShowTip(kSavedTip);
}
