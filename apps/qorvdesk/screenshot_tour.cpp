#include "screenshot_tour.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTreeWidget>
#include <cstdio>

#include "frame_window.h"
#include "host_app.h"
#include "ui_steps.h"
#include "window_view.h"
#include "window_views.h"

namespace host {
namespace {

using namespace control;

constexpr int kStepBudgetMs = 30000;
const QString kBot = QStringLiteral("回声机器人");

int Fail(const char* step) {
    std::fprintf(stderr, "qorvdesk --screenshot: %s did not happen\n", step);
    return 1;
}

QString FileName(int index, const QWidget& window) {
    QString title = window.windowTitle();
    title.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>| ]")), QStringLiteral("_"));
    return QStringLiteral("%1-%2.png").arg(index, 2, 10, QLatin1Char('0')).arg(title);
}

}  // namespace

int RunScreenshotTour(HostApp& app, const QString& dir) {
    if (!QDir().mkpath(dir)) return Fail("making the folder");
    if (!ProcessUntil([&] { return FindShownControl(app, kLogin) != nullptr; }, kStepBudgetMs)) {
        return Fail("the login panel");
    }
    TypeKeys(FindShownControl(app, kAccount), QStringLiteral("demo"));
    TypeKeys(FindShownControl(app, kPassword), QStringLiteral("demo"));
    ClickAt(FindShownControl(app, kLogin));

    QTreeWidget* tree = nullptr;
    QTreeWidgetItem* bot = nullptr;
    const bool loaded = ProcessUntil(
        [&] {
            tree = qobject_cast<QTreeWidget*>(FindShownControl(app, kBuddies));
            bot = tree == nullptr ? nullptr : FindTreeItem(tree, kBot);
            return bot != nullptr;
        },
        kStepBudgetMs);
    if (!loaded) return Fail("the buddy list with the bot");
    // Open the groups above the bot, as a person does, until its row shows.
    bool opened = false;
    const bool shown = ProcessUntil(
        [&] {
            bot = FindTreeItem(tree, kBot);
            if (bot == nullptr) return false;
            for (QTreeWidgetItem* above = bot->parent(); above != nullptr;
                 above = above->parent()) {
                if (!above->isExpanded()) {
                    if (!opened) {
                        opened = true;
                        DoubleClickItem(tree, above);
                    }
                    return false;
                }
            }
            return true;
        },
        kStepBudgetMs);
    if (!shown) return Fail("the bot's row");
    DoubleClickItem(tree, bot);
    if (!ProcessUntil([&] { return FindShownWindowWithControl(app, kInput) != nullptr; },
                      kStepBudgetMs)) {
        return Fail("the chat window");
    }
    QWidget* chat = FindShownWindowWithControl(app, kInput);
    QWidget* input = chat->findChild<QWidget*>(QStringLiteral("control-%1").arg(kInput));
    ClickAt(input);
    TypeKeys(input, QStringLiteral("你好#(14)#"));
    ClickAt(chat->findChild<QWidget*>(QStringLiteral("control-%1").arg(kSend)));
    auto* history = chat->findChild<QTextBrowser*>(QStringLiteral("control-%1").arg(kHistory));
    const bool answered = ProcessUntil(
        [&] {
            const QString text = history == nullptr ? QString() : history->toPlainText();
            return text.count(QStringLiteral("你好")) >= 2 || text.count(kBot) >= 1;
        },
        kStepBudgetMs);
    if (!answered) return Fail("the bot's answer");

    int index = 1;
    std::vector<QWidget*> windows{&app.frame()};
    for (WindowView* view : app.views().TopLevelViews()) windows.push_back(view);
    for (QWidget* window : windows) {
        const QString path = QDir(dir).filePath(FileName(index++, *window));
        if (!window->grab().save(path)) return Fail("writing a picture");
        std::printf("%s\n", qPrintable(path));
    }
    app.RequestQuit(0);
    return app.Finished() ? 0 : Fail("quitting");
}

}  // namespace host
