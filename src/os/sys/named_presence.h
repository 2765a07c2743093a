#pragma once
// Cross-process "this name is held" marker behind the named kernel objects.
//
// Every handle of a name keeps a shared lock on one small file in /dev/shm; the name exists
// while any handle anywhere holds its lock, and the kernel drops the locks of a process that
// dies, so a crash never leaves a name behind. The first holder (the one that finds no other
// lock) sets the object up while holding the lock exclusively, so nobody sees it half made;
// the last holder, again exclusively, removes its files.
//
// The locks are open-file-description locks: they conflict between two handles of one
// process as well, and turning the exclusive lock into a shared one is atomic.
//
// The files live in a folder only this user can create files in (NamedObjectSpace), and a
// file is taken only when it is this user's and gives others no access, so another local
// user can neither hold a name first nor read a block.
//
// A process that ends through exit() with handles still held (the library's objects live
// until the process ends) lets go of them at exit, so the last user still removes the files.

#include <functional>
#include <memory>
#include <string>

namespace os {

class NamedPresence {
  public:
    enum class Mode { CreateOrOpen, OpenExisting };
    // Runs once, exclusively, for the first holder; false aborts the acquisition.
    using SetUp = std::function<bool()>;
    // Runs once, exclusively, for the last holder.
    using TearDown = std::function<void()>;

    // `lockPath` is the lock file's path (NamedObjectSpace::Path). Null on a system error, when
    // the folder or the file is not this user's own, or in OpenExisting mode when nobody holds
    // the name. `alreadyExisted` (may be null) tells whether another handle held it.
    static std::unique_ptr<NamedPresence> Acquire(const std::string& lockPath, Mode mode,
                                                  bool* alreadyExisted, const SetUp& setUp,
                                                  TearDown tearDown);
    ~NamedPresence();
    NamedPresence(const NamedPresence&) = delete;
    NamedPresence& operator=(const NamedPresence&) = delete;

    // Lets go of the name now, as the destructor would; later calls and the destructor do
    // nothing. Called for every handle still held when the process exits.
    void Release();

  private:
    NamedPresence(std::string lockPath, int fd, TearDown tearDown);
    // Release with the lock of the held handles taken.
    void ReleaseLocked();
    // The exit handler: lets go of every handle still held.
    static void ReleaseAllAtExit();

    std::string lockPath_;
    int fd_;  // -1 once released
    TearDown tearDown_;
    int owner_;  // the process that took the name
};

// Makes `folder` when missing (mode 0700; its parent must exist) when `create`, and answers
// whether it is a folder (not a link) of this user that gives nobody else any access.
bool IsPrivateFolder(const std::string& folder, bool create);
// Opens a file (open(2) `flags` with O_NOFOLLOW and O_CLOEXEC added; mode 0600 when made) and
// keeps it only when it is a regular file of this user that gives nobody else any access.
// -1 otherwise (errno EACCES when the file was there but not private).
int OpenPrivateFile(const std::string& path, int flags);

}  // namespace os
