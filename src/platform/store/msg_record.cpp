#include "platform/store/msg_record.h"

#include <strings.h>

bool IsMsgEndMark(const MsgFields& fields) {
    return strcasecmp(fields[msg_field::kId].c_str(), kMsgEndMark) == 0;
}
