#include "history/message_list_view.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "chat/encoding/gateway_address.h"
#include "chat/encoding/plain_text.h"
#include "core/client_context.h"
#include "os/controls/combo_box.h"
#include "os/controls/label.h"
#include "os/controls/list_control.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace history {
namespace {

constexpr const char* kShakeCode = "#(-1)#";
constexpr const char* kShakeNote = "( 闪屏振动 )";
constexpr const char* kWarningCaption = "警告";

// The contents column: faces and pictures as labels, without the font header.
std::string ShownContents(const std::string& stored) {
    std::string shown = chat::ToHistoryText(stored);
    if (stored == kShakeCode) shown += kShakeNote;
    return shown;
}

const char* FailureText(MessageSource source) {
    switch (source) {
        case MessageSource::All:
            return "读取所有的消息,请重试!";
        case MessageSource::Sent:
            return "读取我发送的消息错误,请重试!";
        case MessageSource::Received:
            return "读取我接收的消息错误,请重试!";
        case MessageSource::Handled:
            return "读取已处理的消息错误,请重试!";
        case MessageSource::Unhandled:
            return "读取未处理的消息错误,请重试!";
        case MessageSource::Contact:
            return "读取好友的消息错误,请重试!";
        case MessageSource::Search:
            return "查找消息错误,请重试!";
    }
    return "";
}

// A file the caller writes through and closes; null when it cannot be created.
struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File CreateFile(const std::string& gbkPath) {
    return File(std::fopen(os::GbkToUtf8Lossy(gbkPath).c_str(), "wb"));
}

bool Write(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace

MessageListView::MessageListView(core::ClientContext& context, os::ListControl& list,
                                 os::ComboBox& pages, os::Label& pageLabel, NameOf nameOf,
                                 int pageSize)
    : context_(context),
      list_(list),
      pages_(pages),
      pageLabel_(pageLabel),
      nameOf_(std::move(nameOf)),
      pageSize_(pageSize) {
    ShowRows();
}

bool MessageListView::Query(MessageSource source, const std::string& argument,
                            const std::function<void(const MsgFields&)>& collect, CClientDB& db) {
    const std::string me = context_.session.GetCurrentUserJID();
    switch (source) {
        case MessageSource::All:
            return db.GetMsg(nullptr, nullptr, collect, -1);
        case MessageSource::Sent:
            return db.GetMsg(me.c_str(), nullptr, collect, -1);
        case MessageSource::Received:
            return db.GetMsg(nullptr, me.c_str(), collect, -1);
        case MessageSource::Handled:
            return db.GetMsg(false, collect, -1);
        case MessageSource::Unhandled:
            return db.GetMsg(true, collect, -1);
        case MessageSource::Contact: {
            // A gateway contact's messages are stored under its gateway address.
            const std::string address =
                chat::IsGatewayJid(argument) ? chat::GatewayStoreAddress(argument) : argument;
            return db.GetMsg(address.c_str(), address.c_str(), collect, -1);
        }
        case MessageSource::Search:
            return db.GetMsg(argument.c_str(), collect, -1);
    }
    return false;
}

bool MessageListView::Load(MessageSource source, const std::string& argument) {
    source_ = source;
    argument_ = argument;
    return Reload();
}

bool MessageListView::Reload() {
    Clear();
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    std::vector<MessageRow> loaded;
    const bool ok = db != nullptr && Query(
                                         source_, argument_,
                                         [&](const MsgFields& fields) {
                                             if (IsMsgEndMark(fields)) return;
                                             MessageRow row;
                                             row.storeId = fields[msg_field::kId];
                                             row.from = fields[msg_field::kFrom];
                                             row.to = fields[msg_field::kTo];
                                             row.time = fields[msg_field::kTime];
                                             row.contents = fields[msg_field::kContents];
                                             row.handled = fields[msg_field::kState] == "0";
                                             loaded.push_back(std::move(row));
                                         },
                                         *db);
    if (!ok) {
        Show(FailureText(source_), os::kDefaultCaption, os::MB_OK, {});
        ShowRows();
        return false;
    }
    for (MessageRow& row : loaded) {
        row.senderName = nameOf_(row.from);
        row.receiverName = nameOf_(row.to);
    }
    rows_ = std::move(loaded);
    currentPage_ = rows_.empty() ? 0 : 1;
    ShowRows();
    return true;
}

void MessageListView::Clear() {
    rows_.clear();
    currentPage_ = 0;
}

int MessageListView::pageCount() const {
    return static_cast<int>((rows_.size() + pageSize_ - 1) / static_cast<std::size_t>(pageSize_));
}

void MessageListView::ShowPage(int page) {
    const int pages = pageCount();
    currentPage_ = pages == 0 ? 0 : std::clamp(page, 1, pages);
    ShowRows();
}

void MessageListView::ShowRows() {
    const int pages = pageCount();
    if (currentPage_ > pages) currentPage_ = pages;
    if (currentPage_ < 1 && pages > 0) currentPage_ = 1;
    if (list_.GetColumnCount() == 0) {
        const char* headers[] = {"编号", "发送者", "接收者", "内容", "状态", "时间"};
        const int widths[] = {50, 120, 120, 300, 60, 130};
        for (int c = 0; c < 6; ++c) list_.InsertColumn(c, headers[c], widths[c]);
    }
    list_.DeleteAllItems();
    if (currentPage_ > 0) {
        const std::size_t first = static_cast<std::size_t>(currentPage_ - 1) * pageSize_;
        const std::size_t end = std::min(rows_.size(), first + pageSize_);
        for (std::size_t i = first; i < end; ++i) {
            const MessageRow& row = rows_[i];
            const int item = list_.InsertItem(-1, row.storeId, -1, static_cast<std::uint32_t>(i));
            list_.SetItemText(item, kColumnSender, row.senderName);
            list_.SetItemText(item, kColumnReceiver, row.receiverName);
            list_.SetItemText(item, kColumnContents, ShownContents(row.contents));
            list_.SetItemText(item, kColumnState, row.handled ? kHandled : kUnhandled);
            list_.SetItemText(item, kColumnTime, row.time);
        }
    }
    pages_.ResetContent();
    for (int p = 1; p <= pages; ++p) pages_.AddString(std::to_string(p));
    pages_.SetCurSel(currentPage_ - 1);
    pageLabel_.SetText(os::Format(kPageLabelFormat, currentPage_, pages));
}

std::vector<std::size_t> MessageListView::SelectedIndexes() const {
    std::vector<std::size_t> indexes;
    for (int row : list_.GetSelectedRows()) {
        const std::size_t index = list_.GetItemData(row);
        if (index < rows_.size()) indexes.push_back(index);
    }
    return indexes;
}

bool MessageListView::ExportRows(const std::string& path, const std::vector<std::size_t>& indexes) {
    File file = CreateFile(path);
    if (!file) {
        Show(os::Format("创建消息文件 %s 失败", path.c_str()), os::kDefaultCaption, os::MB_OK, {});
        return false;
    }
    bool written = true;
    for (std::size_t index : indexes) {
        const MessageRow& row = rows_[index];
        written = written && Write(file.get(), row.senderName + " " + row.time + "\r\n   " +
                                                   chat::ToHistoryText(row.contents) + "\r\n");
    }
    file.reset();
    if (!written) {
        Show(os::Format("创建消息文件 %s 失败", path.c_str()), os::kDefaultCaption, os::MB_OK, {});
        return false;
    }
    Show("导出成功", os::kDefaultCaption, os::MB_OK | os::MB_ICONINFORMATION, {});
    return true;
}

bool MessageListView::ExportAllMessages(const std::string& path) {
    File file = CreateFile(path);
    if (!file) {
        Show(os::Format("创建消息文件 %s 失败", path.c_str()), os::kDefaultCaption, os::MB_OK, {});
        return false;
    }
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    bool written = true;
    bool ended = false;
    const bool ok =
        db != nullptr &&
        db->GetMsg(
            nullptr, nullptr,
            [&](const MsgFields& fields) {
                if (IsMsgEndMark(fields)) {
                    file.reset();
                    ended = true;
                    return;
                }
                written = written &&
                          Write(file.get(), os::Format("时间: %s\t %s -> %s\r\n%s\r\n",
                                                       fields[msg_field::kTime].c_str(),
                                                       nameOf_(fields[msg_field::kFrom]).c_str(),
                                                       nameOf_(fields[msg_field::kTo]).c_str(),
                                                       fields[msg_field::kContents].c_str()));
            },
            -1);
    file.reset();
    if (!ok || !ended || !written) {
        Show("导出用户消息失败", os::kDefaultCaption, os::MB_OK, {});
        return false;
    }
    Show("导出成功", os::kDefaultCaption, os::MB_OK | os::MB_ICONINFORMATION, {});
    return true;
}

bool MessageListView::DeleteIndexes(std::vector<std::size_t> indexes, const char* failure,
                                    os::HWND owner) {
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    std::vector<bool> gone(rows_.size(), false);
    bool ok = db != nullptr;
    std::string reason;
    for (std::size_t index : indexes) {
        if (!ok) break;
        if (db->DeleteMsg(std::atol(rows_[index].storeId.c_str()))) {
            gone[index] = true;
        } else {
            ok = false;
        }
    }
    // What was deleted leaves the list, also when a later deletion failed.
    std::vector<MessageRow> kept;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!gone[i]) kept.push_back(std::move(rows_[i]));
    }
    rows_ = std::move(kept);
    ShowRows();
    if (!ok) Show(failure, os::kDefaultCaption, os::MB_OK, owner);
    return ok;
}

void MessageListView::DeleteSelected(os::HWND owner) {
    std::vector<std::size_t> indexes = SelectedIndexes();
    if (indexes.empty()) return;
    if (context_.prompter.MessageBox("您确信要删除这些记录吗？该操作不可恢复", kWarningCaption,
                                     os::MB_YESNO, owner) != os::IDYES) {
        return;
    }
    DeleteIndexes(std::move(indexes), "删除选中的消息错误，请重试!", owner);
}

void MessageListView::DeleteList(os::HWND owner) {
    if (rows_.empty()) return;
    if (context_.prompter.MessageBox("您确信要删除这些记录吗？该操作不可恢复", kWarningCaption,
                                     os::MB_YESNO, owner) != os::IDYES) {
        return;
    }
    std::vector<std::size_t> indexes(rows_.size());
    for (std::size_t i = 0; i < indexes.size(); ++i) indexes[i] = i;
    DeleteIndexes(std::move(indexes), "删除列表中的所有消息错误，请重试!", owner);
}

void MessageListView::DeleteAll(os::HWND owner) {
    if (context_.prompter.MessageBox("您确信要删除所有联系人的消息记录吗", os::kDefaultCaption,
                                     os::MB_YESNO, owner) != os::IDYES) {
        return;
    }
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr) return;
    if (!db->DeleteAllMsgs()) {
        Show(db->GetErrorInfo(), os::kDefaultCaption, os::MB_OK, owner);
        return;
    }
    Clear();
    ShowRows();
}

void MessageListView::ToggleHandled(os::HWND owner) {
    std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr) return;
    for (int item : list_.GetSelectedRows()) {
        const bool handled = list_.GetItemText(item, kColumnState) == kUnhandled;
        const long id = std::atol(list_.GetItemText(item, kColumnStoreId).c_str());
        if (!db->SetRead(id, handled)) {
            Show(db->GetErrorInfo(), os::kDefaultCaption, os::MB_OK, owner);
            return;
        }
        list_.SetItemText(item, kColumnState, handled ? kHandled : kUnhandled);
        const std::size_t index = list_.GetItemData(item);
        if (index < rows_.size()) rows_[index].handled = handled;
    }
}

std::vector<CPrintMessage> MessageListView::RowsToPrint() const {
    std::vector<int> items = list_.GetSelectedRows();
    if (items.empty()) {
        for (int i = 0; i < list_.GetItemCount(); ++i) items.push_back(i);
    }
    std::vector<CPrintMessage> printed;
    for (int item : items) {
        printed.push_back(
            {list_.GetItemText(item, kColumnSender), list_.GetItemText(item, kColumnReceiver),
             list_.GetItemText(item, kColumnTime),
             os::LeftBytes(list_.GetItemText(item, kColumnContents), kPrintedContentsBytes)});
    }
    return printed;
}

void MessageListView::Show(const std::string& text, const char* caption, unsigned style,
                           os::HWND owner) {
    context_.prompter.MessageBox(text, caption, style, owner);
}

}  // namespace history
