#pragma once
// The door to the batch message and SMS composer.

namespace core {

class BatchService {
  public:
    virtual ~BatchService() = default;
    virtual void ShowBatchChatWindow() {}
    virtual void ShowSendSmsWindow(int /*mode*/) {}
};

}  // namespace core
