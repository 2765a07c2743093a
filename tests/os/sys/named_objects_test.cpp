#include "os/sys/named_objects.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <thread>

#include "support/child_process.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/waiting/clock_waiters.h"

namespace {

using os::EventReset;
using os::kInfinite;
using os::ManualClock;
using os::NamedMutex;
using os::NamedObjectSpace;
using os::SharedMemory;
using testing_support::TempDir;
using testing_support::WaitForWaiters;

constexpr char kAccountMutex[] = "alice$gov@im.example_USER_LOGINED0.000";
constexpr char kBlockName[] = "SMSGLOBLE_ENV";
constexpr std::size_t kBlockSize = 176;

// Objects of `space` present in its folder right now.
std::set<std::string> SystemObjects(const NamedObjectSpace& space) {
    std::set<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(space.folder(), error)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(space.prefix(), 0) == 0) found.insert(name);
    }
    return found;
}

class NamedObjectsTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_TRUE(SystemObjects(space).empty()) << "left behind"; }

    TempDir dir;
    NamedObjectSpace space{dir.str()};
    ManualClock clock;
};

TEST(NamedObjectSpaceTest, SameDirectoryMeetsOthersDoNot) {
    NamedObjectSpace a("/home/u/.local/share/qorvdesk/");
    NamedObjectSpace b("/home/u/.local/share/qorvdesk");
    NamedObjectSpace c("/home/u/.local/share/qorvdesk2/");
    EXPECT_EQ(a.prefix(), b.prefix());
    EXPECT_NE(a.prefix(), c.prefix());
    EXPECT_EQ(a.SystemName("mutex", "x"), b.SystemName("mutex", "x"));
    EXPECT_NE(a.SystemName("mutex", "x"), c.SystemName("mutex", "x"));
}

TEST(NamedObjectSpaceTest, AnyNameGivesAValidDistinctSystemName) {
    NamedObjectSpace space("/tmp/q/");
    const std::string names[] = {
        "IMTRee_data_Mutex",
        "alice$gov@im.example_USER_LOGINED1.2",
        "a/b\\c d",
        "张三_USER_LOGINED0.000",  // GBK bytes at run time
        std::string(300, 'x'),
        std::string(300, 'x') + "y",
        std::string(100, '/'),
    };
    std::set<std::string> seen;
    for (const std::string& name : names) {
        std::string system = space.SystemName("mutex", name);
        EXPECT_EQ(system[0], '/');
        EXPECT_EQ(system.find('/', 1), std::string::npos) << system;
        EXPECT_LE(system.size(), 255u);
        for (unsigned char c : system.substr(1)) EXPECT_LT(c, 0x80) << system;
        EXPECT_TRUE(seen.insert(system).second) << "two names meet: " << system;
    }
    EXPECT_EQ(space.SystemName("mutex", "IMTRee_data_Mutex"),
              "/" + space.prefix() + "-mutex-IMTRee_data_Mutex");
}

TEST_F(NamedObjectsTest, MutexExistsWhileAnyHandleHoldsTheName) {
    bool existed = true;
    auto first = NamedMutex::Create(space, kAccountMutex, clock, &existed);
    ASSERT_TRUE(first);
    EXPECT_FALSE(existed);
    auto second = NamedMutex::Create(space, kAccountMutex, clock, &existed);
    ASSERT_TRUE(second);
    EXPECT_TRUE(existed);
    first.reset();
    auto third = NamedMutex::Create(space, kAccountMutex, clock, &existed);
    EXPECT_TRUE(existed);  // `second` still holds it
    second.reset();
    third.reset();
    auto fourth = NamedMutex::Create(space, kAccountMutex, clock, &existed);
    EXPECT_FALSE(existed);
}

TEST_F(NamedObjectsTest, NamesOfOtherSpacesAndOtherNamesDoNotMeet) {
    TempDir otherDir;
    NamedObjectSpace other(otherDir.str());
    bool existed = true;
    auto here = NamedMutex::Create(space, kAccountMutex, clock, &existed);
    auto there = NamedMutex::Create(other, kAccountMutex, clock, &existed);
    EXPECT_FALSE(existed);
    auto bob = NamedMutex::Create(space, "bob_USER_LOGINED0.000", clock, &existed);
    EXPECT_FALSE(existed);
    there.reset();
    EXPECT_TRUE(SystemObjects(other).empty());
}

TEST_F(NamedObjectsTest, OwnerMayLockAgainAndMustUnlockAsOften) {
    auto mutex = NamedMutex::Create(space, "IMTRee_data_Mutex", clock, nullptr);
    ASSERT_TRUE(mutex);
    EXPECT_FALSE(mutex->Unlock());  // not owned
    EXPECT_TRUE(mutex->Lock(1000));
    EXPECT_TRUE(mutex->Lock(0));
    EXPECT_TRUE(mutex->OwnedByMe());
    EXPECT_TRUE(mutex->Unlock());
    EXPECT_TRUE(mutex->OwnedByMe());
    EXPECT_TRUE(mutex->Unlock());
    EXPECT_FALSE(mutex->OwnedByMe());
    EXPECT_FALSE(mutex->Unlock());
}

// Every handle of the name in this process shares the lock, as every contact tree opening
// the same named mutex does.
TEST_F(NamedObjectsTest, OtherThreadWaitsUpToItsTimeOutForTheLock) {
    auto mine = NamedMutex::Create(space, "IMTRee_data_Mutex", clock, nullptr);
    auto theirs = NamedMutex::Create(space, "IMTRee_data_Mutex", clock, nullptr);
    ASSERT_TRUE(mine && theirs);
    ASSERT_TRUE(mine->Lock(1000));

    std::atomic<int> result{-1};
    std::thread other([&] {
        result = theirs->Lock(0) ? 1 : 0;  // taken: fails at once
        result = theirs->Lock(1000);
    });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(1000);
    other.join();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(mine->OwnedByMe());
    EXPECT_TRUE(theirs->OwnedByMe());  // one lock: this thread owns it through any handle

    std::thread later([&] {
        result = theirs->Lock(1000);
        if (result) theirs->Unlock();
    });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(999);
    EXPECT_TRUE(mine->Unlock());
    later.join();
    EXPECT_EQ(result, 1);
}

// Threads contend through handles of their own while the clock keeps waking waiters: the
// plain counter is only ever touched by one owner (ThreadSanitizer checks that).
TEST_F(NamedObjectsTest, OneOwnerAtATimeUnderContention) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    int counter = 0;
    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            auto handle = NamedMutex::Create(space, "IMTRee_data_Mutex", clock, nullptr);
            for (int i = 0; i < kRounds; ++i) {
                while (!handle->Lock(5)) {
                }
                ASSERT_TRUE(handle->Lock(0));  // again, as its owner
                ++counter;
                handle->Unlock();
                handle->Unlock();
            }
            ++finished;
        });
    }
    while (finished.load() < kThreads) clock.Advance(1);
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, kThreads * kRounds);
}

TEST_F(NamedObjectsTest, SharedMemoryStartsZeroedAndIsSharedByName) {
    bool existed = true;
    auto first = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
    ASSERT_TRUE(first);
    EXPECT_FALSE(existed);
    ASSERT_EQ(first->size(), kBlockSize);
    for (std::size_t i = 0; i < kBlockSize; ++i) ASSERT_EQ(first->data()[i], 0) << i;
    std::strcpy(first->data(), "Y");

    auto second = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
    ASSERT_TRUE(second);
    EXPECT_TRUE(existed);
    EXPECT_STREQ(second->data(), "Y");
    second->data()[kBlockSize - 1] = 'z';
    EXPECT_EQ(first->data()[kBlockSize - 1], 'z');

    auto smaller = SharedMemory::Open(space, kBlockName, 4);
    ASSERT_TRUE(smaller);
    EXPECT_STREQ(smaller->data(), "Y");
    // An existing block cannot be opened larger than it is.
    EXPECT_FALSE(SharedMemory::Create(space, kBlockName, kBlockSize + 1, &existed));

    first.reset();
    second.reset();
    smaller.reset();
    auto fresh = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(existed);
    EXPECT_EQ(fresh->data()[0], 0);
}

TEST_F(NamedObjectsTest, OpenFindsOnlyABlockThatExists) {
    EXPECT_FALSE(SharedMemory::Open(space, "StateFile", 4));
    auto state = SharedMemory::Create(space, "StateFile", 4, nullptr);
    ASSERT_TRUE(state);
    EXPECT_TRUE(SharedMemory::Open(space, "StateFile", 4));
    state.reset();
    EXPECT_FALSE(SharedMemory::Open(space, "StateFile", 4));
    EXPECT_FALSE(SharedMemory::Create(space, "Empty", 0, nullptr));
}

TEST_F(NamedObjectsTest, NamedEventsOfOneNameAreOneEvent) {
    bool existed = true;
    auto login = os::OpenNamedEvent(space, "LoginEvent", clock, EventReset::Auto, false, &existed);
    EXPECT_FALSE(existed);
    // The second opener's kind and initial state do not apply to the existing event.
    auto again = os::OpenNamedEvent(space, "LoginEvent", clock, EventReset::Manual, true, &existed);
    EXPECT_TRUE(existed);
    EXPECT_EQ(login, again);
    EXPECT_FALSE(again->IsSet());

    auto state = os::OpenNamedEvent(space, "LoginStateEvent", clock, EventReset::Auto, true);
    EXPECT_NE(state, login);
    EXPECT_TRUE(state->IsSet());

    TempDir otherDir;
    auto elsewhere = os::OpenNamedEvent(NamedObjectSpace(otherDir.str()), "LoginEvent", clock,
                                        EventReset::Auto, false, &existed);
    EXPECT_FALSE(existed);
    EXPECT_NE(elsewhere, login);

    login.reset();
    again.reset();
    auto reborn =
        os::OpenNamedEvent(space, "LoginEvent", clock, EventReset::Manual, true, &existed);
    EXPECT_FALSE(existed);
    EXPECT_EQ(reborn->reset(), EventReset::Manual);
}

// ---- the objects' folder and files belong to this user alone

std::string FallbackFolder() { return "/dev/shm/qorv-" + std::to_string(geteuid()); }

TEST(NamedObjectFolderTest, TheRuntimeFolderIsUsedOnlyWhenItIsPrivate) {
    TempDir runtime;  // made with mode 0700
    TempDir open;
    ASSERT_EQ(chmod(open.path().c_str(), 0755), 0);
    struct Case {
        const char* name;
        std::optional<std::string> runtimeDir;
        std::string expected;
    };
    const Case cases[] = {
        {"private runtime folder", runtime.path().string(), runtime.path().string()},
        {"with a trailing slash", runtime.str(), runtime.path().string()},
        {"readable by others", open.path().string(), FallbackFolder()},
        {"missing", (runtime.path() / "gone").string(), FallbackFolder()},
        {"relative", std::string("run/user"), FallbackFolder()},
        {"unset", std::nullopt, FallbackFolder()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScopedEnv env("XDG_RUNTIME_DIR", c.runtimeDir);
        EXPECT_EQ(NamedObjectSpace("/tmp/q/").folder(), c.expected);
    }
}

class PrivateFolderTest : public ::testing::Test {
  protected:
    TempDir runtime;
    testing_support::ScopedEnv env{"XDG_RUNTIME_DIR", runtime.path().string()};
    TempDir dir;
    NamedObjectSpace space{dir.str()};
    ManualClock clock;
};

TEST_F(PrivateFolderTest, ObjectsAreMadeInTheFolderForThisUserOnly) {
    ASSERT_EQ(space.folder(), runtime.path().string());
    auto mutex = NamedMutex::Create(space, kAccountMutex, clock, nullptr);
    auto block = SharedMemory::Create(space, "StateFile", 4, nullptr);
    ASSERT_TRUE(mutex && block);
    const std::set<std::string> made = SystemObjects(space);
    EXPECT_EQ(made.size(), 3u);  // the mutex, the block and its lock
    for (const std::string& name : made) {
        struct stat st {};
        ASSERT_EQ(lstat((space.folder() + "/" + name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_uid, geteuid()) << name;
        EXPECT_EQ(st.st_mode & 077, 0u) << name << " is open to others";
    }
    mutex.reset();
    block.reset();
    EXPECT_TRUE(SystemObjects(space).empty());
}

// Another user who made an object's file first, simulated by its mode (or, as root, by its
// owner): the name is refused rather than shared, read or taken as free.
TEST_F(PrivateFolderTest, AFileThatIsNotThisUsersOwnIsRefused) {
    struct Case {
        const char* name;
        mode_t mode;
        bool foreignOwner;
        bool link;
    };
    const Case cases[] = {
        {"open to everyone", 0666, false, false},
        {"readable by the group", 0640, false, false},
        {"another user's", 0600, true, false},
        {"a link", 0600, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.foreignOwner && geteuid() != 0) {
            RecordProperty("skipped", "a file of another user needs root");
            continue;
        }
        for (const char* kind : {"mutex", "memlock"}) {
            const std::string name = std::string("taken-") + kind;
            const std::string path = space.Path(kind, name);
            if (c.link) {
                const std::string target = dir.str() + "target";
                int fd = open(target.c_str(), O_CREAT | O_RDWR, 0600);
                ASSERT_GE(fd, 0);
                close(fd);
                ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
            } else {
                int fd = open(path.c_str(), O_CREAT | O_RDWR, 0600);
                ASSERT_GE(fd, 0);
                ASSERT_EQ(fchmod(fd, c.mode), 0);
                if (c.foreignOwner) {
                    ASSERT_EQ(fchown(fd, 65534, 65534), 0);
                }
                close(fd);
            }
            bool existed = false;
            if (std::strcmp(kind, "mutex") == 0) {
                EXPECT_FALSE(NamedMutex::Create(space, name, clock, &existed));
            } else {
                EXPECT_FALSE(SharedMemory::Create(space, name, 4, &existed));
                EXPECT_FALSE(SharedMemory::Open(space, name, 4));
            }
            EXPECT_FALSE(existed);
            ASSERT_EQ(unlink(path.c_str()), 0);
        }
    }
}

TEST_F(PrivateFolderTest, AFolderOpenedToOthersIsRefusedAtTheNextUse) {
    auto before = NamedMutex::Create(space, kAccountMutex, clock, nullptr);
    ASSERT_TRUE(before);
    ASSERT_EQ(chmod(runtime.path().c_str(), 0777), 0);
    EXPECT_FALSE(NamedMutex::Create(space, "IMTRee_data_Mutex", clock, nullptr));
    EXPECT_FALSE(SharedMemory::Create(space, "StateFile", 4, nullptr));
    ASSERT_EQ(chmod(runtime.path().c_str(), 0700), 0);
    EXPECT_TRUE(NamedMutex::Create(space, "IMTRee_data_Mutex", clock, nullptr));
}

TEST(NamedObjectFolderTest, TheFallbackFolderIsMadePrivate) {
    testing_support::ScopedEnv env("XDG_RUNTIME_DIR", std::nullopt);
    TempDir dir;
    NamedObjectSpace space(dir.str());
    ManualClock clock;
    auto mutex = NamedMutex::Create(space, kAccountMutex, clock, nullptr);
    ASSERT_TRUE(mutex);
    struct stat st {};
    ASSERT_EQ(lstat(FallbackFolder().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, geteuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// ---- two processes

constexpr char kRoleVar[] = "QORV_NAMED_CHILD_ROLE";
constexpr char kDirVar[] = "QORV_NAMED_CHILD_DIR";

// A second client process, started by the tests below as this same test program. Skipped
// when run on its own.
TEST(NamedObjectsChildProcess, Run) {
    const char* role = getenv(kRoleVar);
    const char* dir = getenv(kDirVar);
    if (!role || !dir) GTEST_SKIP() << "runs only as the child of a two-process test";
    NamedObjectSpace space(dir);
    ManualClock clock;
    bool existed = false;
    if (std::strcmp(role, "observe") == 0) {
        // Another process is logged in with the account and wrote its flag.
        auto mutex = NamedMutex::Create(space, kAccountMutex, clock, &existed);
        ASSERT_TRUE(mutex);
        EXPECT_TRUE(existed);
        auto block = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
        ASSERT_TRUE(block);
        EXPECT_TRUE(existed);
        EXPECT_STREQ(block->data(), "Y from the parent");
        std::strcpy(block->data() + 100, "child was here");
    } else if (std::strcmp(role, "keep until exit") == 0) {
        // As the library's objects do: handles kept until the process ends, never destroyed.
        static NamedMutex* const mutex =
            NamedMutex::Create(space, kAccountMutex, clock, &existed).release();
        static SharedMemory* const block =
            SharedMemory::Create(space, "StateFile", 4, &existed).release();
        ASSERT_TRUE(mutex && block);
        testing_support::ReportReadyToParent();
        testing_support::WaitUntilParentCloses();
    } else {
        // Log in, write the flag, report ready and stay until stdin closes (or killed).
        auto mutex = NamedMutex::Create(space, kAccountMutex, clock, &existed);
        ASSERT_TRUE(mutex);
        EXPECT_FALSE(existed);
        auto block = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
        ASSERT_TRUE(block);
        std::strcpy(block->data(), "Y from the child");
        testing_support::ReportReadyToParent();
        testing_support::WaitUntilParentCloses();
    }
}

// This test program, running only NamedObjectsChildProcess.Run in `role`.
class Child : public testing_support::ChildProcess {
  public:
    Child(const std::string& role, const std::string& dir)
        : ChildProcess("NamedObjectsChildProcess.Run",
                       {std::string(kRoleVar) + "=" + role, std::string(kDirVar) + "=" + dir}) {}
};

TEST_F(NamedObjectsTest, SecondProcessSeesTheLoginMutexAndTheFlag) {
    bool existed = true;
    auto mutex = NamedMutex::Create(space, kAccountMutex, clock, &existed);
    auto block = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
    ASSERT_TRUE(mutex && block);
    std::strcpy(block->data(), "Y from the parent");

    Child child("observe", dir.str());
    int status = child.Wait();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's checks failed";
    EXPECT_STREQ(block->data() + 100, "child was here");
}

// The first process ends (cleanly, or killed without a chance to clean up); afterwards the
// account is free again and the old block is gone.
TEST_F(NamedObjectsTest, LoginMutexStopsExistingWhenItsProcessEnds) {
    for (bool crash : {false, true}) {
        SCOPED_TRACE(crash ? "killed" : "clean exit");
        Child child("hold", dir.str());
        ASSERT_TRUE(child.WaitReady());

        bool existed = false;
        {
            auto seen = NamedMutex::Create(space, kAccountMutex, clock, &existed);
            EXPECT_TRUE(existed);
            auto block = SharedMemory::Open(space, kBlockName, kBlockSize);
            ASSERT_TRUE(block);
            EXPECT_STREQ(block->data(), "Y from the child");
        }
        if (crash) {
            child.Kill();
        } else {
            child.CloseInput();
        }
        int status = child.Wait();
        if (crash) {
            EXPECT_TRUE(WIFSIGNALED(status));
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_TRUE(SystemObjects(space).empty());
        }

        auto mutex = NamedMutex::Create(space, kAccountMutex, clock, &existed);
        ASSERT_TRUE(mutex);
        EXPECT_FALSE(existed);
        EXPECT_FALSE(SharedMemory::Open(space, kBlockName, kBlockSize));
        auto block = SharedMemory::Create(space, kBlockName, kBlockSize, &existed);
        ASSERT_TRUE(block);
        EXPECT_FALSE(existed);
        EXPECT_EQ(block->data()[0], 0);
    }
}

// The library keeps its named objects until the process ends: the last process to end
// still removes their files.
TEST_F(NamedObjectsTest, TheLastProcessRemovesObjectsItKeptUntilItsExit) {
    Child child("keep until exit", dir.str());
    ASSERT_TRUE(child.WaitReady());
    {
        bool existed = false;
        auto block = SharedMemory::Open(space, "StateFile", 4);
        EXPECT_TRUE(block);
        auto mutex = NamedMutex::Create(space, kAccountMutex, clock, &existed);
        EXPECT_TRUE(existed);
    }  // this process lets go first
    EXPECT_FALSE(SystemObjects(space).empty());
    child.CloseInput();
    int status = child.Wait();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(SystemObjects(space).empty()) << "the child left its objects behind";
}

}  // namespace
