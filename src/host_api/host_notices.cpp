#include "host_api/host_notices.h"

#include "os/text/cstring_ops.h"

namespace {

const std::string& TextAt(const platform::TipCall& call, std::size_t index) {
    static const std::string kNone;
    return index < call.texts.size() ? call.texts[index] : kNone;
}

}  // namespace

HostNotice DescribeForHost(const platform::TipCall& call) {
    if (call.call == "ShowNewMsgTip") return {TextAt(call, 0), TextAt(call, 1)};
    if (call.call == "ShowStatusTip") return {"好友状态", TextAt(call, 0)};
    if (call.call == "ShowOATip") {
        // The page's title is what a person reads; without one the address says what it is.
        const std::string& title = TextAt(call, 1);
        return {"办公通知", title.empty() ? TextAt(call, 0) : title};
    }
    if (call.call == "ShowNewMailTip") {
        const int count = call.numbers.empty() ? 0 : call.numbers[0];
        return {"新邮件", os::Format("您有 %d 封未读邮件", count)};
    }
    return {"提示", TextAt(call, 0)};
}
