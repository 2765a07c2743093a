#pragma once
// What a click on a link of a chat window's message view does, decided by the link's own text:
// the file words of transfer prompts, "发送短信", "点击这里", and every other link, which
// leads to a web page.

#include <string>
#include <string_view>
#include <vector>

#include "os/ui/hwnd.h"

namespace os {
class Prompter;
class Shell;
}  // namespace os

namespace config {
struct ClientConfig;
}  // namespace config

namespace chat {

enum class LinkAction { SendSms, AddContact, WebPage };

// "发送短信" and "点击这里" are the window's commands; any other text is a web link.
LinkAction ClassifyLink(std::string_view linkText);

// A web link's post: the target (the anchor's, else the link text) cut before its first
// "&", and the form body: the login query "username=<name>&password=<password>" (both
// percent-encoded) followed by the cut-off part.
struct WebLinkPost {
    std::string url;
    std::string body;
};
WebLinkPost MakeWebLinkPost(std::string_view target, std::string_view loginName,
                            std::string_view password);

// The hosts of the deployment's own web services: the session's server and the hosts of the
// configured service addresses (lower case, without port).
std::vector<std::string> OwnWebHosts(const config::ClientConfig& config,
                                     std::string_view serverHost);
// Whether `url` leads to one of `hosts` (the user's login may go there).
bool LeadsToOwnHost(std::string_view url, const std::vector<std::string>& hosts);

// "打开" on a received file: a file whose name ends in "exe" (any case) is run only after
// the user said Yes to the safety question; anything else is opened at once. Answers whether
// the shell was asked.
bool OpenReceivedFile(const std::string& path, os::Prompter& prompter, os::Shell& shell,
                      os::HWND owner);

}  // namespace chat
