#include "os/services/sound_player.h"

#include <sys/stat.h>

#include <utility>

#include "os/sys/paths.h"

namespace os {

bool RecordingSoundPlayer::PlaySoundFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    played_.push_back(path);
    return answer_;
}

void RecordingSoundPlayer::Stop() {
    std::lock_guard lock(mutex_);
    ++stops_;
}

std::vector<std::string> RecordingSoundPlayer::Played() const {
    std::lock_guard lock(mutex_);
    return played_;
}

int RecordingSoundPlayer::StopCount() const {
    std::lock_guard lock(mutex_);
    return stops_;
}

void RecordingSoundPlayer::SetAnswer(bool answer) {
    std::lock_guard lock(mutex_);
    answer_ = answer;
}

SystemSoundPlayer::SystemSoundPlayer(std::string searchPath, LogSink* log) : log_(log) {
    for (const char* candidate : {"paplay", "aplay"}) {
        if (auto found = FindProgram(candidate, searchPath)) {
            player_ = *found;
            break;
        }
    }
}

SystemSoundPlayer::~SystemSoundPlayer() { Stop(); }

bool SystemSoundPlayer::PlaySoundFile(const std::string& path) {
    if (player_.empty()) {
        std::lock_guard lock(mutex_);
        if (log_ != nullptr && !std::exchange(toldNoPlayer_, true)) {
            log_->WriteLog2(3, "sounds are not played: neither paplay nor aplay is installed");
        }
        return false;
    }
    std::optional<std::filesystem::path> native = NativePath(path);
    struct stat st {};
    if (!native || stat(native->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::lock_guard lock(mutex_);
    if (playing_) playing_->Terminate();
    // aplay reads "-" style names as options; "--" ends them for both players.
    playing_ = StartProcess({player_, "--", native->string()}, {});
    return playing_ != nullptr;
}

void SystemSoundPlayer::Stop() {
    std::lock_guard lock(mutex_);
    if (playing_) playing_->Terminate();
    playing_.reset();
}

}  // namespace os
