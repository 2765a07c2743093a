#include "core/message_from_db.h"

#include "chat/encoding/plain_text.h"
#include "core/client_context.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace core {
namespace {

constexpr const char* kReadFailed = "从数据库中读取历史消息错误CFunction::GetMessageFromDB!";

std::string BareJid(std::string_view jid) {
    const int slash = os::Find(jid, '/');
    return slash < 0 ? std::string(jid) : std::string(jid.substr(0, slash));
}

}  // namespace

bool CFunction::GetMessageFromDB(const char* from, const char* to,
                                 std::vector<StoredMessage>* messages, int maxCount) {
    fillCount_ = 0;
    const std::string fromText = from != nullptr ? from : "";
    const std::string toText = to != nullptr ? to : "";
    const std::string own = BareJid(context_.session.GetCurrentUserJID());
    const bool selfConversation = fromText == toText && os::EqualsNoCase(fromText, own);
    if (messages == nullptr) return false;
    messages->clear();
    const std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    const bool read = db != nullptr &&
                      db->GetMsg(
                          fromText.c_str(), toText.c_str(),
                          [&](const MsgFields& fields) {
                              if (IsMsgEndMark(fields)) return;
                              if (maxCount >= 0 && fillCount_ >= maxCount) return;
                              StoredMessage message;
                              message.from = BareJid(fields[msg_field::kFrom]);
                              message.to = BareJid(fields[msg_field::kTo]);
                              if (selfConversation && !os::EqualsNoCase(message.from, message.to))
                                  return;
                              message.time = fields[msg_field::kTime];
                              message.contents =
                                  chat::RemoveFirstFontHeader(fields[msg_field::kContents]);
                              message.state = fields[msg_field::kState];
                              messages->push_back(std::move(message));
                              ++fillCount_;
                          },
                          maxCount);
    if (!read) {
        context_.log.WriteLog(kReadFailed);
        return false;
    }
    return true;
}

}  // namespace core
