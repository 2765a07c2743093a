#pragma once
// One contact import from start to end, on the thread that calls Run (the import dialog's
// worker): read the file and validate every row, writing each with its result to the result
// file; have the server send both lists again; create the groups the accepted rows name and
// the target tree lacks, level by level; add every accepted contact. Each step is reported
// through the progress callback (called on the worker; the dialog posts it to its window).
// Between some steps the run pauses so the user can read them; the pacer it is given does the
// waiting (the dialog's waits on a timer of its window). A stop request (the dialog closing)
// ends the run between two server calls.

#include <functional>
#include <set>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "contacts/transfer/delimited_reader.h"
#include "contacts/transfer/import_row_validator.h"
#include "os/sys/clock.h"

namespace platform {
class SessionCore;
}

namespace contacts {

enum class ImportFileKind { Text, Workbook };

inline constexpr std::string_view kReadingImportFile = "正在读取导入文件...";
inline constexpr std::string_view kMatchingGroups = "正在匹配/创建组...";
inline constexpr std::string_view kAddingGroup = "正在添加组 ";
inline constexpr std::string_view kWaitingForGroup = "正在处理数据,请秒候...";
inline constexpr std::string_view kGroupCreationFailed = "导入失败---创建组织失败!";
inline constexpr std::string_view kAddingContact = "正在添加联系人 ";
inline constexpr std::string_view kWaitingForContact = "正在处理数据请稍候...";
inline constexpr std::string_view kUngroupedPhoneGroup = "未分组";

// The pauses between steps: after reading the file, after each list's refresh, after a group
// could not be created.
inline constexpr os::Millis kAfterReadingPauseMs = 500;
inline constexpr os::Millis kAfterRefreshPauseMs = 1000;
inline constexpr os::Millis kAfterFailurePauseMs = 3000;

struct ImportRequest {
    std::string path;  // GBK
    ImportFileKind kind = ImportFileKind::Text;
    ImportSeparator separator = ImportSeparator::Comma;
    // For each of the ten export columns, the source column it is read from; empty: the
    // export's own order.
    std::vector<int> columnOrder;
    std::string topKind;  // of the target tree: kRosterTop or kPhoneBookTop
    std::string buddyListTitle;
    std::string phoneBookTitle;
    // The groups the target tree has: (parent group name or "" at the top, name).
    std::set<std::pair<std::string, std::string>> existingGroups;
};

struct ImportProgress {
    std::string text;
    int done = 0;   // steps done
    int total = 0;  // steps known so far
};

struct ImportSummary {
    bool finished = false;  // every step ran
    std::string failure;    // the message that ended the import early, if any
    int rows = 0;
    int accepted = 0;
    int rejected = 0;
    int groupsCreated = 0;
    int contactsAdded = 0;
    std::string resultPath;
};

class ContactImporter {
  public:
    using ProgressSink = std::function<void(const ImportProgress&)>;
    // Waits `ms` before the next step unless `stop` is asked for first; false when stopped.
    using Pacer = std::function<bool(os::Millis ms, const std::stop_token& stop)>;

    ContactImporter(platform::SessionCore& session, ProgressSink progress, Pacer pace)
        : session_(session), progress_(std::move(progress)), pace_(std::move(pace)) {}

    ImportSummary Run(const ImportRequest& request, std::stop_token stop = {});

  private:
    void Report(std::string text);
    // Ends a run asked to stop after the server was told a whole-tree request runs.
    ImportSummary Stopped(ImportSummary summary);
    bool Pause(os::Millis ms, const std::stop_token& stop);

    platform::SessionCore& session_;
    ProgressSink progress_;
    Pacer pace_;
    ImportProgress state_;
};

// Reads the source rows of a request (text file or workbook). Empty and `message` set when
// the file cannot be read.
std::vector<ImportRow> ReadImportRows(const ImportRequest& request, std::string& message);
// The row with its fields in export order, as `columnOrder` maps them.
ImportRow ApplyColumnOrder(const ImportRow& row, const std::vector<int>& columnOrder);
// The payload of a phone-book contact added by an import (values escaped for XML).
std::string PhoneContactPayload(const ImportedContact& contact);

}  // namespace contacts
