#pragma once
// A reconnect door that hands out the cycle the test gives it.

#include <functional>
#include <stop_token>

#include "core/doors/reconnect_flow.h"

namespace testing_support {

class RecordingReconnect : public core::ReconnectFlow {
  public:
    std::function<void(std::stop_token)> cycle;  // runs on the login watcher thread
    int handedOut = 0;
    std::function<void(std::stop_token)> Cycle() override {
        ++handedOut;
        return cycle;
    }
};

}  // namespace testing_support
