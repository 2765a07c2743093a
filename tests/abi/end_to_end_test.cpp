// A host's whole run through the library: its windows, InitWindows, a session on the
// embedded server, UserLogout and FreeWindows.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "abi_support.h"
#include "platform/session/session_core.h"
#include "qorvdesk/exports.h"
#include "qorvdesk/host.h"
#include "support/wait_for.h"

namespace {

struct Seen {
    QorvWindow window;
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
    std::string title;
};

int64_t RecordHostMessage(void* user, QorvWindow window, uint32_t message, uint64_t wParam,
                          int64_t lParam) {
    Seen seen{window, message, wParam, lParam, {}};
    if (message == QORV_WM_HOST_TITLE && lParam != 0) {
        seen.title = reinterpret_cast<const char*>(static_cast<intptr_t>(lParam));
    }
    static_cast<std::vector<Seen>*>(user)->push_back(seen);
    return 0;
}

std::vector<Seen> Of(const std::vector<Seen>& seen, uint32_t message) {
    std::vector<Seen> found;
    for (const Seen& s : seen) {
        if (s.message == message) found.push_back(s);
    }
    return found;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

#define LOOKUP(name) auto name = abi_test::Symbol<decltype(::name)>(loaded.library, #name)

TEST(EndToEnd, AHostInitialisesLogsInLogsOutAndFrees) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        LOOKUP(QorvSetHostHandler);
        LOOKUP(QorvCreateHostFrame);
        LOOKUP(QorvCreateHostClient);
        LOOKUP(QorvPumpMessages);
        LOOKUP(QorvEmbeddedAddAccount);
        LOOKUP(QorvInternalSessionCore);
        LOOKUP(InitWindows);
        LOOKUP(FreeWindows);
        LOOKUP(IsLogined);
        LOOKUP(GetUserNameA);
        LOOKUP(GetECPUserAccount);
        LOOKUP(IsGoverUser);
        LOOKUP(ShowChatWindow);
        LOOKUP(UserLogout);
        LOOKUP(CanLogout);
        LOOKUP(RecalcClientSize);
        LOOKUP(OnKeyDown);

        std::vector<Seen> seen;
        QorvSetHostHandler(RecordHostMessage, &seen);
        check(QorvEmbeddedAddAccount("li", "pw", "李四") == 1, "account added");
        check(QorvEmbeddedAddAccount("li", "other", nullptr) == 0, "an account is added once");

        const QorvWindow frame = QorvCreateHostFrame("Qorvdesk", 0, 0, 800, 600);
        const QorvWindow client = QorvCreateHostClient(frame);
        check(frame != 0 && client != 0 && frame != client, "host windows made");
        InitWindows(frame, client);
        check(IsLogined() == 0, "nobody is logged in after start-up");
        check(std::filesystem::is_directory(loaded.home / "cache"), "cache folder made");
        RecalcClientSize(1024, 700);
        check(OnKeyDown(13, 0) == 0, "Enter on the host is not consumed");

        // The login panel's own login comes with later work: log in on the engine directly.
        auto* session = static_cast<platform::SessionCore*>(QorvInternalSessionCore());
        check(session != nullptr, "session engine");
        if (session == nullptr) return;
        session->Init(nullptr, nullptr, std::this_thread::get_id());
        check(session->Login("li", "pw", 1, "", 0) == platform::kLoginAccepted, "login accepted");

        char name[16];
        check(GetUserNameA(name, sizeof name) == 4 && std::strcmp(name, "李四") == 0,
              "GetUserNameA gives the nickname");
        check(GetECPUserAccount(name, sizeof name) == 2 && std::strcmp(name, "li") == 0,
              "GetECPUserAccount gives the account");
        check(IsGoverUser() == 1, "a government user");

        ShowChatWindow();  // nothing waits: the host's tray indicator is told so
        QorvPumpMessages();
        const auto trays = Of(seen, QORV_WM_HOST_TRAY);
        check(trays.size() == 1 && trays[0].window == frame && trays[0].wParam == 0,
              "tray told that nothing waits");

        seen.clear();
        UserLogout();
        check(session->GetCurrentUserJID().empty(), "the engine logged out");
        const auto sessions = Of(seen, QORV_WM_HOST_SESSION);
        check(sessions.size() == 1 && sessions[0].lParam == 2, "host told the session ended");
        const auto titles = Of(seen, QORV_WM_HOST_TITLE);
        check(titles.size() == 1 && titles[0].title.empty(), "host title cleared");
        check(CanLogout() == 1, "nothing keeps the user");

        FreeWindows();
        const std::string log = ReadFile(loaded.home / "qorvdesk.log");
        check(log.find("Enter CWindowManager::UserLogout()") != std::string::npos,
              "log-out logged");
        check(log.find("Enter CWindowManager::Free()") != std::string::npos, "tear-down logged");
    });
}

// A login whose result the library's own pump delivers: the host is told of the session and
// asked to rebuild its tab menu, and the session's end (with the auxiliary window the login
// opened on a thread of its own) and the tear-down go through without hanging.
TEST(EndToEnd, AGoodLoginHasTheHostRebuildItsTabMenu) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        LOOKUP(QorvSetHostHandler);
        LOOKUP(QorvCreateHostFrame);
        LOOKUP(QorvCreateHostClient);
        LOOKUP(QorvPumpMessages);
        LOOKUP(QorvEmbeddedAddAccount);
        LOOKUP(QorvInternalSessionCore);
        LOOKUP(InitWindows);
        LOOKUP(FreeWindows);
        LOOKUP(IsLogined);
        LOOKUP(UserLogout);

        std::vector<Seen> seen;
        QorvSetHostHandler(RecordHostMessage, &seen);
        check(QorvEmbeddedAddAccount("li", "pw", "李四") == 1, "account added");
        const QorvWindow frame = QorvCreateHostFrame("Qorvdesk", 0, 0, 800, 600);
        InitWindows(frame, QorvCreateHostClient(frame));

        // The engine is the one InitWindows started; its result goes through the pump.
        auto* session = static_cast<platform::SessionCore*>(QorvInternalSessionCore());
        check(session != nullptr, "session engine");
        if (session == nullptr) return;
        check(session->Login("li", "pw", 1, "", 0) == platform::kLoginAccepted, "login accepted");
        const bool tabs = static_cast<bool>(testing_support::WaitFor(
            [&] {
                QorvPumpMessages();
                return !Of(seen, QORV_WM_HOST_TABS).empty();
            },
            "WM_HOST_TABS"));
        check(tabs, "the host is asked to rebuild its tab menu");
        const auto sessions = Of(seen, QORV_WM_HOST_SESSION);
        check(!sessions.empty() && sessions[0].lParam == 0 && sessions[0].window == frame,
              "the host is told the session started");
        check(Of(seen, QORV_WM_HOST_TABS).size() == 1 &&
                  Of(seen, QORV_WM_HOST_TABS)[0].window == frame,
              "the tab menu is rebuilt once, on the frame");
        check(IsLogined() == 1, "logged in");

        UserLogout();
        check(IsLogined() == 0, "logged out");
        FreeWindows();
        const std::string log = ReadFile(loaded.home / "qorvdesk.log");
        check(log.find("创建辅助窗口失败") == std::string::npos, "the auxiliary window was made");
    });
}

#undef LOOKUP

}  // namespace
