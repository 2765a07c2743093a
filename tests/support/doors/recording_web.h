#pragma once
// A web door that records the forms opened in the browser.

#include <string>
#include <utility>
#include <vector>

#include "core/doors/web_service.h"

namespace testing_support {

class RecordingWeb : public core::WebService {
  public:
    std::vector<std::pair<std::string, std::string>> forms;  // url, body
    void OpenFormInBrowser(const std::string& url, const std::string& body) override {
        forms.emplace_back(url, body);
    }
};

}  // namespace testing_support
