#pragma once
// CFrameMsgMgr: the message navigation frame ("消息导航"). On the left the navigation tree:
// "联系人分类" with a copy of the main panel's contact sections (a visitor node "访客" with the
// web visitors under the section "网上值班室") and "消息分类" with the message categories; on
// the right the list of messages (MessageListView) with its page selector and page label;
// above them the general toolbar (export, delete, handled toggle, paging, printing) and the
// search toolbar (keyword box and "查找"). Every command is a button of the frame, captioned
// with the command's menu text, so a person and a test reach them alike. UI thread only.

#include <memory>
#include <string>
#include <vector>

#include "history/message_list_view.h"
#include "os/controls/tree_control.h"
#include "os/ui/window.h"
#include "platform/print/msg_print.h"

namespace core {
class ClientContext;
}
namespace contacts {
class ContactTrees;
}

namespace history {

namespace frame_control {
inline constexpr int kNavigationTree = 1501;
inline constexpr int kMessageList = 1502;
inline constexpr int kSearchBox = 1503;
inline constexpr int kSearchButton = 1504;
inline constexpr int kPageSelector = 1505;
inline constexpr int kPageLabel = 1506;
// Commands (buttons captioned with their menu texts).
inline constexpr int kExportList = 1510;
inline constexpr int kExportSelected = 1511;
inline constexpr int kExportAll = 1512;
inline constexpr int kDeleteSelected = 1513;
inline constexpr int kDeleteList = 1514;
inline constexpr int kDeleteAll = 1515;
inline constexpr int kToggleHandled = 1516;
inline constexpr int kFirstPage = 1517;
inline constexpr int kPreviousPage = 1518;
inline constexpr int kNextPage = 1519;
inline constexpr int kLastPage = 1520;
inline constexpr int kPrintSetup = 1521;
inline constexpr int kPrintPreview = 1522;
inline constexpr int kPrint = 1523;
inline constexpr int kShowNavigationBar = 1524;
inline constexpr int kShowGeneralToolbar = 1525;
inline constexpr int kShowSearchToolbar = 1526;
}  // namespace frame_control

class CFrameMsgMgr final : public os::Window {
  public:
    static constexpr const char* kCaption = "消息导航";
    static constexpr const char* kSearchHint = "请在此输入搜索关键字";
    static constexpr const char* kContactsRoot = "联系人分类";
    static constexpr const char* kCategoriesRoot = "消息分类";
    static constexpr const char* kDutyRoomSection = "网上值班室";
    static constexpr const char* kVisitorNode = "访客";

    CFrameMsgMgr(core::ClientContext& context, contacts::ContactTrees& trees);
    ~CFrameMsgMgr() override;

    // Creates the frame (shown), its navigation tree, and loads every message.
    bool Create();

    MessageListView& listView() { return *view_; }
    CMsgPrint& printer() { return printer_; }
    // The navigation node that loads `source` (categories) or a contact's messages.
    os::TreeItem CategoryNode(MessageSource source) const;
    os::TreeItem ContactNode(const std::string& jid) const;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    // What a navigation node loads.
    struct NodeTarget {
        MessageSource source;
        std::string jid;
    };

    void BuildNavigationTree();
    void AddContactSections(os::TreeItem root);
    void AddVisitors(os::TreeItem dutyRoom);
    void OnNodeSelected(os::TreeItem node);
    void OnCommand(int id);
    void Search();
    void Export(int command);
    void PrintCommand(int command);
    void ToggleBar(int command);
    std::string NameOf(const std::string& jid) const;

    core::ClientContext& context_;
    contacts::ContactTrees& trees_;
    CMsgPrint printer_;
    std::unique_ptr<MessageListView> view_;
    std::vector<NodeTarget> targets_;  // node data - 1 indexes it
};

}  // namespace history
