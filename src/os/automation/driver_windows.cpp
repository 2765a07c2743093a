// The Driver's windows, its prompts-free plumbing, the loop and the clock.

#include "os/automation/driver_impl.h"

namespace qorvdesk::automation {

namespace {

// A pump that never goes idle (a handler that posts to itself on every call) must not hang
// the caller; this many rounds is far beyond any real cascade.
constexpr int kPumpRoundLimit = 10000;

}  // namespace

Driver::Driver(os::WindowSystem& system, os::Prompter* prompter)
    : impl_(std::make_unique<Impl>(system, prompter)) {}
Driver::~Driver() = default;
Driver::Driver(Driver&&) noexcept = default;
Driver& Driver::operator=(Driver&&) noexcept = default;

const std::string& Driver::LastError() const { return impl_->lastError; }

// ---- Windows

std::vector<WindowInfo> Driver::TopLevelWindows() const {
    std::vector<WindowInfo> list;
    impl_->system->EnumWindows([&](os::HWND hwnd) {
        // A window destroyed since the list was taken is left out.
        if (impl_->system->IsWindow(hwnd)) list.push_back(impl_->InfoOf(hwnd));
        return true;
    });
    impl_->Succeed();
    return list;
}

std::vector<WindowInfo> Driver::Children(WindowHandle window) const {
    std::vector<WindowInfo> list;
    if (!impl_->system->IsWindow(os::HWND(window))) {
        impl_->Fail("window " + std::to_string(window) + " does not exist");
        return list;
    }
    impl_->system->EnumChildWindows(os::HWND(window), [&](os::HWND hwnd) {
        if (impl_->system->IsWindow(hwnd)) list.push_back(impl_->InfoOf(hwnd));
        return true;
    });
    impl_->Succeed();
    return list;
}

std::optional<WindowInfo> Driver::Describe(WindowHandle window) const {
    if (!impl_->system->IsWindow(os::HWND(window))) {
        impl_->Fail("window " + std::to_string(window) + " does not exist");
        return std::nullopt;
    }
    impl_->Succeed();
    return impl_->InfoOf(os::HWND(window));
}

bool Driver::IsWindow(WindowHandle window) const {
    return impl_->system->IsWindow(os::HWND(window));
}

WindowHandle Driver::FindWindowByTitle(std::string_view title) const {
    // FindWindow takes an empty title for "any"; here an empty title means an untitled window.
    WindowHandle found = 0;
    impl_->system->EnumWindows([&](os::HWND hwnd) {
        if (impl_->system->GetWindowText(hwnd) != title) return true;
        found = hwnd.value();
        return false;
    });
    return found;
}

WindowHandle Driver::FindWindowByClass(std::string_view className) const {
    if (className.empty()) return 0;
    return impl_->system->FindWindow(className, {}).value();
}

WindowHandle Driver::WaitForWindow(std::string_view title, std::int64_t timeoutMs) {
    WindowHandle found = 0;
    auto shown = [&] {
        impl_->system->EnumWindows([&](os::HWND hwnd) {
            if (!impl_->system->IsWindowVisible(hwnd) ||
                impl_->system->GetWindowText(hwnd) != title)
                return true;
            found = hwnd.value();
            return false;
        });
        return found != 0;
    };
    if (!impl_->system->PumpUntil(shown, timeoutMs)) {
        impl_->Fail("no shown window has the title asked for");
        return 0;
    }
    impl_->Succeed();
    return found;
}

// ---- The loop and the clock

int Driver::Pump() {
    int total = 0;
    for (int round = 0; round < kPumpRoundLimit; ++round) {
        int handled = impl_->system->PumpPending();
        if (handled == 0) break;
        total += handled;
    }
    return total;
}

bool Driver::PumpUntil(const std::function<bool()>& condition, std::int64_t timeoutMs) {
    return impl_->system->PumpUntil(condition, timeoutMs);
}

bool Driver::AdvanceClock(std::int64_t ms) {
    if (!impl_->system->AdvanceClock(ms)) return impl_->Fail("the clock is not a manual clock");
    impl_->Succeed();
    return true;
}

}  // namespace qorvdesk::automation
