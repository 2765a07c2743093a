#include "os/ui/thread_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "os/sys/thread_check.h"
#include "os/ui/spin_wait.h"

namespace os {

ThreadQueue::ThreadQueue(std::uint64_t systemSerial, ThreadQueueId id)
    : systemSerial(systemSerial),
      id(id),
      owner(std::this_thread::get_id()),
      ownerName(DescribeCurrentThread()) {}

ThreadQueue::~ThreadQueue() {
    const int fd = wakeFd_.exchange(-1);
    if (fd >= 0) ::close(fd);
}

int ThreadQueue::WakeDescriptor() {
    int fd = wakeFd_.load();
    if (fd >= 0) return fd;
    fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) return -1;
    wakeFd_.store(fd);
    // Whatever was queued before the host started watching must not wait for the next post.
    RaiseWake();
    return fd;
}

void ThreadQueue::RaiseWake() {
    const int fd = wakeFd_.load();
    if (fd < 0) return;
    const std::uint64_t one = 1;
    // A full counter (never in practice) is readable all the same, so a failed write loses
    // nothing; EINTR is the only error worth a retry.
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void ThreadQueue::DrainWake() {
    const int fd = wakeFd_.load();
    if (fd < 0) return;
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

void ThreadQueue::NotifyIfSleeping() {
    // Pairs with Wait(): the sleeper sets sleeping_ before its last look at the work, and
    // the waker bumps epoch before this look, so one of them always sees the other.
    if (sleeping_.load()) {
        std::lock_guard guard(mutex_);
        cv_.notify_all();
    }
}

void ThreadQueue::Signal() {
    epoch.fetch_add(1);
    RaiseWake();
    NotifyIfSleeping();
}

bool ThreadQueue::EnqueueSend(SendRequest* request) {
    {
        std::lock_guard guard(mutex_);
        if (!AcceptsSendsLocked()) return false;
        sends_.push_back(request);
        pendingSends.fetch_add(1);
        epoch.fetch_add(1);
    }
    RaiseWake();
    NotifyIfSleeping();
    return true;
}

bool ThreadQueue::EnqueueItem(Item item) {
    {
        std::lock_guard guard(mutex_);
        if (closed_) return false;
        item.seq = nextSeq_++;
        items_.push_back(std::move(item));
        epoch.fetch_add(1);
    }
    RaiseWake();
    NotifyIfSleeping();
    return true;
}

bool ThreadQueue::EnqueueQuit(int exitCode, Millis now) {
    std::vector<SendRequest*> refused;
    {
        std::lock_guard guard(mutex_);
        if (closed_) return false;
        Item item;
        item.kind = ItemKind::Quit;
        item.msg.message = WM_QUIT;
        item.msg.wParam = static_cast<WPARAM>(static_cast<std::int64_t>(exitCode));
        item.msg.time = now;
        item.seq = nextSeq_++;
        items_.push_back(std::move(item));
        ++quitsQueued_;
        refused.assign(sends_.begin(), sends_.end());
        sends_.clear();
        pendingSends.store(0);
        epoch.fetch_add(1);
    }
    AnswerAll(refused);
    RaiseWake();
    NotifyIfSleeping();
    return true;
}

void ThreadQueue::Close() {
    std::vector<SendRequest*> refused;
    std::deque<Item> dropped;  // destroyed outside the lock: a task's captures may do anything
    {
        std::lock_guard guard(mutex_);
        if (closed_) return;
        closed_ = true;
        refused.assign(sends_.begin(), sends_.end());
        sends_.clear();
        pendingSends.store(0);
        dropped.swap(items_);
        epoch.fetch_add(1);
    }
    nextTimerDeadline.store(kInfinite);  // its timers will never fire: stop stepping to them
    AnswerAll(refused);
    NotifyIfSleeping();
}

bool ThreadQueue::IsClosed() const {
    std::lock_guard guard(mutex_);
    return closed_;
}

void ThreadQueue::AnswerAll(std::vector<SendRequest*>& requests) {
    for (SendRequest* request : requests) {
        std::shared_ptr<ThreadQueue> replyTo = std::move(request->replyTo);
        request->result = 0;
        request->ran = false;
        request->done.store(true);
        if (replyTo) replyTo->Signal();
    }
    requests.clear();
}

SendRequest* ThreadQueue::TakeSend() {
    if (pendingSends.load(std::memory_order_acquire) == 0) return nullptr;
    std::lock_guard guard(mutex_);
    if (sends_.empty()) return nullptr;
    SendRequest* request = sends_.front();
    sends_.pop_front();
    pendingSends.fetch_sub(1);
    return request;
}

bool ThreadQueue::TakeItem(Item& out, std::uint64_t seqLimit) {
    std::lock_guard guard(mutex_);
    if (items_.empty() || items_.front().seq >= seqLimit) return false;
    if (items_.front().kind == ItemKind::Quit) {
        out.kind = ItemKind::Quit;
        out.msg = items_.front().msg;
        return true;
    }
    out = std::move(items_.front());
    items_.pop_front();
    return true;
}

void ThreadQueue::PopQuit() {
    std::lock_guard guard(mutex_);
    if (items_.empty() || items_.front().kind != ItemKind::Quit) return;
    items_.pop_front();
    if (--quitsQueued_ == 0) loopEnded_ = true;
}

std::uint64_t ThreadQueue::NextSeq() const {
    std::lock_guard guard(mutex_);
    return nextSeq_;
}

bool ThreadQueue::QuitQueued() const {
    std::lock_guard guard(mutex_);
    return quitsQueued_ > 0;
}

void ThreadQueue::BeginPumping() {
    std::lock_guard guard(mutex_);
    if (quitsQueued_ == 0) loopEnded_ = false;
}

void ThreadQueue::RemoveItemsFor(HWND hwnd) {
    std::deque<Item> dropped;
    {
        std::lock_guard guard(mutex_);
        auto keep = std::stable_partition(items_.begin(), items_.end(), [hwnd](const Item& item) {
            return item.kind == ItemKind::Quit || item.msg.hwnd != hwnd;
        });
        std::move(keep, items_.end(), std::back_inserter(dropped));
        items_.erase(keep, items_.end());
    }
}

void ThreadQueue::Wait(Clock& clock, Millis deadline, const std::function<bool()>& ready,
                       std::chrono::microseconds spin) {
    if (ui_detail::SpinUntil(ready, spin)) return;
    std::unique_lock lock(mutex_);
    sleeping_.store(true);
    clock.WaitUntil(lock, cv_, deadline, ready);
    sleeping_.store(false);
}

void ThreadQueue::RecomputeNextTimerDeadline() {
    Millis earliest = kInfinite;
    for (const Timer& timer : timers) earliest = std::min(earliest, timer.deadline);
    nextTimerDeadline.store(earliest);
}

void ThreadQueue::TimersChanged() {
    RecomputeNextTimerDeadline();
    RaiseWake();
}

}  // namespace os
