#pragma once
// ReconnectService: the reconnect door of this client (core::ReconnectFlow). A login
// time-out gets the login panel's countdown cycle; the network watch after a lost connection
// asks the network probe, by default whether an interface other than the loopback one is up.
//
// ClientSubsystems owns it and plugs it into the context's reconnect door. The panel is
// looked up when a cycle is asked for: it is made by InitWindows, after the subsystems.

#include <functional>

#include "core/doors/reconnect_flow.h"

class CDlgLogin;

namespace login {

class ReconnectService final : public core::ReconnectFlow {
  public:
    explicit ReconnectService(std::function<CDlgLogin*()> panel);

    std::function<void(std::stop_token)> Cycle() override;
    bool NetworkAvailable() override;

    // Replaces the network probe (tests play a network that comes and goes).
    void SetNetworkProbe(std::function<bool()> probe) { probe_ = std::move(probe); }

  private:
    std::function<CDlgLogin*()> panel_;
    std::function<bool()> probe_;
};

}  // namespace login
