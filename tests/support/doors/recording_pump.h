#pragma once
// A notification pump door that records the messages handed to the incoming-message handling
// and otherwise keeps the defaults (no thread, no engine).

#include <vector>

#include "core/doors/notification_pump.h"

namespace testing_support {

class RecordingPump : public core::NotificationPump {
  public:
    std::vector<core::QueuedMessage> incoming;
    void HandleIncomingMessage(const core::QueuedMessage& message) override {
        incoming.push_back(message);
    }
};

}  // namespace testing_support
