#include "prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <cstring>
#include <vector>

#include "gbk_bridge.h"

namespace host {
namespace {

// The Windows message box numbers the library uses.
constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kDefaultMask = 0xF00;
enum : unsigned { kOk = 0, kOkCancel, kAbortRetryIgnore, kYesNoCancel, kYesNo, kRetryCancel };
enum : unsigned { kIconStop = 0x10, kIconQuestion = 0x20, kIconWarning = 0x30, kIconInfo = 0x40 };
enum : int { kIdOk = 1, kIdCancel, kIdAbort, kIdRetry, kIdIgnore, kIdYes, kIdNo };

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonSpec> ButtonsOf(unsigned style) {
    switch (style & kButtonMask) {
        case kOkCancel:
            return {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
        case kAbortRetryIgnore:
            return {{QMessageBox::Abort, kIdAbort},
                    {QMessageBox::Retry, kIdRetry},
                    {QMessageBox::Ignore, kIdIgnore}};
        case kYesNoCancel:
            return {{QMessageBox::Yes, kIdYes},
                    {QMessageBox::No, kIdNo},
                    {QMessageBox::Cancel, kIdCancel}};
        case kYesNo:
            return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
        case kRetryCancel:
            return {{QMessageBox::Retry, kIdRetry}, {QMessageBox::Cancel, kIdCancel}};
        default:
            return {{QMessageBox::Ok, kIdOk}};
    }
}

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & kIconMask) {
        case kIconStop:
            return QMessageBox::Critical;
        case kIconQuestion:
            return QMessageBox::Question;
        case kIconWarning:
            return QMessageBox::Warning;
        case kIconInfo:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// What closing the box without a button means, as Windows answers it.
int EscapeResult(const std::vector<ButtonSpec>& buttons) {
    for (const ButtonSpec& spec : buttons) {
        if (spec.result == kIdCancel) return kIdCancel;
    }
    if (buttons.size() == 1) return buttons.front().result;
    for (const ButtonSpec& spec : buttons) {
        if (spec.result == kIdNo) return kIdNo;
    }
    return kIdCancel;
}

bool CopyOut(const std::string& gbk, char* out, std::size_t capacity) {
    if (out == nullptr || capacity == 0 || gbk.size() + 1 > capacity) return false;
    std::memcpy(out, gbk.data(), gbk.size());
    out[gbk.size()] = '\0';
    return true;
}

QString Text(const char* gbk) { return FromGbk(gbk == nullptr ? "" : gbk); }

void Refuse(QWidget* parent, const QString& why) {
    QMessageBox::warning(parent, QStringLiteral("Qorvdesk"), why);
}

}  // namespace

QWidget* Prompts::DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

int Prompts::MessageBox(const char* caption, const char* text, unsigned style) {
    const std::vector<ButtonSpec> buttons = ButtonsOf(style);
    QMessageBox box(IconOf(style), Text(caption), Text(text), QMessageBox::NoButton,
                    DialogParent());
    box.setObjectName(QStringLiteral("messageBox"));
    std::vector<QAbstractButton*> made;
    for (const ButtonSpec& spec : buttons) made.push_back(box.addButton(spec.button));
    const std::size_t defaultIndex = (style & kDefaultMask) >> 8;
    if (defaultIndex < made.size()) {
        box.setDefaultButton(static_cast<QPushButton*>(made[defaultIndex]));
    }
    box.exec();
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (box.clickedButton() == made[i]) return buttons[i].result;
    }
    return EscapeResult(buttons);
}

std::string QtFileFilter(const std::string& libraryFilter) {
    const QString filter = FromGbk(libraryFilter);
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString label = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        if (label.isEmpty() && patterns.isEmpty()) break;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << (label.contains(QLatin1Char('(')) ? label : label + " (" + patterns + ")");
    }
    return entries.join(QStringLiteral(";;")).toStdString();
}

int Prompts::ChooseFile(const QorvFileRequest& request, char* path, std::size_t capacity) {
    const QString filter =
        QString::fromStdString(QtFileFilter(request.filter == nullptr ? "" : request.filter));
    QString start = Text(request.initialFolder);
    const QString name = Text(request.defaultName);
    if (!name.isEmpty()) start = start.isEmpty() ? name : start + "/" + name;
    QFileDialog dialog(DialogParent(), Text(request.title), start, filter);
    dialog.setAcceptMode(request.save != 0 ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save != 0 ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(Text(request.defaultExtension));
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
        const QString chosen = dialog.selectedFiles().front();
        const std::optional<std::string> gbk = ToGbk(chosen);
        if (gbk && CopyOut(*gbk, path, capacity)) return 1;
        Refuse(&dialog, QStringLiteral("这个文件的路径含有本程序不能使用的字符，请换一个文件。"));
    }
}

int Prompts::ChooseFont(QorvFontChoice& choice) {
    QFont start(Text(choice.faceName));
    if (choice.heightTwips > 0) start.setPointSizeF(choice.heightTwips / 20.0);
    start.setBold(choice.bold != 0);
    start.setItalic(choice.italic != 0);
    start.setUnderline(choice.underline != 0);
    start.setStrikeOut(choice.strikeOut != 0);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, start, DialogParent());
    if (!ok) return 0;
    const std::string face = ToGbkLossy(font.family());
    if (!face.empty() && face.size() < sizeof choice.faceName) {
        std::memcpy(choice.faceName, face.c_str(), face.size() + 1);
    }
    choice.heightTwips = static_cast<int>(font.pointSizeF() * 20 + 0.5);
    choice.bold = font.bold() ? 1 : 0;
    choice.italic = font.italic() ? 1 : 0;
    choice.underline = font.underline() ? 1 : 0;
    choice.strikeOut = font.strikeOut() ? 1 : 0;
    return 1;
}

int Prompts::Input(const QorvInputRequest& request, char* text, std::size_t capacity) {
    QInputDialog dialog(DialogParent());
    dialog.setWindowTitle(Text(request.caption));
    dialog.setLabelText(Text(request.prompt));
    dialog.setTextValue(Text(request.initialValue));
    dialog.setTextEchoMode(request.password != 0 ? QLineEdit::Password : QLineEdit::Normal);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return 0;
        const QString typed = dialog.textValue();
        const std::optional<std::string> gbk = ToGbk(typed);
        if (!gbk) {
            Refuse(&dialog, QStringLiteral("“%1”不能在这里输入，请换用别的字符。")
                                .arg(FirstNonGbkCharacter(typed)));
        } else if (request.maxBytes != 0 && gbk->size() > request.maxBytes) {
            Refuse(&dialog, QStringLiteral("输入的内容太长了（最多 %1 个字节，汉字占 2 个）。")
                                .arg(request.maxBytes));
        } else if (CopyOut(*gbk, text, capacity)) {
            return 1;
        } else {
            Refuse(&dialog, QStringLiteral("输入的内容太长了。"));
        }
    }
}

}  // namespace host
