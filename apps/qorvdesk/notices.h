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
    // The last notice shown and where it went (a view of recent tips, the tests).
    const QString& lastText() const { return lastText_; }
    Route lastRoute() const { return lastRoute_; }
    int count() const { return count_; }

  private:
    Route Remember(const QString& text, Route route);

    Tray& tray_;
    QString lastText_;
    Route lastRoute_ = Route::Balloon;
    int count_ = 0;
};

}  // namespace host
