#include "chat/chat_doors.h"

#include "chat/dlg_contact_picker.h"
#include "chat/shake_memory.h"
#include "config/phrase_store.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "core/doors/contact_service.h"
#include "core/doors/room_service.h"

namespace chat {
namespace {

// The tool commands of a window without chat commands plugged in: the contact picker is the
// client's own, those that a door of the client fits go there with their arguments, the
// others do nothing.
class ClientDoorCommands final : public ChatCommands {
  public:
    ClientDoorCommands(core::ClientContext& context, contacts::ContactTrees* trees)
        : context_(context), trees_(trees) {}
    void OpenSmsComposer(const std::string& mobile) override {
        context_.doors().batch->OpenComposer({core::kComposerSms, mobile, {}});
    }
    void MoveToBatchComposer(const std::string& text) override {
        context_.doors().batch->OpenComposer({core::kComposerSms, {}, text});
    }
    void AddContact(const std::string& jid) override {
        context_.doors().contacts->ShowAddContactFor(jid);
    }
    std::optional<std::vector<PickedContact>> PickContacts(const std::string& title,
                                                           os::HWND owner) override {
        return PickContactsFromTrees(context_, trees_, title, owner);
    }
    void StartConference(const std::vector<std::string>& jids) override {
        context_.doors().rooms->CreateInstantRoom(jids);
    }

  private:
    core::ClientContext& context_;
    contacts::ContactTrees* trees_;
};

}  // namespace

std::vector<std::string> UserChatSettings::CommonPhrases() {
    return {std::begin(config::kDefaultPhrases), std::end(config::kDefaultPhrases)};
}

ChatDoors::ChatDoors(core::ClientContext& context, contacts::ContactTrees* trees)
    : settings("chat settings", "the user settings"),
      quota("SMS quota", "the SMS quota"),
      commands("chat commands", "screen capture, file transfer and calls",
               std::make_unique<ClientDoorCommands>(context, trees)),
      shakes("shake memory", "") {}

ChatDoors::~ChatDoors() = default;

void ChatDoors::PlugFrom(const ChatDoors& other) {
    settings.PlugFrom(other.settings);
    quota.PlugFrom(other.quota);
    commands.PlugFrom(other.commands);
    shakes.PlugFrom(other.shakes);
}

std::array<core::DoorInfo, 4> ChatDoors::Infos() const {
    return {settings.info(), quota.info(), commands.info(), shakes.info()};
}

}  // namespace chat
