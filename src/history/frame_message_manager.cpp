// CFrameMessageManager: the window, its folders, loading a node and paging.
#include "history/frame_message_manager.h"

#include <algorithm>

#include "config/client_config.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "history/message_categories.h"
#include "history/page_json.h"
#include "history/record_collector.h"
#include "os/controls/button.h"
#include "os/controls/combo_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/controls/web_view.h"
#include "os/prompt/prompter.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace {

constexpr int kWindowWidth = 900;
constexpr int kWindowHeight = 620;
constexpr int kFolderWidth = 220;
constexpr int kRowHeight = 24;
constexpr int kFolderTreeHeight = 110;

std::string PathForPage(std::string path) {
    os::Replace(path, "\\", "/");
    return path;
}

}  // namespace

CFrameMessageManager::CFrameMessageManager(core::ClientContext& context,
                                           contacts::ContactTrees& contactTrees,
                                           history::PageSizeChoice& pageSize)
    : os::Window(context.windows),
      context_(context),
      contactTrees_(contactTrees),
      pageSize_(pageSize) {}

CFrameMessageManager::~CFrameMessageManager() = default;

os::WebView* CFrameMessageManager::page() const { return GetControl<os::WebView>(kPageViewId); }

bool CFrameMessageManager::Create(const std::vector<contacts::CIMTree*>& sections) {
    CreateParams params;
    params.title = kCaption;
    params.rect = os::Rect::FromSize(0, 0, kWindowWidth, kWindowHeight);
    params.visible = true;
    if (!os::Window::Create(params)) return false;
    const config::ClientConfig& config = context_.config;
    const std::vector<const std::string*> titles = {&config.WorkContactFloderDeptTitle,
                                                    &config.WorkContactFloderBusinessTitle,
                                                    &config.WorkContactFloderOrganizeTitle,
                                                    &config.PrivateContactFloderGovTitle,
                                                    &config.PrivateContactFloderPubTitle,
                                                    &config.TelContactTitle,
                                                    &config.SelfRoomTitle,
                                                    &config.VirtualRoomTitle};
    for (contacts::CIMTree* section : sections) {
        if (section == nullptr) continue;
        const bool configured = std::any_of(titles.begin(), titles.end(), [&](const auto* title) {
            return !title->empty() && *title == section->treeName();
        });
        if (configured) AddFolder(section->treeName(), section);
    }
    AddFolder(std::string(history::kMyMessagesFolder), nullptr);
    AddFolder(std::string(history::kOtherMessagesFolder), nullptr);
    AddControls();
    paging_.perPage = pageSize_.perPage;
    UpdatePagingBar();
    return true;
}

void CFrameMessageManager::AddFolder(std::string name, contacts::CIMTree* source) {
    const int index = static_cast<int>(folders_.size());
    const int top = index * (kRowHeight + kFolderTreeHeight);
    auto* label = AddControl(std::make_unique<os::Label>(kFolderLabelBase + index, name));
    label->SetRect(os::Rect::FromSize(0, top, kFolderWidth, kRowHeight));
    auto* tree = AddControl(
        std::make_unique<history::CContactClusterTree>(context_, kFolderTreeBase + index));
    tree->SetRect(os::Rect::FromSize(0, top + kRowHeight, kFolderWidth, kFolderTreeHeight));
    if (source != nullptr) {
        tree->CopyFrom(*source);
    } else {
        tree->AddCategories(name);
    }
    folders_.push_back(Folder{std::move(name), tree});
}

void CFrameMessageManager::AddControls() {
    const int left = kFolderWidth + 8;
    const int width = kWindowWidth - left;
    int x = left;
    const auto button = [&](int id, const char* caption, int buttonWidth) {
        auto* b = AddControl(std::make_unique<os::Button>(id, caption));
        b->SetRect(os::Rect::FromSize(x, 0, buttonWidth, kRowHeight));
        x += buttonWidth + 4;
        return b;
    };
    button(kSaveButtonId, "另存", 60);
    button(kDeleteButtonId, "删除", 60);
    button(kRefreshButtonId, "刷新", 60);
    // The two choices of "删除", shown while its menu is open.
    x = left + 64;
    for (const auto& [id, caption] : {std::pair{kDeleteSelectedButtonId, "删除当前选中的消息"},
                                      std::pair{kDeleteListButtonId, "删除列表中的所有消息"}}) {
        auto* b = AddControl(std::make_unique<os::Button>(id, caption));
        b->SetRect(os::Rect::FromSize(x, kRowHeight, 160, kRowHeight));
        b->SetVisible(false);
        x += 164;
    }
    auto* title = AddControl(std::make_unique<os::Label>(kTitleLabelId, ""));
    title->SetRect(os::Rect::FromSize(left, 2 * kRowHeight, width, kRowHeight));
    auto* view = AddControl(std::make_unique<os::WebView>(kPageViewId));
    view->SetRect(os::Rect::FromSize(left, 3 * kRowHeight, width, kWindowHeight - 5 * kRowHeight));
    view->SetPage(context_.folders.appDir + kPagePath);
    const int barTop = kWindowHeight - 2 * kRowHeight;
    x = left;
    const auto barButton = [&](int id, const char* caption) {
        auto* b = AddControl(std::make_unique<os::Button>(id, caption));
        b->SetRect(os::Rect::FromSize(x, barTop, 60, kRowHeight));
        x += 64;
    };
    barButton(kFirstPageButtonId, "首页");
    barButton(kPreviousPageButtonId, "上一页");
    barButton(kNextPageButtonId, "下一页");
    barButton(kLastPageButtonId, "尾页");
    auto* box = AddControl(std::make_unique<os::Edit>(kPageBoxId));
    box->SetRect(os::Rect::FromSize(x, barTop, 50, kRowHeight));
    x += 54;
    auto* count = AddControl(std::make_unique<os::Label>(kPageCountLabelId, "页/0页"));
    count->SetRect(os::Rect::FromSize(x, barTop, 80, kRowHeight));
    x += 84;
    auto* sizes = AddControl(std::make_unique<os::ComboBox>(kPageSizeComboId));
    sizes->SetRect(os::Rect::FromSize(x, barTop, 70, kRowHeight));
    for (const int size : history::kPageSizes) {
        sizes->AddString(std::to_string(size), static_cast<std::uint32_t>(size));
    }
    const auto chosen =
        std::find(history::kPageSizes.begin(), history::kPageSizes.end(), pageSize_.perPage);
    sizes->SetCurSel(chosen == history::kPageSizes.end()
                         ? 0
                         : static_cast<int>(chosen - history::kPageSizes.begin()));
}

std::string CFrameMessageManager::DisplayNameOf(std::string_view jid) const {
    const contacts::CUser* user = contactTrees_.FindUser(jid, platform::JidMatch::Loose);
    return user != nullptr ? user->ShownName() : std::string();
}

bool CFrameMessageManager::IsSentCategory() const {
    if (!current_ || current_->kind != history::HistoryNode::Kind::Category) return false;
    const history::MessageCategory* category = history::FindCategory(current_->key);
    return category != nullptr && category->query == history::CategoryQuery::SentByMe;
}

void CFrameMessageManager::ShowContact(const std::string& jid) {
    for (const Folder& folder : folders_) {
        const os::TreeItem item = folder.tree->FindContact(jid);
        if (item == os::kNoTreeItem) continue;
        for (os::TreeItem parent = folder.tree->GetParent(item); parent != os::kNoTreeItem;
             parent = folder.tree->GetParent(parent)) {
            folder.tree->Expand(parent, os::ExpandAction::Expand);
        }
        if (folder.tree->GetSelectedItem() == item) {
            OnNodeSelected(folder.tree->id(), item);  // selecting it again raises nothing
        } else {
            folder.tree->Select(item);
        }
        return;
    }
    std::string name = DisplayNameOf(jid);
    if (name.empty()) name = jid;
    Load(history::HistoryNode{history::HistoryNode::Kind::Contact, jid, name});
}

void CFrameMessageManager::OnNodeSelected(int treeId, os::TreeItem item) {
    const int index = treeId - kFolderTreeBase;
    if (index < 0 || index >= static_cast<int>(folders_.size()) || item == os::kNoTreeItem) return;
    const std::optional<history::HistoryNode> node = folders_[index].tree->NodeData(item);
    if (!node || node->kind == history::HistoryNode::Kind::Group) return;
    Load(*node);
}

void CFrameMessageManager::Load(const history::HistoryNode& node) {
    using history::CategoryQuery;
    const history::MessageCategory* category = node.kind == history::HistoryNode::Kind::Category
                                                   ? history::FindCategory(node.key)
                                                   : nullptr;
    std::string title;
    if (category != nullptr) {
        title = std::string(category->label);
    } else if (os::Find(node.key, "@conference") >= 0) {
        title = "群 " + node.name + " 的聊天记录";
    } else {
        title = "和" + node.name + "的聊天记录";
    }
    GetControl<os::Label>(kTitleLabelId)->SetText(title);
    current_ = node;
    typeFilter_ = category != nullptr ? category->typeFilter : history::kAllTypes;
    records_.clear();
    paging_.Recompute(0, history::PageChoice::Reset);

    platform::SessionCore& session = context_.session;
    const std::string own = session.GetCurrentUserJID();
    std::string from = node.key;
    std::string to = node.key;
    if (category != nullptr && category->query == CategoryQuery::SentByMe) {
        from = own;
        to.clear();
    } else if (category != nullptr && category->query == CategoryQuery::ReceivedByMe) {
        from.clear();
        to = own;
    }
    history::SenderNaming naming;
    naming.displayName = [this](std::string_view jid) { return DisplayNameOf(jid); };
    naming.ownJid = own;
    naming.hostName = session.GetHostName();
    naming.governmentUser = session.GetUserType(own) == platform::kUserTypeGovernment;
    history::RecordCollector collector(records_, typeFilter_, std::move(naming));
    const std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    const bool read =
        db != nullptr && db->GetMsg(from.c_str(), to.c_str(), std::ref(collector), -1);
    if (!read) {
        records_.clear();
        UpdatePagingBar();
        context_.prompter.MessageBox(kReadFailed, os::kDefaultCaption, os::MB_OK, hwnd());
        return;
    }
    page()->CallScript("SetPath",
                       {os::ScriptArgument::Of(PathForPage(context_.folders.commonDir + "temp/")),
                        os::ScriptArgument::Of(PathForPage(context_.folders.appDir + "face/"))});
    Repage(history::PageChoice::Reset, 1);
}

void CFrameMessageManager::Reload() {
    if (current_) Load(history::HistoryNode(*current_));
}

void CFrameMessageManager::Repage(history::PageChoice choice, int flag) {
    paging_.Recompute(static_cast<int>(records_.size()), choice);
    UpdatePagingBar();
    ShowPage(flag);
}

void CFrameMessageManager::ShowPage(int flag) {
    history::PageOptions options;
    options.showReceiver = IsSentCategory();
    options.contactName = [this](std::string_view jid) { return DisplayNameOf(jid); };
    page()->CallScript("showmsg",
                       {os::ScriptArgument::Of(history::BuildPageJson(records_, paging_, options)),
                        os::ScriptArgument::Of(static_cast<std::int64_t>(flag))});
}

void CFrameMessageManager::UpdatePagingBar() {
    GetControl<os::Button>(kFirstPageButtonId)->SetEnabled(paging_.CanGoFirst());
    GetControl<os::Button>(kPreviousPageButtonId)->SetEnabled(paging_.CanGoPrevious());
    GetControl<os::Button>(kNextPageButtonId)->SetEnabled(paging_.CanGoNext());
    GetControl<os::Button>(kLastPageButtonId)->SetEnabled(paging_.CanGoLast());
    GetControl<os::Edit>(kPageBoxId)->SetText(std::to_string(paging_.currentPage));
    GetControl<os::Label>(kPageCountLabelId)->SetText(os::Format("页/%d页", paging_.pageCount));
}

void CFrameMessageManager::GoToPage(int page, int flag) {
    paging_.currentPage = page;
    UpdatePagingBar();
    ShowPage(flag);
}

void CFrameMessageManager::OnPageButton(int id) {
    int page = paging_.currentPage;
    switch (id) {
        case kFirstPageButtonId:
            page = 1;
            break;
        case kPreviousPageButtonId:
            page = paging_.currentPage - 1;
            break;
        case kNextPageButtonId:
            page = paging_.currentPage + 1;
            break;
        case kLastPageButtonId:
            page = paging_.pageCount;
            break;
        default:
            return;
    }
    if (!paging_.Accepts(page)) return;
    GoToPage(page, IsSentCategory() ? 1 : 0);
}

void CFrameMessageManager::JumpToTypedPage() {
    auto* box = GetControl<os::Edit>(kPageBoxId);
    const std::string typed = os::Trim(box->Text());
    const bool digits =
        !typed.empty() && typed.size() <= 9 &&
        std::all_of(typed.begin(), typed.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int page = digits ? std::stoi(typed) : 0;
    if (!paging_.Accepts(page)) {
        context_.prompter.MessageBox(kBadPageNumber, os::kDefaultCaption, os::MB_OK, hwnd());
        box->SetText(std::to_string(paging_.currentPage));
        return;
    }
    GoToPage(page, 0);
}

void CFrameMessageManager::OnPageSizeChosen() {
    const auto* sizes = GetControl<os::ComboBox>(kPageSizeComboId);
    const int chosen = sizes->GetCurSel();
    if (chosen == os::ComboBox::kNone) return;
    const int perPage = history::ValidPageSize(static_cast<int>(sizes->GetItemData(chosen)));
    pageSize_.perPage = perPage;
    context_.doors().settings->SetCountOfMsgRecordPerPage(perPage);
    paging_.perPage = perPage;
    Repage(history::PageChoice::Reset, 0);
}

int CFrameMessageManager::OnKeyDown(int key, int /*flags*/) {
    if (key == static_cast<int>(os::VK_RETURN) && GetFocus() == kPageBoxId) {
        JumpToTypedPage();
        return 1;
    }
    return 0;
}

os::LRESULT CFrameMessageManager::OnMessage(os::UINT message, os::WPARAM wParam,
                                            os::LPARAM lParam) {
    if (message == os::WM_COMMAND) {
        const int id = os::LOWORD(wParam);
        const int code = os::HIWORD(wParam);
        if (id == kCopyCommandId) {
            CopySelectedRecords();
            return 0;
        }
        if (code == os::WebView::kPageEvent && id == kPageViewId) {
            if (const auto* note = os::FromLParam<const os::ControlNotification>(lParam)) {
                OnPageEvent(note->text);
            }
            return 0;
        }
        if (code == os::notify::kSelChange && id == kPageSizeComboId) {
            OnPageSizeChosen();
            return 0;
        }
        if (code == os::notify::kClicked) {
            if (id != kDeleteButtonId) {
                GetControl<os::Button>(kDeleteSelectedButtonId)->SetVisible(false);
                GetControl<os::Button>(kDeleteListButtonId)->SetVisible(false);
            }
            switch (id) {
                case kFirstPageButtonId:
                case kPreviousPageButtonId:
                case kNextPageButtonId:
                case kLastPageButtonId:
                    OnPageButton(id);
                    return 0;
                case kSaveButtonId:
                    ExportList();
                    return 0;
                case kDeleteButtonId: {
                    auto* selected = GetControl<os::Button>(kDeleteSelectedButtonId);
                    const bool open = !selected->visible();
                    selected->SetVisible(open);
                    GetControl<os::Button>(kDeleteListButtonId)->SetVisible(open);
                    return 0;
                }
                case kDeleteSelectedButtonId:
                    DeleteSelected();
                    return 0;
                case kDeleteListButtonId:
                    DeleteWholeList();
                    return 0;
                case kRefreshButtonId:
                    Reload();
                    return 0;
                default:
                    break;
            }
        }
    }
    if (message == os::WM_NOTIFY) {
        const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
        if (note != nullptr && note->code == os::notify::kTreeSelChanged) {
            OnNodeSelected(note->controlId, static_cast<os::TreeItem>(note->item));
            return 0;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

void CFrameMessageManager::PostNcDestroy() {
    if (onDestroyed_) onDestroyed_();
}
