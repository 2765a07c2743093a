#pragma once
// The door to the file updates and the program update check.

namespace core {

class UpdateService {
  public:
    virtual ~UpdateService() = default;
    virtual void ApplyPendingFileUpdates() {}
    virtual void CheckProgramUpdate() {}
    // Starts the file-update run after a login (it works on a thread of its own).
    virtual void StartFileUpdate() {}
};

}  // namespace core
