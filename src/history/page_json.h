#pragma once
// The text the message manager's page shows: one page of records as a JSON array,
//   [{"ID":"%d","from":"%s","time":"%s","contents":"%s","type":"%s"},...]
// newest record of the page first.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_record.h"
#include "history/paging.h"

namespace history {

struct PageOptions {
    // A sent category is shown: the name reads "接收者(%s)" with the receiver.
    bool showReceiver = false;
    // The name of a JID in the contact list, or "" when it is not in it.
    std::function<std::string(std::string_view jid)> contactName;
};

// Escapes one field for the page: "\" doubled, CR LF and LF as "<br//>", a quote as `\\\"`,
// every other byte below 0x20 as \u00XX. Steps by GBK characters (a trail byte 0x5C is part of
// its character, not a backslash); a byte that starts no GBK character becomes '?', so the text
// always converts to UTF-8 and always parses as JSON.
std::string EscapePageText(std::string_view text);

// The name a record shows on the page (the sender's name, an SMS sender's number after it, or
// the receiver when options.showReceiver is set).
std::string PageName(const HistoryRecord& record, const PageOptions& options);

// The JSON text of the current page of `records` (the manager's whole list) under `paging`.
// The records are not changed.
std::string BuildPageJson(const std::vector<HistoryRecord>& records, const Paging& paging,
                          const PageOptions& options = {});

}  // namespace history
