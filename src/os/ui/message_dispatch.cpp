// Sending, posting and pumping messages.

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>

#include "os/sys/thread.h"
#include "os/ui/spin_wait.h"
#include "os/ui/window_system_impl.h"

namespace os {

namespace {

constexpr std::uint64_t kNoSeqLimit = std::numeric_limits<std::uint64_t>::max();
// A handler that posts to itself on every message would keep "until idle" busy for ever;
// past this many rounds the pump gives up and leaves the rest queued.
constexpr int kIdleRoundLimit = 10000;

}  // namespace

// ---- Delivery on the owner thread

bool WindowSystem::Impl::HandleOneSend(ThreadQueue& queue) {
    SendRequest* request = queue.TakeSend();
    if (!request) return false;
    if (Window* window = OwnedWindow(request->hwnd)) {
        if (request->task) {
            (*request->task)();
        } else {
            request->result =
                window->HandleMessage(request->message, request->wParam, request->lParam);
        }
        request->ran = true;
    }
    // The sender may return as soon as `done` is set; nothing of the request is touched after.
    std::shared_ptr<ThreadQueue> replyTo = std::move(request->replyTo);
    request->done.store(true);
    replyTo->Signal();
    return true;
}

void WindowSystem::Impl::ApplyHooks(ThreadQueue& queue, Msg& msg) {
    if (!queue.hooks) return;
    // A snapshot: a hook may install or remove hooks while it runs.
    std::shared_ptr<const std::vector<ThreadQueue::Hook>> hooks = queue.hooks;
    for (auto it = hooks->rbegin(); it != hooks->rend(); ++it) it->second(msg);
}

bool WindowSystem::Impl::TakeDueTimer(ThreadQueue& queue, Millis now, Msg& out) {
    ThreadQueue::Timer* due = nullptr;
    for (ThreadQueue::Timer& timer : queue.timers) {
        if (timer.deadline > now) continue;
        if (!due || timer.deadline < due->deadline ||
            (timer.deadline == due->deadline && timer.order < due->order)) {
            due = &timer;
        }
    }
    if (!due) return false;
    out = Msg{due->hwnd, WM_TIMER, due->id, 0, now};
    // One WM_TIMER per due time: a loop that comes late skips the missed ones.
    due->deadline += due->period;
    if (due->deadline <= now) due->deadline = now + due->period;
    queue.RecomputeNextTimerDeadline();
    return true;
}

WindowSystem::Impl::Next WindowSystem::Impl::NextMessage(ThreadQueue& queue, Msg& out,
                                                         std::uint64_t seqLimit, Millis now,
                                                         int& handled) {
    for (;;) {
        while (HandleOneSend(queue)) ++handled;
        ThreadQueue::Item item;
        if (queue.TakeItem(item, seqLimit)) {
            if (item.kind == ThreadQueue::ItemKind::Quit) {
                out = item.msg;
                return Next::Quit;
            }
            if (item.kind == ThreadQueue::ItemKind::Task) {
                if (OwnedWindow(item.msg.hwnd)) {
                    item.task();
                    ++handled;
                }
                continue;
            }
            if (item.msg.hwnd && !OwnedWindow(item.msg.hwnd)) continue;  // window gone: dropped
            // The keyboard's state moves with the key messages the thread takes, so a handler
            // reads the modifiers that were held for its key, however late it runs.
            if (IsKeyMessage(item.msg.message)) queue.heldModifiers = item.heldModifiers;
            out = item.msg;
            ApplyHooks(queue, out);
            return Next::Message;
        }
        if (TakeDueTimer(queue, now, out)) {
            ApplyHooks(queue, out);
            return Next::Message;
        }
        return Next::Nothing;
    }
}

LRESULT WindowSystem::Impl::Dispatch(ThreadQueue& queue, const Msg& msg) {
    if (!msg.hwnd) {
        if (queue.threadMessageHandler) {
            // A copy: the handler may replace itself.
            auto handler = queue.threadMessageHandler;
            handler(msg);
        }
        return 0;
    }
    Window* window = OwnedWindow(msg.hwnd);
    return window ? window->HandleMessage(msg.message, msg.wParam, msg.lParam) : 0;
}

int WindowSystem::Impl::PumpPending(ThreadQueue& queue) {
    // Before the first look: what arrives from here on leaves the descriptor readable.
    queue.DrainWake();
    queue.BeginPumping();
    const std::uint64_t seqLimit = queue.NextSeq();
    const Millis now = system.clock().Now();
    int handled = 0;
    Msg msg;
    while (NextMessage(queue, msg, seqLimit, now, handled) == Next::Message) {
        Dispatch(queue, msg);
        ++handled;
    }
    return handled;
}

void WindowSystem::Impl::PumpUntilIdle(ThreadQueue& queue) {
    for (int round = 0; round < kIdleRoundLimit; ++round) {
        if (PumpPending(queue) == 0) return;
    }
}

void WindowSystem::Impl::AwaitReply(const std::shared_ptr<ThreadQueue>& self,
                                    SendRequest& request) {
    ThreadQueue& queue = *self;
    auto ready = [&] { return request.done.load() || queue.pendingSends.load() > 0; };
    while (!request.done.load()) {
        // Two threads sending to each other must not wait for ever: handle what is sent here.
        if (HandleOneSend(queue)) continue;
        queue.Wait(system.clock(), kInfinite, ready, ui_detail::kReplySpin);
    }
}

bool WindowSystem::WaitForThreadEnd(Thread& thread, Millis timeoutMs) {
    auto self = impl_->CurrentQueue(true);
    ThreadQueue& queue = *self;
    // The ending thread marks its end and wakes this queue (a queue gone by then needs no
    // waking); the flag keeps the thread's own lock out of the queue's wait.
    auto ended = std::make_shared<std::atomic<bool>>(false);
    thread.CallWhenEnded([ended, weak = std::weak_ptr<ThreadQueue>(self)] {
        ended->store(true);
        if (auto woken = weak.lock()) woken->Signal();
    });
    const Millis deadline = clock_.DeadlineAfter(timeoutMs);
    while (!ended->load()) {
        // The thread may be in a send to us: answer it, so it can get back to its stop.
        if (impl_->HandleOneSend(queue)) continue;
        if (clock_.Now() >= deadline) break;
        const std::uint64_t seen = queue.epoch.load();
        queue.Wait(
            clock_, deadline,
            [&] {
                return ended->load() || queue.pendingSends.load() > 0 || queue.epoch.load() != seen;
            },
            ui_detail::kReplySpin);
    }
    return thread.WaitEnded(clock_, 0);
}

// ---- Sending and posting

LRESULT WindowSystem::SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> target;
    Window* window = nullptr;
    {
        std::lock_guard guard(impl_->mutex);
        const WindowEntry* entry = impl_->FindLocked(hwnd);
        if (!entry) return 0;
        target = entry->queue;
        window = entry->window;
    }
    if (target->owner == std::this_thread::get_id()) {
        return window->HandleMessage(message, wParam, lParam);
    }
    auto self = impl_->CurrentQueue(true);
    SendRequest request;
    request.hwnd = hwnd;
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    request.replyTo = self;
    if (!target->EnqueueSend(&request)) return 0;
    impl_->AwaitReply(self, request);
    return request.result;
}

bool WindowSystem::SendTask(HWND hwnd, const std::function<void()>& task) {
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(impl_->mutex);
        const WindowEntry* entry = impl_->FindLocked(hwnd);
        if (!entry) return false;
        target = entry->queue;
    }
    if (target->owner == std::this_thread::get_id()) {
        task();
        return true;
    }
    auto self = impl_->CurrentQueue(true);
    SendRequest request;
    request.hwnd = hwnd;
    request.task = &task;
    request.replyTo = self;
    if (!target->EnqueueSend(&request)) return false;
    impl_->AwaitReply(self, request);
    return request.ran;
}

bool WindowSystem::PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(impl_->mutex);
        const WindowEntry* entry = impl_->FindLocked(hwnd);
        if (!entry) return false;
        target = entry->queue;
    }
    ThreadQueue::Item item;
    item.msg = Msg{hwnd, message, wParam, lParam, clock_.Now()};
    return target->EnqueueItem(std::move(item));
}

bool WindowSystem::PostTask(HWND hwnd, std::function<void()> task) {
    std::shared_ptr<ThreadQueue> target;
    {
        std::lock_guard guard(impl_->mutex);
        const WindowEntry* entry = impl_->FindLocked(hwnd);
        if (!entry) return false;
        target = entry->queue;
    }
    ThreadQueue::Item item;
    item.kind = ThreadQueue::ItemKind::Task;
    item.msg = Msg{hwnd, WM_NULL, 0, 0, clock_.Now()};
    item.task = std::move(task);
    return target->EnqueueItem(std::move(item));
}

bool WindowSystem::PostThreadMessage(ThreadQueueId queueId, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    auto target = impl_->QueueById(queueId);
    if (!target) return false;
    if (message == WM_QUIT) {
        return target->EnqueueQuit(static_cast<int>(static_cast<std::int64_t>(wParam)),
                                   clock_.Now());
    }
    ThreadQueue::Item item;
    item.msg = Msg{HWND(), message, wParam, lParam, clock_.Now()};
    return target->EnqueueItem(std::move(item));
}

void WindowSystem::PostQuitMessage(int exitCode) {
    impl_->CurrentQueue(true)->EnqueueQuit(exitCode, clock_.Now());
}

// ---- The loop of the calling thread

bool WindowSystem::GetMessage(Msg& msg) {
    auto self = impl_->CurrentQueue(true);
    ThreadQueue& queue = *self;
    queue.BeginPumping();
    for (;;) {
        const std::uint64_t seen = queue.epoch.load();
        int handled = 0;
        switch (impl_->NextMessage(queue, msg, kNoSeqLimit, clock_.Now(), handled)) {
            case Impl::Next::Message:
                return true;
            case Impl::Next::Quit:
                queue.PopQuit();
                return false;
            case Impl::Next::Nothing:
                break;
        }
        if (handled > 0) continue;
        queue.Wait(
            clock_, queue.nextTimerDeadline.load(), [&] { return queue.epoch.load() != seen; },
            ui_detail::kIdleSpin);
    }
}

bool WindowSystem::PeekMessage(Msg& msg) {
    auto self = impl_->CurrentQueue(true);
    self->BeginPumping();
    int handled = 0;
    // A pending WM_QUIT is shown (and left queued), as Windows' PeekMessage does.
    return impl_->NextMessage(*self, msg, kNoSeqLimit, clock_.Now(), handled) !=
           Impl::Next::Nothing;
}

LRESULT WindowSystem::DispatchMessage(const Msg& msg) {
    if (msg.hwnd) {
        std::lock_guard guard(impl_->mutex);
        if (const WindowEntry* entry = impl_->FindLocked(msg.hwnd)) {
            impl_->CheckOwnerLocked(*entry, msg.hwnd, "WindowSystem::DispatchMessage");
        }
    }
    auto self = impl_->CurrentQueue(true);
    return impl_->Dispatch(*self, msg);
}

void WindowSystem::SetThreadMessageHandler(std::function<void(const Msg&)> handler) {
    impl_->CurrentQueue(true)->threadMessageHandler = std::move(handler);
}

int WindowSystem::Run() {
    Msg msg;
    while (GetMessage(msg)) DispatchMessage(msg);
    return static_cast<int>(static_cast<std::int64_t>(msg.wParam));
}

bool WindowSystem::IsQuitPending() { return impl_->CurrentQueue(true)->QuitQueued(); }

int WindowSystem::LoopDescriptor() { return impl_->CurrentQueue(true)->WakeDescriptor(); }

Millis WindowSystem::NextTimerDue() {
    const Millis deadline = impl_->CurrentQueue(true)->nextTimerDeadline.load();
    if (deadline == kInfinite) return kInfinite;
    return std::max<Millis>(0, deadline - clock_.Now());
}

int WindowSystem::PumpPending() { return impl_->PumpPending(*impl_->CurrentQueue(true)); }

bool WindowSystem::PumpUntil(const std::function<bool()>& condition, Millis timeoutMs) {
    auto self = impl_->CurrentQueue(true);
    ThreadQueue& queue = *self;
    queue.BeginPumping();
    const Millis deadline = clock_.DeadlineAfter(timeoutMs);
    const bool manual = impl_->manualClock != nullptr;
    for (;;) {
        if (condition()) return true;
        const std::uint64_t seen = queue.epoch.load();
        int handled = 0;
        Msg msg;
        switch (impl_->NextMessage(queue, msg, kNoSeqLimit, clock_.Now(), handled)) {
            case Impl::Next::Message:
                impl_->Dispatch(queue, msg);
                continue;
            case Impl::Next::Quit:
                return false;  // left queued for the loop outside
            case Impl::Next::Nothing:
                break;
        }
        if (handled > 0) continue;
        // Idle. A manual clock will not move by itself, so waiting could last for ever.
        if (manual) return condition();
        const Millis now = clock_.Now();
        if (now >= deadline) return condition();
        queue.Wait(
            clock_, std::min(deadline, queue.nextTimerDeadline.load()),
            [&] { return queue.epoch.load() != seen; }, ui_detail::kIdleSpin);
    }
}

// ---- Hooks

HookId WindowSystem::SetGetMessageHook(std::function<void(Msg&)> hook) {
    auto self = impl_->CurrentQueue(true);
    HookId id = impl_->nextHook.fetch_add(1);
    auto hooks = self->hooks ? std::make_shared<std::vector<ThreadQueue::Hook>>(*self->hooks)
                             : std::make_shared<std::vector<ThreadQueue::Hook>>();
    hooks->emplace_back(id, std::move(hook));
    self->hooks = std::move(hooks);
    return id;
}

bool WindowSystem::UnhookGetMessageHook(HookId hook) {
    auto self = impl_->CurrentQueue(false);
    if (!self || !self->hooks) return false;
    auto hooks = std::make_shared<std::vector<ThreadQueue::Hook>>(*self->hooks);
    auto removed =
        std::erase_if(*hooks, [hook](const ThreadQueue::Hook& h) { return h.first == hook; });
    if (removed == 0) return false;
    if (hooks->empty()) {
        self->hooks.reset();
    } else {
        self->hooks = std::move(hooks);
    }
    return true;
}

}  // namespace os
