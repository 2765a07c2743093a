#pragma once
// The text file the message manager exports its list to: per record, in list order,
// "%s %s\r\n   %s\r\n" with the sender text, the time and the contents as plain text (faces
// "[表情]", pictures "[图片]", the font header removed). GBK, like every file of the client.

#include <string>
#include <vector>

#include "history/history_record.h"

namespace history {

std::string HistoryTextExport(const std::vector<HistoryRecord>& records);

}  // namespace history
