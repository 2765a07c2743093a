#pragma once
// One Qt widget per library control, by kind: label -> QLabel, edit -> QLineEdit, button,
// check box, combo box, progress bar, list -> QTreeWidget with columns, tree -> QTreeWidget
// with icons, bold items and check boxes, rich edit -> RichTextView, web view -> a Qt WebEngine
// view (web_page_view.h). A widget shows what the
// Driver reads and sends what the person does back through the Driver's actions only.

#include <QString>
#include <functional>
#include <memory>

#include "qorvdesk/automation.h"

class QWidget;

namespace host {

class LoopDriver;

// What every view and control of the host shares.
struct ViewContext {
    qorvdesk::automation::Driver& driver;
    LoopDriver& loop;
    // A person double-clicked a tree item without children (a contact): the program's own
    // action for it, after the window had the double click. May be empty.
    std::function<void(qorvdesk::automation::WindowHandle window, int treeId)> contactActivated;
};

class ControlWidget {
  public:
    ControlWidget(ViewContext& context, qorvdesk::automation::WindowHandle window, int id)
        : context_(context), window_(window), id_(id) {}
    virtual ~ControlWidget() = default;
    ControlWidget(const ControlWidget&) = delete;
    ControlWidget& operator=(const ControlWidget&) = delete;

    virtual QWidget* widget() = 0;
    // Shows the control's state: `info` and whatever else its kind reads through the Driver.
    virtual void Update(const qorvdesk::automation::ControlInfo& info) = 0;
    // Whether the widget stretches to fill the room a column gives it.
    virtual bool Stretches() const { return false; }
    int id() const { return id_; }

  protected:
    // After an action: the library's handlers may have queued work; a refused action is
    // written to the log of the program (stderr).
    void Acted(bool ok, const char* action);
    // Presses a key in the control's window (Enter, Escape), as a person does.
    void PressKey(std::uint32_t virtualKey, qorvdesk::automation::KeyModifier modifier);
    void ApplyCommon(const qorvdesk::automation::ControlInfo& info);

    ViewContext& context_;
    const qorvdesk::automation::WindowHandle window_;
    const int id_;
};

std::unique_ptr<ControlWidget> MakeControlWidget(ViewContext& context,
                                                 qorvdesk::automation::WindowHandle window,
                                                 const qorvdesk::automation::ControlInfo& info,
                                                 QWidget* parent);

// Tells the person that a character they typed cannot be taken (GBK lacks it); the text
// stays as it was. Not modal: the box waits beside the window.
void RefuseCharacter(QWidget* near, const QString& character);

// The object name a control's widget carries, for finding it ("control-9004").
QString ControlObjectName(int id);

}  // namespace host
