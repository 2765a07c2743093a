#include "history/record_collector.h"

#include "history/message_categories.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"

namespace history {

std::string RecordCollector::NameOf(std::string_view jid, std::string_view fallback) const {
    std::string name = naming_.displayName ? naming_.displayName(jid) : std::string();
    return name.empty() ? std::string(fallback) : name;
}

std::string RecordCollector::SenderText(const std::string& from) const {
    std::string text;
    const int slash = os::Find(from, '/');
    if (os::Find(from, "conference") >= 0 && slash >= 0) {
        const std::string nickname = os::Mid(from, slash + 1);
        const std::string member =
            nickname + (naming_.governmentUser ? "$gov@" : "$pub@") + naming_.hostName;
        text = NameOf(member, nickname) + "( " + from + " )";
    } else {
        text = NameOf(from, from) + "( " + from + " )";
    }
    os::Replace(text, "$gov@", "@gover.");
    os::Replace(text, "$pub@", "@puber.");
    return text;
}

void RecordCollector::operator()(const MsgFields& fields) {
    if (IsMsgEndMark(fields)) return;
    const std::string& storedType = fields[msg_field::kType];
    if (typeFilter_ != kAllTypes && RecordType(storedType) != typeFilter_) return;
    HistoryRecord record;
    record.index = static_cast<int>(records_.size());
    record.storeId = fields[msg_field::kId];
    const std::string& from = fields[msg_field::kFrom];
    record.sender = SenderText(from);
    const bool sentByMe =
        platform::Jid::Equal(from, naming_.ownJid, platform::JidMatch::Loose, nullptr);
    record.peer = sentByMe ? fields[msg_field::kTo] : from;
    record.contents = fields[msg_field::kContents];
    if (record.contents == kShakeCode) record.contents += kShakeNote;
    record.type = storedType;
    record.time = fields[msg_field::kTime];
    records_.push_back(std::move(record));
}

}  // namespace history
