#pragma once
// A feature-library door: numbers dialled, session starts, and a customer service whose chat
// window, key answers and conversation count the test sets.

#include <map>
#include <string>
#include <vector>

#include "core/doors/feature_libraries.h"

namespace testing_support {

class RecordingLibraries : public core::FeatureLibraries {
  public:
    std::vector<std::string> dialled;
    int sessionStarts = 0;
    os::HWND serviceChat;                      // the customer-service chat window
    std::map<int, int> serviceChatKeyAnswers;  // key -> its answer; other keys answer 0
    int chatingCount = 0;

    void Dial(const std::string& number) override { dialled.push_back(number); }
    void StartSession() override { ++sessionStarts; }
    bool CustomerServiceIsChatWindow(os::HWND window) override {
        return !window.IsNull() && window == serviceChat;
    }
    int CustomerServiceChatKeyDown(int key, int /*flags*/) override {
        const auto answer = serviceChatKeyAnswers.find(key);
        return answer == serviceChatKeyAnswers.end() ? 0 : answer->second;
    }
    int CustomerServiceChatingCount() override { return chatingCount; }
};

}  // namespace testing_support
