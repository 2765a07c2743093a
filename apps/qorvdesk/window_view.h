#pragma once
// One widget per library window, drawn from what the Driver reads: its controls (placed at
// the rectangles the window lays them out at, or in a tidy column when it keeps none) and its
// child windows (each a WindowView inside it). A top-level view is a window of its own whose
// close box and dropped files go back through the Driver.

#include <QWidget>
#include <map>
#include <memory>
#include <set>

#include "control_widgets.h"

class QBoxLayout;
class QHBoxLayout;
class QVBoxLayout;
class QTabWidget;

namespace host {

class WindowViews;

class WindowView : public QWidget {
    Q_OBJECT
  public:
    WindowView(ViewContext& context, WindowViews& views, qorvdesk::automation::WindowHandle window,
               QWidget* parent);
    ~WindowView() override;

    qorvdesk::automation::WindowHandle handle() const { return window_; }
    // Reads the whole window again: title, state, controls and child windows.
    void Refresh();
    // Reads one control again.
    void RefreshControl(int controlId);
    // The widget of a control, or null.
    QWidget* ControlWidgetOf(int controlId) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Place(ControlWidget& control, const qorvdesk::automation::ControlInfo& info);
    void RefreshChildren();
    // Puts a tree of a window with several trees on a tab of its own: they share the area the
    // library gives them, one shown at a time, as the tabs of a folder bar.
    void PlaceOnTab(ControlWidget& control, const qorvdesk::automation::ControlInfo& info);

    ViewContext& context_;
    WindowViews& views_;
    const qorvdesk::automation::WindowHandle window_;
    QWidget* canvas_;
    QVBoxLayout* column_;
    std::map<int, std::unique_ptr<ControlWidget>> controls_;
    // Where each control placed in the column sits: the column itself, or a row of buttons.
    std::map<int, QBoxLayout*> inColumn_;
    QHBoxLayout* buttonRow_ = nullptr;  // the row the next button joins, while it is the last
    std::map<qorvdesk::automation::WindowHandle, std::unique_ptr<WindowView>> children_;
    std::map<QWidget*, int> tabIds_;      // each tab's control id, to keep them in id order
    std::set<int> tabbedTrees_;           // the trees PlaceOnTab places, once there are two
    QTabWidget* tabs_ = nullptr;          // made for them
    qorvdesk::automation::Rect tabArea_;  // the union of their rectangles
    bool sized_ = false;
    bool closing_ = false;
};

}  // namespace host
