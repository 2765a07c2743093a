#pragma once
// Internal to the store: one operation's borrowed connection, and the guard that turns an
// exception into a reported failure.

#include <exception>
#include <mutex>
#include <string>

#include "platform/store/client_db.h"
#include "platform/store/connection_pool.h"

class CClientDB::Session {
  public:
    // Borrows a connection to the handle's database; on failure the handle's error text is
    // set and the session is false.
    explicit Session(CClientDB& owner);

    explicit operator bool() const { return static_cast<bool>(lease_); }
    store::Connection& connection() const { return lease_.connection(); }
    // Held by every write of this process to the database.
    std::mutex& writeMutex() const { return lease_.writeMutex(); }

    // Records the failure `rc` of the last call on this connection. Returns false.
    bool Fail(int rc) const;

    // Runs one operation of `owner`; an exception becomes a failure with its text.
    template <class Body>
    static bool Guard(CClientDB& owner, Body&& body) {
        try {
            return body();
        } catch (const std::exception& error) {
            return owner.Fail(std::string("消息数据库操作异常: ") + error.what());
        }
    }

  private:
    CClientDB& owner_;
    store::ConnectionPool::Lease lease_;
};
