#include "notify/notification_jobs.h"

namespace notify {
namespace {

// A client without the subsystems behind these doors: each does nothing. They hold no state,
// so one instance of each serves every client.
DirectJobs noDirectJobs;
UiJobs noUiJobs;
IncomingMessageHooks noIncomingHooks;

}  // namespace

NotifySeams::NotifySeams() : direct(&noDirectJobs), ui(&noUiJobs), incoming(&noIncomingHooks) {}

}  // namespace notify
