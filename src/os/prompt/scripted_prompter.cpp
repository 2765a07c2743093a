#include "os/prompt/scripted_prompter.h"

#include <algorithm>
#include <cstdio>

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"

namespace os {

namespace {

void ReportOnStderr(const PromptRecord& record) {
    fprintf(stderr, "ScriptedPrompter: no answer queued for %s \"%s\" \"%s\"\n",
            PromptKindName(record.kind), GbkToUtf8Lossy(record.caption).c_str(),
            GbkToUtf8Lossy(record.text).c_str());
}

PromptRecord NewRecord(PromptKind kind, HWND owner, std::string caption, std::string text,
                       UINT style = 0) {
    PromptRecord record;
    record.kind = kind;
    record.owner = owner;
    record.caption = std::move(caption);
    record.text = std::move(text);
    record.style = style;
    return record;
}

bool Fits(const PromptMatch& match, const PromptRecord& record) {
    if (match.caption && *match.caption != record.caption) return false;
    if (match.textContains && Find(record.text, *match.textContains) < 0) return false;
    return true;
}

}  // namespace

const char* PromptKindName(PromptKind kind) {
    switch (kind) {
        case PromptKind::MessageBox:
            return "message box";
        case PromptKind::OpenFile:
            return "open-file chooser";
        case PromptKind::SaveFile:
            return "save-file chooser";
        case PromptKind::Font:
            return "font chooser";
        case PromptKind::Input:
            return "input prompt";
        case PromptKind::Dialog:
            return "dialog";
    }
    return "prompt";
}

ScriptedPrompter::ScriptedPrompter(UnansweredHandler onUnanswered)
    : onUnanswered_(onUnanswered ? std::move(onUnanswered) : ReportOnStderr) {}

// ---- Prompts

int ScriptedPrompter::MessageBox(const MessageBoxRequest& request) {
    PromptRecord record = NewRecord(PromptKind::MessageBox, request.owner, request.caption,
                                    request.text, request.style);
    if (auto answer = Take(record)) {
        record.answered = true;
        record.result = answer->result;
    }
    int result = record.result;
    Finish(std::move(record));
    return result;
}

std::optional<std::string> ScriptedPrompter::ChooseFile(PromptKind kind,
                                                        const FileDialogRequest& request) {
    PromptRecord record = NewRecord(kind, request.owner, request.title, request.defaultName);
    if (auto answer = Take(record)) {
        record.answered = true;
        record.result = answer->result;
        record.value = answer->value;
    }
    std::optional<std::string> value = record.value;
    Finish(std::move(record));
    return value;
}

std::optional<std::string> ScriptedPrompter::OpenFile(const FileDialogRequest& request) {
    return ChooseFile(PromptKind::OpenFile, request);
}

std::optional<std::string> ScriptedPrompter::SaveFile(const FileDialogRequest& request) {
    return ChooseFile(PromptKind::SaveFile, request);
}

std::optional<FontChoice> ScriptedPrompter::ChooseFont(const FontRequest& request) {
    PromptRecord record = NewRecord(PromptKind::Font, request.owner, {}, request.initial.faceName);
    if (auto answer = Take(record)) {
        record.answered = true;
        record.result = answer->result;
        record.font = answer->font;
    }
    std::optional<FontChoice> font = record.font;
    Finish(std::move(record));
    return font;
}

std::optional<std::string> ScriptedPrompter::InputText(const InputRequest& request) {
    PromptRecord record =
        NewRecord(PromptKind::Input, request.owner, request.caption, request.prompt);
    if (auto answer = Take(record)) {
        record.answered = true;
        record.result = answer->result;
        record.value = answer->value;
        if (record.value && request.maxBytes > 0) {
            record.value = LeftBytes(*record.value, request.maxBytes);
        }
    }
    std::optional<std::string> value = record.value;
    Finish(std::move(record));
    return value;
}

void ScriptedPrompter::RunModal(WindowSystem& system, HWND dialog,
                                const std::function<bool()>& ended) {
    PromptRecord record = NewRecord(PromptKind::Dialog, system.GetOwner(dialog),
                                    system.GetWindowText(dialog), system.GetClassName(dialog));
    std::optional<Answer> answer = Take(record);
    // Recorded now, so that prompts the dialog raises while it runs come after it.
    size_t index;
    {
        std::lock_guard lock(mutex_);
        index = records_.size();
        records_.push_back(record);
    }
    if (!answer) {
        EndDialog(dialog, IDCANCEL);
        onUnanswered_(record);
        return;
    }
    if (answer->act) {
        if (Window* window = system.FromHandle(dialog)) answer->act(*window);
    }
    // Whatever the action set going (posted clicks, commands) is handled before the end.
    while (!ended() && system.PumpPending() > 0) {
    }
    if (!ended()) EndDialog(dialog, answer->result);
    std::lock_guard lock(mutex_);
    records_[index].answered = true;
    records_[index].result = EndedWith(dialog).value_or(IDCANCEL);
}

// ---- Answers

ScriptedPrompter::Answer ScriptedPrompter::MakeAnswer(PromptKind kind, PromptMatch match,
                                                      int result, std::optional<std::string> value,
                                                      std::optional<FontChoice> font,
                                                      std::function<void(Window&)> act) {
    Answer answer;
    answer.kind = kind;
    answer.match = std::move(match);
    answer.result = result;
    answer.value = std::move(value);
    answer.font = std::move(font);
    answer.act = std::move(act);
    return answer;
}

void ScriptedPrompter::Queue(Answer answer) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(answer));
}

void ScriptedPrompter::AnswerMessageBox(int result, PromptMatch match) {
    Queue(MakeAnswer(PromptKind::MessageBox, std::move(match), result));
}

void ScriptedPrompter::AnswerOpenFile(std::string path, PromptMatch match) {
    Queue(MakeAnswer(PromptKind::OpenFile, std::move(match), IDOK, std::move(path)));
}

void ScriptedPrompter::CancelOpenFile(PromptMatch match) {
    Queue(MakeAnswer(PromptKind::OpenFile, std::move(match), IDCANCEL));
}

void ScriptedPrompter::AnswerSaveFile(std::string path, PromptMatch match) {
    Queue(MakeAnswer(PromptKind::SaveFile, std::move(match), IDOK, std::move(path)));
}

void ScriptedPrompter::CancelSaveFile(PromptMatch match) {
    Queue(MakeAnswer(PromptKind::SaveFile, std::move(match), IDCANCEL));
}

void ScriptedPrompter::AnswerFont(FontChoice font, PromptMatch match) {
    Queue(MakeAnswer(PromptKind::Font, std::move(match), IDOK, std::nullopt, std::move(font)));
}

void ScriptedPrompter::CancelFont(PromptMatch match) {
    Queue(MakeAnswer(PromptKind::Font, std::move(match), IDCANCEL));
}

void ScriptedPrompter::AnswerInput(std::string text, PromptMatch match) {
    Queue(MakeAnswer(PromptKind::Input, std::move(match), IDOK, std::move(text)));
}

void ScriptedPrompter::CancelInput(PromptMatch match) {
    Queue(MakeAnswer(PromptKind::Input, std::move(match), IDCANCEL));
}

void ScriptedPrompter::AnswerDialog(int result, std::function<void(Window&)> act,
                                    PromptMatch match) {
    Queue(MakeAnswer(PromptKind::Dialog, std::move(match), result, std::nullopt, std::nullopt,
                     std::move(act)));
}

std::optional<ScriptedPrompter::Answer> ScriptedPrompter::Take(const PromptRecord& record) {
    std::lock_guard lock(mutex_);
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (it->kind != record.kind || !Fits(it->match, record)) continue;
        if (record.kind == PromptKind::MessageBox) {
            auto results = MessageBoxResults(record.style);
            if (std::find(results.begin(), results.end(), it->result) == results.end()) continue;
        }
        Answer answer = std::move(*it);
        queue_.erase(it);
        return answer;
    }
    return std::nullopt;
}

void ScriptedPrompter::Finish(PromptRecord record) {
    {
        std::lock_guard lock(mutex_);
        records_.push_back(record);
    }
    if (!record.answered) onUnanswered_(record);
}

// ---- Records

std::vector<PromptRecord> ScriptedPrompter::Records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<PromptRecord> ScriptedPrompter::RecordsOf(PromptKind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<PromptRecord> found;
    for (const PromptRecord& r : records_) {
        if (r.kind == kind) found.push_back(r);
    }
    return found;
}

std::vector<std::string> ScriptedPrompter::Texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const PromptRecord& r : records_) texts.push_back(r.text);
    return texts;
}

std::vector<PromptRecord> ScriptedPrompter::Unanswered() const {
    std::lock_guard lock(mutex_);
    std::vector<PromptRecord> found;
    for (const PromptRecord& r : records_) {
        if (!r.answered) found.push_back(r);
    }
    return found;
}

std::size_t ScriptedPrompter::Remaining() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void ScriptedPrompter::ClearRecords() {
    std::lock_guard lock(mutex_);
    records_.clear();
}

}  // namespace os
