#pragma once
// Objects that belong to one thread (a window and its controls, the window system's per-window
// calls, the contact trees) check the calling thread in debug builds. A call from another
// thread is a programming error: it fails loudly, naming the object and both threads, and
// ends the process, where the release build answers as it always has (null, 0, false, or the
// unguarded answer). Work meant for another thread goes through SendMessage, PostMessage,
// SendTask or a thread message, which never trip a check.

#include <string>
#include <string_view>
#include <thread>

namespace os {

#ifdef NDEBUG
inline constexpr bool kCheckOwnerThreads = false;
#else
inline constexpr bool kCheckOwnerThreads = true;
#endif

// The calling thread as the checks name it: its system name and id.
std::string DescribeCurrentThread();

// Writes "<call>: <object> belongs to thread <owner>, called on thread <caller>" to stderr
// and aborts.
[[noreturn]] void FailWrongThread(std::string_view call, std::string_view object,
                                  std::string_view ownerThread, std::thread::id owner);

// In a debug build, fails unless `owner` is the calling thread. `describeObject()` (giving
// a std::string) and `describeOwner()` run only then. A default id (no owner yet) passes.
template <typename DescribeObject, typename DescribeOwner>
void CheckOwnerThread(std::thread::id owner, std::string_view call, DescribeObject&& describeObject,
                      DescribeOwner&& describeOwner) {
    if constexpr (kCheckOwnerThreads) {
        if (owner != std::thread::id() && owner != std::this_thread::get_id()) {
            FailWrongThread(call, describeObject(), describeOwner(), owner);
        }
    }
}

}  // namespace os
