#pragma once
// The process-wide cache of open database connections. Callers open a CClientDB per
// operation; opening SQLite each time would cost far more than the insert itself, so each
// operation borrows an open connection for its database file and gives it back at once.
//
// A borrowed connection belongs to one operation on one thread; a second operation at the
// same time (another thread, or a query callback that calls the store again) gets another
// connection. Writers of one database inside this process take its write mutex, so they
// queue here instead of sleeping in SQLite's busy handler; the busy time-out is left for
// other processes.

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/store/sqlite_connection.h"

namespace store {

// Why a connection could not be had.
struct OpenFailure {
    int rc = SQLITE_OK;              // SQLite result code
    std::string message;             // SQLite's own text, or the file system's
    std::int64_t schemaVersion = 0;  // set when the database is newer than this program
    bool folderUnusable = false;     // the user folder could not be created or written
};

class ConnectionPool {
    struct Database;

  public:
    static ConnectionPool& Instance();

    class Lease {
      public:
        Lease() = default;
        Lease(Lease&& other) noexcept = default;
        Lease& operator=(Lease&& other) noexcept;
        ~Lease();

        explicit operator bool() const { return connection_ != nullptr; }
        Connection& connection() const { return *connection_; }
        // Held by every write of this process to the database.
        std::mutex& writeMutex() const;

      private:
        friend class ConnectionPool;
        void Release();

        std::shared_ptr<Database> database_;
        std::unique_ptr<Connection> connection_;
        std::uint64_t generation_ = 0;
    };

    // Lends a connection to the database file `dbPath` (UTF-8) in `folder` (UTF-8, created
    // when missing), opening and migrating the file on first use.
    bool Acquire(const std::string& folder, const std::string& dbPath, Lease& lease,
                 OpenFailure& failure);

    // Closes every idle connection; connections lent out close when they come back.
    void CloseAll();

    // How long a write waits for another process's lock before failing. Process-wide.
    void SetBusyTimeout(int milliseconds) { busyTimeoutMs_.store(milliseconds); }
    int BusyTimeout() const { return busyTimeoutMs_.load(); }

  private:
    ConnectionPool();

    struct FileIdentity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };

    struct Database {
        std::string path;
        std::mutex writeMutex;
        // Guarded by the pool's mutex.
        std::vector<std::unique_ptr<Connection>> idle;
        std::uint64_t generation = 0;
        // The file the cached connections opened, once known.
        std::optional<FileIdentity> identity;
        pid_t owner = 0;  // the process whose connections these are
    };

    void Return(const std::shared_ptr<Database>& database, std::unique_ptr<Connection> connection,
                std::uint64_t generation);
    // After fork(): the parent's connections are dropped unclosed and the cache starts empty.
    void ForgetInheritedLocked();
    bool OpenConnection(const std::string& folder, Database& database,
                        std::unique_ptr<Connection>& connection, OpenFailure& failure);

    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<Database>> databases_;
    pid_t owner_;
    std::atomic<int> busyTimeoutMs_{5000};
};

}  // namespace store
