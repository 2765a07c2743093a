#pragma once
// Drives the library's UI loop from Qt's event loop on the same thread, without polling: a
// QSocketNotifier on the library's loop descriptor and one single-shot timer armed for the
// library's next timer deadline. It also runs the library's nested waits (a modal dialog) as
// nested Qt event loops, so painting and input go on meanwhile.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <vector>

class QEventLoop;

namespace host {

class LoopDriver : public QObject {
    Q_OBJECT
  public:
    LoopDriver();
    ~LoopDriver() override;

    // Starts watching the library's descriptor and installs the nested-loop handler. False
    // when the library has no descriptor to watch.
    bool Start();
    // Handles what the library has queued now, then re-arms the timer and wakes any nested
    // wait whose condition holds.
    void Pump();
    // Asks for a pump on the next turn of the event loop (after a user action, whose handlers
    // may have ended a nested wait without queueing anything).
    void PumpSoon();
    // How many pumps ran: an idle client makes none.
    long PumpCount() const { return pumps_; }

  private:
    struct NestedWait {
        int (*done)(void*);
        void* arg;
        QEventLoop* loop;
    };
    static void RunNested(void* user, int (*done)(void* arg), void* arg);
    void ArmTimer();
    void WakeNestedWaits();

    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timer_;
    QTimer soon_;
    std::vector<NestedWait> nested_;
    long pumps_ = 0;
    bool pumping_ = false;
};

}  // namespace host
