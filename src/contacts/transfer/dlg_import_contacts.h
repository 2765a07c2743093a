#pragma once
// CDlgImportContacts ("导入联系人"): the window in which the user picks the source format of an
// import file (a separator of a text file, or an Excel workbook) and follows the import. The
// import runs on a worker thread of the dialog; the worker never touches the window: it keeps
// its latest step in a state both share and posts kProgressMessage, and the dialog shows the
// step in its label and its progress bar. Closing the dialog asks the worker to stop (it ends
// between two server calls); the state outlives the dialog. UI thread only.

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
    // The outcome of the import once its worker ended.
    std::optional<ImportSummary> summary() const;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    struct Shared {
        mutable std::mutex mutex;
        ImportProgress latest;
        std::optional<ImportSummary> summary;
    };

    ImportRequest BuildRequest() const;
    void ShowProgress();

    core::ClientContext& context_;
    CIMTree& target_;
    std::string buddyListTitle_;
    std::string phoneBookTitle_;
    std::string path_;
    std::shared_ptr<Shared> shared_;
    os::Thread worker_;
};

// The source choices the dialog offers, in its combo's order: the four separators of a text
// file, then the workbook.
std::string ImportSourceLabel(int index);
inline constexpr int kImportSourceCount = 5;

}  // namespace contacts
