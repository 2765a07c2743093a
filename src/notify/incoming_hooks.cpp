#include "notify/incoming_hooks.h"

namespace notify {

IncomingMessageHooks& NoIncomingHooks() {
    static IncomingMessageHooks none;
    return none;
}

}  // namespace notify
