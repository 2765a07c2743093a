#include "chat/shake_memory.h"

namespace chat {

bool ShakeMemory::ShouldShake(std::string_view senderJid, std::int64_t seconds) {
    const bool shakes =
        lastSender_.empty() || senderJid != lastSender_ || seconds - lastSeconds_ > kQuietSeconds;
    if (shakes) {
        lastSender_ = std::string(senderJid);
        lastSeconds_ = seconds;
    }
    return shakes;
}

void ShakeMemory::Reset() {
    lastSender_.clear();
    lastSeconds_ = 0;
}

}  // namespace chat
