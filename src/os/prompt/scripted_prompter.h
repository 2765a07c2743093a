#pragma once
// The prompter of tests. The test queues answers before it acts; every prompt the code makes
// is recorded (kind, caption, text, style, what it was answered) and takes the first queued
// answer, in queue order, that fits it: same kind, the caption and text the answer asks for
// (if any), and for a message box a result that is one of its buttons. An answer that fits
// nothing stays queued (Remaining() shows it).
//
// An unanswered prompt is a fault of the test, and it is made visible: the prompt is recorded
// with answered = false, reported to the handler given at construction (by default a line on
// stderr; tests pass one that fails the test) and answered as if the user had backed out:
// IDCANCEL for a message box (whatever its buttons, so that "only Yes goes on" code stops),
// nothing for a chooser or input, IDCANCEL for a dialog.
//
// Message boxes and choosers answer at once without pumping the UI loop. A modal dialog is
// shown, its queued action runs on the dialog (fill in controls, click a button: the dialog's
// own code may call EndDialog), the messages that produced are handled, and unless the dialog
// ended by itself it ends with the answer's result.

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "os/prompt/prompter.h"

namespace os {

enum class PromptKind { MessageBox, OpenFile, SaveFile, Font, Input, Dialog };
const char* PromptKindName(PromptKind kind);

// Which prompt an answer is meant for, beyond its kind. Empty fields match anything.
struct PromptMatch {
    std::optional<std::string> caption{};       // equal
    std::optional<std::string> textContains{};  // a part of the text
};

struct PromptRecord {
    PromptKind kind = PromptKind::MessageBox;
    HWND owner{};
    // Message box: caption and text. File chooser: title and default name. Font: the initial
    // face name. Input: caption and prompt. Dialog: window title and class name.
    std::string caption{};
    std::string text{};
    UINT style = 0;  // message box style; 0 for the others
    bool answered = false;
    int result = IDCANCEL;  // box or dialog result; IDOK or IDCANCEL for choosers and input
    std::optional<std::string> value{};  // chosen path or typed text
    std::optional<FontChoice> font{};
};

class ScriptedPrompter final : public Prompter {
  public:
    using UnansweredHandler = std::function<void(const PromptRecord&)>;
    explicit ScriptedPrompter(UnansweredHandler onUnanswered = {});

    using Prompter::MessageBox;
    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
    std::optional<FontChoice> ChooseFont(const FontRequest& request) override;
    std::optional<std::string> InputText(const InputRequest& request) override;

    // ---- Queueing answers
    void AnswerMessageBox(int result, PromptMatch match = {});
    void AnswerOpenFile(std::string path, PromptMatch match = {});
    void CancelOpenFile(PromptMatch match = {});
    void AnswerSaveFile(std::string path, PromptMatch match = {});
    void CancelSaveFile(PromptMatch match = {});
    void AnswerFont(FontChoice font, PromptMatch match = {});
    void CancelFont(PromptMatch match = {});
    // Typed text longer than the box's limit is cut to it, as the box would, never inside a
    // GBK character.
    void AnswerInput(std::string text, PromptMatch match = {});
    void CancelInput(PromptMatch match = {});
    // `act` (optional) runs on the shown dialog; `result` ends it unless it ended by itself.
    void AnswerDialog(int result, std::function<void(Window&)> act = {}, PromptMatch match = {});

    // ---- What happened
    std::vector<PromptRecord> Records() const;
    std::vector<PromptRecord> RecordsOf(PromptKind kind) const;
    // The text of every prompt so far, in order.
    std::vector<std::string> Texts() const;
    std::vector<PromptRecord> Unanswered() const;
    // Answers still queued.
    std::size_t Remaining() const;
    void ClearRecords();

  protected:
    void RunModal(WindowSystem& system, HWND dialog, const std::function<bool()>& ended) override;

  private:
    struct Answer {
        PromptKind kind = PromptKind::MessageBox;
        PromptMatch match;
        int result = IDOK;
        std::optional<std::string> value;
        std::optional<FontChoice> font;
        std::function<void(Window&)> act;
    };

    static Answer MakeAnswer(PromptKind kind, PromptMatch match, int result,
                             std::optional<std::string> value = std::nullopt,
                             std::optional<FontChoice> font = std::nullopt,
                             std::function<void(Window&)> act = {});
    void Queue(Answer answer);
    // Takes the first queued answer that fits the record (the box's buttons for a message
    // box), or nothing.
    std::optional<Answer> Take(const PromptRecord& record);
    // Records the prompt; reports it when unanswered.
    void Finish(PromptRecord record);
    std::optional<std::string> ChooseFile(PromptKind kind, const FileDialogRequest& request);

    UnansweredHandler onUnanswered_;
    mutable std::mutex mutex_;
    std::vector<Answer> queue_;
    std::vector<PromptRecord> records_;
};

}  // namespace os
