#pragma once
// One stored message as the message queries hand it out: ten GBK texts per record, and a
// closing record whose first field is "END".

#include <array>
#include <cstddef>
#include <functional>
#include <string>

// fields[0] is field 1 of the record. Use the msg_field indexes below.
using MsgFields = std::array<std::string, 10>;

// Called once per record in store order (oldest first), then once with the end mark.
using MsgCallback = std::function<void(const MsgFields& fields)>;

namespace msg_field {
inline constexpr std::size_t kId = 0;        // decimal record id, for DeleteMsg and SetRead
inline constexpr std::size_t kFrom = 1;      // sender JID as stored
inline constexpr std::size_t kTo = 2;        // receiver JID as stored
inline constexpr std::size_t kTime = 3;      // "%4d-%02d-%02d %02d:%02d:%02d" as stored
inline constexpr std::size_t kContents = 4;  // the message text
inline constexpr std::size_t kExtra1 = 5;    // the three further texts given to AddMsg
inline constexpr std::size_t kExtra2 = 6;
inline constexpr std::size_t kExtra3 = 7;
inline constexpr std::size_t kState = 8;  // handled state: "0" handled, "1" not yet handled
inline constexpr std::size_t kType = 9;   // message type: "0" chat, "11" SMS, other codes
}  // namespace msg_field

// The text of field 1 in the closing record.
inline constexpr const char* kMsgEndMark = "END";

// True for the closing record (field 1 equals "END", ignoring case).
bool IsMsgEndMark(const MsgFields& fields);
