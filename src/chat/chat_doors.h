#pragma once
// What a chat window asks of other parts of the client that it does not own: the user's own
// settings, the SMS quota, the dialogs of other subsystems and the client's memory of
// received shakes. Each is a door (core/door.h) of the window's own. With nothing plugged
// in, a window keeps its own settings, has no quota, remembers only the shakes it received
// itself, picks contacts in the client's own picker over the window's contact trees, and
// hands the tool commands it can to the client's doors with their arguments: the SMS and
// batch composers to the batch door, add-contact to the contact door, a multi-person chat to
// the rooms door. The window manager plugs
// the client's ones into each window it makes (its one shake memory and whatever
// ClientSubsystems plugged into the manager's ChatDoors). All calls run on the UI thread.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/door.h"
#include "os/ui/hwnd.h"

namespace core {
class ClientContext;
}
namespace contacts {
class ContactTrees;
}

namespace chat {

class ShakeMemory;

// The user's own chat settings and common phrases. Unplugged, a window keeps a font of its
// own and offers the default phrases.
class UserChatSettings {
  public:
    virtual ~UserChatSettings() = default;
    // The chat font as a font header; empty: the input box's own format.
    virtual std::string MessageFont() { return messageFont_; }
    // The font the user chose in a window: the user's from now on (and saved, when plugged).
    virtual void SetMessageFont(const std::string& header) { messageFont_ = header; }
    // The phrases "常用语" offers, in order.
    virtual std::vector<std::string> CommonPhrases();

  private:
    std::string messageFont_;
};

// The SMS quota and the timed-SMS service.
class SmsQuota {
  public:
    virtual ~SmsQuota() = default;
    // The quota text shown in the SMS hint lines; empty when unknown.
    virtual std::string QuotaText() { return {}; }
    // Whether `text` may go to `recipients` numbers now; the refusal text when not.
    virtual std::optional<std::string> RefuseSend(std::string_view /*text*/, int /*recipients*/) {
        return std::nullopt;
    }
    // Whether the user may send timed SMS at all.
    virtual bool CanSendTimedSms() { return true; }
};

// Dialogs and components of other subsystems that the tool bars open.
class ChatCommands {
  public:
    virtual ~ChatCommands() = default;
    // The SMS composer addressed to a mobile number.
    virtual void OpenSmsComposer(const std::string& /*mobile*/) {}
    // The SMS batch composer, filled with a text ("转群发" of an SMS-mode window).
    virtual void MoveToBatchComposer(const std::string& /*text*/) {}
    // The add-contact dialog for a JID.
    virtual void AddContact(const std::string& /*jid*/) {}
    // The contact picker: the chosen contacts' JIDs and presence words, nothing when cancelled.
    struct PickedContact {
        std::string jid;
        std::string name;
        std::string presence;
    };
    // `owner`: the window the picker is modal to.
    virtual std::optional<std::vector<PickedContact>> PickContacts(const std::string& /*title*/,
                                                                   os::HWND /*owner*/) {
        return std::nullopt;
    }
    // A multi-person chat with these JIDs, the peer first.
    virtual void StartConference(const std::vector<std::string>& /*jids*/) {}
    virtual void StartScreenCapture() {}
    virtual void SendFileTo(const std::string& /*jid*/) {}
    virtual void OpenAudioVideo(const std::string& /*jid*/) {}
    // The window closes: hang up any audio or video call of it.
    virtual void EndAudioVideo(const std::string& /*jid*/) {}
};

// The SMS quota as whatever its door leads to at each call: for a holder that keeps an
// SmsQuota& for its lifetime while the door may be plugged in after it was made.
class SmsQuotaThroughDoor final : public SmsQuota {
  public:
    explicit SmsQuotaThroughDoor(const core::Door<SmsQuota>& door) : door_(door) {}
    std::string QuotaText() override { return door_->QuotaText(); }
    std::optional<std::string> RefuseSend(std::string_view text, int recipients) override {
        return door_->RefuseSend(text, recipients);
    }
    bool CanSendTimedSms() override { return door_->CanSendTimedSms(); }

  private:
    const core::Door<SmsQuota>& door_;
};

// A chat window's doors.
struct ChatDoors {
    // While no chat commands are plugged in, the tool commands go to `context`'s doors and
    // the contact picker offers the contacts of `trees` (may be null: none).
    ChatDoors(core::ClientContext& context, contacts::ContactTrees* trees);
    ~ChatDoors();
    ChatDoors(const ChatDoors&) = delete;
    ChatDoors& operator=(const ChatDoors&) = delete;

    core::Door<UserChatSettings> settings;
    core::Door<SmsQuota> quota;
    core::Door<ChatCommands> commands;
    core::Door<ShakeMemory> shakes;

    // Plugs in here every door that `other` has plugged in.
    void PlugFrom(const ChatDoors& other);
    std::array<core::DoorInfo, 4> Infos() const;
};

}  // namespace chat
