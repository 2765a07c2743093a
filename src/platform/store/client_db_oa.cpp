// CClientDB: real-time OA notices.

#include <string>
#include <vector>

#include "platform/store/client_db.h"
#include "platform/store/client_db_session.h"
#include "platform/store/id_list.h"
#include "platform/store/store_error.h"
#include "platform/store/store_text.h"

using store::OrEmpty;
using store::Statement;

namespace {

// The notice's texts in the order AddRTOAInfo takes them and the columns that hold them.
struct NoticeColumn {
    const char* name;
    const char* label;
    std::string RTOARecord::*field;
};
constexpr NoticeColumn kNoticeColumns[] = {
    {"app_id", "Appid", &RTOARecord::appId},
    {"app_desc", "Appdesc", &RTOARecord::appDesc},
    {"sender_name", "SenderName", &RTOARecord::senderName},
    {"tip_type", "TipType", &RTOARecord::tipType},
    {"count", "Count", &RTOARecord::count},
    {"description", "Desc", &RTOARecord::desc},
    {"jump_url", "JumpUrl", &RTOARecord::jumpUrl},
    {"jump_url_param", "JumpUrlParam", &RTOARecord::jumpUrlParam},
    {"display_url", "DisplayUrl", &RTOARecord::displayUrl},
    {"send_time", "SendTime", &RTOARecord::sendTime},
    {"offline_tip", "OfflineTip", &RTOARecord::offlineTip},
    {"status", "status", &RTOARecord::status},
};
constexpr std::size_t kNoticeTexts = std::size(kNoticeColumns);

std::string NoticeColumnList() {
    std::string list;
    for (const NoticeColumn& column : kNoticeColumns) {
        if (!list.empty()) list += ", ";
        list += column.name;
    }
    return list;
}

}  // namespace

bool CClientDB::AddRTOAInfo(const char* appId, const char* appDesc, const char* senderName,
                            const char* tipType, const char* count, const char* desc,
                            const char* jumpUrl, const char* jumpUrlParam, const char* displayUrl,
                            const char* sendTime, const char* offlineTip, const char* status,
                            long& id) {
    return Session::Guard(*this, [&] {
        const char* given[kNoticeTexts] = {appId,      appDesc,  senderName, tipType,
                                           count,      desc,     jumpUrl,    jumpUrlParam,
                                           displayUrl, sendTime, offlineTip, status};
        std::string texts[kNoticeTexts];
        for (std::size_t i = 0; i < kNoticeTexts; ++i) {
            if (!store::ToDbText(OrEmpty(given[i]), texts[i])) {
                return Fail(store::DescribeInvalidText(std::string("实时OA字段") +
                                                       kNoticeColumns[i].label));
            }
        }
        static const std::string sql =
            "INSERT INTO rtoa (" + NoticeColumnList() +
            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)";
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        Statement insert(session.connection(), sql);
        for (std::size_t i = 0; i < kNoticeTexts; ++i)
            insert.Bind(static_cast<int>(i) + 1, texts[i]);
        int rc = insert.Step();
        if (rc != SQLITE_DONE) return session.Fail(rc);
        id = static_cast<long>(sqlite3_last_insert_rowid(session.connection().handle()));
        return true;
    });
}

bool CClientDB::GetAllOAMsg(const RTOACallback& callback) {
    return Session::Guard(*this, [&] {
        if (!callback) return Fail("读取实时OA记录时没有给出回调函数");
        static const std::string sql =
            "SELECT id, " + NoticeColumnList() + " FROM rtoa ORDER BY id DESC";
        Session session(*this);
        if (!session) return false;
        Statement select(session.connection(), sql);
        RTOARecord notice;
        int rc;
        while ((rc = select.Step()) == SQLITE_ROW) {
            notice.id = static_cast<long>(select.Int(0));
            for (std::size_t i = 0; i < kNoticeTexts; ++i) {
                notice.*kNoticeColumns[i].field =
                    store::FromDbText(select.Text(static_cast<int>(i) + 1));
            }
            callback(notice);
        }
        return rc == SQLITE_DONE || session.Fail(rc);
    });
}

bool CClientDB::SetRTOAState(const char* ids, const std::string* status) {
    return Session::Guard(*this, [&] {
        std::vector<long> list;
        if (!store::ParseIdList(OrEmpty(ids), list)) {
            return Fail("实时OA记录编号列表格式错误: " + std::string(OrEmpty(ids)));
        }
        if (list.empty()) return true;
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        store::Transaction transaction(session.connection());
        if (transaction.rc() != SQLITE_OK) return session.Fail(transaction.rc());
        for (long id : list) {
            Statement change(session.connection(), status
                                                       ? "UPDATE rtoa SET status = ?2 WHERE id = ?1"
                                                       : "DELETE FROM rtoa WHERE id = ?1");
            change.Bind(1, std::int64_t{id});
            if (status) change.Bind(2, *status);
            int rc = change.Step();
            if (rc != SQLITE_DONE) return session.Fail(rc);
        }
        int rc = transaction.Commit();
        return rc == SQLITE_OK || session.Fail(rc);
    });
}

bool CClientDB::UpdateRTOAState(const char* ids, char state) {
    if (state < '0' || state > '9') {
        return Fail("实时OA状态值无效，应为数字字符");
    }
    std::string status(1, state);
    return SetRTOAState(ids, &status);
}

bool CClientDB::DeleteSomeRTOAItem(const char* ids) { return SetRTOAState(ids, nullptr); }
