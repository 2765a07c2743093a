#include "contacts/transfer/dlg_import_contacts.h"

#include <stop_token>

#include "contacts/contact_group.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "os/controls/button.h"
#include "os/controls/combo_box.h"
#include "os/controls/label.h"
#include "os/controls/progress_bar.h"
#include "os/ui/window_system.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

constexpr int kDialogWidth = 460;
constexpr int kDialogHeight = 220;
constexpr int kMargin = 12;
constexpr int kRowHeight = 24;
constexpr int kWorkbookSource = 4;

constexpr ImportSeparator kSeparators[] = {ImportSeparator::Comma, ImportSeparator::FullWidthComma,
                                           ImportSeparator::Semicolon, ImportSeparator::Pipe};

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

}  // namespace

std::string ImportSourceLabel(int index) {
    if (index >= 0 && index < 4) {
        return "以 " + std::string(SeparatorLabel(kSeparators[index])) + " 分隔的 文本文件";
    }
    return "以 " + std::string(SeparatorLabel(ImportSeparator::Comma)) + " 分隔的 EXCEL电子表格";
}

CDlgImportContacts::CDlgImportContacts(core::ClientContext& context, CIMTree& target,
                                       std::string buddyListTitle, std::string phoneBookTitle)
    : os::Window(context.windows),
      context_(context),
      target_(target),
      buddyListTitle_(std::move(buddyListTitle)),
      phoneBookTitle_(std::move(phoneBookTitle)),
      shared_(std::make_shared<Shared>()) {}

// The worker holds the session and the clock by reference: it is asked to stop (a pause ends
// at once) and waited for, never let go.
CDlgImportContacts::~CDlgImportContacts() {
    worker_.RequestStop();
    if (worker_.Joinable()) worker_.WaitEnded(context_.clock, os::kInfinite);
}

bool CDlgImportContacts::Create(os::HWND owner, std::string path) {
    path_ = std::move(path);
    CreateParams params;
    params.title = kTitle;
    params.owner = owner;
    params.rect = os::Rect::FromSize(0, 0, kDialogWidth, kDialogHeight);
    if (!os::Window::Create(params)) return false;
    const int width = kDialogWidth - 2 * kMargin;
    int y = kMargin;
    auto place = [&](os::Control* control, int height) {
        control->SetRect(os::Rect::FromSize(kMargin, y, width, height));
        y += height + 6;
    };
    place(AddControl(std::make_unique<os::Label>(kFileLabelId, path_)), kRowHeight);
    auto* source = AddControl(std::make_unique<os::ComboBox>(kSourceComboId));
    for (int i = 0; i < kImportSourceCount; ++i) source->AddString(ImportSourceLabel(i));
    source->SetCurSel(EndsWithNoCase(path_, ".xls") ? kWorkbookSource : 0);
    place(source, kRowHeight);
    place(AddControl(std::make_unique<os::Label>(
              kHelpLabelId, "在数据文件中，必须包含完整的用户标识，如 test@" +
                                context_.session.GetHostName() + " , 后面的 @" +
                                context_.session.GetHostName() + " 不能省略。")),
          kRowHeight);
    place(AddControl(std::make_unique<os::Label>(kStatusLabelId)), kRowHeight);
    auto* bar = AddControl(std::make_unique<os::ProgressBar>(kProgressId));
    bar->SetRange(0, 100);
    place(bar, 16);
    auto* start = AddControl(std::make_unique<os::Button>(os::IDOK, "开始导入"));
    start->SetRect(os::Rect::FromSize(kDialogWidth - 2 * (90 + kMargin), y, 90, kRowHeight));
    auto* close = AddControl(std::make_unique<os::Button>(os::IDCANCEL, "关闭"));
    close->SetRect(os::Rect::FromSize(kDialogWidth - 90 - kMargin, y, 90, kRowHeight));
    ShowWindow(os::SW_SHOW);
    return true;
}

ImportRequest CDlgImportContacts::BuildRequest() const {
    ImportRequest request;
    request.path = path_;
    const auto* source = GetControl<os::ComboBox>(kSourceComboId);
    const int choice = source != nullptr ? source->GetCurSel() : 0;
    if (choice == kWorkbookSource) {
        request.kind = ImportFileKind::Workbook;
    } else if (choice >= 0 && choice < 4) {
        request.separator = kSeparators[choice];
    }
    request.topKind = target_.topKind;
    request.buddyListTitle = buddyListTitle_;
    request.phoneBookTitle = phoneBookTitle_;
    // The target's groups as (parent name, name), read here on the tree's thread.
    std::vector<std::pair<os::TreeItem, std::string>> stack;
    target_.ForEachItem([&](os::TreeItem item, int depth) {
        const CGroup* group = target_.GroupOf(item);
        if (group == nullptr) return;
        stack.resize(static_cast<std::size_t>(depth));
        request.existingGroups.insert(
            {stack.empty() ? std::string() : stack.back().second, group->name});
        stack.emplace_back(item, group->name);
    });
    return request;
}

bool CDlgImportContacts::Start() {
    if (running()) return false;
    const ImportRequest request = BuildRequest();
    const os::HWND window = hwnd();
    os::WindowSystem& windows = context_.windows;
    std::shared_ptr<Shared> shared = shared_;
    {
        std::lock_guard lock(shared->mutex);
        shared->summary.reset();
    }
    // The body keeps the state, the session and the clock (which outlive every window), and
    // reaches the window only by posting to it: a post to a closed dialog is dropped.
    platform::SessionCore& session = context_.session;
    os::Clock& clock = context_.clock;
    worker_ = os::Thread("contact-import", [=, &session, &clock, &windows](std::stop_token stop) {
        ContactImporter importer(
            session,
            [&](const ImportProgress& progress) {
                {
                    std::lock_guard lock(shared->mutex);
                    shared->latest = progress;
                }
                windows.PostMessage(window, kProgressMessage);
            },
            [&](os::Millis ms, const std::stop_token& token) {
                return WaitForPace(*shared, clock, windows, window, ms, token);
            });
        ImportSummary summary = importer.Run(request, stop);
        {
            std::lock_guard lock(shared->mutex);
            shared->summary = std::move(summary);
        }
        windows.PostMessage(window, kProgressMessage);
    });
    return true;
}

bool CDlgImportContacts::WaitForPace(Shared& shared, os::Clock& clock, os::WindowSystem& windows,
                                     os::HWND window, os::Millis ms, const std::stop_token& stop) {
    // Registered before the lock is taken: a stop asked for already runs the callback here.
    std::stop_callback wake(stop, [&shared] {
        std::lock_guard guard(shared.mutex);
        shared.paceEnded.notify_all();
    });
    std::unique_lock lock(shared.mutex);
    shared.paceMs = ms;
    shared.paced = false;
    lock.unlock();
    // A post to a closed dialog is dropped; its closing asked the worker to stop.
    windows.PostMessage(window, kPaceMessage);
    lock.lock();
    clock.WaitUntil(lock, shared.paceEnded, os::kInfinite,
                    [&] { return shared.paced || stop.stop_requested(); });
    return !stop.stop_requested();
}

void CDlgImportContacts::StartPace() {
    os::Millis ms = 0;
    {
        std::lock_guard lock(shared_->mutex);
        ms = shared_->paceMs;
    }
    pacing_ = true;
    if (!SetTimer(kPaceTimerId, ms)) EndPace();
}

void CDlgImportContacts::EndPace() {
    KillTimer(kPaceTimerId);
    pacing_ = false;
    ++pausesEnded_;
    std::lock_guard lock(shared_->mutex);
    shared_->paced = true;
    shared_->paceEnded.notify_all();
}

bool CDlgImportContacts::running() const { return worker_.Running(); }

std::optional<ImportSummary> CDlgImportContacts::summary() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->summary;
}

void CDlgImportContacts::ShowProgress() {
    ImportProgress progress;
    {
        std::lock_guard lock(shared_->mutex);
        progress = shared_->latest;
    }
    if (auto* label = GetControl<os::Label>(kStatusLabelId)) label->SetText(progress.text);
    if (auto* bar = GetControl<os::ProgressBar>(kProgressId)) {
        bar->SetPos(progress.total > 0 ? progress.done * 100 / progress.total : 0);
    }
}

os::LRESULT CDlgImportContacts::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    switch (message) {
        case kProgressMessage:
            ShowProgress();
            return 0;
        case kPaceMessage:
            StartPace();
            return 0;
        case os::WM_TIMER:
            if (wParam == kPaceTimerId) {
                EndPace();
                return 0;
            }
            break;
        case os::WM_DESTROY:
            // However the window goes, a worker waiting for its pace timer must not wait on.
            worker_.RequestStop();
            break;
        default:
            break;
    }
    if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
        switch (os::LOWORD(wParam)) {
            case os::IDOK:
                Start();
                return 0;
            case os::IDCANCEL:
                worker_.RequestStop();
                DestroyWindow();
                return 0;
            default:
                break;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

}  // namespace contacts
