#pragma once
// The pictures of received messages ("#(-2)#[name]"): the view shows a placeholder for each
// picture whose file has not arrived, and the sender's client offers the file right after the
// message. An offer whose name is one the window waits for is taken at once, without a prompt,
// into the pictures folder ("temp/") under that name (a safe leaf: a name with a folder part
// never gets a placeholder); when the file is complete every placeholder of it becomes the
// picture, and the receipt "#*(-3)*#-<name>" goes back to the participants. UI thread only.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "os/ui/hwnd.h"
#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}
namespace os {
class RichEdit;
}

namespace chat {

class InlinePictures {
  public:
    using ReceiptSender = std::function<void(const std::string& body)>;

    InlinePictures(core::ClientContext& context, os::RichEdit& view, std::string pictureFolder);
    void Attach(std::string peerJid) { peerJid_ = std::move(peerJid); }
    void SetReceiptSender(ReceiptSender sender) { receiptSender_ = std::move(sender); }

    // After a received message was shown: the placeholders it added from object `firstObject`
    // on are waited for.
    void AwaitPlaceholders(int firstObject);
    // An offer (type 32) or an event of a picture being received: true when it was one.
    bool OnEvent(std::uint32_t type, const platform::FileTransferData& data);

    bool IsAwaited(const std::string& name) const { return awaited_.contains(name); }

  private:
    void Arrived(const std::string& name);

    core::ClientContext& context_;
    os::RichEdit& view_;
    std::string folder_;
    std::string peerJid_;
    ReceiptSender receiptSender_;
    std::set<std::string> awaited_;
    std::map<std::string, std::string> receiving_;  // transfer key -> picture name
};

}  // namespace chat
