// The desktop program as a person uses it, on Qt's offscreen platform: every step is a mouse
// or keyboard event on the program's real widgets, against the library and its embedded
// server with the demo world. The steps run in order on one client (the library is one per
// process), each picturing the windows it left under the build folder.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QWebEngineView>
#include <memory>
#include <optional>

#include "box_answerer.h"
#include "file_dialog_answerer.h"
#include "frame_window.h"
#include "gbk_bridge.h"
#include "host_app.h"
#include "notices.h"
#include "rich_text_rendering_test.h"
#include "rich_text_view.h"
#include "tray.h"
#include "ui_steps.h"
#include "window_view.h"
#include "window_views.h"

namespace {

using namespace host::control;

// A budget that only ends a step that would never finish; the steps wait for what they see.
constexpr int kBudgetMs = 20000;
const QString kBot = QStringLiteral("回声机器人");
const QString kBotGroup = QStringLiteral("机器人");
// The chat window's "历史消息" button and the message manager's page.
constexpr int kHistoryButton = 1206;
constexpr int kManagerPage = 1550;
// The manager's first-page button, its "页/%d页" label and its page-size choice.
constexpr int kFirstPageButton = 1540;
constexpr int kPageCountLabel = 1545;
constexpr int kPageSizeCombo = 1546;
// The batch composer's recipients, contents, counter (with the SMS quota), send and close.
constexpr int kSmsRecipients = 1502;
constexpr int kSmsContents = 1507;
constexpr int kSmsCounter = 1508;
constexpr int kSmsSend = 1519;
constexpr int kSmsClose = 1520;
// The chat window's "发送文件" button and the transfer panel's first row (label, bar).
constexpr int kSendFileButton = 1102;
constexpr int kTransferLine = 1401;
constexpr int kTransferBar = 1411;

// The names of the images a document shows, in order.
QStringList ImagesOf(const QTextDocument& document) {
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) names << format.toImageFormat().name();
        }
    }
    return names;
}

// Chinese comes from the input method as a committed string, as a person's typing does.
void Compose(QWidget* widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

// The SMS count a quota text leaves ("您今日还可发送短信次数 50"), or -1 when it names none.
int SmsLeftIn(const QString& text) {
    static const QRegularExpression count(QStringLiteral("短信次数 (\\d+)"));
    const QRegularExpressionMatch match = count.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Clicks the link whose text is `word` in a message view, where it shows on screen; false
// when the view has no such link (the last one counts when several do).
bool ClickLinkWord(QTextBrowser* view, const QString& word) {
    QTextDocument* document = view->document();
    int position = -1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int at = fragment.text().indexOf(word);
            if (at >= 0 && fragment.charFormat().isAnchor()) position = fragment.position() + at;
        }
    }
    if (position < 0) return false;
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);  // inside the word, not at its edge
    view->ensureCursorVisible();
    view->setTextCursor(cursor);
    view->ensureCursorVisible();
    const QPoint at = view->cursorRect(cursor).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    return true;
}

// A person's double click: a click, then the second press that makes it double.
void DoubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class HostFlowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<host::HostApp> app_;
    QTemporaryDir files_;
    QPointer<QWidget> chat_;
    QPointer<QWebEngineView> manager_;
    int step_ = 0;

    QWidget* Control(int id) { return host::FindShownControl(*app_, id); }
    template <typename Widget>
    Widget* ChatControl(int id) {
        return chat_ ? chat_->findChild<Widget*>(host::ControlObjectName(id)) : nullptr;
    }
    bool Until(const std::function<bool()>& condition) {
        return host::ProcessUntil(condition, kBudgetMs);
    }
    // Pictures of every shown window, kept as the step's artefacts.
    void Picture(const QString& step) {
        const QString dir = QStringLiteral(QORV_HOST_TEST_ARTEFACTS);
        QDir().mkpath(dir);
        std::vector<QWidget*> windows{&app_->frame()};
        for (host::WindowView* view : app_->views().TopLevelViews()) windows.push_back(view);
        int index = 0;
        for (QWidget* window : windows) {
            window->grab().save(QDir(dir).filePath(QStringLiteral("%1-%2-%3.png")
                                                       .arg(++step_, 2, 10, QLatin1Char('0'))
                                                       .arg(step)
                                                       .arg(index++)));
        }
    }
    void OpenBotChat() {
        auto* tree = qobject_cast<QTreeWidget*>(Control(kBuddies));
        QVERIFY(tree != nullptr);
        QTreeWidgetItem* group = nullptr;
        QVERIFY(Until([&] { return (group = host::FindTreeItem(tree, kBotGroup)) != nullptr; }));
        if (!group->isExpanded()) {
            DoubleClick(tree, group);
            QVERIFY(Until([&] {
                group = host::FindTreeItem(tree, kBotGroup);
                return group != nullptr && group->isExpanded();
            }));
        }
        QTreeWidgetItem* bot = host::FindTreeItem(tree, kBot);
        QVERIFY(bot != nullptr);
        DoubleClick(tree, bot);
        QVERIFY(Until([&] {
            chat_ = host::FindShownWindowWithControl(*app_, kInput);
            return chat_ != nullptr;
        }));
    }
    // Types `composed` through the input method, then `typed` on the keyboard, and sends.
    void Send(const QString& composed, const QString& typed) {
        auto* input = ChatControl<QTextBrowser>(kInput);
        QVERIFY(input != nullptr);
        QTest::mouseClick(input->viewport(), Qt::LeftButton);
        QVERIFY(!input->isReadOnly());
        Compose(input, composed);
        QTest::keyClicks(input, typed);
        QTest::mouseClick(ChatControl<QPushButton>(kSend), Qt::LeftButton);
    }

  private slots:
    void initTestCase() {
        host::HostOptions options;
        options.demoWorld = true;
        app_ = std::make_unique<host::HostApp>(options);
        QVERIFY(app_->Start());
        QVERIFY(Until([&] { return Control(kLogin) != nullptr; }));
        Picture(QStringLiteral("login-panel"));
    }

    void logsInWithMouseAndKeyboard() {
        auto* account = qobject_cast<QComboBox*>(Control(kAccount));
        auto* password = qobject_cast<QLineEdit*>(Control(kPassword));
        QVERIFY(account != nullptr && account->isEditable() && password != nullptr);
        QTest::mouseClick(account->lineEdit(), Qt::LeftButton);
        account->lineEdit()->selectAll();
        QTest::keyClicks(account->lineEdit(), QStringLiteral("demo"));
        QTest::mouseClick(password, Qt::LeftButton);
        QTest::keyClicks(password, QStringLiteral("demo"));
        // The password is hidden on screen, as the library shows it.
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QTest::keyClick(password, Qt::Key_Return);
        QVERIFY(Until([&] { return Control(kBuddies) != nullptr; }));
        QVERIFY(Control(kLogin) == nullptr);  // the main panel took the login panel's place
        QVERIFY(Until([&] { return app_->LoggedIn(); }));
        Picture(QStringLiteral("main-panel"));
    }

    void showsTheTreesOnTabsNamedAfterThem() {
        auto* tabs = app_->frame().findChild<QTabWidget*>(QStringLiteral("tree-tabs"));
        QVERIFY(tabs != nullptr);
        QStringList labels;
        for (int i = 0; i < tabs->count(); ++i) labels << tabs->tabText(i);
        // The rooms tree comes last, after the three contact trees.
        QCOMPARE(labels.size(), 4);
        QCOMPARE(labels.mid(0, 3),
                 (QStringList{QStringLiteral("我的好友"), QStringLiteral("电话簿"),
                              QStringLiteral("公共通讯录")}));
        QVERIFY(Control(kBuddies) != nullptr);
        constexpr int kDirectory = 6003;
        QVERIFY(Control(kDirectory) == nullptr);  // behind its tab
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        QVERIFY(Until([&] { return Control(kDirectory) != nullptr; }));
        QVERIFY(Control(kBuddies) == nullptr);
        Picture(QStringLiteral("directory-tab"));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QVERIFY(Until([&] { return Control(kBuddies) != nullptr; }));
    }

    void opensAUnitOfTheDirectoryWithADoubleClick() {
        auto* tabs = app_->frame().findChild<QTabWidget*>(QStringLiteral("tree-tabs"));
        QVERIFY(tabs != nullptr);
        constexpr int kDirectory = 6003;
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        QTreeWidget* tree = nullptr;
        QVERIFY(Until([&] { return (tree = qobject_cast<QTreeWidget*>(Control(kDirectory))); }));
        QVERIFY(Until([&] { return tree->topLevelItemCount() > 0; }));
        // The organisation's top unit shows its units only once opened.
        QTreeWidgetItem* top = tree->topLevelItem(0);
        QCOMPARE(top->childCount(), 0);
        const int windows = static_cast<int>(app_->views().TopLevelViews().size());
        DoubleClick(tree, top);
        QVERIFY(Until([&] {
            top = tree->topLevelItem(0);
            return top != nullptr && top->childCount() > 0 && top->isExpanded();
        }));
        // A unit opens no window of its own.
        QCOMPARE(static_cast<int>(app_->views().TopLevelViews().size()), windows);
        Picture(QStringLiteral("directory-opened"));
        // The unit shuts on the next double click.
        DoubleClick(tree, top);
        QVERIFY(Until([&] {
            top = tree->topLevelItem(0);
            return top != nullptr && top->childCount() > 0 && !top->isExpanded();
        }));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QVERIFY(Until([&] { return Control(kBuddies) != nullptr; }));
    }

    void opensAContactFromTheTree() {
        OpenBotChat();
        QVERIFY(!QTest::currentTestFailed() && chat_ != nullptr);
        QVERIFY(chat_->windowTitle().contains(kBot));
        Picture(QStringLiteral("chat-window"));
    }

    void sendsTextWithAFaceAndSeesTheFace() {
        QVERIFY(chat_ != nullptr);
        Send(QStringLiteral("你好"), QStringLiteral("#(14)#"));
        QVERIFY(!QTest::currentTestFailed());
        auto* history = ChatControl<QTextBrowser>(kHistory);
        QVERIFY(history != nullptr);
        QVERIFY(Until([&] { return history->toPlainText().contains(QStringLiteral("你好")); }));
        QVERIFY(Until(
            [&] { return ImagesOf(*history->document()).contains(host::FaceResourceName(14)); }));
        // The face is the marker's picture, not its text; the input is empty again.
        QVERIFY(!history->toPlainText().contains(QStringLiteral("#(14)#")));
        QVERIFY(Until([&] { return ChatControl<QTextBrowser>(kInput)->toPlainText().isEmpty(); }));
        Picture(QStringLiteral("sent"));
    }

    void receivesTheBotsAnswer() {
        auto* history = ChatControl<QTextBrowser>(kHistory);
        QVERIFY(history != nullptr);
        // The echo bot sends the text back with the face: two of each then.
        QVERIFY(Until([&] {
            return history->toPlainText().count(QStringLiteral("你好")) >= 2 &&
                   ImagesOf(*history->document()).count(host::FaceResourceName(14)) >= 2;
        }));
        Picture(QStringLiteral("answered"));
    }

    // Runs `script` in the page and answers its value (invalid when it never answered).
    QVariant InPage(QWebEngineView* view, const QString& script) {
        auto answer = std::make_shared<std::optional<QVariant>>();
        view->page()->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
        if (!Until([&] { return answer->has_value(); })) return {};
        return **answer;
    }

    void opensTheMessageManagerFromTheChatWindow() {
        QVERIFY(chat_ != nullptr);
        QTest::mouseClick(ChatControl<QPushButton>(kHistoryButton), Qt::LeftButton);
        QWebEngineView* web = nullptr;
        QVERIFY(Until([&] {
            web = qobject_cast<QWebEngineView*>(Control(kManagerPage));
            return web != nullptr;
        }));
        // The conversation so far: two greetings with their faces, as text and pictures.
        QVERIFY(Until([&] {
            return InPage(web, QStringLiteral("document.querySelectorAll('.record').length"))
                       .toInt() >= 2;
        }));
        const QString contents =
            InPage(web, QStringLiteral("[...document.querySelectorAll('.record .contents')]"
                                       ".map(e => e.textContent).join('|')"))
                .toString();
        QVERIFY2(contents.count(QStringLiteral("你好")) >= 2, qPrintable(contents));
        QVERIFY(!contents.contains(QStringLiteral("#(14)#")));
        QVERIFY(Until([&] {
            return InPage(web, QStringLiteral("[...document.querySelectorAll('img.face')]"
                                              ".filter(i => i.complete && i.naturalWidth > 0)"
                                              ".length"))
                       .toInt() >= 2;
        }));
        manager_ = web;
        Picture(QStringLiteral("message-manager"));
    }

    void selectsARecordAndMovesWithTheArrowKeys() {
        QWebEngineView* web = manager_;
        QVERIFY(web != nullptr);
        auto* view = qobject_cast<host::WindowView*>(web->window());
        QVERIFY(view != nullptr);
        auto selection = [&] {
            const auto page = app_->driver().ReadWebPage(view->handle(), kManagerPage);
            return page ? host::FromGbk(page->selection) : QString();
        };
        // The lowest record: its id is the last one the page shows (newest first).
        const QString lowest = InPage(web, QStringLiteral("(() => { const r = [...document."
                                                          "querySelectorAll('.record')].pop();"
                                                          " r.click(); return r.dataset.id; })()"))
                                   .toString();
        QVERIFY(!lowest.isEmpty());
        QVERIFY(Until([&] { return selection() == lowest; }));
        // Up is the window's to answer: it selects the next record in the page.
        const QString next = QString::number(lowest.toInt() + 1);
        web->setFocus();
        QTest::keyClick(web->focusProxy(), Qt::Key_Up);
        QVERIFY(Until(
            [&] { return InPage(web, QStringLiteral("window.GetSel()")).toString() == next; }));
        QVERIFY(Until([&] { return selection() == next; }));
        // The view never leaves its page; the page still reports afterwards.
        InPage(web, QStringLiteral("location.href = 'file:///etc/hostname'; 0"));
        QCOMPARE(
            InPage(web, QStringLiteral("document.getElementById('records') !== null")).toBool(),
            true);
        QVERIFY(web->url().path().endsWith(QStringLiteral("template/msgmgr.html")));
        Picture(QStringLiteral("message-manager-selected"));
        web->window()->close();
    }

    // The ids of the records the page shows, in its order.
    QStringList RecordIds(QWebEngineView* web) {
        return InPage(web, QStringLiteral("[...document.querySelectorAll('.record')]"
                                          ".map(r => r.dataset.id).join(',')"))
            .toString()
            .split(QLatin1Char(','), Qt::SkipEmptyParts);
    }

    void pagesThroughALongConversationInTheManager() {
        QVERIFY(chat_ != nullptr);
        auto* history = ChatControl<QTextBrowser>(kHistory);
        QVERIFY(history != nullptr);
        // Fifteen more greetings and their echoes: more than one page of 30.
        constexpr int kMore = 15;
        const int before = history->toPlainText().count(QStringLiteral("翻页"));
        for (int i = 1; i <= kMore; ++i) {
            Send(QStringLiteral("翻页"), QString::number(i));
            QVERIFY(!QTest::currentTestFailed());
            QVERIFY(
                Until([&] { return ChatControl<QTextBrowser>(kInput)->toPlainText().isEmpty(); }));
        }
        QVERIFY(Until([&] {
            return history->toPlainText().count(QStringLiteral("翻页")) >= before + 2 * kMore;
        }));

        QTest::mouseClick(ChatControl<QPushButton>(kHistoryButton), Qt::LeftButton);
        QWebEngineView* web = nullptr;
        QVERIFY(Until([&] {
            web = qobject_cast<QWebEngineView*>(Control(kManagerPage));
            return web != nullptr;
        }));
        QWidget* manager = web->window();
        auto* pages = manager->findChild<QLabel*>(host::ControlObjectName(kPageCountLabel));
        auto* size = manager->findChild<QComboBox*>(host::ControlObjectName(kPageSizeCombo));
        auto* first = manager->findChild<QPushButton*>(host::ControlObjectName(kFirstPageButton));
        QVERIFY(pages != nullptr && size != nullptr && first != nullptr);
        QCOMPARE(size->currentText(), QStringLiteral("30"));
        QVERIFY(Until([&] { return pages->text() == QStringLiteral("页/2页"); }));

        // The load shows the last page; the first page holds other records.
        QStringList last;
        QVERIFY(Until([&] { return !(last = RecordIds(web)).isEmpty(); }));
        QTest::mouseClick(first, Qt::LeftButton);
        QStringList firstPage;
        QVERIFY(Until([&] {
            firstPage = RecordIds(web);
            return !firstPage.isEmpty() && firstPage != last;
        }));
        for (const QString& id : firstPage) QVERIFY2(!last.contains(id), qPrintable(id));
        QVERIFY(firstPage.size() == 30 || last.size() == 30);
        Picture(QStringLiteral("message-manager-first-page"));

        // 50 a page, chosen with the keyboard: one page with every record of both.
        size->setFocus();
        QTest::keyClick(size, Qt::Key_Down);
        QVERIFY(Until([&] { return pages->text() == QStringLiteral("页/1页"); }));
        QCOMPARE(size->currentText(), QStringLiteral("50"));
        QStringList all;
        QVERIFY(
            Until([&] { return (all = RecordIds(web)).size() == firstPage.size() + last.size(); }));
        for (const QString& id : firstPage + last) QVERIFY2(all.contains(id), qPrintable(id));
        Picture(QStringLiteral("message-manager-fifty"));
        manager->close();
        QVERIFY(Until([&] { return Control(kManagerPage) == nullptr; }));
    }

    void sendingNothingShowsTheNotice() {
        QVERIFY(chat_ != nullptr);
        const int before = app_->notices().count();
        QTest::mouseClick(ChatControl<QPushButton>(kSend), Qt::LeftButton);
        QVERIFY(Until([&] { return app_->notices().count() > before; }));
        QCOMPARE(app_->notices().lastText(), QStringLiteral("请输入消息内容"));
    }

    void refusesACharacterGbkCannotHold() {
        auto* input = ChatControl<QTextBrowser>(kInput);
        QVERIFY(input != nullptr);
        QTest::mouseClick(input->viewport(), Qt::LeftButton);
        QTest::keyClicks(input, QStringLiteral("ab"));
        Compose(input, QString::fromUcs4(U"\U0001F600"));
        QMessageBox* refusal = nullptr;
        QVERIFY(Until([&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == QLatin1String("refusedCharacter") && top->isVisible())
                    refusal = qobject_cast<QMessageBox*>(top);
            }
            return refusal != nullptr;
        }));
        // The text stays as typed before, never with a '?' in it.
        QCOMPARE(input->toPlainText(), QStringLiteral("ab"));
        Picture(QStringLiteral("refused-character"));
        QTest::mouseClick(refusal->button(QMessageBox::Ok), Qt::LeftButton);
        input->selectAll();
        QTest::keyClick(input, Qt::Key_Backspace);
        QVERIFY(Until([&] { return input->toPlainText().isEmpty(); }));
    }

    // The first row of the chat window's transfer panel, while it is shown.
    QProgressBar* TransferBar() {
        auto* bar = ChatControl<QProgressBar>(kTransferBar);
        return bar != nullptr && bar->isVisible() ? bar : nullptr;
    }
    QString TransferLine() {
        auto* line = ChatControl<QLabel>(kTransferLine);
        return line != nullptr && line->isVisible() ? line->text() : QString();
    }

    void sendsAFileToTheBotWithProgressInThePanel() {
        QVERIFY(chat_ != nullptr && files_.isValid());
        const QString path = QDir(files_.path()).filePath(QStringLiteral("report.bin"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(10 * 1048576));  // ten chunks of the server's
        }
        auto* history = ChatControl<QTextBrowser>(kHistory);
        QVERIFY(history != nullptr);
        {
            FileDialogAnswerer chooser(path);
            QTest::mouseClick(ChatControl<QPushButton>(kSendFileButton), Qt::LeftButton);
            QVERIFY(chooser.answered());
            QCOMPARE(chooser.title(), QStringLiteral("选择要发送的文件"));
        }
        QVERIFY(Until([&] {
            return history->toPlainText().contains(QStringLiteral("开始发送文件 report.bin ..."));
        }));
        // The bar moves while the file goes, and the row names it with its size and speed.
        QVERIFY(Until([&] {
            QProgressBar* bar = TransferBar();
            return bar != nullptr && bar->value() > 0 && bar->value() < 100;
        }));
        QVERIFY2(TransferLine().startsWith(QStringLiteral("report.bin  大小:")),
                 qPrintable(TransferLine()));
        QVERIFY(TransferLine().contains(QStringLiteral("速度:")));
        Picture(QStringLiteral("file-sending"));
        QVERIFY(Until([&] {
            return history->toPlainText().contains(QStringLiteral("文件 report.bin 发送成功"));
        }));
        QVERIFY(Until([&] { return TransferBar() == nullptr; }));
        QVERIFY(Until([&] {
            return history->toPlainText().contains(
                QStringLiteral("收到你的文件“report.bin”，共 10485760 字节"));
        }));
        Picture(QStringLiteral("file-sent"));
    }

    void receivesTheBotsFileByClickingItsWord() {
        QVERIFY(chat_ != nullptr);
        auto* history = ChatControl<QTextBrowser>(kHistory);
        QVERIFY(history != nullptr);
        Send(QStringLiteral("发个文件"), QString());
        QVERIFY(!QTest::currentTestFailed());
        const QString name = QStringLiteral("机器人的问候.txt");
        QVERIFY(Until([&] {
            return history->toPlainText().contains(QStringLiteral("要发送文件 %1(").arg(name));
        }));
        // The offered file is listed in the panel until it is in.
        QVERIFY(Until([&] { return TransferLine().startsWith(name); }));
        Picture(QStringLiteral("file-offered"));

        QVERIFY(ClickLinkWord(history, QStringLiteral("接收")));
        QVERIFY(Until([&] {
            return history->toPlainText().contains(QStringLiteral("接收文件 %1 成功").arg(name));
        }));
        QVERIFY(Until([&] { return TransferBar() == nullptr; }));
        // The file is in the user's folder for received files.
        QString found;
        QDirIterator it(QString::fromLocal8Bit(qgetenv("QORVDESK_HOME")), {name}, QDir::Files,
                        QDirIterator::Subdirectories);
        if (it.hasNext()) found = it.next();
        QVERIFY2(!found.isEmpty(), "the received file is nowhere in the client's folder");
        QFile received(found);
        QVERIFY(received.open(QIODevice::ReadOnly));
        QVERIFY(received.readAll().contains("Hello! This small file came from the demo bot."));
        Picture(QStringLiteral("file-received"));
    }

    void closingTheChatWindowAndAMessageWaitsInTheTray() {
        // Sent, then closed before the bot answers: the answer waits, the tray says so.
        QVERIFY(chat_ != nullptr);
        Send(QStringLiteral("再见"), QString());
        QVERIFY(!QTest::currentTestFailed());
        chat_->close();
        QVERIFY(Until([&] { return chat_ == nullptr || !chat_->isVisible(); }));
        QVERIFY(host::FindShownWindowWithControl(*app_, kInput) == nullptr);
        QVERIFY(Until([&] { return app_->tray().Blinking(); }));
        QCOMPARE(app_->tray().WaitingCount(), 1);
        Picture(QStringLiteral("closed"));
    }

    // The frame's menu, clicked as a person does: the menu bar's title, then the entry.
    void ChooseFromFrameMenu(const QString& actionName) {
        QMenuBar* bar = app_->frame().menuBar();
        QMenu* menu = &app_->frame().menu();
        auto* action = app_->frame().findChild<QAction*>(actionName);
        QVERIFY(action != nullptr && action->isEnabled());
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        QVERIFY(Until([&] { return menu->isVisible(); }));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QVERIFY(Until([&] { return !menu->isVisible(); }));
    }

    void sendsAnSmsBatchFromTheFrameMenuAndTheQuotaDrops() {
        ChooseFromFrameMenu(QStringLiteral("batchSmsAction"));
        QVERIFY(!QTest::currentTestFailed());
        QWidget* composer = nullptr;
        QVERIFY(Until([&] {
            composer = host::FindShownWindowWithControl(*app_, kSmsRecipients);
            return composer != nullptr;
        }));
        auto in = [&](int id) {
            return composer->findChild<QWidget*>(host::ControlObjectName(id));
        };
        auto* counter = qobject_cast<QLabel*>(in(kSmsCounter));
        auto* recipients = qobject_cast<QLineEdit*>(in(kSmsRecipients));
        auto* contents = qobject_cast<QLineEdit*>(in(kSmsContents));
        QVERIFY(counter != nullptr && recipients != nullptr && contents != nullptr);
        // The quota comes from the gateway once the composer asked for it.
        QVERIFY(Until([&] { return SmsLeftIn(counter->text()) >= 3; }));
        const int before = SmsLeftIn(counter->text());

        // The three numbers of the demo user's phone book, the last after a full-width
        // semicolon from the input method.
        QTest::mouseClick(recipients, Qt::LeftButton);
        QTest::keyClicks(recipients, QStringLiteral("13912345678;13787654321"));
        Compose(recipients, QStringLiteral("；"));
        QTest::keyClicks(recipients, QStringLiteral("13600001111"));
        QTest::mouseClick(contents, Qt::LeftButton);
        Compose(contents, QStringLiteral("明天九点开会"));
        Picture(QStringLiteral("sms-composer"));

        const int notices = app_->notices().count();
        QTest::mouseClick(qobject_cast<QPushButton*>(in(kSmsSend)), Qt::LeftButton);
        QVERIFY(Until([&] { return app_->notices().count() > notices; }));
        QCOMPARE(app_->notices().lastText(), QStringLiteral("信息已提交！"));
        // One SMS for each of the three, as the gateway's own count says when asked again.
        QVERIFY2(Until([&] { return SmsLeftIn(counter->text()) == before - 3; }),
                 qPrintable(counter->text()));
        QVERIFY(Until([&] { return contents->text().isEmpty(); }));
        Picture(QStringLiteral("sms-sent"));

        QTest::mouseClick(qobject_cast<QPushButton*>(in(kSmsClose)), Qt::LeftButton);
        QVERIFY(Until(
            [&] { return host::FindShownWindowWithControl(*app_, kSmsRecipients) == nullptr; }));
    }

    void answersTheLogOutQuestion() {
        {
            BoxAnswerer no(QMessageBox::No);
            app_->frame().findChild<QAction*>(QStringLiteral("logOutAction"))->trigger();
            QVERIFY(no.answered());
            QCOMPARE(no.text(), QStringLiteral("确定要注销当前帐户吗？"));
        }
        QVERIFY(app_->LoggedIn());
        {
            BoxAnswerer yes(QMessageBox::Yes);
            app_->frame().findChild<QAction*>(QStringLiteral("logOutAction"))->trigger();
            QVERIFY(yes.answered());
        }
        QVERIFY(Until([&] { return Control(kLogin) != nullptr; }));
        QVERIFY(!app_->LoggedIn());
        QVERIFY(!app_->tray().Blinking());
        Picture(QStringLiteral("logged-out"));
    }

    void cleanupTestCase() {
        app_->RequestQuit(0);
        QVERIFY(app_->Finished());
        app_.reset();
    }
};

int main(int argc, char** argv) {
    // The test sets its own platform and folders: no screen, nothing of the user's touched.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The web engine's own sandbox needs privileges a test machine may lack.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QTemporaryDir home;
    qputenv("QORVDESK_HOME", QDir(home.path()).filePath(QStringLiteral("client/")).toLocal8Bit());
    qputenv("QORVDESK_APPDIR", QDir(home.path()).filePath(QStringLiteral("app/")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    // The organisation limits SMS: the composer and the chat window show the quota.
    {
        QDir().mkpath(QDir(home.path()).filePath(QStringLiteral("client")));
        QFile config(QDir(home.path()).filePath(QStringLiteral("client/config.ini")));
        if (config.open(QIODevice::WriteOnly)) config.write("[Component]\r\nHasSmsLimit=1\r\n");
    }
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    HostFlowTest test;
    const int flow = QTest::qExec(&test, argc, argv);
    return RunRichTextRenderingTest(argc, argv) != 0 ? 1 : flow;
}

#include "host_flow_test.moc"
