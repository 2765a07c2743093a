#include "measure.h"

#include <sys/resource.h>

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "host_app.h"
#include "loop_driver.h"
#include "ui_steps.h"
#include "window_views.h"

namespace host {
namespace {

constexpr int kAccount = 9000;
constexpr int kPassword = 9001;
constexpr int kLogin = 9004;
constexpr int kBuddies = 6001;
constexpr int kBudgetMs = 60000;
constexpr int kIdleMs = 10000;
constexpr int kChatWindows = 20;

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
        const std::size_t windows = app.views().TopLevelViews().size();
        DoubleClickItem(tree, user);
        if (ProcessUntil([&] { return app.views().TopLevelViews().size() > windows; }, 5000)) {
            ++opened;
        }
        users.clear();
        for (int g = 0; g < tree->topLevelItemCount(); ++g) Users(tree->topLevelItem(g), users);
    }
    std::printf("memory: %ld KiB logged in, %ld KiB with %d chat windows (+%ld KiB)\n", before,
                ResidentKiB(), opened, ResidentKiB() - before);
    app.RequestQuit(0);
    return 0;
}

}  // namespace host
