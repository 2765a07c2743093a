#pragma once
// Windows for tests: a window that records every message its handler sees (and may script
// answers), and the host program's two windows, the frame and the client window inside it.
// UI thread only, like any window. Header-only: test programs that use it link the window
// system already.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "os/ui/window.h"

namespace testing_support {

struct SeenMessage {
    os::UINT message;
    os::WPARAM wParam;
    os::LPARAM lParam;
    // For the messages listed in RecordingWindow::textMessages: the text lParam pointed to.
    std::string text;
};

class RecordingWindow : public os::Window {
  public:
    // Answers a message instead of the default handling when it returns a value.
    using Script = std::function<std::optional<os::LRESULT>(os::UINT, os::WPARAM, os::LPARAM)>;

    // With a `journal`, every message is also written there as "<name>:<number>", and the
    // end of the window as "<name>:ncdestroy", so a test can see the order across windows.
    explicit RecordingWindow(os::WindowSystem& system, std::vector<std::string>* journal = nullptr,
                             std::string name = {})
        : Window(system), journal_(journal), name_(std::move(name)) {}

    bool CreateTopLevel(std::string title = {}, std::string className = {}) {
        CreateParams params;
        params.title = std::move(title);
        if (!className.empty()) params.className = std::move(className);
        return Create(params);
    }
    bool CreateChild(os::HWND parent, std::string title = {}) {
        CreateParams params;
        params.parent = parent;
        params.title = std::move(title);
        return Create(params);
    }

    // Every message seen, in order.
    std::vector<SeenMessage> seen;
    std::vector<os::UINT> Messages() const {
        std::vector<os::UINT> list;
        for (const SeenMessage& s : seen) list.push_back(s.message);
        return list;
    }
    // The messages of one number, in order.
    std::vector<SeenMessage> Of(os::UINT message) const {
        std::vector<SeenMessage> found;
        for (const SeenMessage& s : seen) {
            if (s.message == message) found.push_back(s);
        }
        return found;
    }
    std::vector<os::WPARAM> WParamsOf(os::UINT message) const {
        std::vector<os::WPARAM> list;
        for (const SeenMessage& s : seen) {
            if (s.message == message) list.push_back(s.wParam);
        }
        return list;
    }
    int Count(os::UINT message) const {
        return static_cast<int>(std::count_if(
            seen.begin(), seen.end(), [&](const SeenMessage& s) { return s.message == message; }));
    }

    Script script;
    std::function<void()> onNcDestroy;
    // Messages whose lParam, when not 0, points to a NUL-terminated text to keep.
    std::vector<os::UINT> textMessages;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        SeenMessage entry{message, wParam, lParam, {}};
        if (lParam != 0 &&
            std::find(textMessages.begin(), textMessages.end(), message) != textMessages.end()) {
            entry.text = os::FromLParam<const char>(lParam);
        }
        seen.push_back(std::move(entry));
        if (journal_) journal_->push_back(name_ + ":" + std::to_string(message));
        if (script) {
            if (auto answer = script(message, wParam, lParam)) return *answer;
        }
        return Window::OnMessage(message, wParam, lParam);
    }
    void PostNcDestroy() override {
        if (journal_) journal_->push_back(name_ + ":ncdestroy");
        if (onNcDestroy) onNcDestroy();
    }

  private:
    std::vector<std::string>* journal_;
    std::string name_;
};

// The host program's windows: the frame (top-level, titled "host") and the client window, a
// child of the frame covering its inside, through which the library shows its panels.
class HostWindows {
  public:
    struct Layout {
        os::Rect frame = os::Rect::FromSize(0, 0, 800, 600);
        bool visible = true;      // both windows shown
        std::string clientTitle;  // the client window's title
    };

    explicit HostWindows(os::WindowSystem& system) : frame(system), client(system) {}

    // Creates both windows on the calling thread.
    ::testing::AssertionResult Create(const Layout& layout) {
        os::Window::CreateParams outside;
        outside.title = "host";
        outside.rect = layout.frame;
        outside.visible = layout.visible;
        if (!frame.Create(outside)) return ::testing::AssertionFailure() << "no host frame";
        os::Window::CreateParams inside;
        inside.parent = frame.hwnd();
        inside.title = layout.clientTitle;
        inside.rect = os::Rect::FromSize(0, 0, layout.frame.Width(), layout.frame.Height());
        inside.visible = layout.visible;
        if (!client.Create(inside)) return ::testing::AssertionFailure() << "no host client";
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult Create() { return Create(Layout{}); }

    RecordingWindow frame;
    RecordingWindow client;
};

}  // namespace testing_support
