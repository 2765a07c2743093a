#pragma once
// The client's web door: forms are posted in the user's browser through the browser form
// poster, plain addresses are opened as they are. The administration and bulletin windows
// are not built; their calls keep the door's defaults.

#include "core/doors/web_service.h"
#include "web/browser_form_poster.h"

namespace core {
class ClientContext;
}

class BrowserWebService final : public core::WebService {
  public:
    explicit BrowserWebService(core::ClientContext& context);

    // With a body, posts it to `url` through the poster; without one, opens `url` (a web or
    // ftp address only) in the browser. What is refused is logged.
    void OpenFormInBrowser(const std::string& url, const std::string& formBody) override;

    const web::BrowserFormPoster& poster() const { return poster_; }

  private:
    core::ClientContext& context_;
    web::BrowserFormPoster poster_;
};
