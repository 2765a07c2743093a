#pragma once
// MessageListView: the list logic of the message navigation frame (CFrameMsgMgr). It loads
// messages from the user's store, keeps them in store order, shows one page of them in the
// frame's list (columns: store id, sender name, receiver name, contents, state, time), keeps
// the page selector ("1" ... pages) and the page label ("%d/%d页"), and does what the frame's
// commands ask of the loaded messages: export, delete, the handled toggle and the rows to
// print. Every failure is shown through the prompter with its own text. UI thread only.

#include <functional>
#include <string>
#include <vector>

#include "os/ui/hwnd.h"
#include "platform/print/msg_print.h"
#include "platform/store/msg_record.h"

class CClientDB;

namespace core {
class ClientContext;
}
namespace os {
class ComboBox;
class Label;
class ListControl;
}  // namespace os

namespace history {

// One loaded message.
struct MessageRow {
    std::string storeId;
    std::string from;
    std::string to;
    std::string senderName;
    std::string receiverName;
    std::string time;
    std::string contents;  // as stored
    bool handled = false;
};

// What a load reads.
enum class MessageSource { All, Sent, Received, Handled, Unhandled, Contact, Search };

class MessageListView {
  public:
    // List columns.
    static constexpr int kColumnStoreId = 0;
    static constexpr int kColumnSender = 1;
    static constexpr int kColumnReceiver = 2;
    static constexpr int kColumnContents = 3;
    static constexpr int kColumnState = 4;
    static constexpr int kColumnTime = 5;
    static constexpr const char* kHandled = "已处理";
    static constexpr const char* kUnhandled = "未处理";
    static constexpr const char* kPageLabelFormat = "%d/%d页";
    // Bytes of a row's contents handed to the printer.
    static constexpr std::size_t kPrintedContentsBytes = 1001;

    // The display name of a JID (the contact's name, the user's nickname, else the JID).
    using NameOf = std::function<std::string(const std::string& jid)>;

    MessageListView(core::ClientContext& context, os::ListControl& list, os::ComboBox& pages,
                    os::Label& pageLabel, NameOf nameOf, int pageSize);

    // Replaces the loaded messages with those of `source` (`argument`: the contact's JID or
    // the keyword) and shows page 1. A failed query leaves the list empty and shows its text.
    bool Load(MessageSource source, const std::string& argument = {});
    // Loads `source` again as it was last loaded.
    bool Reload();

    int pageSize() const { return pageSize_; }
    int pageCount() const;
    int currentPage() const { return currentPage_; }
    // Shows page `page` (clamped to 1 ... pages).
    void ShowPage(int page);
    const std::vector<MessageRow>& rows() const { return rows_; }

    // The loaded messages of the selected list rows, in list order.
    std::vector<std::size_t> SelectedIndexes() const;

    // Writes the loaded messages `indexes` to `path`: "%s %s\r\n   %s\r\n" with sender,
    // time and the contents as the list shows them.
    bool ExportRows(const std::string& path, const std::vector<std::size_t>& indexes);
    // Writes every stored message to `path` as the store delivers them.
    bool ExportAllMessages(const std::string& path);

    // Deletes the selected rows' messages, or all loaded ones; after the question.
    void DeleteSelected(os::HWND owner);
    void DeleteList(os::HWND owner);
    // Deletes every stored message, after the question.
    void DeleteAll(os::HWND owner);
    // Flips the handled state of the selected rows.
    void ToggleHandled(os::HWND owner);

    // The rows to print: the selected ones, or every row of the list when none is selected.
    std::vector<CPrintMessage> RowsToPrint() const;

  private:
    bool Query(MessageSource source, const std::string& argument,
               const std::function<void(const MsgFields&)>& collect, CClientDB& db);
    void Clear();
    void ShowRows();
    bool DeleteIndexes(std::vector<std::size_t> indexes, const char* failure, os::HWND owner);
    void Show(const std::string& text, const char* caption, unsigned style, os::HWND owner);

    core::ClientContext& context_;
    os::ListControl& list_;
    os::ComboBox& pages_;
    os::Label& pageLabel_;
    NameOf nameOf_;
    int pageSize_;
    int currentPage_ = 0;
    MessageSource source_ = MessageSource::All;
    std::string argument_;
    std::vector<MessageRow> rows_;
};

}  // namespace history
