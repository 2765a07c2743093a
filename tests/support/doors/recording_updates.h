#pragma once
// An update door that counts the file-update checks started after a login.

#include "core/doors/update_service.h"

namespace testing_support {

class RecordingUpdates : public core::UpdateService {
  public:
    int fileUpdateChecks = 0;
    void StartFileUpdate() override { ++fileUpdateChecks; }
};

}  // namespace testing_support
