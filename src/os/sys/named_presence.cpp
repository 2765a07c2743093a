#include "os/sys/named_presence.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

NamedPresence::NamedPresence(std::string lockName, int fd, TearDown tearDown)
    : lockName_(std::move(lockName)), fd_(fd), tearDown_(std::move(tearDown)) {}

std::unique_ptr<NamedPresence> NamedPresence::Acquire(const std::string& lockName, Mode mode,
                                                      bool* alreadyExisted, const SetUp& setUp,
                                                      TearDown tearDown) {
    if (alreadyExisted) *alreadyExisted = false;
    for (;;) {
        int flags = O_RDWR | O_CLOEXEC | (mode == Mode::CreateOrOpen ? O_CREAT : 0);
        int fd = shm_open(lockName.c_str(), flags, 0600);
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
                shm_unlink(lockName.c_str());
                close(fd);
                return nullptr;
            }
            if (setUp && !setUp()) {
                shm_unlink(lockName.c_str());
                close(fd);
                return nullptr;
            }
            SetLock(fd, F_RDLCK, /*wait=*/false);  // atomic downgrade; cannot conflict
            return std::unique_ptr<NamedPresence>(
                new NamedPresence(lockName, fd, std::move(tearDown)));
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
        return std::unique_ptr<NamedPresence>(new NamedPresence(lockName, fd, std::move(tearDown)));
    }
}

NamedPresence::~NamedPresence() {
    // A failed upgrade keeps the shared lock: someone else still holds the name.
    if (SetLock(fd_, F_WRLCK, /*wait=*/false)) {
        if (tearDown_) tearDown_();
        shm_unlink(lockName_.c_str());
    }
    close(fd_);
}

}  // namespace os
