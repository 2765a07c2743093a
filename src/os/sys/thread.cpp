#include "os/sys/thread.h"

#include <pthread.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace os {

// Shared by the owner and the running body, so a detached body never touches a freed owner.
struct Thread::State {
    std::mutex mutex;
    std::condition_variable cv;
    bool ended = false;
    std::stop_source stop;
    std::vector<std::function<void()>> onEnded;  // run once, after `ended` is set
};

Thread::Thread(std::string name, std::function<void(std::stop_token)> body)
    : name_(std::move(name)), state_(std::make_shared<State>()) {
    thread_ = std::thread([state = state_, body = std::move(body), name = name_] {
        // Linux limits thread names to 15 bytes plus the terminating NUL.
        pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
        body(state->stop.get_token());
        std::vector<std::function<void()>> onEnded;
        {
            std::lock_guard guard(state->mutex);
            state->ended = true;
            state->cv.notify_all();
            onEnded.swap(state->onEnded);
        }
        // Outside the lock: a callback wakes a waiter that may look at Running() at once.
        for (const auto& callback : onEnded) callback();
    });
    id_ = thread_.get_id();
}

Thread::~Thread() { Release(); }

Thread::Thread(Thread&& other) noexcept
    : name_(std::move(other.name_)),
      state_(std::move(other.state_)),
      thread_(std::move(other.thread_)),
      id_(other.id_) {
    other.id_ = {};
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Release();
        name_ = std::move(other.name_);
        state_ = std::move(other.state_);
        thread_ = std::move(other.thread_);
        id_ = other.id_;
        other.id_ = {};
    }
    return *this;
}

void Thread::Release() {
    if (state_) {
        state_->stop.request_stop();
        if (thread_.joinable()) {
            bool ended;
            {
                std::lock_guard guard(state_->mutex);
                ended = state_->ended;
            }
            if (ended) {
                thread_.join();
            } else {
                thread_.detach();
            }
        }
    }
    state_.reset();
    id_ = {};
}

void Thread::RequestStop() {
    if (state_) state_->stop.request_stop();
}

bool Thread::StopRequested() const { return state_ && state_->stop.stop_requested(); }

bool Thread::Joinable() const { return thread_.joinable(); }

bool Thread::Running() const {
    if (!state_) return false;
    std::lock_guard guard(state_->mutex);
    return !state_->ended;
}

bool Thread::WaitEnded(Clock& clock, Millis timeoutMs) {
    if (!state_) return true;
    bool ended;
    {
        std::unique_lock lock(state_->mutex);
        if (state_->ended || timeoutMs == 0) {
            ended = state_->ended;
        } else {
            ended = clock.WaitUntil(lock, state_->cv, clock.DeadlineAfter(timeoutMs),
                                    [this] { return state_->ended; });
        }
    }
    // The body has returned; what is left of the thread finishes at once.
    if (ended && thread_.joinable()) thread_.join();
    return ended;
}

void Thread::CallWhenEnded(std::function<void()> callback) {
    if (state_) {
        std::lock_guard guard(state_->mutex);
        if (!state_->ended) {
            state_->onEnded.push_back(std::move(callback));
            return;
        }
    }
    callback();
}

void Thread::Detach() {
    if (thread_.joinable()) thread_.detach();
}

std::thread::id Thread::Id() const { return id_; }

}  // namespace os
