#include "loop_driver.h"

#include <QEventLoop>

#include "qorvdesk/host.h"

namespace host {

LoopDriver::LoopDriver() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &LoopDriver::Pump);
    soon_.setSingleShot(true);
    soon_.setInterval(0);
    connect(&soon_, &QTimer::timeout, this, &LoopDriver::Pump);
}

LoopDriver::~LoopDriver() { QorvSetNestedLoopHandler(nullptr, nullptr); }

bool LoopDriver::Start() {
    QorvSetNestedLoopHandler(&LoopDriver::RunNested, this);
    const int descriptor = QorvLoopDescriptor();
    if (descriptor < 0) return false;
    notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &LoopDriver::Pump);
    Pump();
    return true;
}

void LoopDriver::Pump() {
    // A handler the pump runs may open a nested wait whose loop pumps again: that is the
    // library's own nesting and allowed; only the bookkeeping below must not run twice.
    ++pumps_;
    QorvPumpMessages();
    ArmTimer();
    WakeNestedWaits();
}

void LoopDriver::PumpSoon() {
    if (!soon_.isActive()) soon_.start();
}

void LoopDriver::ArmTimer() {
    const std::int64_t due = QorvNextTimerDueMs();
    if (due < 0) {
        timer_.stop();
        return;
    }
    const int ms = due > 24 * 3600 * 1000 ? 24 * 3600 * 1000 : static_cast<int>(due);
    timer_.start(ms);
}

void LoopDriver::WakeNestedWaits() {
    for (const NestedWait& wait : nested_) {
        if (wait.done(wait.arg) != 0) wait.loop->quit();
    }
}

void LoopDriver::RunNested(void* user, int (*done)(void* arg), void* arg) {
    auto* self = static_cast<LoopDriver*>(user);
    if (done(arg) != 0) return;
    QEventLoop loop;
    self->nested_.push_back(NestedWait{done, arg, &loop});
    // What was queued before the wait began is handled in it.
    self->PumpSoon();
    while (done(arg) == 0) loop.exec();
    for (auto it = self->nested_.begin(); it != self->nested_.end(); ++it) {
        if (it->loop == &loop) {
            self->nested_.erase(it);
            break;
        }
    }
}

}  // namespace host
