#pragma once
// A start-parameter door whose command line carries a login when the test says so.

#include "core/doors/start_parameters.h"

namespace testing_support {

class RecordingStartParameters : public core::StartParameters {
  public:
    bool carriesLogin = false;  // StartCommandLineLogin's answer
    int commandLineLogins = 0;
    bool StartCommandLineLogin() override {
        ++commandLineLogins;
        return carriesLogin;
    }
    int actionPolls = 0;  // Perform
    void Perform() override { ++actionPolls; }
};

}  // namespace testing_support
