#include "login/login_state_word.h"

#include <cstring>

#include "os/sys/event.h"
#include "os/sys/named_objects.h"

namespace login {
namespace {

constexpr std::size_t kStateSize = sizeof(std::int32_t);

// Holds the cross-process lock for a scope.
class StateLock {
  public:
    explicit StateLock(os::Event& lock) : lock_(lock) { lock_.Wait(os::kInfinite); }
    ~StateLock() { lock_.Set(); }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

  private:
    os::Event& lock_;
};

}  // namespace

LoginStateWord::LoginStateWord(const os::NamedObjectSpace& space, os::Clock& clock)
    : space_(space),
      lock_(os::OpenNamedEvent(space, kStateLockName, clock, os::EventReset::Auto,
                               /*initiallySet=*/true)),
      memory_(os::SharedMemory::Create(space, kStateMemoryName, kStateSize, nullptr)) {}

LoginStateWord::~LoginStateWord() = default;

bool LoginStateWord::Write(std::int32_t state) {
    StateLock hold(*lock_);
    if (!memory_) memory_ = os::SharedMemory::Create(space_, kStateMemoryName, kStateSize, nullptr);
    if (!memory_) return false;
    std::memcpy(memory_->data(), &state, kStateSize);
    return true;
}

std::int32_t LoginStateWord::Read() {
    StateLock hold(*lock_);
    if (!memory_) memory_ = os::SharedMemory::Open(space_, kStateMemoryName, kStateSize);
    if (!memory_) return kLoginStateUnknown;
    std::int32_t state = 0;
    std::memcpy(&state, memory_->data(), kStateSize);
    return state;
}

}  // namespace login
