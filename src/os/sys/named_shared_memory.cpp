#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/sys/named_objects.h"
#include "os/sys/named_presence.h"

namespace os {

namespace {

// Maps `size` bytes of the segment `dataName`; null when it is missing or too small.
char* MapSegment(const std::string& dataPath, std::size_t size) {
    int fd = OpenPrivateFile(dataPath, O_RDWR);
    if (fd < 0) return nullptr;
    struct stat st {};
    void* view = MAP_FAILED;
    if (fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) >= size && size > 0) {
        view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    close(fd);  // the mapping keeps the segment
    return view == MAP_FAILED ? nullptr : static_cast<char*>(view);
}

std::unique_ptr<NamedPresence> AcquireBlock(const NamedObjectSpace& space, std::string_view name,
                                            std::size_t size, NamedPresence::Mode mode,
                                            bool* alreadyExisted) {
    if (size == 0) return nullptr;
    std::string dataPath = space.Path("mem", name);
    // The first holder makes a fresh, zeroed segment (replacing one a dead process left).
    auto setUp = [dataPath, size] {
        unlink(dataPath.c_str());
        int fd = OpenPrivateFile(dataPath, O_RDWR | O_CREAT | O_EXCL);
        if (fd < 0) return false;
        bool sized = ftruncate(fd, static_cast<off_t>(size)) == 0;
        close(fd);
        if (!sized) unlink(dataPath.c_str());
        return sized;
    };
    auto tearDown = [dataPath] { unlink(dataPath.c_str()); };
    return NamedPresence::Acquire(space.Path("memlock", name), mode, alreadyExisted, setUp,
                                  tearDown);
}

}  // namespace

SharedMemory::SharedMemory(std::unique_ptr<NamedPresence> presence, char* data, std::size_t size)
    : presence_(std::move(presence)), data_(data), size_(size) {}

SharedMemory::~SharedMemory() {
    munmap(data_, size_);
    presence_.reset();  // the last holder removes the segment after the view is gone
}

std::unique_ptr<SharedMemory> SharedMemory::Create(const NamedObjectSpace& space,
                                                   std::string_view name, std::size_t size,
                                                   bool* alreadyExisted) {
    auto presence =
        AcquireBlock(space, name, size, NamedPresence::Mode::CreateOrOpen, alreadyExisted);
    if (!presence) return nullptr;
    char* data = MapSegment(space.Path("mem", name), size);
    if (!data) return nullptr;
    return std::unique_ptr<SharedMemory>(new SharedMemory(std::move(presence), data, size));
}

std::unique_ptr<SharedMemory> SharedMemory::Open(const NamedObjectSpace& space,
                                                 std::string_view name, std::size_t size) {
    auto presence = AcquireBlock(space, name, size, NamedPresence::Mode::OpenExisting, nullptr);
    if (!presence) return nullptr;
    char* data = MapSegment(space.Path("mem", name), size);
    if (!data) return nullptr;
    return std::unique_ptr<SharedMemory>(new SharedMemory(std::move(presence), data, size));
}

}  // namespace os
