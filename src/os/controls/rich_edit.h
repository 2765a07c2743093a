#pragma once
// The rich edit model: the text of a chat input box or message view, with per-character
// format runs, links and embedded objects (faces, pictures, offline-file notices).
//
// POSITIONS. A position counts characters the way the Windows rich edit does, not bytes:
//   - an ASCII byte is one position, and so is a GBK double-byte character (a Chinese
//     character is ONE position, two bytes);
//   - an embedded object is one position;
//   - '\r' and '\n' are one position each ("\r\n" is two), and text keeps them as given.
// Text is GBK. A lead byte (0x81..0xFE) that is not followed by a valid trail byte cannot
// stand for a character, so text put in is stored with each such byte replaced by '?': the
// stored text always splits into characters one way, whatever is inserted next to it.
// PositionFromByteOffset / ByteOffsetFromPosition convert between positions and offsets into
// GetText().
//
// OBJECTS appear in the plain text (GetText, GetTextRange, GetSelText) as kObjectChar, a
// blank of one byte, so positions and byte offsets of the text around an object stay in step
// and a scan for the end of a link stops at it. A text segment never holds an object: each
// object is a segment of its own.
//
// FORMATS. Every character, objects included, has a CharFormat. Runs of equal formats are kept
// merged. New text takes the insertion format (see GetSelectionCharFormat). Heights are twips.
//
// READ-ONLY and the LIMIT stop the user, as on Windows: TypeText honours both; code still
// writes with SetText, ReplaceSel and InsertObject (a read-only message view is filled that
// way). The limit (bytes of GetText, 0 = none) holds for ReplaceSel and InsertObject too, so
// an input box never grows past it; SetText is not cut.
//
// NOTIFICATIONS: kEditChange after every change of the content (SetText included, as
// WM_SETTEXT raises EN_CHANGE); kLinkClicked from ClickAt.
//
// COST. Appending at the end (SetSel(-1, -1) then ReplaceSel or InsertObject) costs O(length
// appended), amortised; position -> byte offset is O(1), byte offset -> position O(log n).
// Inserting or deleting elsewhere moves what follows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "os/controls/char_format.h"
#include "os/controls/control.h"
#include "os/controls/text_selection.h"

namespace os {

enum class RichObjectKind {
    Face,                // an animated face; user value = face number
    Picture,             // an inline picture; user value = picture number, name = its file
    PicturePlaceholder,  // a picture that has not arrived (yet); name = the expected file
    OfflineFile,         // an offline-file notice; name = its field text
    Other,
};

// What an embedded object carries.
struct RichObject {
    RichObjectKind kind = RichObjectKind::Other;
    std::uint32_t userValue = 0;  // the 32-bit dwUser
    std::string name;             // a file path, a picture name or field text (GBK)

    bool operator==(const RichObject&) const = default;
};

struct PlacedObject {
    int position = 0;
    RichObject object;

    bool operator==(const PlacedObject&) const = default;
};

// One piece of the content, in order: a run of text in one format, or one object.
struct RichSegment {
    enum class Type { Text, Object };
    Type type = Type::Text;
    int start = 0;      // position of its first character
    int length = 0;     // in positions; 1 for an object
    std::string text;   // Text: the GBK text of the run; Object: kObjectChar
    CharFormat format;  // the format of the run (of the object's position)
    RichObject object;  // Object only
};

// A link: a maximal stretch of characters with the link effect and one link target.
struct LinkRange {
    int start = 0;
    int end = 0;         // one past the last character
    std::string text;    // the link's own text
    std::string target;  // its anchor target, empty when it has none
};

class RichEdit : public Control {
  public:
    static constexpr char kObjectChar = ' ';

    explicit RichEdit(int id);

    // ---- Text -------------------------------------------------------------------------
    // The whole plain text (GBK), each object as kObjectChar. Text() is the same.
    std::string GetText() const;
    std::string Text() const override { return GetText(); }
    // Replaces the content by plain text in the default format: formats, objects, links
    // and the insertion format go; the caret goes to the start. Raises kEditChange.
    void SetText(std::string text) override;
    // Empties the control (SetText("")).
    void Clear();
    // Length in positions.
    int GetTextLength() const;
    // Length in bytes of GetText().
    std::size_t GetTextByteLength() const;
    // Plain text of [start, end), clamped to the text; end -1 = the end.
    std::string GetTextRange(int start, int end) const;
    // The position of the character holding byte `offset` of GetText() (an offset inside a
    // double-byte character gives that character); offsets past the end give the length.
    int PositionFromByteOffset(std::size_t offset) const;
    // The byte offset in GetText() where `position` starts; the length for the end.
    std::size_t ByteOffsetFromPosition(int position) const;
    // 1 + the number of line breaks ("\r\n", a lone "\r" or a lone "\n").
    int GetLineCount() const;

    // ---- Selection --------------------------------------------------------------------
    // Selects [start, end). end -1 (or past the end) = the end of the text; start -1 puts
    // the caret at the end of the text (the rich edit idiom SetSel(-1, -1) before appending).
    // Reversed ranges are put in order. A SetSel that changes the selection drops an
    // insertion format set at the caret.
    void SetSel(int start, int end);
    Selection GetSel() const;
    std::string GetSelText() const;
    // Hidden selection: the view does not draw it (EM_HIDESELECTION); it stays selected.
    void HideSelection(bool hide) { selectionHidden_ = hide; }
    bool selectionHidden() const { return selectionHidden_; }

    // ---- Editing ----------------------------------------------------------------------
    // Replaces the selection by `text` and leaves the caret after it. The new text takes the
    // insertion format (GetSelectionCharFormat at the caret); over a selection, the format of
    // its first character without its link.
    // With a limit, text beyond it is cut (at a whole character); returns false when some or
    // all of it was cut. Works on read-only controls (it is the program writing).
    bool ReplaceSel(std::string_view text);
    // The user typing or pasting `text`: ReplaceSel unless the control is read-only or
    // disabled (then nothing happens and it returns false).
    bool TypeText(std::string_view text);
    // Replaces the selection by one object in the insertion format; the caret goes after it.
    // Returns false (and changes nothing) when the limit leaves no room.
    bool InsertObject(const RichObject& object);

    // ---- Objects ----------------------------------------------------------------------
    int GetObjectCount() const { return static_cast<int>(objects_.size()); }
    // The index-th object in text order; position -1 and an empty object for a bad index.
    PlacedObject GetObject(int index) const;
    // The object at `position`, if that character is one.
    std::optional<RichObject> ObjectAt(int position) const;
    // Whether the selection is exactly one object (what a scan of an input box asks).
    bool SelectionIsObject() const;
    // Changes what the object at `position` carries (a placeholder picture that arrived).
    // Returns false when that character is not an object.
    bool SetObjectAt(int position, RichObject object);

    // ---- Formats ----------------------------------------------------------------------
    // With a selection: the format of its first character, with a mask bit cleared for each
    // field that differs across it. At the caret: the insertion format, that is the format
    // set at the caret since the caret last moved, else the format of the character before
    // the caret without its link, else that of the first character, else the default.
    CharFormat GetSelectionCharFormat() const;
    // Applies the fields of format.mask to the selection, or to the insertion format when
    // there is no selection. A face name is cut to kMaxFaceNameBytes at a whole character.
    void SetSelectionCharFormat(const CharFormat& format);
    // The format of the character at `position` (the default for positions outside).
    CharFormat GetCharFormatAt(int position) const;
    // The format of new content in an empty control and of SetText. Text already there
    // keeps its formats. The mask is ignored: the whole format is taken.
    void SetDefaultCharFormat(const CharFormat& format);
    const CharFormat& GetDefaultCharFormat() const { return defaultFormat_; }

    // ---- Content walk -----------------------------------------------------------------
    // Calls `visit` for each segment overlapping [start, end) (end -1 = the end), in text
    // order, cut to that range: text runs in one format (adjacent equal formats merged, never
    // holding an object) and objects, one segment each.
    void ForEachSegment(int start, int end,
                        const std::function<void(const RichSegment&)>& visit) const;
    std::vector<RichSegment> Segments(int start = 0, int end = -1) const;
    // The number of format runs (adjacent equal formats merged; objects do not split runs).
    int GetFormatRunCount() const { return static_cast<int>(runs_.size()); }

    // ---- Links ------------------------------------------------------------------------
    // The link holding `position`, if that character has the link effect.
    std::optional<LinkRange> LinkAt(int position) const;
    // A click on the character at `position`: when it is part of a link, raises kLinkClicked
    // with item = position and text = the link's target, or its text when it has none, and
    // returns true. Links work in read-only views.
    bool ClickAt(int position);

    // ---- Flags ------------------------------------------------------------------------
    bool readOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Limit in bytes of GetText(); 0 = no limit.
    void LimitText(std::size_t bytes) { limitBytes_ = bytes; }
    std::size_t textLimit() const { return limitBytes_; }

  private:
    struct FormatRun {
        int start = 0;             // the run covers [start, next run's start)
        std::uint32_t format = 0;  // index into formats_
    };
    struct FormatHash {
        std::size_t operator()(const CharFormat& format) const;
    };
    // Each distinct format is kept once: a message full of links has a run per link, and a
    // run that carried its own format (strings included) would make the runs the bulk of
    // the view. Equal formats have equal indexes, so runs compare by index.
    std::uint32_t Intern(const CharFormat& format);
    const CharFormat& FormatOf(const FormatRun& run) const { return formats_[run.format]; }

    int Length() const { return static_cast<int>(charStart_.size()); }
    CharFormat InsertionFormat() const;
    bool Insert(std::string_view text, const RichObject* object);
    void Erase(int start, int end);
    void InsertRun(int at, int length, const CharFormat& format);
    std::size_t RunIndexAt(int position) const;
    int RunEnd(std::size_t index) const;
    void SplitRunAt(int position);
    void MergeRuns(std::size_t first, std::size_t last);
    std::size_t FirstObjectAtOrAfter(int position) const;

    std::string bytes_;                     // GetText()
    std::vector<std::uint32_t> charStart_;  // byte offset of each position
    std::vector<FormatRun> runs_;           // cover [0, length) in order; empty when empty
    std::vector<CharFormat> formats_;       // every format a run has had since SetText
    std::unordered_map<CharFormat, std::uint32_t, FormatHash> formatIndex_;
    std::vector<PlacedObject> objects_;  // by position
    CharFormat defaultFormat_;
    std::optional<CharFormat> caretFormat_;  // set at the caret since it last moved
    Selection sel_;
    bool selectionHidden_ = false;
    bool readOnly_ = false;
    std::size_t limitBytes_ = 0;
};

}  // namespace os
