#include "chat/chat_doors.h"

#include "chat/shake_memory.h"
#include "config/phrase_store.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "core/doors/contact_service.h"

namespace chat {
namespace {

// The tool commands of a window without chat commands plugged in: those that a door of the
// client fits go there, the others do nothing.
class ClientDoorCommands final : public ChatCommands {
  public:
    explicit ClientDoorCommands(core::Doors& doors) : doors_(doors) {}
    void OpenSmsComposer(const std::string& /*mobile*/) override {
        doors_.batch->ShowSendSmsWindow(1);
    }
    void MoveToBatchComposer(const std::string& /*text*/) override {
        doors_.batch->ShowBatchChatWindow();
    }
    void AddContact(const std::string& /*jid*/) override { doors_.contacts->ShowAddContact(); }

  private:
    core::Doors& doors_;
};

}  // namespace

std::vector<std::string> UserChatSettings::CommonPhrases() {
    return {std::begin(config::kDefaultPhrases), std::end(config::kDefaultPhrases)};
}

ChatDoors::ChatDoors(core::Doors& clientDoors)
    : settings("chat settings", "the user settings"),
      quota("SMS quota", "the SMS quota"),
      commands("chat commands",
               "the contact, face and phrase pickers, screen capture, file transfer and calls",
               std::make_unique<ClientDoorCommands>(clientDoors)),
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
