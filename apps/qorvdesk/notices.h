#pragma once
// Pop-up tips of the library as desktop notifications: over D-Bus to the freedesktop
// notification server when one runs, else as the tray icon's balloon.

#include <QString>

namespace host {

class Tray;

class Notices {
  public:
    explicit Notices(Tray& tray) : tray_(tray) {}
    // Where the last notice went, for a view that wants to say so.
    enum class Route { Desktop, Balloon };
    Route Show(const QString& title, const QString& text);

  private:
    Tray& tray_;
};

}  // namespace host
