#pragma once
// CDlgBatchChat: the batch message and SMS composer, a top-level window of class
// "KESTRAL_IM_BATCHCHATWND". One text goes to many recipients at once: in mode 1 as instant
// messages ("发送消息"), in modes 2 and 3 as SMS ("群发短信"; mode 3 opens with the timed SMS
// ticked). Recipients are typed or picked into one box, separated by ';'.
//
// The window gathers the input and shows what batch::BatchSender answers; the sending rules
// are the sender's. UI thread only.

#include <string>

#include "batch/batch_sender.h"
#include "core/client_context.h"
#include "os/ui/window.h"

namespace contacts {
class ContactTrees;
}
namespace os {
class CheckBox;
class Edit;
class Label;
}  // namespace os

namespace batch {

class SmsQuota;

inline constexpr int kComposerWidth = 520;
inline constexpr int kComposerHeight = 460;

}  // namespace batch

class CDlgBatchChat final : public os::Window {
  public:
    // `trees` (may be null) offer the contacts to pick.
    CDlgBatchChat(core::ClientContext& context, batch::SmsQuota& quota,
                  const contacts::ContactTrees* trees, int mode);

    // Creates the window (hidden; the caller shows it). False when it could not be made.
    bool Create();

    int mode() const { return mode_; }
    // Fills the composer in for the user: recipient text and message text.
    void Fill(const std::string& recipients, const std::string& contents);
    // Adds a picked contact: "<name>" into the box, "name(jid)" into the picker text.
    void AddPicked(const std::string& name, const std::string& jid);
    // The quota may have changed: counter and timed range again.
    void OnQuotaChanged();

    void Send();
    std::string CounterText() const;
    const std::string& pickerText() const { return pickerText_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    void MakeControls();
    void LayOutControls(int width, int height);
    void OnCommand(int id, int code);
    void Pick();
    void UpdateCount();
    void UpdateCounter();
    void UpdateTimedRange();
    // The timed SMS's send time "%d-%02d-%02d %02d:%02d"; nothing (and a box) when it
    // cannot be sent.
    std::optional<std::string> TimedSendTime();
    void Show(const batch::BatchNotice& notice);

    core::ClientContext& context_;
    batch::SmsQuota& quota_;
    const contacts::ContactTrees* trees_;
    const int mode_;
    batch::BatchSender sender_;
    std::string pickerText_;
    bool cutting_ = false;
    os::Edit* recipients_ = nullptr;
    os::Edit* contents_ = nullptr;
    os::Edit* signature_ = nullptr;
    os::Label* count_ = nullptr;
    os::Label* counter_ = nullptr;
    os::Label* timeRange_ = nullptr;
    os::CheckBox* receipt_ = nullptr;
    os::CheckBox* timed_ = nullptr;
    os::Edit* timedDate_ = nullptr;
    os::Edit* timedHour_ = nullptr;
    os::Edit* timedMinute_ = nullptr;
};
