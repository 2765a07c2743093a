#include "platform/services/notice_pop.h"

namespace platform {

namespace {

bool IsTip(const TipCall& call) { return call.call.rfind("Show", 0) == 0; }

}  // namespace

std::string DescribeTipCall(const TipCall& call) {
    std::string text = call.call;
    if (call.window) text += " " + std::to_string(call.window.value());
    // Arguments in their order: ShowOATip's numbers stand around its texts.
    if (call.call == "ShowOATip" && call.numbers.size() == 2 && call.texts.size() == 2) {
        return text + " " + std::to_string(call.numbers[0]) + " \"" + call.texts[0] + "\" \"" +
               call.texts[1] + "\" " + std::to_string(call.numbers[1]);
    }
    for (const std::string& t : call.texts) text += " \"" + t + "\"";
    for (int n : call.numbers) text += " " + std::to_string(n);
    return text;
}

void NoticePopCalls::InitTipManager(os::HWND hostWnd) {
    OnCall(TipCall{"InitTipManager", {}, {}, hostWnd});
}

void NoticePopCalls::FreeTipManager() { OnCall(TipCall{"FreeTipManager", {}, {}, {}}); }

void NoticePopCalls::ShowTip(const std::string& text) {
    OnCall(TipCall{"ShowTip", {text}, {}, {}});
}

void NoticePopCalls::ShowNewMsgTip(const std::string& sender, const std::string& summary) {
    OnCall(TipCall{"ShowNewMsgTip", {sender, summary}, {}, {}});
}

void NoticePopCalls::ShowStatusTip(const std::string& text) {
    OnCall(TipCall{"ShowStatusTip", {text}, {}, {}});
}

void NoticePopCalls::ShowOATip(int kind, const std::string& url, const std::string& title,
                               int flags) {
    OnCall(TipCall{"ShowOATip", {url, title}, {kind, flags}, {}});
}

void NoticePopCalls::ShowNewMailTip(int count) {
    OnCall(TipCall{"ShowNewMailTip", {}, {count}, {}});
}

// ---- RecordingNoticePop

void RecordingNoticePop::OnCall(const TipCall& call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
    if (call.call == "InitTipManager") initialised_ = true;
    if (call.call == "FreeTipManager") initialised_ = false;
}

std::vector<TipCall> RecordingNoticePop::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<TipCall> RecordingNoticePop::CallsNamed(const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::vector<TipCall> found;
    for (const TipCall& call : calls_) {
        if (call.call == name) found.push_back(call);
    }
    return found;
}

std::vector<std::string> RecordingNoticePop::TipTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const TipCall& call : calls_) {
        if (!IsTip(call)) continue;
        std::string joined;
        for (const std::string& t : call.texts) joined += (joined.empty() ? "" : "|") + t;
        texts.push_back(joined);
    }
    return texts;
}

bool RecordingNoticePop::initialised() const {
    std::lock_guard lock(mutex_);
    return initialised_;
}

void RecordingNoticePop::Clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

// ---- LoggingNoticePop

LoggingNoticePop::LoggingNoticePop(os::Log& log, Display display)
    : log_(log), display_(std::move(display)) {}

void LoggingNoticePop::SetDisplay(Display display) {
    std::lock_guard lock(mutex_);
    display_ = std::move(display);
}

void LoggingNoticePop::OnCall(const TipCall& call) {
    log_.WriteLog("NoticePop " + DescribeTipCall(call));
    Display display;
    {
        std::lock_guard lock(mutex_);
        if (call.call == "InitTipManager") initialised_ = true;
        if (call.call == "FreeTipManager") initialised_ = false;
        if (initialised_ && IsTip(call)) display = display_;  // a copy: shown outside the lock
    }
    if (display) display(call);
}

}  // namespace platform
