#pragma once
// Records what a control raises, for tests that check notifications.

#include <cstdint>
#include <string>
#include <vector>

#include "os/controls/control.h"

namespace os::testing {

class NotificationRecorder {
  public:
    explicit NotificationRecorder(Control& control) {
        control.SetNotifySink([this](const ControlNotification& n) { seen_.push_back(n); });
    }

    const std::vector<ControlNotification>& all() const { return seen_; }
    int Count(int code) const {
        int count = 0;
        for (const auto& n : seen_) count += n.code == code ? 1 : 0;
        return count;
    }
    // The items of the notifications with `code`, in order.
    std::vector<std::int64_t> Items(int code) const {
        std::vector<std::int64_t> items;
        for (const auto& n : seen_) {
            if (n.code == code) items.push_back(n.item);
        }
        return items;
    }
    void Clear() { seen_.clear(); }

  private:
    std::vector<ControlNotification> seen_;
};

}  // namespace os::testing
