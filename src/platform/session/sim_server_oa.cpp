// The simulated server's real-time OA notices: an office system's push to a user.

#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_world.h"

namespace platform {

int SimServer::SendOaNotice(std::string_view toJid, std::string_view body) {
    std::lock_guard lock(mutex_);
    const std::string key = Jid(toJid).StoreKey();
    if (!impl_->Online(key)) return 0;
    const os::LocalTime t = clock_.LocalNow();
    MessageData message;
    message.from = "oa@" + hostName_;
    message.to = std::string(toJid);
    message.fromName = "OA";
    message.time = os::Format("%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                              t.minute, t.second);
    message.content = std::string(body);
    impl_->DeliverToAccount(key, MakeNotify(notify_type::kOaNotice, std::move(message)));
    return 1;
}

}  // namespace platform
