// Answers queued for prompts, and the prompts the client made.

#include "os/automation/driver_impl.h"

namespace qorvdesk::automation {

namespace {

PromptAnswer MakeAnswer(PromptKind kind, int result, std::optional<std::string> value = {}) {
    PromptAnswer answer;
    answer.kind = kind;
    answer.result = result;
    answer.value = std::move(value);
    return answer;
}

int OkOrCancel(bool ok) { return ok ? result::kOk : result::kCancel; }

os::FontChoice ToFontChoice(const Font& font) {
    os::FontChoice choice;
    choice.faceName = font.faceName;
    choice.height = font.heightTwips;
    choice.bold = font.bold;
    choice.italic = font.italic;
    choice.underline = font.underline;
    choice.strikeOut = font.strikeOut;
    choice.color = font.color;
    return choice;
}

PromptKind PublicKind(os::PromptKind kind) {
    switch (kind) {
        case os::PromptKind::MessageBox:
            return PromptKind::MessageBox;
        case os::PromptKind::OpenFile:
            return PromptKind::OpenFile;
        case os::PromptKind::SaveFile:
            return PromptKind::SaveFile;
        case os::PromptKind::Font:
            return PromptKind::Font;
        case os::PromptKind::Input:
            return PromptKind::Input;
        case os::PromptKind::Dialog:
            return PromptKind::Dialog;
    }
    return PromptKind::MessageBox;
}

}  // namespace

PromptAnswer PromptAnswer::MessageBox(int result) {
    return MakeAnswer(PromptKind::MessageBox, result);
}

PromptAnswer PromptAnswer::OpenFile(std::optional<std::string> path) {
    const bool chosen = path.has_value();
    return MakeAnswer(PromptKind::OpenFile, OkOrCancel(chosen), std::move(path));
}

PromptAnswer PromptAnswer::SaveFile(std::optional<std::string> path) {
    const bool chosen = path.has_value();
    return MakeAnswer(PromptKind::SaveFile, OkOrCancel(chosen), std::move(path));
}

PromptAnswer PromptAnswer::Input(std::optional<std::string> text) {
    const bool typed = text.has_value();
    return MakeAnswer(PromptKind::Input, OkOrCancel(typed), std::move(text));
}

PromptAnswer PromptAnswer::ChooseFont(std::optional<Font> font) {
    PromptAnswer answer = MakeAnswer(PromptKind::Font, OkOrCancel(font.has_value()));
    answer.font = std::move(font);
    return answer;
}

PromptAnswer PromptAnswer::Dialog(int result, std::function<void(Driver&, WindowHandle)> act) {
    PromptAnswer answer = MakeAnswer(PromptKind::Dialog, result);
    answer.act = std::move(act);
    return answer;
}

PromptAnswer& PromptAnswer::WhenCaption(std::string text) {
    caption = std::move(text);
    return *this;
}

PromptAnswer& PromptAnswer::WhenTextContains(std::string part) {
    textContains = std::move(part);
    return *this;
}

bool Driver::QueueAnswer(PromptAnswer answer) {
    os::ScriptedPrompter* prompter = impl_->scripted;
    if (!prompter) return impl_->Fail("prompts are answered by a person here, not by a script");
    os::PromptMatch match{std::move(answer.caption), std::move(answer.textContains)};
    switch (answer.kind) {
        case PromptKind::MessageBox:
            prompter->AnswerMessageBox(answer.result, std::move(match));
            break;
        case PromptKind::OpenFile:
            if (answer.value) {
                prompter->AnswerOpenFile(std::move(*answer.value), std::move(match));
            } else {
                prompter->CancelOpenFile(std::move(match));
            }
            break;
        case PromptKind::SaveFile:
            if (answer.value) {
                prompter->AnswerSaveFile(std::move(*answer.value), std::move(match));
            } else {
                prompter->CancelSaveFile(std::move(match));
            }
            break;
        case PromptKind::Input:
            if (answer.value) {
                prompter->AnswerInput(std::move(*answer.value), std::move(match));
            } else {
                prompter->CancelInput(std::move(match));
            }
            break;
        case PromptKind::Font:
            if (answer.font) {
                prompter->AnswerFont(ToFontChoice(*answer.font), std::move(match));
            } else {
                prompter->CancelFont(std::move(match));
            }
            break;
        case PromptKind::Dialog: {
            std::function<void(os::Window&)> act;
            if (answer.act) {
                // The answer may run after this Driver is gone; it drives the dialog through a
                // Driver of its own, bound to the same system and prompter.
                act = [system = impl_->system, prompter = impl_->prompter,
                       drive = std::move(answer.act)](os::Window& dialog) {
                    Driver driver(*system, prompter);
                    drive(driver, dialog.hwnd().value());
                };
            }
            prompter->AnswerDialog(answer.result, std::move(act), std::move(match));
            break;
        }
    }
    impl_->Succeed();
    return true;
}

std::vector<PromptInfo> Driver::Prompts() const {
    std::vector<PromptInfo> list;
    if (!impl_->scripted) return list;
    for (const os::PromptRecord& record : impl_->scripted->Records()) {
        PromptInfo info;
        info.kind = PublicKind(record.kind);
        info.owner = record.owner.value();
        info.caption = record.caption;
        info.text = record.text;
        info.style = record.style;
        info.answered = record.answered;
        info.result = record.result;
        info.value = record.value;
        list.push_back(std::move(info));
    }
    return list;
}

std::size_t Driver::QueuedAnswers() const {
    return impl_->scripted ? impl_->scripted->Remaining() : 0;
}

}  // namespace qorvdesk::automation
