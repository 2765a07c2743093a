#pragma once
// The browser form poster: posts form data (application/x-www-form-urlencoded) to a web
// address in the user's browser. A browser cannot be handed a POST on its command line, so the
// poster writes a small page holding the form, every field hidden, which submits itself when
// it loads, and opens that page through the shell.
//
// The page is private: it lies in a folder of the poster's own (mode 0700) under the base
// folder it is given, in a file of mode 0600 made without following links, because its fields
// may hold the user's password. Every value is written with its HTML specials escaped, so no
// field can close its attribute or add markup. The page is in GBK, the encoding of the fields,
// so the browser posts the same bytes the body held. The poster removes its folder when it
// goes.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace os {
class Shell;
}

namespace web {

struct FormField {
    std::string name;
    std::string value;

    bool operator==(const FormField&) const = default;
};

// The fields of a form body: split at '&', each part at its first '=' (a part without one is
// a name with an empty value; empty parts are skipped), '+' read as a blank and "%XX" decoded.
std::vector<FormField> ParseFormBody(std::string_view body);

// `text` with '&', '<', '>', '"' and '\'' written as entities and control bytes as numeric
// references, safe inside a double-quoted attribute and between tags.
std::string EscapeHtml(std::string_view text);

// The address a form may be posted to: "http://" or "https://" (any case) as given, an
// address beginning "www." under "http://"; empty for anything else (a "javascript:" or
// "file:" address is never opened), or when it holds a blank, a quote or a control byte.
std::string FormAction(std::string_view url);

// The self-submitting page for `fields` posted to `action` (already checked).
std::string FormPage(std::string_view action, const std::vector<FormField>& fields);

enum class PostOutcome {
    Opened,         // the page was written and handed to the browser
    RefusedTarget,  // not an address a form may go to
    WriteFailed,    // the private folder or the page could not be made
    NotStarted,     // the shell could not start the browser
};

class BrowserFormPoster {
  public:
    // `baseFolder`: where the private folder is made (GBK), e.g. the shared client directory.
    BrowserFormPoster(os::Shell& shell, std::string baseFolder);
    ~BrowserFormPoster();
    BrowserFormPoster(const BrowserFormPoster&) = delete;
    BrowserFormPoster& operator=(const BrowserFormPoster&) = delete;

    // Posts `formBody` to `url`. The page written last is `lastPage()` (GBK path).
    PostOutcome Post(std::string_view url, std::string_view formBody);

    const std::string& lastPage() const { return lastPage_; }
    // The private folder (GBK, ending in '/'); empty until the first post.
    const std::string& folder() const { return folder_; }

  private:
    bool MakeFolder();

    os::Shell& shell_;
    std::string baseFolder_;
    std::string folder_;
    std::string lastPage_;
    std::vector<std::string> pages_;
};

}  // namespace web
