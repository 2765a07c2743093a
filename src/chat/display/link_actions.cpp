#include "chat/display/link_actions.h"

#include <algorithm>
#include <optional>

#include "config/client_config.h"
#include "core/text_utilities.h"
#include "os/prompt/prompter.h"
#include "os/services/shell.h"
#include "os/text/cstring_ops.h"
#include "web/url_parts.h"

namespace chat {
namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::optional<std::string> HostOf(std::string_view url) {
    const std::optional<web::UrlParts> parts = web::ParseUrl(url);
    if (!parts || parts->host.empty()) return std::nullopt;
    return LowerAscii(parts->host);
}

}  // namespace

LinkAction ClassifyLink(std::string_view linkText) {
    if (linkText == "发送短信") return LinkAction::SendSms;
    if (linkText == "点击这里") return LinkAction::AddContact;
    return LinkAction::WebPage;
}

WebLinkPost MakeWebLinkPost(std::string_view target, std::string_view loginName,
                            std::string_view password) {
    const std::size_t amp = target.find('&');
    WebLinkPost post;
    post.url = std::string(target.substr(0, amp));
    post.body = "username=" + core::UrlEncode(loginName) + "&password=" + core::UrlEncode(password);
    if (amp != std::string_view::npos) post.body += target.substr(amp);
    return post;
}

std::vector<std::string> OwnWebHosts(const config::ClientConfig& config,
                                     std::string_view serverHost) {
    std::vector<std::string> hosts;
    if (!serverHost.empty()) hosts.push_back(LowerAscii(std::string(serverHost)));
    for (const std::string* url :
         {&config.SSOUrl, &config.SSOAuthURL, &config.WebAdminManagerUrl, &config.MailUrl,
          &config.SendMailUrl, &config.PublishUrl, &config.ChangePersonInfoUrl}) {
        if (url->empty()) continue;
        if (std::optional<std::string> host = HostOf(*url)) hosts.push_back(*host);
    }
    return hosts;
}

bool LeadsToOwnHost(std::string_view url, const std::vector<std::string>& hosts) {
    // Only an address that names its scheme: "www.x" or a bare word is not the server's.
    if (url.find("://") == std::string_view::npos) return false;
    const std::optional<std::string> host = HostOf(url);
    return host && std::find(hosts.begin(), hosts.end(), *host) != hosts.end();
}

bool OpenReceivedFile(const std::string& path, os::Prompter& prompter, os::Shell& shell,
                      os::HWND owner) {
    const bool program = path.size() >= 3 && LowerAscii(path.substr(path.size() - 3)) == "exe";
    if (program &&
        prompter.MessageBox(
            os::Format("文件 %s 可能包含不安全的因素，确信要运行该程序吗？", path.c_str()),
            "安全提示", os::MB_YESNO, owner) != os::IDYES) {
        return false;
    }
    shell.ShellExecute("open", path);
    return true;
}

}  // namespace chat
