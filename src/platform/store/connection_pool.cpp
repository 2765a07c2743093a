#include "platform/store/connection_pool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/store/bigram_tokenizer.h"
#include "platform/store/schema.h"

namespace store {
namespace {

// Idle connections kept per database: enough for the UI thread, the notification thread and
// a query callback that calls the store again.
constexpr std::size_t kMaxIdle = 4;

}  // namespace

ConnectionPool& ConnectionPool::Instance() {
    // Never destroyed: a store call from another static destructor or a detached thread at
    // exit still finds a pool. The connections themselves are closed at exit.
    static ConnectionPool* pool = [] {
        auto* created = new ConnectionPool();
        std::atexit([] { ConnectionPool::Instance().CloseAll(); });
        return created;
    }();
    return *pool;
}

ConnectionPool::ConnectionPool() : owner_(getpid()) {}

ConnectionPool::Lease& ConnectionPool::Lease::operator=(Lease&& other) noexcept {
    if (this != &other) {
        Release();
        database_ = std::move(other.database_);
        connection_ = std::move(other.connection_);
        generation_ = other.generation_;
    }
    return *this;
}

ConnectionPool::Lease::~Lease() { Release(); }

std::mutex& ConnectionPool::Lease::writeMutex() const { return database_->writeMutex; }

void ConnectionPool::Lease::Release() {
    if (connection_)
        ConnectionPool::Instance().Return(database_, std::move(connection_), generation_);
    database_.reset();
}

bool ConnectionPool::Acquire(const std::string& folder, const std::string& dbPath, Lease& lease,
                             OpenFailure& failure) {
    std::shared_ptr<Database> database;
    std::vector<std::unique_ptr<Connection>> retired;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (getpid() != owner_) ForgetInheritedLocked();
        auto& slot = databases_[dbPath];
        if (!slot) {
            slot = std::make_shared<Database>();
            slot->path = dbPath;
            slot->owner = owner_;
        }
        database = slot;

        // A cached connection writes to the file it opened. If that file was deleted or
        // replaced meanwhile, its writes would be lost with the old file: start afresh.
        if (database->identity) {
            struct stat info {};
            bool same = ::stat(dbPath.c_str(), &info) == 0 &&
                        FileIdentity{info.st_dev, info.st_ino} == *database->identity;
            if (!same) {
                retired = std::move(database->idle);
                database->idle.clear();
                ++database->generation;
                database->identity.reset();
            }
        }

        if (!database->idle.empty()) {
            lease.Release();
            lease.connection_ = std::move(database->idle.back());
            database->idle.pop_back();
            lease.database_ = database;
            lease.generation_ = database->generation;
        }
    }
    retired.clear();
    if (lease) {
        lease.connection().SetBusyTimeout(BusyTimeout());
        return true;
    }

    std::uint64_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation = database->generation;
    }
    std::unique_ptr<Connection> connection;
    if (!OpenConnection(folder, *database, connection, failure)) return false;

    struct stat info {};
    if (::stat(dbPath.c_str(), &info) == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!database->identity && database->generation == generation) {
            database->identity = FileIdentity{info.st_dev, info.st_ino};
        }
    }
    lease.Release();
    lease.connection_ = std::move(connection);
    lease.database_ = std::move(database);
    lease.generation_ = generation;
    return true;
}

bool ConnectionPool::OpenConnection(const std::string& folder, Database& database,
                                    std::unique_ptr<Connection>& connection, OpenFailure& failure) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        failure.rc = SQLITE_CANTOPEN;
        failure.message = error.message();
        failure.folderUnusable = true;
        return false;
    }
    int rc = Connection::Open(database.path, BusyTimeout(), connection, failure.message);
    // The search index's triggers tokenize every stored message with it.
    if (rc == SQLITE_OK) {
        rc = RegisterBigramTokenizer(connection->handle());
        if (rc != SQLITE_OK) failure.message = "the message search tokenizer cannot be registered";
    }
    if (rc == SQLITE_OK) {
        // Creating the schema writes; queue behind this process's other writers.
        std::lock_guard<std::mutex> writer(database.writeMutex);
        rc = MigrateSchema(*connection, failure.schemaVersion);
        if (rc != SQLITE_OK) failure.message = connection->LastMessage();
        if (failure.schemaVersion <= kSchemaVersion && failure.schemaVersion >= 0) {
            failure.schemaVersion = 0;
        }
    }
    if (rc != SQLITE_OK) {
        connection.reset();
        failure.rc = rc;
        failure.folderUnusable = ::access(folder.c_str(), W_OK | X_OK) != 0;
        return false;
    }
    return true;
}

void ConnectionPool::Return(const std::shared_ptr<Database>& database,
                            std::unique_ptr<Connection> connection, std::uint64_t generation) {
    if (database->owner != getpid()) {
        // Inherited through fork(): the parent's, not ours to close.
        connection->Abandon();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (generation == database->generation && database->idle.size() < kMaxIdle) {
            database->idle.push_back(std::move(connection));
            return;
        }
    }
    connection.reset();  // closed outside the lock
}

void ConnectionPool::CloseAll() {
    std::vector<std::unique_ptr<Connection>> closing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (getpid() != owner_) {
            ForgetInheritedLocked();
            return;
        }
        for (auto& entry : databases_) {
            Database& database = *entry.second;
            for (auto& connection : database.idle) closing.push_back(std::move(connection));
            database.idle.clear();
            ++database.generation;
            database.identity.reset();
        }
    }
    closing.clear();
}

void ConnectionPool::ForgetInheritedLocked() {
    for (auto& entry : databases_) {
        for (auto& connection : entry.second->idle) connection->Abandon();
        entry.second->idle.clear();
    }
    databases_.clear();
    owner_ = getpid();
}

}  // namespace store
