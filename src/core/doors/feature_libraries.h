#pragma once
// The door to the imported feature libraries: animated faces, mail panel, customer service,
// audio, VPN, monitoring, network disk and the softphone.

#include <string>

#include "os/ui/hwnd.h"
#include "os/ui/messages.h"

namespace core {

class FeatureLibraries {
  public:
    virtual ~FeatureLibraries() = default;
    virtual void GifOleInit(os::HWND /*callbackWindow*/, os::UINT /*message*/) {}
    virtual void GifOleUninit() {}
    virtual void MailPanelSetCallBack(os::HWND /*callbackWindow*/, os::UINT /*message*/) {}
    virtual void MailPanelShowMainWindow() {}
    virtual void MailPanelClose() {}
    // After a successful login: the customer-service role, audio, the VPN and the mail panel.
    virtual void StartSession() {}
    virtual void AudioUnregister() {}
    virtual void WatchStopMonitor() {}
    // Customer service (ServiceDesk).
    virtual void CustomerServiceClear() {}
    virtual void CustomerServiceFree() {}
    virtual bool CustomerServiceWindowExists() { return false; }
    // Answers whether the key was handled.
    virtual bool CustomerServiceKeyDown(int /*key*/, int /*flags*/) { return false; }
    virtual bool CustomerServiceIsChatWindow(os::HWND /*window*/) { return false; }
    virtual int CustomerServiceChatKeyDown(int /*key*/, int /*flags*/) { return 0; }
    virtual int CustomerServiceChatingCount() { return 0; }
    // Network disk.
    virtual int ShowShareDialog(int /*kind*/, void* /*owner*/) { return 0; }
    virtual int RemoveShareDialog(void* /*dialog*/) { return 0; }
    virtual bool SetShareNetDisk(const std::string& /*path*/, const std::string& /*users*/,
                                 int /*rights*/) {
        return false;
    }
    // Softphone.
    virtual void BindPhone(const std::string& /*number*/, int /*flag*/) {}
    virtual void Dial(const std::string& /*number*/) {}
};

}  // namespace core
