#include "os/prompt/prompter.h"

namespace os {

int Prompter::DoModal(Window& dialog) {
    if (!dialog.IsWindow()) return -1;
    WindowSystem& system = dialog.system();
    const HWND hwnd = dialog.hwnd();
    if (!system.IsOwnedByCallingThread(hwnd)) return -1;

    auto run = std::make_shared<ModalRun>();
    run->system = &system;
    {
        std::lock_guard lock(mutex_);
        if (!running_.emplace(hwnd, run).second) return -1;
    }

    // The owner takes no input while its dialog runs.
    const HWND owner = dialog.GetOwner();
    const bool reenableOwner = owner && system.IsWindowEnabled(owner);
    if (reenableOwner) system.EnableWindow(owner, false);
    system.ShowWindow(hwnd, SW_SHOW);

    // From here on the dialog object may delete itself (a dialog destroyed from its own
    // handler): only the handle is used.
    auto ended = [this, &system, hwnd, run] {
        std::lock_guard lock(mutex_);
        return run->ended || !system.IsWindow(hwnd);
    };
    RunModal(system, hwnd, ended);

    int result;
    {
        std::lock_guard lock(mutex_);
        // Closed without EndDialog (the window's close box): the dialog was cancelled.
        result = run->ended ? run->result : IDCANCEL;
        running_.erase(hwnd);
    }
    if (reenableOwner && system.IsWindow(owner)) system.EnableWindow(owner, true);
    if (system.IsWindow(hwnd)) system.DestroyWindow(hwnd);
    return result;
}

bool Prompter::EndDialog(HWND dialog, int result) {
    WindowSystem* system = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it = running_.find(dialog);
        if (it == running_.end()) return false;
        it->second->ended = true;
        it->second->result = result;
        system = it->second->system;
    }
    // Wakes a loop that sleeps waiting for messages, so it sees the end at once.
    system->PostMessage(dialog, WM_NULL);
    return true;
}

bool Prompter::IsModal(HWND dialog) const {
    std::lock_guard lock(mutex_);
    auto it = running_.find(dialog);
    return it != running_.end() && !it->second->ended;
}

std::optional<int> Prompter::EndedWith(HWND dialog) const {
    std::lock_guard lock(mutex_);
    auto it = running_.find(dialog);
    if (it == running_.end() || !it->second->ended) return std::nullopt;
    return it->second->result;
}

void Prompter::RunModal(WindowSystem& system, HWND, const std::function<bool()>& ended) {
    // PumpUntil answers false at a pending WM_QUIT and, under a manual clock, when idle.
    while (!ended()) {
        if (!system.PumpUntil(ended, kInfinite)) break;
    }
}

}  // namespace os
