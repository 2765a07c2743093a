#pragma once
// Chat tool commands that other subsystems own, recorded; the pickers answer what the test
// sets.

#include <optional>
#include <string>
#include <vector>

#include "chat/chat_doors.h"

namespace testing_support {

class RecordingChatCommands : public chat::ChatCommands {
  public:
    void AddContact(const std::string& jid) override { addedContacts.push_back(jid); }
    void OpenSmsComposer(const std::string& mobile) override { smsComposers.push_back(mobile); }
    void MoveToBatchComposer(const std::string& text) override { batchTexts.push_back(text); }
    std::optional<std::vector<PickedContact>> PickContacts(const std::string& title,
                                                           os::HWND /*owner*/) override {
        pickerTitles.push_back(title);
        return picked;
    }
    void StartConference(const std::vector<std::string>& jids) override {
        conferences.push_back(jids);
    }
    void EndAudioVideo(const std::string& jid) override { endedCalls.push_back(jid); }

    std::vector<std::string> addedContacts;
    std::vector<std::string> smsComposers;
    std::vector<std::string> batchTexts;
    std::vector<std::string> pickerTitles;
    std::optional<std::vector<PickedContact>> picked;
    std::vector<std::vector<std::string>> conferences;
    std::vector<std::string> endedCalls;
};

}  // namespace testing_support
