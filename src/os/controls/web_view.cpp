#include "os/controls/web_view.h"

#include <algorithm>

namespace os {

void WebView::SetPage(std::string path) {
    if (page_ == path) return;
    page_ = std::move(path);
    calls_.clear();
    selection_.clear();
    Changed();
}

std::uint64_t WebView::CallScript(std::string method, std::vector<ScriptArgument> arguments) {
    std::erase_if(calls_, [&](const ScriptCall& call) { return call.method == method; });
    calls_.push_back(ScriptCall{++lastSequence_, std::move(method), std::move(arguments)});
    Changed();
    return lastSequence_;
}

void WebView::ReportFromPage(const std::string& name, const std::string& value) {
    if (name == "selection") selection_ = value;
    Notify(kPageEvent, 0, name + kEventSeparator + value);
}

}  // namespace os
