// A host that asks for the demo world: the newcomer's account logs in on the embedded server,
// and the world is loaded once however often the host asks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "abi_support.h"
#include "platform/session/session_core.h"
#include "qorvdesk/exports.h"
#include "qorvdesk/host.h"

namespace {

#define LOOKUP(name) auto name = abi_test::Symbol<decltype(::name)>(loaded.library, #name)

TEST(DemoWorld, AHostLoadsItOnceAndTheDemoAccountLogsIn) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        LOOKUP(QorvCreateHostFrame);
        LOOKUP(QorvCreateHostClient);
        LOOKUP(QorvEmbeddedLoadDemoWorld);
        LOOKUP(QorvEmbeddedAddAccount);
        LOOKUP(QorvInternalSessionCore);
        LOOKUP(InitWindows);
        LOOKUP(FreeWindows);
        LOOKUP(GetUserNameA);
        LOOKUP(UserLogout);
        check(QorvEmbeddedLoadDemoWorld != nullptr, "the export is there");
        if (QorvEmbeddedLoadDemoWorld == nullptr) return;

        check(QorvEmbeddedLoadDemoWorld() == 1, "the demo world loads");
        check(QorvEmbeddedLoadDemoWorld() == 1, "asking again is harmless");
        check(QorvEmbeddedAddAccount("demo", "other", nullptr) == 0,
              "the demo account exists once");

        const QorvWindow frame = QorvCreateHostFrame("Qorvdesk", 0, 0, 800, 600);
        InitWindows(frame, QorvCreateHostClient(frame));
        auto* session = static_cast<platform::SessionCore*>(QorvInternalSessionCore());
        check(session != nullptr, "session engine");
        if (session == nullptr) return;
        check(session->Login("demo", "wrong", 1, "", 0) == platform::kLoginAccepted &&
                  session->GetCurrentUserJID().empty(),
              "a wrong password is refused");
        check(session->Login("demo", "demo", 1, "", 0) == platform::kLoginAccepted,
              "login accepted");
        char name[32];
        check(GetUserNameA(name, sizeof name) == 8 && std::strcmp(name, "体验用户") == 0,
              "the demo account has its Chinese nickname");
        UserLogout();
        FreeWindows();
        (void)loaded;
    });
}

#undef LOOKUP

}  // namespace
