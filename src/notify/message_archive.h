#pragma once
// Storing received messages and events in the logged-in user's message store.
//
// The store is opened per message, as every caller of the store does, in the user folder
// (shared client directory + account name + "/"). A failure shows the store's own error text
// in a message box; the caller goes on.

#include <string>
#include <string_view>

#include "core/client_context.h"
#include "os/sys/clock.h"

namespace notify {

// "%4d-%02d-%02d %02d:%02d:%02d", the time form of stored messages.
std::string StoreTimeText(const os::LocalTime& time);

// Contents that are never stored: room status echoes and office-system notices. True for a
// content that is exactly "该房间不是匿名的。" or contains "协同办公系统通知", "该房间现在已解锁"
// or "确认配置之前已锁住该房间，禁止进入".
bool IsKeptOutOfStore(std::string_view content);

class MessageArchive {
  public:
    explicit MessageArchive(core::ClientContext& context) : context_(context) {}

    // Stores one message received by the logged-in user (the receiver is the user's own JID),
    // or, when the session has ended since, by the user it belonged to. An empty `time`
    // stores the current time. False when it was not stored: nobody ever logged in (logged),
    // or the store failed (message box).
    bool StoreReceived(std::string_view from, std::string_view time, std::string_view contents,
                       int type);

  private:
    core::ClientContext& context_;
};

}  // namespace notify
