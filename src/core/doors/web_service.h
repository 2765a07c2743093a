#pragma once
// The door to web pages and forms: the browser opener, the administration and bulletin pages.

#include <string>

namespace core {

class WebService {
  public:
    virtual ~WebService() = default;
    // Opens `url` in the browser, posting `formBody` (application/x-www-form-urlencoded).
    virtual void OpenFormInBrowser(const std::string& /*url*/, const std::string& /*formBody*/) {}
    virtual void ShowWebAdminManagerWindow() {}
    virtual void ShowNoticeIEWindow() {}
};

}  // namespace core
