#pragma once
// The page size of the message navigation frame: "CountPerPage" in section "Common" of the
// user's "user.ini", 20 when missing. A value below 2 or above 5000 is logged, replaced by
// 20 and "20" is written back to the file.

#include <string>

namespace os {
class Log;
}

namespace history {

inline constexpr const char* kCountPerPageKey = "CountPerPage";
inline constexpr int kDefaultCountPerPage = 20;
inline constexpr int kMinCountPerPage = 2;
inline constexpr int kMaxCountPerPage = 5000;

// `userFolder` is the user's folder (GBK, ending in '/').
int LoadCountPerPage(const std::string& userFolder, os::Log& log);

}  // namespace history
