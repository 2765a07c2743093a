#pragma once
// A window for tests: records every message its handler sees and lets a test script the
// answer to any of them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "os/ui/window.h"

namespace ui_test {

struct Seen {
    os::UINT message;
    os::WPARAM wParam;
    os::LPARAM lParam;
};

class RecordingWindow : public os::Window {
  public:
    // Answers a message instead of the default handling when it returns a value.
    using Script = std::function<std::optional<os::LRESULT>(os::UINT, os::WPARAM, os::LPARAM)>;

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

    // The messages seen, in order, optionally only those of one number.
    std::vector<Seen> seen;
    std::vector<os::UINT> Messages() const {
        std::vector<os::UINT> list;
        for (const Seen& s : seen) list.push_back(s.message);
        return list;
    }
    std::vector<os::WPARAM> WParamsOf(os::UINT message) const {
        std::vector<os::WPARAM> list;
        for (const Seen& s : seen) {
            if (s.message == message) list.push_back(s.wParam);
        }
        return list;
    }

    Script script;
    std::function<void()> onNcDestroy;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        seen.push_back(Seen{message, wParam, lParam});
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

}  // namespace ui_test
