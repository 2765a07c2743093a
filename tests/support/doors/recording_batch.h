#pragma once
// A batch-composer door that records the composers opened (and how they were filled in).

#include <vector>

#include "core/doors/batch_service.h"

namespace testing_support {

class RecordingBatch : public core::BatchService {
  public:
    int batchWindows = 0;
    std::vector<int> smsWindows;  // the modes
    void ShowBatchChatWindow() override { ++batchWindows; }
    void ShowSendSmsWindow(int mode) override { smsWindows.push_back(mode); }
    void OpenComposer(const core::ComposerRequest& request) override {
        composers.push_back(request);
    }
    std::vector<core::ComposerRequest> composers;
};

}  // namespace testing_support
