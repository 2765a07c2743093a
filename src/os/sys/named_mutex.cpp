#include <map>
#include <mutex>

#include "os/sys/named_objects.h"
#include "os/sys/named_presence.h"

namespace os {

// Ownership shared by every handle of one name in this process.
struct NamedMutex::LockState {
    std::mutex mutex;
    std::condition_variable cv;
    std::thread::id owner;
    int depth = 0;
};

namespace {

struct LockRegistry {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<NamedMutex::LockState>> states;
};

LockRegistry& Locks() {
    static LockRegistry registry;
    return registry;
}

std::shared_ptr<NamedMutex::LockState> SharedLockState(const std::string& key) {
    LockRegistry& registry = Locks();
    std::lock_guard guard(registry.mutex);
    std::erase_if(registry.states, [](const auto& entry) { return entry.second.expired(); });
    auto& slot = registry.states[key];
    auto state = slot.lock();
    if (!state) {
        state = std::make_shared<NamedMutex::LockState>();
        slot = state;
    }
    return state;
}

}  // namespace

NamedMutex::NamedMutex(std::unique_ptr<NamedPresence> presence, std::shared_ptr<LockState> state,
                       Clock& clock)
    : presence_(std::move(presence)), state_(std::move(state)), clock_(&clock) {}

NamedMutex::~NamedMutex() = default;

std::unique_ptr<NamedMutex> NamedMutex::Create(const NamedObjectSpace& space, std::string_view name,
                                               Clock& clock, bool* alreadyExisted) {
    auto presence = NamedPresence::Acquire(
        space.Path("mutex", name), NamedPresence::Mode::CreateOrOpen, alreadyExisted, {}, {});
    if (!presence) return nullptr;
    return std::unique_ptr<NamedMutex>(
        new NamedMutex(std::move(presence), SharedLockState(space.LocalKey("mutex", name)), clock));
}

bool NamedMutex::Lock(Millis timeoutMs) {
    const auto me = std::this_thread::get_id();
    std::unique_lock lock(state_->mutex);
    auto free = [&] { return state_->depth == 0 || state_->owner == me; };
    if (!free()) {
        if (timeoutMs == 0) return false;
        if (!clock_->WaitUntil(lock, state_->cv, clock_->DeadlineAfter(timeoutMs), free)) {
            return false;
        }
    }
    state_->owner = me;
    ++state_->depth;
    return true;
}

bool NamedMutex::Unlock() {
    std::lock_guard guard(state_->mutex);
    if (state_->depth == 0 || state_->owner != std::this_thread::get_id()) return false;
    if (--state_->depth == 0) {
        state_->owner = {};
        state_->cv.notify_one();
    }
    return true;
}

bool NamedMutex::OwnedByMe() const {
    std::lock_guard guard(state_->mutex);
    return state_->depth > 0 && state_->owner == std::this_thread::get_id();
}

}  // namespace os
