#pragma once
// One row of the message manager: a stored message as the manager lists it.

#include <string>

namespace history {

struct HistoryRecord {
    int index = 0;         // place in the list (0, 1, 2 ... in store order): the page's "ID"
    std::string storeId;   // the store's record id, for DeleteMsg
    std::string sender;    // "name( jid )", government and public JIDs as "@gover." / "@puber."
    std::string peer;      // the other party: the receiver when the user sent it, else the sender
    std::string contents;  // the stored text, a shake with its note
    std::string type;      // the stored type code ("0" chat, "11" SMS, others)
    std::string time;      // the stored time text
};

}  // namespace history
