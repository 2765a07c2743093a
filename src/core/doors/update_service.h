#pragma once
// The door to the file updates and the program update check.

namespace core {

class UpdateService {
  public:
    virtual ~UpdateService() = default;
    virtual void ApplyPendingFileUpdates() {}
    virtual void CheckProgramUpdate() {}
    // A while after a login: the file-update run starts (on a thread of its own) and the
    // engine is asked for the update information of the sub-programs.
    virtual void StartFileUpdate() {}
};

}  // namespace core
