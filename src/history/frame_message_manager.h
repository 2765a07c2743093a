#pragma once
// CFrameMessageManager: the message manager window ("消息管理器"). The folder bar on the left
// holds copies of the main panel's contact trees whose titles are configured section titles,
// then the folders "我的消息" and "其它消息" of message categories; selecting a node loads its
// messages from the store into the record list. The right side is the page
// "template/msgmgr.html" (an os::WebView), which shows one page of the list as JSON; the paging
// bar under it pages through the list. The tool bar exports the list as text ("另存"), deletes
// ("删除": the selected messages or the whole list) and reloads ("刷新").
//
// The page reports its selection, keys and commands (os::WebView::kPageEvent); the window
// answers through the page's script methods (SetPath, showmsg, SelectFromID).
// UI thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/contact_cluster_tree.h"
#include "history/history_record.h"
#include "history/paging.h"
#include "os/ui/window.h"

namespace core {
class ClientContext;
}
namespace contacts {
class ContactTrees;
class CIMTree;
}  // namespace contacts
namespace os {
class WebView;
}

namespace history {

// The page size the user chose last, shared by every manager window of the process and
// written back to the user's settings.
struct PageSizeChoice {
    int perPage = kPageSizes[0];
};

}  // namespace history

class CFrameMessageManager final : public os::Window {
  public:
    static constexpr const char* kCaption = "消息管理器";
    static constexpr const char* kPagePath = "template/msgmgr.html";

    // Controls.
    static constexpr int kFolderLabelBase = 1500;  // + folder index: the folder's name
    static constexpr int kFolderTreeBase = 1510;   // + folder index: the folder's tree
    static constexpr int kTitleLabelId = 1530;
    static constexpr int kSaveButtonId = 1531;            // "另存"
    static constexpr int kDeleteButtonId = 1532;          // "删除": shows its two choices
    static constexpr int kDeleteSelectedButtonId = 1533;  // "删除当前选中的消息"
    static constexpr int kDeleteListButtonId = 1534;      // "删除列表中的所有消息"
    static constexpr int kRefreshButtonId = 1535;         // "刷新"
    static constexpr int kFirstPageButtonId = 1540;       // "首页"
    static constexpr int kPreviousPageButtonId = 1541;    // "上一页"
    static constexpr int kNextPageButtonId = 1542;        // "下一页"
    static constexpr int kLastPageButtonId = 1543;        // "尾页"
    static constexpr int kPageBoxId = 1544;               // the current page, typed with Enter
    static constexpr int kPageCountLabelId = 1545;        // "页/%d页"
    static constexpr int kPageSizeComboId = 1546;         // 30, 50, 100, 200
    static constexpr int kPageViewId = 1550;              // the page
    // The copy command the page's Ctrl+C posts to the window.
    static constexpr int kCopyCommandId = 1560;

    static constexpr const char* kReadFailed = "读取好友的消息错误,请重试!";
    static constexpr const char* kBadPageNumber = "请输入正确的页码!";
    static constexpr const char* kAskDeleteSelected = "是否真的删除消息记录？";
    static constexpr const char* kNoNodeSelected = "您还没有选择用户";
    static constexpr const char* kSavedTip = "保存成功！";

    CFrameMessageManager(core::ClientContext& context, contacts::ContactTrees& contactTrees,
                         history::PageSizeChoice& pageSize);
    ~CFrameMessageManager() override;

    // Creates the window (shown), its folders copied from the main panel's `sections` in
    // their order.
    bool Create(const std::vector<contacts::CIMTree*>& sections);

    // Selects the node of the contact `jid` and loads its messages; a contact no folder holds
    // is loaded all the same.
    void ShowContact(const std::string& jid);
    // A key while the window is the foreground window: Enter in the page box jumps to the
    // typed page. Answers 1 when it took the key.
    int OnKeyDown(int key, int flags);

    // Told once when the window has been destroyed.
    void SetDestroyHandler(std::function<void()> handler) { onDestroyed_ = std::move(handler); }

    // ---- What the window shows (for the service and tests)
    const std::vector<history::HistoryRecord>& records() const { return records_; }
    const history::Paging& paging() const { return paging_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;
    void PostNcDestroy() override;

  private:
    struct Folder {
        std::string name;
        history::CContactClusterTree* tree = nullptr;
    };

    void AddFolder(std::string name, contacts::CIMTree* source);
    void AddControls();
    void OnNodeSelected(int treeId, os::TreeItem item);
    void Load(const history::HistoryNode& node);
    void Reload();
    bool IsSentCategory() const;
    // Pages: recounts, refreshes the paging bar and shows the current page.
    void Repage(history::PageChoice choice, int flag);
    void ShowPage(int flag);
    void UpdatePagingBar();
    void GoToPage(int page, int flag);
    void OnPageButton(int id);
    void OnPageSizeChosen();
    void JumpToTypedPage();
    // The page's reports.
    void OnPageEvent(const std::string& text);
    void OnPageKey(const std::string& key);
    void CopyText(std::string text);
    void CopySelectedRecords();
    void SavePicture(const std::string& path);
    std::vector<int> SelectedIds() const;
    // Tool bar.
    void DeleteSelected();
    void DeleteWholeList();
    void ExportList();
    std::string DisplayNameOf(std::string_view jid) const;
    os::WebView* page() const;

    core::ClientContext& context_;
    contacts::ContactTrees& contactTrees_;
    history::PageSizeChoice& pageSize_;
    std::vector<Folder> folders_;
    std::vector<history::HistoryRecord> records_;
    history::Paging paging_;
    std::optional<history::HistoryNode> current_;
    int typeFilter_ = 12;
    std::function<void()> onDestroyed_;
};
