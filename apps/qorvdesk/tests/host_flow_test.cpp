// The desktop program as a person uses it, on Qt's offscreen platform: every step is a mouse
// or keyboard event on the program's real widgets, against the library and its embedded
// server with the demo world. The steps run in order on one client (the library is one per
// process), each picturing the windows it left under the build folder.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <memory>

#include "box_answerer.h"
#include "frame_window.h"
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
    QPointer<QWidget> chat_;
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
    QTemporaryDir home;
    qputenv("QORVDESK_HOME", QDir(home.path()).filePath(QStringLiteral("client/")).toLocal8Bit());
    qputenv("QORVDESK_APPDIR", QDir(home.path()).filePath(QStringLiteral("app/")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    HostFlowTest test;
    const int flow = QTest::qExec(&test, argc, argv);
    return RunRichTextRenderingTest(argc, argv) != 0 ? 1 : flow;
}

#include "host_flow_test.moc"
