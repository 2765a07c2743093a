#include "measure.h"

#include <sys/resource.h>

#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "frame_window.h"
#include "host_app.h"
#include "loop_driver.h"
#include "ui_steps.h"
#include "window_view.h"
#include "window_views.h"

namespace host {
namespace {

constexpr int kAccount = 9000;
constexpr int kPassword = 9001;
constexpr int kLogin = 9004;
constexpr int kBuddies = 6001;
constexpr int kDirectory = 6003;
constexpr int kDirectoryTab = 2;
constexpr int kBudgetMs = 60000;
constexpr int kIdleMs = 10000;
constexpr int kChatWindows = 20;
constexpr int kBurst = 1000;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

int Fail(const char* what) {
    std::fprintf(stderr, "qorvdesk --measure: %s did not happen\n", what);
    return 1;
}

// The users (items without children) of a tree, depth first.
void Users(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>& out) {
    if (item->childCount() == 0) out.push_back(item);
    for (int i = 0; i < item->childCount(); ++i) Users(item->child(i), out);
}

// The number of the last burst message ("第N条") among the last few lines of `view`, or 0 (a
// message and its speaker line make two; a whole-document search would cost more than the
// rendering it waits for).
int LastBurstNumber(QTextBrowser* view) {
    static const QRegularExpression numbered(QStringLiteral("^第(\\d+)条$"));
    QTextBlock block = view->document()->lastBlock();
    for (int i = 0; i < 4 && block.isValid(); ++i, block = block.previous()) {
        const QRegularExpressionMatch match = numbered.match(block.text().trimmed());
        if (match.hasMatch()) return match.captured(1).toInt();
    }
    return 0;
}

// A burst of kBurst messages from the echo bot into an open chat window: messages per second
// from the first shown to the last shown.
int MeasureBurst(HostApp& app, QTreeWidget* tree) {
    QTreeWidgetItem* bot = FindTreeItem(tree, QStringLiteral("回声机器人"));
    if (bot == nullptr) return Fail("the echo bot in the tree");
    DoubleClickItem(tree, bot);
    // Its window may be open already (one of the twenty): then it comes to the front.
    QWidget* chat = nullptr;
    if (!ProcessUntil(
            [&] {
                for (WindowView* view : app.views().TopLevelViews()) {
                    if (view->isVisible() &&
                        view->windowTitle().contains(QStringLiteral("回声机器人")))
                        chat = view;
                }
                return chat != nullptr;
            },
            kBudgetMs)) {
        return Fail("the echo bot's chat window");
    }
    auto* view =
        chat->findChild<QTextBrowser*>(QStringLiteral("control-%1").arg(control::kHistory));
    QWidget* input = chat->findChild<QWidget*>(QStringLiteral("control-%1").arg(control::kInput));
    QWidget* send = chat->findChild<QWidget*>(QStringLiteral("control-%1").arg(control::kSend));
    if (view == nullptr || input == nullptr || send == nullptr) return Fail("the chat controls");
    TypeKeys(input, QStringLiteral("连发 %1").arg(kBurst));
    QElapsedTimer sinceSend;
    sinceSend.start();
    ClickAt(send);
    int first = 0;
    if (!ProcessUntil([&] { return (first = LastBurstNumber(view)) > 0; }, kBudgetMs)) {
        return Fail("the burst's first message");
    }
    QElapsedTimer burst;
    burst.start();
    if (!ProcessUntil([&] { return LastBurstNumber(view) == kBurst; }, 10 * kBudgetMs)) {
        return Fail("the burst's last message");
    }
    const double seconds = std::max<double>(burst.elapsed(), 1) / 1000.0;
    // When the whole burst is drawn in one go, only the time from the request tells (the echo
    // bot waits 1.2 s before it answers).
    std::printf(
        "burst of %d incoming messages: %.2f s from the request to the last shown "
        "(1.2 s of it the bot's wait); after the first shown, the last %d in %.2f s\n",
        kBurst, sinceSend.elapsed() / 1000.0, kBurst - first, seconds);
    return 0;
}

// Double-clicks `user` and waits for one more top-level window: true when it came.
bool OpenChatWith(HostApp& app, QTreeWidget* tree, QTreeWidgetItem* user) {
    const std::size_t windows = app.views().TopLevelViews().size();
    DoubleClickItem(tree, user);
    return ProcessUntil([&] { return app.views().TopLevelViews().size() > windows; }, 5000);
}

// Opens chats with people of the organisation, as a person finds them: the directory's tab,
// then each item double-clicked in turn (a unit opens, showing its children to try next; a
// person opens a chat window), until `wanted` more windows are open. Answers how many it
// opened; the buddy list's tab is shown again afterwards.
int OpenFromDirectory(HostApp& app, int wanted) {
    auto* tabs = app.frame().findChild<QTabWidget*>(QStringLiteral("tree-tabs"));
    if (tabs == nullptr || tabs->count() <= kDirectoryTab) return 0;
    tabs->setCurrentIndex(kDirectoryTab);
    QTreeWidget* tree = nullptr;
    ProcessUntil(
        [&] {
            tree = qobject_cast<QTreeWidget*>(FindShownControl(app, kDirectory));
            return tree != nullptr && tree->topLevelItemCount() > 0;
        },
        kBudgetMs);
    int opened = 0;
    // Texts, not items: the tree's items are rebuilt as units load.
    std::vector<QString> next;
    if (tree != nullptr) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            next.push_back(tree->topLevelItem(i)->text(0));
        }
    }
    for (std::size_t at = 0; tree != nullptr && at < next.size() && opened < wanted; ++at) {
        const QString text = next[at];
        QTreeWidgetItem* item = FindTreeItem(tree, text);
        // A unit's placeholder ("(无数据)") is no one to chat with.
        if (item == nullptr || text.startsWith(QLatin1Char('('))) continue;
        const std::size_t windows = app.views().TopLevelViews().size();
        DoubleClickItem(tree, item);
        bool unit = false;
        ProcessUntil(
            [&] {
                item = FindTreeItem(tree, text);
                unit = item != nullptr && item->childCount() > 0 && item->isExpanded();
                return unit || app.views().TopLevelViews().size() > windows;
            },
            5000);
        if (app.views().TopLevelViews().size() > windows) {
            ++opened;
        } else if (unit) {
            for (int i = 0; i < item->childCount(); ++i) next.push_back(item->child(i)->text(0));
        }
    }
    tabs->setCurrentIndex(0);
    ProcessUntil([&] { return FindShownControl(app, kBuddies) != nullptr; }, kBudgetMs);
    return opened;
}

}  // namespace

int RunMeasurements(HostApp& app, const QElapsedTimer& sinceStart) {
    if (!ProcessUntil([&] { return FindShownControl(app, kLogin) != nullptr; }, kBudgetMs)) {
        return Fail("the login panel");
    }
    std::printf("start to login panel: %lld ms\n", static_cast<long long>(sinceStart.elapsed()));

    TypeKeys(FindShownControl(app, kAccount), QStringLiteral("demo"));
    TypeKeys(FindShownControl(app, kPassword), QStringLiteral("demo"));
    QElapsedTimer login;
    login.start();
    ClickAt(FindShownControl(app, kLogin));
    QTreeWidget* tree = nullptr;
    if (!ProcessUntil(
            [&] {
                tree = qobject_cast<QTreeWidget*>(FindShownControl(app, kBuddies));
                return tree != nullptr && tree->topLevelItemCount() > 0;
            },
            kBudgetMs)) {
        return Fail("the main panel");
    }
    std::printf("login press to main panel: %lld ms\n", static_cast<long long>(login.elapsed()));

    // Idle: nothing but what the client itself does (the demo world's presence steps).
    const double cpuBefore = CpuSeconds();
    const long pumpsBefore = app.loop().PumpCount();
    QEventLoop idle;
    QTimer::singleShot(kIdleMs, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("idle CPU over %d s: %.3f s (%.2f %%), %ld pumps\n", kIdleMs / 1000, cpu,
                100.0 * cpu / (kIdleMs / 1000.0), app.loop().PumpCount() - pumpsBefore);

    const long before = ResidentKiB();
    std::vector<QTreeWidgetItem*> users;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree->topLevelItem(i);
        if (!group->isExpanded() && group->childCount() > 0) DoubleClickItem(tree, group);
    }
    ProcessUntil(
        [&] {
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                QTreeWidgetItem* group = tree->topLevelItem(i);
                if (group->childCount() > 0 && !group->isExpanded()) return false;
            }
            return true;
        },
        kBudgetMs);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) Users(tree->topLevelItem(i), users);
    int opened = 0;
    for (int i = 0; i < static_cast<int>(users.size()) && opened < kChatWindows; ++i) {
        // Items may be rebuilt by a refresh: look each one up again by its text.
        const QString text = users[i]->text(0);
        QTreeWidgetItem* user = FindTreeItem(tree, text);
        if (user == nullptr) continue;
        if (OpenChatWith(app, tree, user)) ++opened;
        users.clear();
        for (int g = 0; g < tree->topLevelItemCount(); ++g) Users(tree->topLevelItem(g), users);
    }
    // The buddy list holds fewer people than that: the rest come from the organisation.
    if (opened < kChatWindows) opened += OpenFromDirectory(app, kChatWindows - opened);
    std::printf("memory: %ld KiB logged in, %ld KiB with %d chat windows (+%ld KiB)\n", before,
                ResidentKiB(), opened, ResidentKiB() - before);
    const int burst = MeasureBurst(app, tree);
    app.RequestQuit(burst);
    return burst;
}

}  // namespace host
