#pragma once
// CChatRichView: the rich text of a chat window, used for its message view (read-only) and
// for its input box (editable). Encoded chat text is appended at the end, turned into faces,
// pictures and links, and the view is kept scrolled to the newest line.
//
// Notices may come from any thread (file transfer callbacks): QueueNotice puts them on a
// pending list under the view's lock and the owner window's thread appends them. Everything
// else runs on the owner window's thread.
//
// Link clicks reach the owner through the link handler, with the link's own text and its
// target (empty when it leads to its own text); the owner window forwards the control's
// link notification to OnLinkNotification.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chat/display/view_menu.h"
#include "chat/encoding/marker_objects.h"
#include "chat/encoding/message_lines.h"
#include "os/controls/rich_edit.h"
#include "os/ui/hwnd.h"

namespace os {
class Clipboard;
class Clock;
class Prompter;
class WindowSystem;
}  // namespace os

namespace chat {

// The 45-dash line that frames notices.
inline constexpr std::string_view kSeparatorLine = "---------------------------------------------";

enum class ViewKind { ReadOnly, Editable };
enum class NoticeFrame { Plain, Separated };

class CChatRichView final : public os::RichEdit {
  public:
    using LinkHandler = std::function<void(const std::string& linkText, const std::string& target)>;

    // `appDir` holds the face images, `tempDir` the pictures; both end in '/'.
    CChatRichView(int id, ViewKind kind, const os::Clock& clock, std::string appDir,
                  std::string tempDir);

    ViewKind viewKind() const { return kind_; }

    // The window whose thread appends queued notices; call once it has its handle. Notices
    // queued before are appended now.
    void AttachTo(os::WindowSystem& system, os::HWND owner);

    // Appends header-prefixed encoded text at the end and scrolls to the bottom.
    void AppendEncoded(std::string_view text, InsertMode mode = InsertMode::Live);
    // Appends a message under its grey speaker line (an empty time is now).
    void AppendMessage(std::string_view speaker, std::string_view time, std::string_view message,
                       SpeakerVerb verb = SpeakerVerb::Says);
    // The grey block of recent messages (oldest first); answers how many were shown.
    int AppendRecentHistory(std::span<const RecentMessage> messages);
    // A red notice: "\r\n<text>\r\n", or framed by separator lines.
    void AddRedNotice(std::string_view text, NoticeFrame frame = NoticeFrame::Plain);
    // Any thread: text + "\r\n" joins the pending list; the owner's thread appends the list
    // in order (at once when called there).
    void QueueNotice(std::string_view text);
    // Owner thread: appends every pending notice, oldest first.
    void RenderPendingNotices();
    std::size_t PendingNoticeCount() const;

    // Gives [start, end) the link effect and colour; an empty target leads to the link text.
    void MarkLink(int start, int end, std::string_view target);

    void SetLinkHandler(LinkHandler handler) { linkHandler_ = std::move(handler); }
    // The control's kLinkClicked notification, forwarded by the owner window.
    void OnLinkNotification(int position);

    // ---- The context menu and the clipboard (chat/display/chat_rich_view_menu.cpp) ----
    // Told of each picture the user puts in (file name in the temp folder, picture number),
    // for the window's picture map.
    using PictureHandler = std::function<void(const std::string& name, std::uint32_t number)>;
    void SetPictureHandler(PictureHandler handler) { pictureHandler_ = std::move(handler); }

    // The entries of the context menu now; "图片另存为..." only with screen capture.
    std::vector<ViewMenuEntry> ContextMenu(const os::Clipboard& clipboard,
                                           bool hasClipScreen) const;
    // Runs an entry of the menu; false when it cannot be chosen now (or is not offered).
    bool RunMenuCommand(ViewMenuCommand command, os::Clipboard& clipboard, os::Prompter& prompter,
                        os::HWND owner, bool hasClipScreen);
    // The user's paste: a bitmap becomes a JPEG picture in the temp folder (its number the
    // tick count, above every face number and every picture number before), any other
    // content is pasted as text. A read-only view does nothing. False when nothing was put in.
    bool Paste(const os::Clipboard& clipboard);
    // A picture given as bitmap bytes (a screen capture) put in at the caret like a paste.
    bool InsertBitmap(std::span<const std::uint8_t> bitmap);
    bool CanUndo() const { return undo_.has_value(); }

    // The line the view shows at its bottom (the last line after every append).
    int scrolledToLine() const { return scrolledToLine_; }

  private:
    // The content before the last cut, paste or clear, for one step of undo.
    struct UndoState {
        std::vector<os::RichSegment> segments;
        os::Selection selection;
    };
    void ScrollToBottom();
    void KeepForUndo();
    void Undo();
    std::optional<std::uint32_t> SelectedPictureNumber() const;
    bool SavePictureAs(os::Prompter& prompter, os::HWND owner);

    ViewKind kind_;
    const os::Clock& clock_;
    StandardMarkerObjects objects_;
    LinkHandler linkHandler_;
    PictureHandler pictureHandler_;
    std::string tempDir_;
    std::uint32_t lastPictureNumber_ = 0;
    std::optional<UndoState> undo_;
    int scrolledToLine_ = 0;

    mutable std::mutex pendingMutex_;  // pending_, system_, owner_
    std::vector<std::string> pending_;
    os::WindowSystem* system_ = nullptr;
    os::HWND owner_{};
};

}  // namespace chat
