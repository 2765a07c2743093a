#pragma once
// CDlgImportContacts ("导入联系人"): the window in which the user picks the source format of an
// import file (a separator of a text file, or an Excel workbook) and follows the import. The
// import runs on a worker thread of the dialog; the worker never touches the window: it keeps
// its latest step in a state both share and posts kProgressMessage, and the dialog shows the
// step in its label and its progress bar. The pauses between steps are paced by the window:
// the worker posts kPaceMessage and waits until the dialog's pace timer has run out, so the
// pauses are the window's timers on the one clock. Closing the dialog asks the worker to stop
// (it ends between two server calls); the state outlives the dialog. UI thread only.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "contacts/transfer/contact_importer.h"
#include "os/sys/thread.h"
#include "os/ui/window.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

class CDlgImportContacts final : public os::Window {
  public:
    static constexpr int kFileLabelId = 7101;
    static constexpr int kSourceComboId = 7102;
    static constexpr int kHelpLabelId = 7103;
    static constexpr int kStatusLabelId = 7104;
    static constexpr int kProgressId = 7105;
    static constexpr os::UINT kProgressMessage = os::WM_APP + 0x251;
    static constexpr os::UINT kPaceMessage = os::WM_APP + 0x252;
    static constexpr std::uint64_t kPaceTimerId = 1;
    static constexpr const char* kTitle = "导入联系人";

    // `target` is the tree the contacts go to; its groups are read when the import starts.
    CDlgImportContacts(core::ClientContext& context, CIMTree& target, std::string buddyListTitle,
                       std::string phoneBookTitle);
    ~CDlgImportContacts() override;

    // Creates the dialog (shown, modeless) owned by `owner` for the import file `path`.
    bool Create(os::HWND owner, std::string path);

    // Starts the import with the chosen source (the "开始导入" button); false while one runs.
    bool Start();
    bool running() const;
    // True while the worker waits for the pace timer between two steps; the number of pauses
    // whose timer ran out.
    bool pacing() const { return pacing_; }
    int pausesEnded() const { return pausesEnded_; }
    // The outcome of the import once its worker ended.
    std::optional<ImportSummary> summary() const;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    struct Shared {
        mutable std::mutex mutex;
        ImportProgress latest;
        std::optional<ImportSummary> summary;
        // The pause the worker asked for, and whether the window let it go on.
        os::Millis paceMs = 0;
        bool paced = false;
        std::condition_variable paceEnded;
    };

    ImportRequest BuildRequest() const;
    void ShowProgress();
    void StartPace();
    void EndPace();
    // Waits on the worker until the window ends the pause or a stop is asked for.
    static bool WaitForPace(Shared& shared, os::Clock& clock, os::WindowSystem& windows,
                            os::HWND window, os::Millis ms, const std::stop_token& stop);

    core::ClientContext& context_;
    CIMTree& target_;
    std::string buddyListTitle_;
    std::string phoneBookTitle_;
    std::string path_;
    std::shared_ptr<Shared> shared_;
    bool pacing_ = false;
    int pausesEnded_ = 0;
    os::Thread worker_;
};

// The source choices the dialog offers, in its combo's order: the four separators of a text
// file, then the workbook.
std::string ImportSourceLabel(int index);
inline constexpr int kImportSourceCount = 5;

}  // namespace contacts
