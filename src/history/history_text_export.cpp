#include "history/history_text_export.h"

#include "chat/encoding/plain_text.h"

namespace history {

std::string HistoryTextExport(const std::vector<HistoryRecord>& records) {
    std::string text;
    for (const HistoryRecord& record : records) {
        text += record.sender + " " + record.time + "\r\n   " +
                chat::ToHistoryText(record.contents) + "\r\n";
    }
    return text;
}

}  // namespace history
