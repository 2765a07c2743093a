#include "login/reconnect_service.h"

#include "login/dlg_login.h"
#include "os/sys/network_interfaces.h"

namespace login {

ReconnectService::ReconnectService(std::function<CDlgLogin*()> panel)
    : panel_(std::move(panel)), probe_(os::NonLoopbackInterfaceUp) {}

std::function<void(std::stop_token)> ReconnectService::Cycle() {
    CDlgLogin* panel = panel_ ? panel_() : nullptr;
    if (panel == nullptr) return {};
    return panel->MakeReconnectCycle();
}

bool ReconnectService::NetworkAvailable() { return probe_ && probe_(); }

}  // namespace login
