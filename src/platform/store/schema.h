#pragma once
// The database layout and its versions. PRAGMA user_version holds the version; each step
// below brings a database from one version to the next inside one transaction, so a
// database is always at a whole version.

#include <cstdint>

#include "platform/store/sqlite_connection.h"

namespace store {

inline constexpr std::int64_t kSchemaVersion = 3;

// Brings the database of `connection` to kSchemaVersion. Returns the SQLite result code and
// sets `foundVersion` to the version found. A database newer than this program is left
// untouched: the result is SQLITE_ERROR with foundVersion > kSchemaVersion.
int MigrateSchema(Connection& connection, std::int64_t& foundVersion);

}  // namespace store
