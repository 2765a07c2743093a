#pragma once
// The targets of the transfer prompts' links: "transfer:<action>:<key>".

#include <string_view>

namespace chat::transfer_link {

inline constexpr std::string_view kPrefix = "transfer:";
inline constexpr std::string_view kCancel = "cancel";
inline constexpr std::string_view kReceive = "receive";
inline constexpr std::string_view kSaveAs = "saveas";
inline constexpr std::string_view kRefuse = "refuse";
inline constexpr std::string_view kOffline = "offline";
inline constexpr std::string_view kOpen = "open";
inline constexpr std::string_view kBrowse = "browse";

}  // namespace chat::transfer_link
