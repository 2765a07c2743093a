#pragma once
// The client's start parameters (command_line.h): read from the program's command line at
// start and from the requests a second start of the program hands over (OnIMParam). Before a
// login they log in through the login panel; once logged in, Perform opens the requested chat
// and carries out the requested action, each once per request.

#include "core/client_context.h"
#include "core/doors/start_parameters.h"
#include "login/command_line.h"

namespace login {

// The command id the host's main window takes as "open the batch SMS window".
inline constexpr int kBatchSmsCommand = 0x8047;

class ClientStartParameters final : public core::StartParameters {
  public:
    explicit ClientStartParameters(core::ClientContext& context) : context_(context) {}

    void Parse(const std::string& commandLine) override;
    void Act(const std::string& requestText) override;
    bool StartCommandLineLogin() override;
    void Perform() override;

    const CommandLineRequest& request() const { return request_; }

  private:
    void Take(const std::string& text);

    core::ClientContext& context_;
    CommandLineRequest request_;
};

}  // namespace login
