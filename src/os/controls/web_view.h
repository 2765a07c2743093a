#pragma once
// An embedded web page. The window names the page file and calls the page's script methods;
// the page (rendered by the host's web engine, or a test) reports back what a person did in
// it: the selection, a key, a command.
//
// Calls into the page are kept, so a view that loads the page late (or again) replays them
// and shows the same thing: of each method only its latest call is kept, in call order.
// Every call carries a sequence number that only grows, so a view applies only calls newer
// than the last one it applied. The selection the page reported last is kept too, which is
// what a window reads when it asks the page what is selected.
//
// A window may also offer the page an object whose methods the page calls (a host's script
// bridge). It is offered to one origin only: the view that renders the page reports each
// call with the origin of the document that made it, and a call from any other origin (a
// page the view navigated to elsewhere, a frame of another site) is refused here and
// reported to the window, whatever the host did or did not check before.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/controls/control.h"

namespace os {

struct ScriptArgument {
    enum class Type { Text, Integer };
    Type type = Type::Text;
    std::string text;  // GBK, Text only
    std::int64_t integer = 0;

    static ScriptArgument Of(std::string value) { return {Type::Text, std::move(value), 0}; }
    static ScriptArgument Of(std::int64_t value) { return {Type::Integer, {}, value}; }
    bool operator==(const ScriptArgument&) const = default;
};

struct ScriptCall {
    std::uint64_t sequence = 0;
    std::string method;
    std::vector<ScriptArgument> arguments;
};

// The origin of a web address, "scheme://host[:port]" with scheme and host in lower case and
// the scheme's default port left out; "" when `url` is no http(s) address with a host. Two
// documents may share an object only when their origins are equal.
std::string OriginOf(std::string_view url);

// The methods a window offers the page. Answers nothing for a method it does not have; a
// method without a result answers an empty text.
class PageScriptObject {
  public:
    virtual ~PageScriptObject() = default;
    virtual std::optional<ScriptArgument> Invoke(const std::string& method,
                                                 const std::vector<ScriptArgument>& arguments) = 0;
};

class WebView : public Control {
  public:
    // What the page reports (ControlNotification::code); the event's name and value come in
    // ControlNotification::text as "name\x1fvalue".
    static constexpr int kPageEvent = 0x7E01;
    static constexpr char kEventSeparator = '\x1f';
    // A call of the page object was refused (ControlNotification::text: the caller's origin,
    // kEventSeparator, the method).
    static constexpr int kPageCallRefused = 0x7E02;

    explicit WebView(int id) : Control(id, ControlKind::WebView) {}

    // The page file (an absolute path, GBK) or its web address. Setting another page forgets
    // the calls made to the old one and withdraws the script object offered to it.
    void SetPage(std::string path);
    const std::string& page() const { return page_; }

    // Calls a script method of the page; answers the call's sequence number.
    std::uint64_t CallScript(std::string method, std::vector<ScriptArgument> arguments);
    // The kept calls, oldest first.
    const std::vector<ScriptCall>& calls() const { return calls_; }

    // The page reports an event. "selection" also sets what selection() answers; every event
    // reaches the window as a kPageEvent notification.
    void ReportFromPage(const std::string& name, const std::string& value);
    // The selection the page reported last ("" before any).
    const std::string& selection() const { return selection_; }

    // Offers `object` (owned by the window, which outlives its controls' use of it) to
    // documents of `origin` (an OriginOf result; "" offers it to none).
    void OfferScriptObject(PageScriptObject* object, std::string origin);
    const std::string& scriptOrigin() const { return scriptOrigin_; }
    // The page calls a method of the offered object. Nothing when no object is offered, the
    // caller's origin is not the offered one (the window hears kPageCallRefused), or the
    // object has no such method.
    std::optional<ScriptArgument> CallFromPage(std::string_view callerOrigin,
                                               const std::string& method,
                                               const std::vector<ScriptArgument>& arguments);

  private:
    std::string page_;
    std::vector<ScriptCall> calls_;
    std::uint64_t lastSequence_ = 0;
    std::string selection_;
    PageScriptObject* scriptObject_ = nullptr;
    std::string scriptOrigin_;
};

}  // namespace os
