// A host that drives the library's loop from an event loop of its own: it pumps only when
// the library's descriptor turns readable or the library's next timer falls due, and a whole
// login goes through that way.
#include <gtest/gtest.h>
#include <poll.h>

#include <thread>
#include <vector>

#include "abi_support.h"
#include "platform/session/session_core.h"
#include "qorvdesk/exports.h"
#include "qorvdesk/host.h"
#include "support/wait_for.h"

namespace {

#define LOOKUP(name) auto name = abi_test::Symbol<decltype(::name)>(loaded.library, #name)

bool Readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN) != 0;
}

int64_t CountTabs(void* user, QorvWindow, uint32_t message, uint64_t, int64_t) {
    if (message == QORV_WM_HOST_TABS) ++*static_cast<int*>(user);
    return 0;
}

TEST(HostLoop, ALoginGoesThroughWithPumpsOnlyWhenTheLibraryHasWork) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        LOOKUP(QorvSetHostHandler);
        LOOKUP(QorvCreateHostFrame);
        LOOKUP(QorvCreateHostClient);
        LOOKUP(QorvPumpMessages);
        LOOKUP(QorvLoopDescriptor);
        LOOKUP(QorvNextTimerDueMs);
        LOOKUP(QorvInternalWindowSystem);
        LOOKUP(QorvEmbeddedAddAccount);
        LOOKUP(QorvInternalSessionCore);
        LOOKUP(InitWindows);
        LOOKUP(FreeWindows);
        LOOKUP(IsLogined);
        LOOKUP(UserLogout);

        int tabs = 0;
        QorvSetHostHandler(CountTabs, &tabs);
        check(QorvEmbeddedAddAccount("li", "pw", "李四") == 1, "account added");
        const QorvWindow frame = QorvCreateHostFrame("Qorvdesk", 0, 0, 800, 600);
        InitWindows(frame, QorvCreateHostClient(frame));
        check(QorvInternalWindowSystem() != nullptr, "the window system for a C++ host");

        const int fd = QorvLoopDescriptor();
        check(fd >= 0, "a loop descriptor");
        if (fd < 0) return;
        check(QorvLoopDescriptor() == fd, "the same descriptor every time");
        // What start-up queued is there to pump; afterwards an idle client has nothing to do.
        QorvPumpMessages();
        check(!Readable(fd), "idle after the first pump");

        auto* session = static_cast<platform::SessionCore*>(QorvInternalSessionCore());
        check(session != nullptr, "session engine");
        if (session == nullptr) return;
        check(session->Login("li", "pw", 1, "", 0) == platform::kLoginAccepted, "login accepted");
        int pumps = 0;
        const bool loggedIn = static_cast<bool>(testing_support::WaitFor(
            [&] {
                // The host's event loop: the descriptor or the one timer it armed.
                if (Readable(fd) || QorvNextTimerDueMs() == 0) {
                    QorvPumpMessages();
                    ++pumps;
                }
                return tabs > 0;
            },
            "the login's result"));
        check(loggedIn, "the host's pumps delivered the login");
        check(pumps > 0, "the library woke the host");
        check(IsLogined() == 1, "logged in");
        const int64_t due = QorvNextTimerDueMs();
        check(due >= -1, "a due time or none");

        UserLogout();
        FreeWindows();
    });
}

#undef LOOKUP

}  // namespace
