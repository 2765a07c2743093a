#pragma once
// ProgramUpdate: new program versions. The session announces one (an update notice carrying
// the marker "SubVersionLiveUp"); a newer version than the installed one is downloaded into
// "update/Liveup/" ("update.up", its version in "ver.log"), and the next start hands it to the
// updater. This client never runs a program it downloaded: the updater is the program named
// by `Updater` in section `Common Setting` of the shared directory's "config.ini", started
// with "/doc:<package> /exe:<this program> /dir:<installation folder>"; without one, the
// announced download page is opened in the desktop's browser.
//
// The notice's texts, by position: 0 the flag ("MUST", any case: a mandatory update), then
// the marker, the version, the package's address, the download page and, optionally, the
// package's SHA-256 (a package that does not match it is discarded).

#include <array>
#include <atomic>
#include <optional>
#include <string>

#include "core/client_context.h"
#include "os/sys/thread.h"

namespace update {

inline constexpr const char* kProgramUpdateMarker = "SubVersionLiveUp";
inline constexpr const char* kCommonSettingSection = "Common Setting";

struct ProgramNotice {
    bool mandatory = false;
    double version = 0;
    std::string packageUrl;
    std::string downloadPage;
    std::string sha256;
};
// Nothing when no text carries the marker.
std::optional<ProgramNotice> ReadProgramNotice(const std::array<std::string, 6>& texts);

class ProgramUpdate {
  public:
    explicit ProgramUpdate(core::ClientContext& context);
    ~ProgramUpdate();
    ProgramUpdate(const ProgramUpdate&) = delete;
    ProgramUpdate& operator=(const ProgramUpdate&) = delete;

    // The session's notice (UI thread): tells the user of a mandatory update, sets the presence
    // to "online" and downloads a newer version on a thread of its own.
    void OnNotice(const std::array<std::string, 6>& texts);
    // At start: a downloaded package for a version newer than the installed one goes to the
    // updater (or its download page is opened); the new `Version` is then written.
    void StartWaitingUpdate();

    // The installed version (`Version` of "config.ini", "0.000" when missing).
    double InstalledVersion() const;
    std::string LiveupFolder() const;
    bool WaitDownloadEnded(os::Millis timeoutMs);

  private:
    core::ClientContext& context_;
    std::atomic<bool> stop_{false};
    os::Thread download_;
};

}  // namespace update
