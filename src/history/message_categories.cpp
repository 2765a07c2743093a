#include "history/message_categories.h"

#include <array>

namespace history {
namespace {

constexpr std::array kCategories = {
    MessageCategory{"IMMsgFromMe", "我发送的消息", kMyMessagesFolder, CategoryQuery::SentByMe,
                    kChatType},
    MessageCategory{"IMMsgToMe", "我接收的消息", kMyMessagesFolder, CategoryQuery::ReceivedByMe,
                    kChatType},
    MessageCategory{"SMSMsgFromMe", "我发送的短信", kMyMessagesFolder, CategoryQuery::SentByMe,
                    kSmsType},
    MessageCategory{"SMSMsgToMe", "我接收的短信", kMyMessagesFolder, CategoryQuery::ReceivedByMe,
                    kSmsType},
    MessageCategory{"admin", "系统消息", kOtherMessagesFolder, CategoryQuery::ByKey, kAllTypes},
    MessageCategory{"confrece", "群系统消息", kOtherMessagesFolder, CategoryQuery::ByKey,
                    kAllTypes},
    MessageCategory{"other", "验证消息", kOtherMessagesFolder, CategoryQuery::ByKey, kAllTypes},
};

}  // namespace

std::span<const MessageCategory> MessageCategories() { return kCategories; }

const MessageCategory* FindCategory(std::string_view key) {
    for (const MessageCategory& category : kCategories) {
        if (category.key == key) return &category;
    }
    return nullptr;
}

int RecordType(std::string_view storedType) {
    if (storedType == "0") return kChatType;
    if (storedType == "11") return kSmsType;
    return kOtherType;
}

}  // namespace history
