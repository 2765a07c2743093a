#pragma once
// Named kernel objects: the per-account login mutex, the contact trees' data lock, the shared
// blocks other processes read, and the login events.
//
// Names live in a NamedObjectSpace derived from the shared client directory, so two clients
// of one installation meet while clients of different directories (and tests, each with a
// temporary directory) never do. Their files are kept in a folder that only this user can
// create files in: $XDG_RUNTIME_DIR when it is the user's own (a folder of this user that
// gives others no access), else /dev/shm/qorv-<uid>, made with mode 0700 and checked the same
// way before every use. A file there is taken only when it is this user's and private, so
// another local user can neither hold a name first nor read a block; a name whose folder or
// file fails the checks cannot be created (Create answers null). Mutexes and shared memory are real
// across processes; named events are shared within this process only (their other party, the
// session engine, runs in the same process).

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "os/sys/clock.h"
#include "os/sys/event.h"

namespace os {

class NamedPresence;

class NamedObjectSpace {
  public:
    // `sharedDir`: the shared client directory (GBK); trailing '/'s do not matter.
    explicit NamedObjectSpace(std::string sharedDir);

    // "qorv-<uid>-<16 hex digits of the directory's hash>": starts every system name here.
    const std::string& prefix() const { return prefix_; }
    // The file name ("/prefix-kind-name") of object `name` of a kind ("mutex", "mem", ...)
    // in folder(). Bytes outside [A-Za-z0-9._-] are written as %XX; very long
    // names are shortened with a hash, so any name gives a valid, distinct system name.
    std::string SystemName(std::string_view kind, std::string_view name) const;
    // Key of `name` among this process's in-process objects.
    std::string LocalKey(std::string_view kind, std::string_view name) const;
    // The folder of the objects' files, chosen when the space is made (without a trailing
    // '/'), and the file of object `name` of a kind there.
    const std::string& folder() const { return folder_; }
    std::string Path(std::string_view kind, std::string_view name) const;

  private:
    std::string prefix_;
    std::string folder_;
};

// A named mutex as Windows has it: it "exists" while any handle in any process holds the name,
// and a process that dies lets go of it. Lock and Unlock serialise the threads of this process
// (every handle of the name in the process shares one lock); a thread that owns it may lock
// it again and must unlock as often.
class NamedMutex {
  public:
    // Null on a system error. `alreadyExisted` (may be null): another handle, here or in
    // another process, held the name before.
    static std::unique_ptr<NamedMutex> Create(const NamedObjectSpace& space, std::string_view name,
                                              Clock& clock, bool* alreadyExisted);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Waits up to `timeoutMs` of the clock's time (kInfinite: no limit) for ownership.
    bool Lock(Millis timeoutMs);
    // False (and nothing changes) when the calling thread does not own the mutex.
    bool Unlock();
    // The calling thread owns the mutex.
    bool OwnedByMe() const;

    struct LockState;

  private:
    NamedMutex(std::unique_ptr<NamedPresence> presence, std::shared_ptr<LockState> state,
               Clock& clock);

    std::unique_ptr<NamedPresence> presence_;
    std::shared_ptr<LockState> state_;
    Clock* clock_;
};

// A named block of shared memory, zeroed when first made. It lives while any handle in any
// process holds it; a process that opens it later sees what earlier ones wrote.
class SharedMemory {
  public:
    // Creates the block or opens the existing one. Null on a system error, or when an existing
    // block is smaller than `size`.
    static std::unique_ptr<SharedMemory> Create(const NamedObjectSpace& space,
                                                std::string_view name, std::size_t size,
                                                bool* alreadyExisted);
    // Opens the block only if it exists; null otherwise.
    static std::unique_ptr<SharedMemory> Open(const NamedObjectSpace& space, std::string_view name,
                                              std::size_t size);
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    SharedMemory(std::unique_ptr<NamedPresence> presence, char* data, std::size_t size);

    std::unique_ptr<NamedPresence> presence_;
    char* data_;
    std::size_t size_;
};

// Same space and name → the same Event, as long as any holder keeps it. `reset` and
// `initiallySet` apply only when the event is made; `alreadyExisted` (may be null) tells.
std::shared_ptr<Event> OpenNamedEvent(const NamedObjectSpace& space, std::string_view name,
                                      Clock& clock, EventReset reset, bool initiallySet,
                                      bool* alreadyExisted = nullptr);

}  // namespace os
