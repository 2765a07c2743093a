#pragma once
// How the message manager turns the store's records into its list: the end mark and records
// of other types are skipped, the sender is shown as "name( jid )" (a room message by its
// member, government and public JIDs in their "@gover." / "@puber." spelling), and a shake
// carries its note.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_record.h"
#include "platform/store/msg_record.h"

namespace history {

inline constexpr std::string_view kShakeCode = "#(-1)#";
inline constexpr std::string_view kShakeNote = "( 闪屏振动 )";

struct SenderNaming {
    // The display name of a JID in the contact trees, or "" when no tree holds it.
    std::function<std::string(std::string_view jid)> displayName;
    std::string ownJid;
    std::string hostName;
    // The user is a government user: room members are read as "$gov@" users, else "$pub@".
    bool governmentUser = false;
};

class RecordCollector {
  public:
    RecordCollector(std::vector<HistoryRecord>& records, int typeFilter, SenderNaming naming)
        : records_(records), typeFilter_(typeFilter), naming_(std::move(naming)) {}

    // The store's callback: appends the record when it is one the list takes.
    void operator()(const MsgFields& fields);

    // The sender text of a record sent by `from`.
    std::string SenderText(const std::string& from) const;

  private:
    std::string NameOf(std::string_view jid, std::string_view fallback) const;

    std::vector<HistoryRecord>& records_;
    int typeFilter_;
    SenderNaming naming_;
};

}  // namespace history
