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

    // `lockName` is a POSIX shared-memory name ("/..."). Null on a system error, or in
    // OpenExisting mode when nobody holds the name. `alreadyExisted` (may be null) tells
    // whether another handle held it.
    static std::unique_ptr<NamedPresence> Acquire(const std::string& lockName, Mode mode,
                                                  bool* alreadyExisted, const SetUp& setUp,
                                                  TearDown tearDown);
    ~NamedPresence();
    NamedPresence(const NamedPresence&) = delete;
    NamedPresence& operator=(const NamedPresence&) = delete;

  private:
    NamedPresence(std::string lockName, int fd, TearDown tearDown);

    std::string lockName_;
    int fd_;
    TearDown tearDown_;
};

}  // namespace os
