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
