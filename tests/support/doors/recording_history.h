#pragma once
// A history door with a window the test sets, answering keys from a table and recording what
// it is asked to open and show.

#include <map>
#include <string>
#include <vector>

#include "core/doors/history_service.h"

namespace testing_support {

class RecordingHistory : public core::HistoryService {
  public:
    os::HWND window;
    std::map<int, int> keyAnswers;  // key -> OnKeyDown's answer; other keys answer 0
    std::vector<std::string> opened;
    std::vector<core::QueuedMessage> notices;

    os::HWND Window() override { return window; }
    int OnKeyDown(int key, int /*flags*/) override {
        const auto answer = keyAnswers.find(key);
        return answer == keyAnswers.end() ? 0 : answer->second;
    }
    void Open(const std::string& filterJid) override { opened.push_back(filterJid); }
    void ShowOaNotice(const core::QueuedMessage& notice) override { notices.push_back(notice); }
};

}  // namespace testing_support
