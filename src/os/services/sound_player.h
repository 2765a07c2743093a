#pragma once
// Playing a sound file without waiting for it (the welcome and message sounds). Like an
// asynchronous PlaySound, a new sound stops the one still playing.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/services/child_process.h"
#include "os/sys/log_sink.h"

namespace os {

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Starts playing the sound file at `path` (GBK) and returns at once. False when nothing
    // will play: no such file, or no way to play sounds here.
    virtual bool PlaySoundFile(const std::string& path) = 0;
    // Stops the sound that is playing, if any.
    virtual void Stop() = 0;
};

// For tests: plays nothing, records every request.
class RecordingSoundPlayer final : public SoundPlayer {
  public:
    bool PlaySoundFile(const std::string& path) override;
    void Stop() override;

    std::vector<std::string> Played() const;
    int StopCount() const;
    // What PlaySoundFile answers (true unless changed).
    void SetAnswer(bool answer);

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> played_;
    int stops_ = 0;
    bool answer_ = true;
};

// Plays through paplay (PulseAudio/PipeWire) or else aplay (ALSA), whichever is found first in
// `searchPath`; with neither, sounds are not played, and the first sound asked for says so in
// `log` (when given) once.
class SystemSoundPlayer final : public SoundPlayer {
  public:
    explicit SystemSoundPlayer(std::string searchPath = DefaultSearchPath(),
                               LogSink* log = nullptr);
    ~SystemSoundPlayer() override;  // stops the sound still playing

    bool PlaySoundFile(const std::string& path) override;
    void Stop() override;

    // The player program in use, or empty.
    const std::string& player() const { return player_; }

  private:
    std::string player_;
    LogSink* log_;
    std::mutex mutex_;
    bool toldNoPlayer_ = false;  // under mutex_
    std::unique_ptr<ChildProcess> playing_;
};

}  // namespace os
