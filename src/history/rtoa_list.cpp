#include "history/rtoa_list.h"

#include <algorithm>
#include <cstdlib>

#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace history {
namespace {

// A field as the page reads it: a backslash doubled (a GBK trail byte 0x5C is part of its
// character), a byte that starts no GBK character as '?', so the text always converts.
std::string RowField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const int length = os::GbkCharLength(text, i);
        const auto c = static_cast<unsigned char>(text[i]);
        if (length == 2) {
            out.append(text.substr(i, 2));
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c > 0x80) {
            out += '?';
        } else {
            out += static_cast<char>(c);
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// The text a column name sorts by; nothing for a name that is no column.
const std::string* SortKey(const RTOABody& notice, std::string_view field) {
    if (os::EqualsNoCase(field, "业务系统")) return &notice.appDesc;
    if (os::EqualsNoCase(field, "标题")) return &notice.desc;
    if (os::EqualsNoCase(field, "发件人")) return &notice.senderName;
    if (os::EqualsNoCase(field, "时间")) return &notice.sendTime;
    if (os::EqualsNoCase(field, "状态")) return &notice.status;
    return nullptr;
}

}  // namespace

std::vector<long> ParseOaIdList(std::string_view ids) {
    std::vector<long> out;
    std::string text(ids);
    os::Replace(text, std::string(kOaFieldSeparator), "\t");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\t', start);
        if (end == std::string::npos) end = text.size();
        const std::string item = os::Trim(std::string_view(text).substr(start, end - start));
        if (!item.empty()) out.push_back(std::strtol(item.c_str(), nullptr, 10));
        start = end + 1;
    }
    return out;
}

std::string OaPageAddress(const RTOABody& notice) {
    const char* joint = notice.jumpUrl.find('?') == std::string::npos ? "?" : "&";
    return notice.jumpUrl + joint + notice.jumpUrlParam;
}

void RTOAList::Load(std::vector<RTOABody> stored) { notices_ = std::move(stored); }

void RTOAList::PushFront(RTOABody notice) { notices_.insert(notices_.begin(), std::move(notice)); }

std::string RTOAList::getPageContent(long start, long end) const {
    log_.WriteLog(os::Format("获取实时OA数据：开始 %d, 结束 %d ", static_cast<int>(start),
                             static_cast<int>(end)));
    std::string out;
    const long size = static_cast<long>(notices_.size());
    for (long p = std::max(start, 0L); p < std::min(end, size); ++p) {
        const RTOABody& notice = notices_[static_cast<std::size_t>(p)];
        out += os::Format("%ld", notice.id);
        for (const std::string& field : {notice.appDesc, OaPageAddress(notice), notice.desc,
                                         notice.senderName, notice.sendTime, notice.status}) {
            out += kOaFieldSeparator;
            out += RowField(field);
        }
        out += kOaRowEnd;
    }
    if (out.ends_with(kOaRowEnd)) out.resize(out.size() - kOaRowEnd.size());
    return out;
}

void RTOAList::updateStatus(std::string_view ids) {
    log_.WriteLog(os::Format("更新实时OA状态: %s", std::string(ids).c_str()));
    for (long id : ParseOaIdList(ids)) {
        for (RTOABody& notice : notices_) {
            if (notice.id == id) notice.status.assign(1, '0');
        }
    }
}

void RTOAList::deleteScheduler(std::string_view ids) {
    log_.WriteLog(os::Format("删除实时OA记录: %s", std::string(ids).c_str()));
    const std::vector<long> listed = ParseOaIdList(ids);
    std::erase_if(notices_, [&](const RTOABody& notice) {
        return std::find(listed.begin(), listed.end(), notice.id) != listed.end();
    });
}

void RTOAList::Sort(std::string_view field, std::string_view order) {
    const int value = std::atoi(std::string(order).c_str());
    if (value != 0 && value != 1) log_.WriteLog(os::Format("排序参数错误，order=%d", value));
    sortField_ = std::string(field);
    sortOrder_ = value;
    log_.WriteLog(os::Format("实时OA排序,filed= %s, order=%s", sortField_.c_str(),
                             std::string(order).c_str()));
    if (sortField_.empty()) {
        log_.WriteLog("实时OA排序错误，未设排序字段");
        return;
    }
    for (std::size_t i = 0; i < notices_.size(); ++i) {
        std::size_t candidate = i;
        for (std::size_t j = i + 1; j < notices_.size(); ++j) {
            if (IsNeedSwap(notices_[candidate], notices_[j])) candidate = j;
        }
        if (candidate != i) std::swap(notices_[i], notices_[candidate]);
    }
}

bool RTOAList::IsNeedSwap(const RTOABody& a, const RTOABody& b) const {
    static const std::string kNoKey;
    const std::string* keyA = SortKey(a, sortField_);
    const std::string* keyB = SortKey(b, sortField_);
    const int compared = os::MbsICmp(keyA ? *keyA : kNoKey, keyB ? *keyB : kNoKey);
    if (sortOrder_ == 0) return compared > 0;
    if (sortOrder_ == 1) return compared < 0;
    log_.WriteLog(
        os::Format("RTOABody::IsNeedSwap排序错误,未设定升序或降序,sorOrder=%d", sortOrder_));
    return false;
}

}  // namespace history
