#pragma once
// The door to the batch message and SMS composer.

#include <string>

namespace core {

// The composer's modes.
inline constexpr int kComposerMessages = 1;  // instant messages
inline constexpr int kComposerSms = 2;       // SMS

// A composer opened from another window, filled in for the user.
struct ComposerRequest {
    int mode = kComposerSms;
    std::string recipients;  // the recipient text: numbers or JIDs separated by ';'
    std::string contents;    // the message text
};

class BatchService {
  public:
    virtual ~BatchService() = default;
    virtual void ShowBatchChatWindow() {}
    virtual void ShowSendSmsWindow(int /*mode*/) {}
    // The composer in `request.mode` with its recipient text and contents filled in.
    virtual void OpenComposer(const ComposerRequest& /*request*/) {}
    // A session starts: the SMS quota known so far is forgotten (it may be another account's)
    // until the server's answers to the queries that follow arrive.
    virtual void ResetQuota() {}
};

}  // namespace core
