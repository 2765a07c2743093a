#include "ui_steps.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidget>

#include "frame_window.h"
#include "host_app.h"
#include "window_view.h"
#include "window_views.h"

namespace host {

bool ProcessUntil(const std::function<bool()>& condition, int budgetMs) {
    QDeadlineTimer deadline(budgetMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(
            QEventLoop::WaitForMoreEvents,
            static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    return true;
}

namespace {
QWidget* ShownIn(QWidget* root, int id) {
    for (QWidget* widget : root->findChildren<QWidget*>(QStringLiteral("control-%1").arg(id))) {
        if (widget->isVisible()) return widget;
    }
    return nullptr;
}
}  // namespace

QWidget* FindShownControl(HostApp& app, int id) {
    if (QWidget* found = ShownIn(&app.frame(), id)) return found;
    for (WindowView* view : app.views().TopLevelViews()) {
        if (QWidget* found = ShownIn(view, id)) return found;
    }
    return nullptr;
}

QWidget* FindShownWindowWithControl(HostApp& app, int id) {
    for (WindowView* view : app.views().TopLevelViews()) {
        if (ShownIn(view, id) != nullptr) return view;
    }
    return nullptr;
}

void ClickAt(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

void TypeKeys(QWidget* widget, const QString& text) {
    widget->setFocus(Qt::MouseFocusReason);
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &release);
    }
}

QTreeWidgetItem* FindTreeItem(QTreeWidget* tree, const QString& part) {
    std::function<QTreeWidgetItem*(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        if (item->text(0).contains(part)) return item;
        for (int i = 0; i < item->childCount(); ++i) {
            if (QTreeWidgetItem* found = walk(item->child(i))) return found;
        }
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (QTreeWidgetItem* found = walk(tree->topLevelItem(i))) return found;
    }
    return nullptr;
}

void DoubleClickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    QWidget* viewport = tree->viewport();
    const QPointF at = QRectF(tree->visualItemRect(item)).center();
    const QPointF global = viewport->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
}

}  // namespace host
