#include "contacts/transfer/contact_importer.h"

#include "contacts/im_tree.h"
#include "contacts/transfer/contact_export.h"
#include "contacts/transfer/import_encoding.h"
#include "contacts/transfer/import_result_file.h"
#include "contacts/transfer/workbook_reader.h"
#include "os/sys/file_ops.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

constexpr std::string_view kCannotOpenFile = "无法打开导入文件, 请确认文件存在且可以读取。";
constexpr std::string_view kCannotWriteResult = "无法写入导入结果文件: ";
constexpr std::string_view kSyncingPrefix = "与服务器同步 ";
constexpr std::size_t kImportFileLimit = 64u << 20;

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The export's own header line, recognised so a file this client wrote imports as it is.
bool IsExportHeader(const ImportRow& row) {
    static const std::vector<std::string> kHeader = [] {
        std::vector<ImportRow> rows = ReadDelimitedRows(kExportHeader, ImportSeparator::Comma);
        return rows.front().fields;
    }();
    if (row.fields.size() < 10) return false;
    for (std::size_t i = 0; i < 10; ++i) {
        if (row.fields[i] != kHeader[i]) return false;
    }
    return true;
}

}  // namespace

ImportRow ApplyColumnOrder(const ImportRow& row, const std::vector<int>& columnOrder) {
    if (columnOrder.empty()) return row;
    ImportRow ordered;
    ordered.text = row.text;
    for (const int source : columnOrder) {
        ordered.fields.push_back(source >= 0 && static_cast<std::size_t>(source) < row.fields.size()
                                     ? row.fields[static_cast<std::size_t>(source)]
                                     : std::string());
    }
    // Columns the order does not name stay behind the ordered ones, so no field is lost.
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
        bool named = false;
        for (const int source : columnOrder) named = named || source == static_cast<int>(i);
        if (!named) ordered.fields.push_back(row.fields[i]);
    }
    // A row shorter than the order has fewer fields, not empty ones, so rule 2 still sees it.
    while (ordered.fields.size() > row.fields.size() && ordered.fields.back().empty()) {
        ordered.fields.pop_back();
    }
    return ordered;
}

std::string PhoneContactPayload(const ImportedContact& contact) {
    const std::string mobile =
        contact.smsRecipient ? contact.jid.substr(0, contact.jid.find('@')) : contact.mobile;
    std::string payload;
    auto element = [&](std::string_view name, std::string_view value) {
        payload += '<';
        payload += name;
        payload += '>';
        payload += EscapeXml(value);
        payload += "</";
        payload += name;
        payload += '>';
    };
    element("name", contact.nickname);
    element("email", contact.mail);
    element("telephone", contact.workPhone);
    element("profession", "");
    element("company", contact.unit);
    element("title", "");
    element("position", contact.duty);
    element("mobile", mobile);
    element("mobile2", "");
    element("telephone2", "");
    element("officefax", "");
    element("address", "");
    element("homephone", "");
    element("memo", "");
    return payload;
}

std::vector<ImportRow> ReadImportRows(const ImportRequest& request, std::string& message) {
    if (request.kind == ImportFileKind::Workbook) {
        WorkbookRows workbook = ReadWorkbookRows(request.path);
        if (!workbook.ok) message = workbook.message;
        return std::move(workbook.rows);
    }
    std::string bytes;
    if (!os::ReadFile(request.path, bytes, kImportFileLimit)) {
        message = kCannotOpenFile;
        return {};
    }
    DecodedImportText text = DecodeImportText(bytes);
    if (!text.ok) {
        message = text.message;
        return {};
    }
    std::vector<ImportRow> rows = ReadDelimitedRows(text.gbk, request.separator);
    if (!rows.empty() && request.separator == ImportSeparator::Comma && IsExportHeader(rows[0])) {
        rows.erase(rows.begin());
    }
    return rows;
}

ImportSummary ContactImporter::Stopped(ImportSummary summary) {
    session_.SetRequestWholeTreeValue(0);
    return summary;
}

void ContactImporter::Report(std::string text) {
    state_.text = std::move(text);
    if (progress_) progress_(state_);
}

bool ContactImporter::Pause(os::Millis ms, const std::stop_token& stop) {
    if (stop.stop_requested()) return false;
    return pace_ ? pace_(ms, stop) && !stop.stop_requested() : true;
}

ImportSummary ContactImporter::Run(const ImportRequest& request, std::stop_token stop) {
    ImportSummary summary;
    summary.resultPath = request.path + std::string(kImportResultSuffix);
    Report(std::string(kReadingImportFile));

    std::string message;
    std::vector<ImportRow> rows = ReadImportRows(request, message);
    if (!message.empty()) {
        summary.failure = message;
        Report(message);
        return summary;
    }
    state_.total = static_cast<int>(rows.size());
    ImportRowValidator validator(session_.GetHostName(), request.topKind);
    std::vector<ImportedContact> accepted;
    std::string result(kImportResultHeader);
    for (const ImportRow& source : rows) {
        const ImportRow row = ApplyColumnOrder(source, request.columnOrder);
        RowVerdict verdict = validator.ValidateImportRow(row);
        result += ImportResultLine(row, verdict.reason);
        if (verdict.contact) {
            accepted.push_back(std::move(*verdict.contact));
        } else {
            ++summary.rejected;
        }
        ++state_.done;
    }
    summary.rows = static_cast<int>(rows.size());
    summary.accepted = static_cast<int>(accepted.size());
    if (!os::WriteFileAtomically(summary.resultPath, result)) {
        summary.failure = std::string(kCannotWriteResult) + summary.resultPath;
        Report(summary.failure);
        return summary;
    }
    Report(std::string(kReadingImportFile));
    if (!Pause(kAfterReadingPauseMs, stop)) return summary;

    session_.SetRequestWholeTreeValue(1);
    Report(std::string(kSyncingPrefix) + request.buddyListTitle + "...");
    session_.RefreshRoster(2);
    if (!Pause(kAfterRefreshPauseMs, stop)) return Stopped(summary);
    Report(std::string(kSyncingPrefix) + request.phoneBookTitle + "...");
    session_.RefreshTelContactTop(2);
    if (!Pause(kAfterRefreshPauseMs, stop)) return Stopped(summary);

    const bool phoneBook = request.topKind == kPhoneBookTop;
    Report(std::string(kMatchingGroups));
    std::set<std::pair<std::string, std::string>> groups = request.existingGroups;
    std::vector<std::pair<std::string, std::string>> missing;
    for (const ImportedContact& contact : accepted) {
        std::string parent;
        for (const std::string& level : contact.groupLevels) {
            if (groups.insert({parent, level}).second) missing.emplace_back(parent, level);
            parent = level;
        }
    }
    state_.total += static_cast<int>(missing.size() + accepted.size());
    for (const auto& [parent, name] : missing) {
        if (stop.stop_requested()) return Stopped(summary);
        Report(std::string(kAddingGroup) + name);
        Report(std::string(kWaitingForGroup));
        const std::string parentKey = parent.empty() ? request.topKind : parent;
        const int created = phoneBook ? session_.AddTelGroup(name, name, parentKey)
                                      : session_.AddBudyGroup(name, name, parentKey);
        if (created == 0) {
            summary.failure = kGroupCreationFailed;
            Report(summary.failure);
            Pause(kAfterFailurePauseMs, stop);
            session_.SetRequestWholeTreeValue(0);
            return summary;
        }
        ++summary.groupsCreated;
        ++state_.done;
    }

    for (const ImportedContact& contact : accepted) {
        if (stop.stop_requested()) return Stopped(summary);
        Report(std::string(kAddingContact) + contact.nickname);
        Report(std::string(kWaitingForContact));
        const std::string group =
            contact.groupLevels.empty() ? std::string() : contact.groupLevels.back();
        int added = 0;
        if (phoneBook) {
            added = session_.AddMobileContact(group.empty() ? kUngroupedPhoneGroup : group,
                                              PhoneContactPayload(contact));
        } else {
            added = session_.AddContact(contact.jid, contact.nickname, group);
        }
        if (added != 0) ++summary.contactsAdded;
        ++state_.done;
    }
    Report(state_.text);  // the bar reaches its end
    session_.SetRequestWholeTreeValue(0);
    summary.finished = true;
    return summary;
}

}  // namespace contacts
