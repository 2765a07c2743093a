#pragma once
// The texts that GetErrorInfo shows the user after a failed store call (GBK).

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

// What the failing call was doing with the database.
struct FailureContext {
    std::string_view databaseFile;   // GBK path of the database file
    std::string_view userFolder;     // GBK path of the user folder
    bool folderUnusable = false;     // the folder could not be created or written
    std::int64_t schemaVersion = 0;  // non-zero: the file is of a newer program
};

// Text for a failed SQLite call with result code `rc` and SQLite's own message.
std::string DescribeFailure(int rc, std::string_view sqliteMessage, const FailureContext& context);

// Text for an argument that is not valid GBK; `what` names the argument for the user.
std::string DescribeInvalidText(std::string_view what);

}  // namespace store
