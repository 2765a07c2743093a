// Hot keys, global atoms and simulated key presses.

#include <algorithm>

#include "os/ui/window_system_impl.h"

namespace os {

namespace {

constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;
constexpr ATOM kFirstAtom = 0xC000;
constexpr ATOM kLastAtom = 0xFFFF;

}  // namespace

bool WindowSystem::RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
    if (vk == 0 || vk > 0xFF) return false;
    ThreadQueueId queue = hwnd ? 0 : CurrentThreadQueueId();
    modifiers &= kModifierMask;
    std::lock_guard guard(impl_->mutex);
    if (hwnd && !impl_->FindLocked(hwnd)) return false;
    for (const HotKey& key : impl_->hotKeys) {
        if (key.modifiers == modifiers && key.vk == vk) return false;  // taken
        if (key.hwnd == hwnd && key.queue == queue && key.id == id) return false;
    }
    impl_->hotKeys.push_back(HotKey{hwnd, queue, id, modifiers, vk});
    return true;
}

bool WindowSystem::UnregisterHotKey(HWND hwnd, int id) {
    ThreadQueueId queue = 0;
    if (!hwnd) {
        auto own = impl_->CurrentQueue(false);
        if (!own) return false;
        queue = own->id;
    }
    std::lock_guard guard(impl_->mutex);
    return std::erase_if(impl_->hotKeys, [&](const HotKey& key) {
               return key.hwnd == hwnd && key.queue == queue && key.id == id;
           }) > 0;
}

bool WindowSystem::PressHotKey(UINT modifiers, UINT vk) {
    modifiers &= kModifierMask;
    HotKey found;
    {
        std::lock_guard guard(impl_->mutex);
        auto it = std::find_if(
            impl_->hotKeys.begin(), impl_->hotKeys.end(),
            [&](const HotKey& key) { return key.modifiers == modifiers && key.vk == vk; });
        if (it == impl_->hotKeys.end()) return false;
        found = *it;
    }
    const WPARAM wParam = static_cast<WPARAM>(static_cast<std::int64_t>(found.id));
    const LPARAM lParam = MAKELPARAM(modifiers, vk);
    if (found.hwnd) return PostMessage(found.hwnd, WM_HOTKEY, wParam, lParam);
    return PostThreadMessage(found.queue, WM_HOTKEY, wParam, lParam);
}

bool WindowSystem::PostKey(HWND hwnd, UINT vk, UINT modifiers) {
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(impl_->mutex);
        const WindowEntry* entry = impl_->FindLocked(hwnd);
        if (!entry) return false;
        target = entry->queue;
    }
    const bool alt = (modifiers & MOD_ALT) != 0;
    // lParam as a real key press gives it: repeat count 1, and the context bit for Alt.
    const LPARAM lParam = 1 | (alt ? KEY_ALT_CONTEXT : 0);
    ThreadQueue::Item item;
    item.msg = Msg{hwnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam, clock_.Now()};
    item.heldModifiers = modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT);
    return target->EnqueueItem(std::move(item));
}

bool WindowSystem::IsKeyHeld(UINT vk) const {
    UINT modifier = 0;
    switch (vk) {
        case VK_CONTROL:
        case VK_LCONTROL:
        case VK_RCONTROL:
            modifier = MOD_CONTROL;
            break;
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
            modifier = MOD_ALT;
            break;
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
            modifier = MOD_SHIFT;
            break;
        default:
            return false;
    }
    auto queue = impl_->CurrentQueue(false);
    return queue && (queue->heldModifiers & modifier) != 0;
}

void WindowSystem::SetHeldModifiers(UINT modifiers) {
    impl_->CurrentQueue(true)->heldModifiers = modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT);
}

ATOM WindowSystem::GlobalAddAtom(std::string_view name) {
    if (name.empty()) return 0;
    std::lock_guard guard(impl_->mutex);
    auto& atoms = impl_->atoms;
    for (auto& [atom, entry] : atoms) {
        if (EqualsIgnoringAsciiCase(entry.name, name)) {
            ++entry.references;
            return atom;
        }
    }
    // The lowest free value: values are freed when their last reference goes.
    ATOM candidate = kFirstAtom;
    for (const auto& [atom, entry] : atoms) {
        if (atom != candidate) break;
        if (candidate == kLastAtom) return 0;  // full
        ++candidate;
    }
    atoms.emplace(candidate, AtomEntry{std::string(name), 1});
    return candidate;
}

ATOM WindowSystem::GlobalFindAtom(std::string_view name) const {
    std::lock_guard guard(impl_->mutex);
    for (const auto& [atom, entry] : impl_->atoms) {
        if (EqualsIgnoringAsciiCase(entry.name, name)) return atom;
    }
    return 0;
}

std::string WindowSystem::GlobalGetAtomName(ATOM atom) const {
    std::lock_guard guard(impl_->mutex);
    auto it = impl_->atoms.find(atom);
    return it == impl_->atoms.end() ? std::string() : it->second.name;
}

bool WindowSystem::GlobalDeleteAtom(ATOM atom) {
    std::lock_guard guard(impl_->mutex);
    auto it = impl_->atoms.find(atom);
    if (it == impl_->atoms.end()) return false;
    if (--it->second.references == 0) impl_->atoms.erase(it);
    return true;
}

}  // namespace os
