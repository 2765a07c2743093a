#include "platform/store/store_error.h"

#include <sqlite3.h>

#include "os/text/gbk_codec.h"

namespace store {
namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// SQLite's messages are English UTF-8; the user's screen takes GBK.
std::string Detail(std::string_view sqliteMessage) {
    return " (" + os::Utf8ToGbkLossy(sqliteMessage) + ")";
}

}  // namespace

std::string DescribeFailure(int rc, std::string_view sqliteMessage, const FailureContext& context) {
    if (context.schemaVersion != 0) {
        return "消息数据库文件" + Quoted(context.databaseFile) + "由更高版本的程序创建(版本" +
               std::to_string(context.schemaVersion) + ")，本程序无法使用，文件未做任何修改";
    }
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "消息数据库" + Quoted(context.databaseFile) +
                   "正被其他程序锁定，等待超时，请稍后重试";
        case SQLITE_NOTADB:
            return "消息数据库文件" + Quoted(context.databaseFile) +
                   "已损坏：不是有效的数据库文件，文件未做任何修改";
        case SQLITE_CORRUPT:
            return "消息数据库文件" + Quoted(context.databaseFile) +
                   "已损坏：数据结构错误，文件未做任何修改";
        case SQLITE_FULL:
            return "磁盘空间不足，无法写入消息数据库" + Quoted(context.databaseFile);
        case SQLITE_CANTOPEN:
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_IOERR:
        case SQLITE_AUTH:
            if (context.folderUnusable) {
                return "无法在用户目录" + Quoted(context.userFolder) +
                       "中创建或写入消息数据库，请检查该目录是否存在且可写" + Detail(sqliteMessage);
            }
            return "无法打开或写入消息数据库文件" + Quoted(context.databaseFile) +
                   Detail(sqliteMessage);
        default:
            return "消息数据库操作失败" + Detail(sqliteMessage);
    }
}

std::string DescribeInvalidText(std::string_view what) {
    return std::string(what) + "含有无效的GBK字符，操作未执行";
}

}  // namespace store
