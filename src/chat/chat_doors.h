#pragma once
// What a chat window asks of other parts of the client that it does not own: the user's own
// settings, the SMS quota, the dialogs of other subsystems and the process-wide memory of
// received shakes. Each is a small interface whose defaults are the behaviour of a client
// without that part; whoever builds a chat window plugs in the real ones through ChatDoors.
// All calls run on the UI thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chat {

class ShakeMemory;

// The user's own chat settings (user.ini). An empty messageFont means "use the input box's
// own format".
struct UserChatSettings {
    std::string messageFont;
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
    // The batch composer, filled with a text.
    virtual void MoveToBatchComposer(const std::string& /*text*/) {}
    // The add-contact dialog for a JID.
    virtual void AddContact(const std::string& /*jid*/) {}
    // The contact picker: the chosen contacts' JIDs and presence words, nothing when cancelled.
    struct PickedContact {
        std::string jid;
        std::string name;
        std::string presence;
    };
    virtual std::optional<std::vector<PickedContact>> PickContacts(const std::string& /*title*/) {
        return std::nullopt;
    }
    // A multi-person chat with these JIDs, the peer first.
    virtual void StartConference(const std::vector<std::string>& /*jids*/) {}
    // The face picker's face number, nothing when none was chosen.
    virtual std::optional<int> PickFace() { return std::nullopt; }
    // A common phrase, nothing when none was chosen.
    virtual std::optional<std::string> PickCommonPhrase() { return std::nullopt; }
    virtual void StartScreenCapture() {}
    virtual void SendFileTo(const std::string& /*jid*/) {}
    virtual void OpenAudioVideo(const std::string& /*jid*/) {}
    // The window closes: hang up any audio or video call of it.
    virtual void EndAudioVideo(const std::string& /*jid*/) {}
};

// Null members take the window's defaults: its own empty settings, the default quota, the
// default commands (the client's service doors where one fits) and the process-wide shake
// memory.
struct ChatDoors {
    UserChatSettings* settings = nullptr;
    SmsQuota* quota = nullptr;
    ChatCommands* commands = nullptr;
    ShakeMemory* shakes = nullptr;
};

}  // namespace chat
