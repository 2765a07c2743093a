#include "os/sys/named_presence.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <set>

namespace os {

namespace {

bool SetLock(int fd, short type, bool wait) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // the whole file
    for (;;) {
        if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// The last holder unlinks the lock file before closing it; a handle that locked a file
// which is no longer in the directory must start over with the new one.
bool StillLinked(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && st.st_nlink > 0;
}

bool IsPrivate(const struct stat& st) {
    return st.st_uid == geteuid() && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Every handle this process holds, for the exit handler. Made once and never destroyed:
// handles of objects that live until the process ends are let go after static destructors
// may already have run.
struct HeldPresences {
    std::mutex mutex;
    std::set<NamedPresence*> held;
};

HeldPresences& Held() {
    static HeldPresences* const held = new HeldPresences;
    return *held;
}

}  // namespace

void NamedPresence::ReleaseAllAtExit() {
    // Under the lock throughout: another thread may be destroying a handle meanwhile.
    std::lock_guard guard(Held().mutex);
    const std::set<NamedPresence*> held = Held().held;
    for (NamedPresence* presence : held) presence->ReleaseLocked();
}

namespace {

void ReleaseAtExitOnce(void (*release)()) {
    static const bool registered = (std::atexit(release), true);
    (void)registered;
}

}  // namespace

bool IsPrivateFolder(const std::string& folder, bool create) {
    if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && IsPrivate(st);
}

int OpenPrivateFile(const std::string& path, int flags) {
    int fd = open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !IsPrivate(st)) {
        close(fd);
        errno = EACCES;
        return -1;
    }
    return fd;
}

NamedPresence::NamedPresence(std::string lockPath, int fd, TearDown tearDown)
    : lockPath_(std::move(lockPath)), fd_(fd), tearDown_(std::move(tearDown)), owner_(getpid()) {
    ReleaseAtExitOnce(&NamedPresence::ReleaseAllAtExit);
    std::lock_guard guard(Held().mutex);
    Held().held.insert(this);
}

std::unique_ptr<NamedPresence> NamedPresence::Acquire(const std::string& lockPath, Mode mode,
                                                      bool* alreadyExisted, const SetUp& setUp,
                                                      TearDown tearDown) {
    if (alreadyExisted) *alreadyExisted = false;
    if (!IsPrivateFolder(FolderOf(lockPath), mode == Mode::CreateOrOpen)) return nullptr;
    for (;;) {
        int fd = OpenPrivateFile(lockPath, O_RDWR | (mode == Mode::CreateOrOpen ? O_CREAT : 0));
        if (fd < 0) return nullptr;  // ENOENT in OpenExisting mode: nobody holds the name

        if (SetLock(fd, F_WRLCK, /*wait=*/false)) {
            // Nobody else holds this file: we are first, or it was left by a dead process.
            if (!StillLinked(fd)) {
                close(fd);
                continue;
            }
            if (mode == Mode::OpenExisting) {
                // A leftover of a dead process: tidy it away while we hold it alone.
                if (tearDown) tearDown();
                unlink(lockPath.c_str());
                close(fd);
                return nullptr;
            }
            if (setUp && !setUp()) {
                unlink(lockPath.c_str());
                close(fd);
                return nullptr;
            }
            SetLock(fd, F_RDLCK, /*wait=*/false);  // atomic downgrade; cannot conflict
            return std::unique_ptr<NamedPresence>(
                new NamedPresence(lockPath, fd, std::move(tearDown)));
        }
        if (errno != EAGAIN && errno != EACCES) {
            close(fd);
            return nullptr;
        }
        // Held by someone. A first holder may still be setting up (exclusive lock), which
        // takes moments: wait for its shared lock.
        if (!SetLock(fd, F_RDLCK, /*wait=*/true)) {
            close(fd);
            return nullptr;
        }
        if (!StillLinked(fd)) {  // the last holder was tearing down: start over
            close(fd);
            continue;
        }
        if (alreadyExisted) *alreadyExisted = true;
        return std::unique_ptr<NamedPresence>(new NamedPresence(lockPath, fd, std::move(tearDown)));
    }
}

void NamedPresence::Release() {
    std::lock_guard guard(Held().mutex);
    ReleaseLocked();
}

void NamedPresence::ReleaseLocked() {
    if (fd_ < 0) return;
    Held().held.erase(this);
    // A forked child shares the parent's lock (one open file description): only the process
    // that took the name may find itself the last holder.
    if (owner_ == getpid() && SetLock(fd_, F_WRLCK, /*wait=*/false)) {
        // A failed upgrade keeps the shared lock: someone else still holds the name.
        if (tearDown_) tearDown_();
        unlink(lockPath_.c_str());
    }
    close(fd_);
    fd_ = -1;
}

NamedPresence::~NamedPresence() { Release(); }

}  // namespace os
