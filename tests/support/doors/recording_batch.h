#pragma once
// A batch-composer door that records the composers opened.

#include <vector>

#include "core/doors/batch_service.h"

namespace testing_support {

class RecordingBatch : public core::BatchService {
  public:
    int batchWindows = 0;
    std::vector<int> smsWindows;  // the modes
    void ShowBatchChatWindow() override { ++batchWindows; }
    void ShowSendSmsWindow(int mode) override { smsWindows.push_back(mode); }
};

}  // namespace testing_support
