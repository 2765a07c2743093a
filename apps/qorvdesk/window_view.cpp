#include "window_view.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <vector>

#include "gbk_bridge.h"
#include "loop_driver.h"
#include "window_views.h"

namespace host {

using qorvdesk::automation::ControlInfo;
using qorvdesk::automation::Rect;
using qorvdesk::automation::WindowHandle;

namespace {
bool IsEmpty(const Rect& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }
}  // namespace

WindowView::WindowView(ViewContext& context, WindowViews& views, WindowHandle window,
                       QWidget* parent)
    : QWidget(parent), context_(context), views_(views), window_(window) {
    setObjectName(QStringLiteral("window-%1").arg(window));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    canvas_ = new QWidget(this);
    outer->addWidget(canvas_);
    column_ = new QVBoxLayout(canvas_);
    column_->setContentsMargins(8, 8, 8, 8);
    column_->addStretch(0);
    setAcceptDrops(true);
    views_.Register(*this);
}

WindowView::~WindowView() {
    children_.clear();
    views_.Unregister(*this);
}

QWidget* WindowView::ControlWidgetOf(int controlId) const {
    auto found = controls_.find(controlId);
    return found == controls_.end() ? nullptr : found->second->widget();
}

void WindowView::Refresh() {
    const auto info = context_.driver.Describe(window_);
    if (!info) return;
    setWindowTitle(FromGbk(info->title));
    setEnabled(info->enabled);
    setProperty("qorvClass", FromGbk(info->className));
    if (isWindow() && !sized_ && !IsEmpty(info->rect)) {
        sized_ = true;
        resize(info->rect.right - info->rect.left, info->rect.bottom - info->rect.top);
    }
    const std::vector<ControlInfo> controls = context_.driver.Controls(window_);
    std::set<int> laidOutTrees;
    Rect area;
    for (const ControlInfo& control : controls) {
        if (control.kind != qorvdesk::automation::ControlKind::Tree || IsEmpty(control.rect)) {
            continue;
        }
        laidOutTrees.insert(control.id);
        const Rect& r = control.rect;
        area = laidOutTrees.size() == 1
                   ? r
                   : Rect{std::min(area.left, r.left), std::min(area.top, r.top),
                          std::max(area.right, r.right), std::max(area.bottom, r.bottom)};
    }
    if (laidOutTrees.size() >= 2) {
        tabbedTrees_.insert(laidOutTrees.begin(), laidOutTrees.end());
        tabArea_ = area;
    }
    std::set<int> present;
    for (const ControlInfo& control : controls) {
        present.insert(control.id);
        auto& slot = controls_[control.id];
        if (!slot) slot = MakeControlWidget(context_, window_, control, canvas_);
        Place(*slot, control);
        slot->Update(control);
    }
    for (auto it = controls_.begin(); it != controls_.end();) {
        if (present.count(it->first) == 0) {
            if (auto found = inColumn_.find(it->first); found != inColumn_.end()) {
                found->second->removeWidget(it->second->widget());
                inColumn_.erase(found);
            }
            it = controls_.erase(it);
        } else {
            ++it;
        }
    }
    RefreshChildren();
}

void WindowView::RefreshControl(int controlId) {
    auto found = controls_.find(controlId);
    if (found == controls_.end()) {
        Refresh();  // a control this view has not made yet
        return;
    }
    if (const auto info = context_.driver.DescribeControl(window_, controlId)) {
        Place(*found->second, *info);
        found->second->Update(*info);
    }
}

void WindowView::PlaceOnTab(ControlWidget& control, const ControlInfo& info) {
    if (tabs_ == nullptr) {
        tabs_ = new QTabWidget(canvas_);
        tabs_->setObjectName(QStringLiteral("tree-tabs"));
        tabs_->setDocumentMode(true);
        tabs_->show();
    }
    tabs_->setGeometry(tabArea_.left, tabArea_.top, tabArea_.right - tabArea_.left,
                       tabArea_.bottom - tabArea_.top);
    QWidget* widget = control.widget();
    const QString label = info.text.empty() ? QStringLiteral("联系人") : FromGbk(info.text);
    const int tab = tabs_->indexOf(widget);
    if (tab < 0) {
        // Tabs stand in the order of their control ids (the buddy list first), whenever each
        // tree is made; the first one stays in front.
        int at = 0;
        for (; at < tabs_->count(); ++at) {
            const auto placed = tabIds_.find(tabs_->widget(at));
            if (placed != tabIds_.end() && placed->second > info.id) break;
        }
        tabIds_[widget] = info.id;
        tabs_->insertTab(at, widget, label);
        if (at == 0) tabs_->setCurrentIndex(0);
    } else if (tabs_->tabText(tab) != label) {
        tabs_->setTabText(tab, label);
    }
}

void WindowView::Place(ControlWidget& control, const ControlInfo& info) {
    QWidget* widget = control.widget();
    if (tabbedTrees_.count(info.id) != 0) {
        PlaceOnTab(control, info);
        return;
    }
    if (!IsEmpty(info.rect)) {
        if (auto found = inColumn_.find(info.id); found != inColumn_.end()) {
            found->second->removeWidget(widget);
            inColumn_.erase(found);
        }
        widget->setGeometry(info.rect.left, info.rect.top, info.rect.right - info.rect.left,
                            info.rect.bottom - info.rect.top);
        return;
    }
    if (inColumn_.count(info.id) != 0) return;
    // Buttons made one after another share a row, as a tool bar does; anything else takes a
    // line of its own, before the stretch that closes the column.
    constexpr int kButtonsPerRow = 5;
    if (info.kind == qorvdesk::automation::ControlKind::Button) {
        if (buttonRow_ == nullptr || buttonRow_->count() >= kButtonsPerRow) {
            buttonRow_ = new QHBoxLayout;
            column_->insertLayout(column_->count() - 1, buttonRow_);
        }
        buttonRow_->addWidget(widget);
        inColumn_[info.id] = buttonRow_;
        return;
    }
    buttonRow_ = nullptr;
    column_->insertWidget(column_->count() - 1, widget, control.Stretches() ? 1 : 0);
    inColumn_[info.id] = column_;
}

void WindowView::RefreshChildren() {
    std::set<WindowHandle> present;
    for (const auto& child : context_.driver.Children(window_)) {
        present.insert(child.handle);
        auto& slot = children_[child.handle];
        if (!slot) {
            slot = std::make_unique<WindowView>(context_, views_, child.handle, canvas_);
            buttonRow_ = nullptr;
            column_->insertWidget(column_->count() - 1, slot.get(), 1);
        }
        slot->Refresh();
        slot->setVisible(child.visible);
    }
    for (auto it = children_.begin(); it != children_.end();) {
        it = present.count(it->first) == 0 ? children_.erase(it) : std::next(it);
    }
}

void WindowView::closeEvent(QCloseEvent* event) {
    // The library decides whether the window closes; the view follows what it reports.
    event->ignore();
    if (closing_) return;
    closing_ = true;
    const bool ok = context_.driver.Close(window_);
    closing_ = false;
    if (!ok)
        std::fprintf(stderr, "qorvdesk: close refused: %s\n", context_.driver.LastError().c_str());
    context_.loop.PumpSoon();
}

void WindowView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void WindowView::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        const std::optional<std::string> gbk = ToGbk(path);
        if (!gbk) {
            RefuseCharacter(this, FirstNonGbkCharacter(path));
            return;
        }
        paths.push_back(*gbk);
    }
    if (paths.empty()) return;
    event->acceptProposedAction();
    const WindowHandle target = views_.TopLevelOf(window_);
    if (!context_.driver.DropFiles(target, paths)) {
        std::fprintf(stderr, "qorvdesk: drop refused: %s\n", context_.driver.LastError().c_str());
    }
    context_.loop.PumpSoon();
}

}  // namespace host
