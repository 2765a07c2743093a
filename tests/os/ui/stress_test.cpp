// Many threads sending and posting at once, with windows sending to each other and one
// window closing in the middle. Also run under ThreadSanitizer.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "loop_thread.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/wait_for.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;
using ui_test::LoopThread;

constexpr UINT kAddOne = WM_USER;
constexpr UINT kRelay = WM_USER + 1;  // the handler sends kAddOne to the peer window
constexpr UINT kCount = WM_USER + 2;  // posted; counted

struct Peer {
    std::atomic<std::uint32_t> hwnd{0};
};

// Scripts a worker window: answers kAddOne, relays to its peer, counts posts.
std::function<void(RecordingWindow&)> Worker(WindowSystem& system, Peer& peer, int& posted) {
    return [&system, &peer, &posted](RecordingWindow& w) {
        w.script = [&system, &peer, &posted](UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
            if (m == kAddOne) return static_cast<LRESULT>(wp + 1);
            if (m == kRelay) return system.SendMessage(HWND(peer.hwnd.load()), kAddOne, wp);
            if (m == kCount) ++posted;
            return std::nullopt;
        };
    };
}

TEST(StressTest, ConcurrentSendsPostsAndACloseStayConsistent) {
    RealClock clock;
    WindowSystem system(clock);
    Peer peerOfA, peerOfB, peerOfC;
    int postedA = 0, postedB = 0, postedC = 0;
    LoopThread a(system, Worker(system, peerOfA, postedA));
    LoopThread b(system, Worker(system, peerOfB, postedB));
    LoopThread c(system, Worker(system, peerOfC, postedC));
    peerOfA.hwnd = b.hwnd().value();
    peerOfB.hwnd = a.hwnd().value();
    peerOfC.hwnd = a.hwnd().value();

    constexpr int kSenders = 3;
    constexpr int kRounds = 1500;
    std::atomic<int> wrongAnswers{0};
    std::atomic<int> postsAcceptedByC{0};
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s] {
            for (int i = 0; i < kRounds; ++i) {
                const WPARAM value = static_cast<WPARAM>(s * kRounds + i);
                if (system.SendMessage(a.hwnd(), kAddOne, value) != static_cast<LRESULT>(value + 1))
                    ++wrongAnswers;
                // A and B relay to each other: both may be inside a send to the other.
                const HWND relay = (i % 2) ? a.hwnd() : b.hwnd();
                if (system.SendMessage(relay, kRelay, value) != static_cast<LRESULT>(value + 1))
                    ++wrongAnswers;
                system.PostMessage(a.hwnd(), kCount);
                system.PostMessage(b.hwnd(), kCount);
                // C closes meanwhile: a send answers right or 0, a post is taken or refused.
                LRESULT fromC = system.SendMessage(c.hwnd(), kAddOne, value);
                if (fromC != 0 && fromC != static_cast<LRESULT>(value + 1)) ++wrongAnswers;
                if (system.PostMessage(c.hwnd(), kCount)) ++postsAcceptedByC;
            }
        });
    }
    // Close C while the senders run.
    EXPECT_TRUE(testing_support::WaitFor([&] { return postsAcceptedByC.load() >= 100; },
                                         "100 posts taken by C"));
    ASSERT_TRUE(system.SendTask(c.hwnd(), [&] { c.window().DestroyWindow(); }));
    for (auto& t : senders) t.join();

    a.Quit();
    b.Quit();
    c.Quit();
    a.WaitForLoopEnd();
    b.WaitForLoopEnd();
    c.WaitForLoopEnd();
    EXPECT_EQ(wrongAnswers.load(), 0);
    EXPECT_EQ(postedA, kSenders * kRounds);
    EXPECT_EQ(postedB, kSenders * kRounds);
    EXPECT_LE(postedC, postsAcceptedByC.load()) << "nothing reached C after it closed";
    EXPECT_FALSE(system.IsWindow(c.hwnd()));
}

}  // namespace
