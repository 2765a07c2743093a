#pragma once
// The door to the file updates and the program update check.

namespace core {

class UpdateService {
  public:
    virtual ~UpdateService() = default;
    virtual void ApplyPendingFileUpdates() {}
    virtual void CheckProgramUpdate() {}
};

}  // namespace core
