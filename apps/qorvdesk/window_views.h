#pragma once
// Keeps one view per library window in step with the library: it subscribes to the Driver's
// changes, notes them as they come (from any thread) and applies them once per turn of Qt's
// event loop, however many came: new top-level windows get a window of their own, hidden
// ones hide, gone ones go, and changed windows and controls are read again.

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "control_widgets.h"

namespace host {

class WindowView;

class WindowViews : public QObject {
    Q_OBJECT
  public:
    // `frame` is the host's own frame window: its view is the program's main window, made by
    // the host (AdoptFrameView), not here.
    WindowViews(ViewContext& context, qorvdesk::automation::WindowHandle frame);
    ~WindowViews() override;

    void Register(WindowView& view);
    void Unregister(WindowView& view);
    WindowView* Find(qorvdesk::automation::WindowHandle window) const;
    // The top-level window above `window` (itself when it is one).
    qorvdesk::automation::WindowHandle TopLevelOf(qorvdesk::automation::WindowHandle window) const;
    // The views of the shown top-level windows other than the frame, in creation order.
    std::vector<WindowView*> TopLevelViews() const;
    // Applies what changed now rather than on the next turn.
    void ApplyChanges();
    // How many times changes were applied (each a single refresh of what they touched).
    long Applications() const { return applications_; }
    // Called after each application of changes (the frame's view refreshes too).
    void SetAfterApply(std::function<void()> after) { after_ = std::move(after); }

  private:
    void Note(const qorvdesk::automation::Change& change);
    void SyncTopLevels();

    ViewContext& context_;
    const qorvdesk::automation::WindowHandle frame_;
    qorvdesk::automation::SubscriptionId subscription_ = 0;
    std::map<qorvdesk::automation::WindowHandle, WindowView*> views_;
    std::map<qorvdesk::automation::WindowHandle, std::unique_ptr<WindowView>> topLevels_;
    std::vector<qorvdesk::automation::WindowHandle> order_;
    std::function<void()> after_;
    long applications_ = 0;

    std::mutex mutex_;  // guards what the observer notes
    std::map<qorvdesk::automation::WindowHandle, std::set<int>> dirtyControls_;
    std::set<qorvdesk::automation::WindowHandle> dirtyWindows_;
    bool scheduled_ = false;
};

}  // namespace host
