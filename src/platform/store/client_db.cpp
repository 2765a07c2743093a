#include "platform/store/client_db.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "os/text/gbk_codec.h"
#include "platform/store/client_db_session.h"
#include "platform/store/connection_pool.h"
#include "platform/store/store_error.h"
#include "platform/store/store_text.h"

CClientDB::CClientDB(const char* /*accountName*/, const char* userFolder)
    : userFolder_(store::OrEmpty(userFolder)) {
    if (!userFolder_.empty() && userFolder_.back() != '/') userFolder_ += '/';
    databaseFile_ = userFolder_ + kDatabaseFileName;
    // A folder that is not GBK leaves the UTF-8 paths empty; Session reports it.
    std::string folder;
    if (!userFolder_.empty() && os::GbkToUtf8(userFolder_, folder)) {
        std::filesystem::path normal = std::filesystem::path(folder).lexically_normal();
        folderPath_ = normal.string();
        databasePath_ = (normal / kDatabaseFileName).string();
    }
}

CClientDB::~CClientDB() = default;

void CClientDB::CloseAll() { store::ConnectionPool::Instance().CloseAll(); }

void CClientDB::SetBusyTimeout(int milliseconds) {
    store::ConnectionPool::Instance().SetBusyTimeout(milliseconds < 0 ? 0 : milliseconds);
}

bool CClientDB::Fail(std::string text) {
    errorInfo_ = std::move(text);
    return false;
}

bool CClientDB::FailSql(int rc, const std::string& sqliteMessage) {
    store::FailureContext context;
    context.databaseFile = databaseFile_;
    context.userFolder = userFolder_;
    context.folderUnusable = ::access(folderPath_.c_str(), W_OK | X_OK) != 0;
    return Fail(store::DescribeFailure(rc, sqliteMessage, context));
}

void CClientDB::GetErrorInfo(char* buffer, std::size_t capacity) const {
    if (!buffer || capacity == 0) return;
    std::size_t length = 0;
    // Copy whole characters only: a GBK lead byte (0x81-0xFE) starts a two-byte character.
    while (length < errorInfo_.size()) {
        auto byte = static_cast<unsigned char>(errorInfo_[length]);
        std::size_t width =
            (byte >= 0x81 && byte <= 0xFE && length + 1 < errorInfo_.size()) ? 2 : 1;
        if (length + width > capacity - 1) break;
        length += width;
    }
    std::memcpy(buffer, errorInfo_.data(), length);
    buffer[length] = '\0';
}

CClientDB::Session::Session(CClientDB& owner) : owner_(owner) {
    if (owner_.userFolder_.empty()) {
        owner_.Fail("用户目录为空，无法打开消息数据库");
        return;
    }
    if (owner_.folderPath_.empty()) {
        owner_.Fail(store::DescribeInvalidText("用户目录" + owner_.userFolder_));
        return;
    }
    store::OpenFailure failure;
    if (store::ConnectionPool::Instance().Acquire(owner_.folderPath_, owner_.databasePath_, lease_,
                                                  failure)) {
        return;
    }
    store::FailureContext context;
    context.databaseFile = owner_.databaseFile_;
    context.userFolder = owner_.userFolder_;
    context.folderUnusable = failure.folderUnusable;
    context.schemaVersion = failure.schemaVersion;
    owner_.Fail(store::DescribeFailure(failure.rc, failure.message, context));
}

bool CClientDB::Session::Fail(int rc) const {
    return owner_.FailSql(rc, connection().LastMessage());
}
