#pragma once
// One real-time OA notice as an office system pushes it: a flat XML text of tags, read by
// plain text search rather than an XML parser, so that a raw "&" or a stray "<" in a title
// (which the back-end systems send) costs nothing but itself.

#include <string>
#include <string_view>

#include "platform/store/rtoa_record.h"

namespace history {

// The notice record: its texts and the id the store gave it.
using RTOABody = RTOARecord;

// The text between the first "<tag>" and the first "</tag>" after it, trimmed of blanks; ""
// when either is missing.
std::string TagValue(std::string_view body, std::string_view tag);

// "20090102030405" as "2009-01-02 03:04:05". A text that is not 14 digits is kept as it
// came (trimmed): cutting marks into it would only make it wrong in another way.
std::string FormatSendTime(std::string_view digits);

// The notice in `body`, status "1" (unread), id 0.
RTOABody ParseRTOABody(std::string_view body);

// A body that only opens the notice window.
inline constexpr std::string_view kShowNoticeWindowBody = "showrealtimeoawindow";
// A body carrying one of these markers is dropped on arrival.
bool IsDroppedOaBody(std::string_view body);

}  // namespace history
