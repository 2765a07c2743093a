#pragma once
// Heap copies posted from the notification thread to a window of the UI thread.
//
// A posted message may never be delivered: the window can close before its thread takes the
// message, and then the message is dropped. A raw pointer in lParam would leak. So the copy
// travels in a parcel owned by the posted work itself: when the window takes it, the window's
// handler sees `message` with lParam pointing to the parcel and takes the contents out
// (TakeParcel), becoming their owner; whatever it leaves inside, and the whole parcel when
// the work is dropped with the window, is freed with the posted work. Nothing leaks and
// nothing is freed twice.

#include <memory>

#include "os/ui/messages.h"
#include "os/ui/window_system.h"

namespace notify {

template <typename T>
struct Parcel {
    std::unique_ptr<T> contents;
};

// Posts `message` (wParam, lParam = the parcel) to `hwnd`. False when the window is already
// gone; the contents are then freed at once.
template <typename T>
bool PostParcel(os::WindowSystem& windows, os::HWND hwnd, os::UINT message, os::WPARAM wParam,
                std::unique_ptr<T> contents) {
    auto parcel = std::make_shared<Parcel<T>>(Parcel<T>{std::move(contents)});
    return windows.PostTask(hwnd, [&windows, hwnd, message, wParam, parcel] {
        // On the window's own thread a send is a direct call of its handler.
        windows.SendMessage(hwnd, message, wParam, reinterpret_cast<os::LPARAM>(parcel.get()));
    });
}

// The receiving side: the contents of the parcel behind `lParam`, now owned by the caller.
// Null for a null lParam or a parcel taken before.
template <typename T>
std::unique_ptr<T> TakeParcel(os::LPARAM lParam) {
    auto* parcel = reinterpret_cast<Parcel<T>*>(lParam);
    if (parcel == nullptr) return nullptr;
    return std::move(parcel->contents);
}

}  // namespace notify
