#include "os/controls/web_view.h"

#include <algorithm>
#include <cctype>

namespace os {

void WebView::SetPage(std::string path) {
    if (page_ == path) return;
    page_ = std::move(path);
    calls_.clear();
    selection_.clear();
    // An object offered to the old page is not the new page's.
    scriptObject_ = nullptr;
    scriptOrigin_.clear();
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

std::string OriginOf(std::string_view url) {
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) return {};
    const std::string scheme = lower(url.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https") return {};
    std::string_view rest = url.substr(schemeEnd + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    // Credentials before '@' are not part of the origin; what they hide is.
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        rest = rest.substr(at + 1);
    }
    std::string_view host = rest;
    std::string_view port;
    const std::size_t bracket = rest.rfind(']');
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    if (host.empty()) return {};
    for (char c : port) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return {};
    }
    if (port.size() > 5) return {};
    while (port.size() > 1 && port.front() == '0') port.remove_prefix(1);
    std::string origin = scheme + "://" + lower(host);
    const bool defaultPort =
        port.empty() || (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
    if (!defaultPort) origin += ":" + std::string(port);
    return origin;
}

void WebView::OfferScriptObject(PageScriptObject* object, std::string origin) {
    scriptObject_ = object;
    scriptOrigin_ = std::move(origin);
    Changed();
}

std::optional<ScriptArgument> WebView::CallFromPage(std::string_view callerOrigin,
                                                    const std::string& method,
                                                    const std::vector<ScriptArgument>& arguments) {
    if (scriptObject_ == nullptr) return std::nullopt;
    if (scriptOrigin_.empty() || OriginOf(callerOrigin) != scriptOrigin_) {
        Notify(kPageCallRefused, 0, std::string(callerOrigin) + kEventSeparator + method);
        return std::nullopt;
    }
    return scriptObject_->Invoke(method, arguments);
}

}  // namespace os
