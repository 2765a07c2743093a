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

#include <cstdint>
#include <string>
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

class WebView : public Control {
  public:
    // What the page reports (ControlNotification::code); the event's name and value come in
    // ControlNotification::text as "name\x1fvalue".
    static constexpr int kPageEvent = 0x7E01;
    static constexpr char kEventSeparator = '\x1f';

    explicit WebView(int id) : Control(id, ControlKind::WebView) {}

    // The page file (an absolute path, GBK). Setting another page forgets the calls made to
    // the old one.
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

  private:
    std::string page_;
    std::vector<ScriptCall> calls_;
    std::uint64_t lastSequence_ = 0;
    std::string selection_;
};

}  // namespace os
