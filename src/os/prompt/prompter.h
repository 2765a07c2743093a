#pragma once
// The one door for modal UI: message boxes, file and font choosers, input prompts and modal
// dialogs. Code that asks the user something takes a Prompter from its context and never
// shows modal UI any other way, so a test answers every question through a ScriptedPrompter
// and the host through its own interactive one.
//
// All texts are GBK. Call a prompt on the UI thread, like the window it belongs to.
//
// Modal dialogs. A dialog is an os::Window that its code has created (hidden) on the calling
// thread. DoModal disables the dialog's owner, shows the dialog and runs it until the dialog
// code calls EndDialog(hwnd, result) — from its handlers, or from another thread — or until
// the window is destroyed some other way (closed: IDCANCEL). Then it destroys the window,
// enables the owner again and answers the result. The C++ object stays with its owner, who
// reads what the user chose from it afterwards. How a dialog is run meanwhile is the
// prompter's: the interactive one pumps the UI loop, the scripted one acts out the test's
// answer.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "os/prompt/message_box.h"
#include "os/ui/hwnd.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"

namespace os {

// The caption of a message box when the code gives none.
inline constexpr const char* kDefaultCaption = "提示";

struct MessageBoxRequest {
    HWND owner{};
    std::string caption = kDefaultCaption;
    std::string text{};
    UINT style = MB_OK;  // buttons | icon | default button

    UINT buttons() const { return style & MB_TYPEMASK; }
    UINT icon() const { return style & MB_ICONMASK; }
};

struct FileDialogRequest {
    HWND owner{};
    std::string title{};  // "选择要发送的文件"; empty: the chooser's own
    // MFC form: pairs of "label|patterns" ending in "||", patterns separated by ';'
    // ("文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*||"). Empty: every file.
    std::string filter{};
    std::string defaultName{};       // file name filled in at the start
    std::string defaultExtension{};  // added to a typed name without one ("csv")
    std::string initialFolder{};
};

struct FontChoice {
    std::string faceName = "宋体";
    int height = 180;  // twips (1/20 point), as the rich edit's character format counts
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t color = 0;  // COLORREF 0x00BBGGRR

    bool operator==(const FontChoice&) const = default;
};

struct FontRequest {
    HWND owner{};
    FontChoice initial{};
};

struct InputRequest {
    HWND owner{};
    std::string caption{};
    std::string prompt{};  // the question above the box
    std::string initialValue{};
    std::size_t maxBytes = 0;  // the box takes at most this many bytes (0: no limit)
    bool password = false;
};

class Prompter {
  public:
    virtual ~Prompter() = default;

    // IDOK, IDCANCEL, IDYES, IDNO, ... — one of the style's buttons.
    virtual int MessageBox(const MessageBoxRequest& request) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FontChoice> ChooseFont(const FontRequest& request) = 0;
    virtual std::optional<std::string> InputText(const InputRequest& request) = 0;

    // The Windows argument order: MessageBox(text, caption, style).
    int MessageBox(std::string text, std::string caption = kDefaultCaption, UINT style = MB_OK,
                   HWND owner = {}) {
        return MessageBox(MessageBoxRequest{owner, std::move(caption), std::move(text), style});
    }

    // Runs `dialog` modally (see the top of this file). -1 when it is not a window of the
    // calling thread, or is already running modally.
    int DoModal(Window& dialog);
    // Ends the modal run of `dialog` with `result` (a later call before the run has ended
    // changes the result). Any thread. False when that window is not running modally here.
    bool EndDialog(HWND dialog, int result);
    // Whether `dialog` is running modally here right now.
    bool IsModal(HWND dialog) const;

  protected:
    // Runs the shown dialog until `ended()` is true. The default pumps the UI loop of the
    // calling thread; it also gives up when the loop is asked to quit (the WM_QUIT stays
    // queued for the outer loop) or, under a manual clock, when nothing is left to handle.
    virtual void RunModal(WindowSystem& system, HWND dialog, const std::function<bool()>& ended);
    // The result given to EndDialog for a dialog that is running modally, or nothing while no
    // EndDialog came.
    std::optional<int> EndedWith(HWND dialog) const;

  private:
    struct ModalRun {
        WindowSystem* system = nullptr;
        bool ended = false;
        int result = IDCANCEL;
    };

    mutable std::mutex mutex_;
    std::unordered_map<HWND, std::shared_ptr<ModalRun>> running_;
};

}  // namespace os
