#include "os/sys/network_interfaces.h"

#include <ifaddrs.h>
#include <net/if.h>

namespace os {

bool NonLoopbackInterfaceUp() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool up = false;
    for (const ifaddrs* entry = list; entry != nullptr && !up; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        up = (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0 && (flags & IFF_LOOPBACK) == 0 &&
             entry->ifa_addr != nullptr;
    }
    freeifaddrs(list);
    return up;
}

}  // namespace os
