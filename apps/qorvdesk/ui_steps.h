#pragma once
// What a person does at the screen, as widget events, and bounded waits that keep Qt's and
// the library's loops turning until something shows. The screenshot tour uses them.

#include <QString>
#include <functional>

class QWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace host {

class HostApp;

// The controls a person's steps touch, as the library numbers them: the login panel's account,
// password and login button, the main panel's buddy tree, and a chat window's history, input
// and send button.
namespace control {
inline constexpr int kAccount = 9000;
inline constexpr int kPassword = 9001;
inline constexpr int kLogin = 9004;
inline constexpr int kBuddies = 6001;
inline constexpr int kHistory = 1001;
inline constexpr int kInput = 1002;
inline constexpr int kSend = 1003;
}  // namespace control

// Handles events (blocking while there are none) until `condition` holds: true, or false once
// `budgetMs` passed. The budget only stops a wait that would never end.
bool ProcessUntil(const std::function<bool()>& condition, int budgetMs);

// A shown widget of control `id` in the program's windows (the frame first), or null.
QWidget* FindShownControl(HostApp& app, int id);
// The shown top-level window (not the frame) that has a shown control `id`, or null.
QWidget* FindShownWindowWithControl(HostApp& app, int id);

void ClickAt(QWidget* widget);
void TypeKeys(QWidget* widget, const QString& text);
// The first item, depth first, whose text contains `part`; null when none.
QTreeWidgetItem* FindTreeItem(QTreeWidget* tree, const QString& part);
void DoubleClickItem(QTreeWidget* tree, QTreeWidgetItem* item);

}  // namespace host
