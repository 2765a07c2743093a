// CClientDB: the organisation units' children.

#include <string>
#include <vector>

#include "platform/store/client_db.h"
#include "platform/store/client_db_session.h"
#include "platform/store/store_error.h"
#include "platform/store/store_text.h"

using store::OrEmpty;
using store::Statement;

bool CClientDB::GetGroupChildren(const char* unitKey, CGroupChildList& children) {
    return Session::Guard(*this, [&] {
        std::string key;
        if (!store::ToDbText(OrEmpty(unitKey), key))
            return Fail(store::DescribeInvalidText("组织单位"));
        Session session(*this);
        if (!session) return false;
        Statement select(session.connection(),
                         "SELECT type, id, name, parent_id FROM group_child WHERE unit_key = ?1"
                         " ORDER BY position");
        select.Bind(1, key);
        CGroupChildList found;
        int rc;
        while ((rc = select.Step()) == SQLITE_ROW) {
            found.emplace_back(static_cast<int>(select.Int(0)), store::FromDbText(select.Text(1)),
                               store::FromDbText(select.Text(2)),
                               store::FromDbText(select.Text(3)));
        }
        if (rc != SQLITE_DONE) return session.Fail(rc);
        children = std::move(found);
        return true;
    });
}

bool CClientDB::RefreshGroupChildren(const char* unitKey, const CGroupChildList& children) {
    return Session::Guard(*this, [&] {
        std::string key;
        if (!store::ToDbText(OrEmpty(unitKey), key))
            return Fail(store::DescribeInvalidText("组织单位"));
        struct Row {
            std::string id, name, parentId;
        };
        std::vector<Row> rows(children.size());
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (!store::ToDbText(children[i].GetId(), rows[i].id) ||
                !store::ToDbText(children[i].GetName(), rows[i].name) ||
                !store::ToDbText(children[i].GetPId(), rows[i].parentId)) {
                return Fail(store::DescribeInvalidText("组织成员" + children[i].GetId()));
            }
        }
        Session session(*this);
        if (!session) return false;
        std::lock_guard<std::mutex> writer(session.writeMutex());
        store::Transaction transaction(session.connection());
        if (transaction.rc() != SQLITE_OK) return session.Fail(transaction.rc());
        {
            Statement erase(session.connection(), "DELETE FROM group_child WHERE unit_key = ?1");
            erase.Bind(1, key);
            int rc = erase.Step();
            if (rc != SQLITE_DONE) return session.Fail(rc);
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Statement insert(
                session.connection(),
                "INSERT INTO group_child (unit_key, position, type, id, name, parent_id)"
                " VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
            insert.Bind(1, key)
                .Bind(2, static_cast<std::int64_t>(i))
                .Bind(3, std::int64_t{children[i].GetType()})
                .Bind(4, rows[i].id)
                .Bind(5, rows[i].name)
                .Bind(6, rows[i].parentId);
            int rc = insert.Step();
            if (rc != SQLITE_DONE) return session.Fail(rc);
        }
        int rc = transaction.Commit();
        return rc == SQLITE_OK || session.Fail(rc);
    });
}
