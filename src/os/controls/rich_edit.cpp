#include "os/controls/rich_edit.h"

#include <algorithm>

#include "os/controls/control_text.h"
#include "os/text/gbk_chars.h"

namespace os {
namespace {

// Applies the fields named by `change.mask` to `target`.
void ApplyMasked(CharFormat& target, const CharFormat& change) {
    const std::uint32_t mask = change.mask;
    auto copyEffect = [&](std::uint32_t maskBit, std::uint32_t effect) {
        if (!(mask & maskBit)) return;
        target.effects = (target.effects & ~effect) | (change.effects & effect);
    };
    copyEffect(char_mask::kBold, char_effect::kBold);
    copyEffect(char_mask::kItalic, char_effect::kItalic);
    copyEffect(char_mask::kUnderline, char_effect::kUnderline);
    copyEffect(char_mask::kStrikeOut, char_effect::kStrikeOut);
    copyEffect(char_mask::kColor, char_effect::kAutoColor);
    if (mask & char_mask::kColor) target.color = change.color;
    if (mask & char_mask::kSize) target.height = change.height;
    if (mask & char_mask::kCharSet) target.charSet = change.charSet;
    if (mask & char_mask::kFace) {
        target.faceName =
            change.faceName.substr(0, CharBoundaryAtOrBefore(change.faceName, kMaxFaceNameBytes));
        target.pitchAndFamily = change.pitchAndFamily;
    }
    if (mask & char_mask::kLink) {
        copyEffect(char_mask::kLink, char_effect::kLink);
        target.linkTarget = target.Has(char_effect::kLink) ? change.linkTarget : std::string();
    }
    target.mask = char_mask::kAll;
}

// Clears the mask bits of the fields in which `other` differs from `first`.
void ClearDiffering(CharFormat& first, const CharFormat& other) {
    std::uint32_t differingEffects = first.effects ^ other.effects;
    auto clearIf = [&](bool differs, std::uint32_t maskBit) {
        if (differs) first.mask &= ~maskBit;
    };
    clearIf(differingEffects & char_effect::kBold, char_mask::kBold);
    clearIf(differingEffects & char_effect::kItalic, char_mask::kItalic);
    clearIf(differingEffects & char_effect::kUnderline, char_mask::kUnderline);
    clearIf(differingEffects & char_effect::kStrikeOut, char_mask::kStrikeOut);
    clearIf((differingEffects & char_effect::kLink) || first.linkTarget != other.linkTarget,
            char_mask::kLink);
    clearIf((differingEffects & char_effect::kAutoColor) || first.color != other.color,
            char_mask::kColor);
    clearIf(first.height != other.height, char_mask::kSize);
    clearIf(first.charSet != other.charSet, char_mask::kCharSet);
    clearIf(first.faceName != other.faceName || first.pitchAndFamily != other.pitchAndFamily,
            char_mask::kFace);
}

CharFormat WithoutLink(CharFormat format) {
    format.effects &= ~char_effect::kLink;
    format.linkTarget.clear();
    format.mask = char_mask::kAll;
    return format;
}

}  // namespace

RichEdit::RichEdit(int id) : Control(id, ControlKind::RichEdit) {}

// ---- Text ----------------------------------------------------------------------------------

std::string RichEdit::GetText() const { return bytes_; }

void RichEdit::SetText(std::string text) {
    bytes_ = control_text::ReplaceLoneLeadBytes(text);
    charStart_.clear();
    for (std::size_t at = 0; at < bytes_.size();
         at += static_cast<std::size_t>(GbkCharLength(bytes_, at)))
        charStart_.push_back(static_cast<std::uint32_t>(at));
    runs_.clear();
    formats_.clear();
    formatIndex_.clear();
    if (!charStart_.empty()) runs_.push_back(FormatRun{0, Intern(defaultFormat_)});
    objects_.clear();
    caretFormat_.reset();
    sel_ = {};
    Changed();
    Notify(notify::kEditChange);
}

void RichEdit::Clear() { SetText(std::string()); }

int RichEdit::GetTextLength() const { return Length(); }

std::size_t RichEdit::GetTextByteLength() const { return bytes_.size(); }

std::string RichEdit::GetTextRange(int start, int end) const {
    start = std::clamp(start, 0, Length());
    end = end < 0 ? Length() : std::min(end, Length());
    if (start >= end) return {};
    std::size_t from = ByteOffsetFromPosition(start);
    return bytes_.substr(from, ByteOffsetFromPosition(end) - from);
}

int RichEdit::PositionFromByteOffset(std::size_t offset) const {
    if (offset >= bytes_.size()) return Length();
    auto after = std::upper_bound(charStart_.begin(), charStart_.end(), offset);
    return static_cast<int>(after - charStart_.begin()) - 1;
}

std::size_t RichEdit::ByteOffsetFromPosition(int position) const {
    if (position <= 0) return 0;
    if (position >= Length()) return bytes_.size();
    return charStart_[static_cast<std::size_t>(position)];
}

int RichEdit::GetLineCount() const {
    int lines = 1;
    // '\r' and '\n' are below every trail byte, so a byte scan cannot misread GBK.
    for (std::size_t at = 0; at < bytes_.size(); ++at) {
        if (bytes_[at] == '\n') {
            ++lines;
        } else if (bytes_[at] == '\r') {
            ++lines;
            if (at + 1 < bytes_.size() && bytes_[at + 1] == '\n') ++at;
        }
    }
    return lines;
}

// ---- Selection -----------------------------------------------------------------------------

void RichEdit::SetSel(int start, int end) {
    Selection sel = start == -1 ? Selection{Length(), Length()}
                                : NormalizeSelection(start, end, Length(), sel_);
    if (sel == sel_) return;
    sel_ = sel;
    caretFormat_.reset();
    Changed();
}

Selection RichEdit::GetSel() const { return sel_; }

std::string RichEdit::GetSelText() const { return GetTextRange(sel_.start, sel_.end); }

// ---- Editing -------------------------------------------------------------------------------

bool RichEdit::ReplaceSel(std::string_view text) { return Insert(text, nullptr); }

bool RichEdit::TypeText(std::string_view text) {
    if (readOnly_ || !enabled()) return false;
    return ReplaceSel(text);
}

bool RichEdit::InsertObject(const RichObject& object) { return Insert({}, &object); }

bool RichEdit::Insert(std::string_view text, const RichObject* object) {
    const CharFormat format = InsertionFormat();
    std::string insert =
        object ? std::string(1, kObjectChar) : control_text::ReplaceLoneLeadBytes(text);

    bool whole = true;
    if (limitBytes_ != 0) {
        std::size_t selectedBytes =
            ByteOffsetFromPosition(sel_.end) - ByteOffsetFromPosition(sel_.start);
        std::size_t kept = bytes_.size() - selectedBytes;
        std::size_t room = kept < limitBytes_ ? limitBytes_ - kept : 0;
        if (object && room == 0) return false;
        std::size_t fits = CharBoundaryAtOrBefore(insert, room);
        whole = fits == insert.size();
        insert.resize(fits);
    }
    if (insert.empty() && sel_.empty()) return whole;

    Erase(sel_.start, sel_.end);
    const int at = sel_.start;

    // Character starts of the new text, then those after it move by its size.
    std::vector<std::uint32_t> starts;
    const std::size_t byteAt = ByteOffsetFromPosition(at);
    for (std::size_t i = 0; i < insert.size();
         i += static_cast<std::size_t>(GbkCharLength(insert, i)))
        starts.push_back(static_cast<std::uint32_t>(byteAt + i));
    const int added = static_cast<int>(starts.size());

    InsertRun(at, added, format);  // before charStart_ grows: it works on the old length
    bytes_.insert(byteAt, insert);
    auto tail = charStart_.insert(charStart_.begin() + at, starts.begin(), starts.end()) + added;
    for (; tail != charStart_.end(); ++tail) *tail += static_cast<std::uint32_t>(insert.size());

    std::size_t firstMoved = FirstObjectAtOrAfter(at);
    for (std::size_t i = firstMoved; i < objects_.size(); ++i) objects_[i].position += added;
    if (object)
        objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(firstMoved),
                        PlacedObject{at, *object});

    sel_ = Selection{at + added, at + added};
    Changed();
    Notify(notify::kEditChange);
    return whole;
}

void RichEdit::Erase(int start, int end) {
    if (start >= end) return;
    const int removed = end - start;
    const std::size_t byteStart = ByteOffsetFromPosition(start);
    const std::size_t byteCount = ByteOffsetFromPosition(end) - byteStart;

    // Runs first, while the length is still the old one.
    SplitRunAt(start);
    SplitRunAt(end);
    auto firstGone = std::lower_bound(runs_.begin(), runs_.end(), start,
                                      [](const FormatRun& run, int p) { return run.start < p; });
    auto firstKept = std::lower_bound(firstGone, runs_.end(), end,
                                      [](const FormatRun& run, int p) { return run.start < p; });
    auto next = runs_.erase(firstGone, firstKept);
    for (auto run = next; run != runs_.end(); ++run) run->start -= removed;
    std::size_t joint = static_cast<std::size_t>(next - runs_.begin());
    MergeRuns(joint == 0 ? 0 : joint - 1, joint);

    bytes_.erase(byteStart, byteCount);
    auto tail = charStart_.erase(charStart_.begin() + start, charStart_.begin() + end);
    for (; tail != charStart_.end(); ++tail) *tail -= static_cast<std::uint32_t>(byteCount);

    auto gone = objects_.begin() + static_cast<std::ptrdiff_t>(FirstObjectAtOrAfter(start));
    auto kept = objects_.begin() + static_cast<std::ptrdiff_t>(FirstObjectAtOrAfter(end));
    auto moved = objects_.erase(gone, kept);
    for (; moved != objects_.end(); ++moved) moved->position -= removed;
}

// ---- Format runs ---------------------------------------------------------------------------

std::size_t RichEdit::FormatHash::operator()(const CharFormat& format) const {
    std::size_t hash = std::hash<std::string>()(format.faceName);
    auto mix = [&hash](std::size_t value) {
        hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    };
    mix(std::hash<std::string>()(format.linkTarget));
    mix(format.mask);
    mix(format.effects);
    mix(static_cast<std::size_t>(format.height));
    mix(format.color);
    mix(static_cast<std::size_t>(format.charSet) << 8 | format.pitchAndFamily);
    return hash;
}

std::uint32_t RichEdit::Intern(const CharFormat& format) {
    auto [found, added] =
        formatIndex_.try_emplace(format, static_cast<std::uint32_t>(formats_.size()));
    if (added) formats_.push_back(format);
    return found->second;
}

std::size_t RichEdit::RunIndexAt(int position) const {
    auto after = std::upper_bound(runs_.begin(), runs_.end(), position,
                                  [](int p, const FormatRun& run) { return p < run.start; });
    return static_cast<std::size_t>(after - runs_.begin()) - 1;
}

int RichEdit::RunEnd(std::size_t index) const {
    return index + 1 < runs_.size() ? runs_[index + 1].start : Length();
}

void RichEdit::SplitRunAt(int position) {
    if (position <= 0 || position >= Length()) return;
    std::size_t index = RunIndexAt(position);
    if (runs_[index].start == position) return;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                 FormatRun{position, runs_[index].format});
}

void RichEdit::MergeRuns(std::size_t first, std::size_t last) {
    if (runs_.empty()) return;
    last = std::min(last, runs_.size() - 1);
    // Walk backwards so erasing never disturbs a pair still to be looked at.
    for (std::size_t i = last; i > first; --i) {
        if (runs_[i].format == runs_[i - 1].format)
            runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void RichEdit::InsertRun(int at, int length, const CharFormat& format) {
    if (length <= 0) return;
    const std::uint32_t id = Intern(format);
    if (runs_.empty()) {
        runs_.push_back(FormatRun{0, id});
        return;
    }
    if (at >= Length()) {
        // Appending, the common case of a message view: O(1).
        if (runs_.back().format != id) runs_.push_back(FormatRun{at, id});
        return;
    }
    SplitRunAt(at);
    std::size_t index = at == 0 ? 0 : RunIndexAt(at);
    for (std::size_t i = index; i < runs_.size(); ++i) runs_[i].start += length;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index), FormatRun{at, id});
    MergeRuns(index == 0 ? 0 : index - 1, index + 1);
}

// ---- Objects -------------------------------------------------------------------------------

std::size_t RichEdit::FirstObjectAtOrAfter(int position) const {
    auto found = std::lower_bound(objects_.begin(), objects_.end(), position,
                                  [](const PlacedObject& o, int p) { return o.position < p; });
    return static_cast<std::size_t>(found - objects_.begin());
}

PlacedObject RichEdit::GetObject(int index) const {
    if (index < 0 || index >= GetObjectCount()) return PlacedObject{-1, RichObject{}};
    return objects_[static_cast<std::size_t>(index)];
}

std::optional<RichObject> RichEdit::ObjectAt(int position) const {
    std::size_t index = FirstObjectAtOrAfter(position);
    if (index < objects_.size() && objects_[index].position == position)
        return objects_[index].object;
    return std::nullopt;
}

bool RichEdit::SelectionIsObject() const {
    return sel_.end - sel_.start == 1 && ObjectAt(sel_.start).has_value();
}

bool RichEdit::SetObjectAt(int position, RichObject object) {
    std::size_t index = FirstObjectAtOrAfter(position);
    if (index >= objects_.size() || objects_[index].position != position) return false;
    objects_[index].object = std::move(object);
    Changed();
    return true;
}

// ---- Formats -------------------------------------------------------------------------------

CharFormat RichEdit::InsertionFormat() const {
    if (sel_.empty() && caretFormat_) return *caretFormat_;
    if (Length() == 0) return defaultFormat_;
    int from = sel_.empty() ? std::max(sel_.start - 1, 0) : sel_.start;
    // Text typed next to or over a link is not part of it.
    return WithoutLink(GetCharFormatAt(from));
}

CharFormat RichEdit::GetSelectionCharFormat() const {
    if (sel_.empty()) return InsertionFormat();
    std::size_t index = RunIndexAt(sel_.start);
    CharFormat format = FormatOf(runs_[index]);
    format.mask = char_mask::kAll;
    for (++index; index < runs_.size() && runs_[index].start < sel_.end; ++index)
        ClearDiffering(format, FormatOf(runs_[index]));
    return format;
}

void RichEdit::SetSelectionCharFormat(const CharFormat& format) {
    if (sel_.empty()) {
        CharFormat caret = InsertionFormat();
        ApplyMasked(caret, format);
        caretFormat_ = caret;
        return;
    }
    SplitRunAt(sel_.start);
    SplitRunAt(sel_.end);
    std::size_t first = RunIndexAt(sel_.start);
    std::size_t last = first;
    for (; last < runs_.size() && runs_[last].start < sel_.end; ++last) {
        CharFormat changed = FormatOf(runs_[last]);
        ApplyMasked(changed, format);
        runs_[last].format = Intern(changed);
    }
    MergeRuns(first == 0 ? 0 : first - 1, last);
    Changed();
}

CharFormat RichEdit::GetCharFormatAt(int position) const {
    if (position < 0 || position >= Length()) return defaultFormat_;
    return FormatOf(runs_[RunIndexAt(position)]);
}

void RichEdit::SetDefaultCharFormat(const CharFormat& format) {
    CharFormat whole = format;
    whole.mask = char_mask::kAll;
    ApplyMasked(defaultFormat_, whole);
}

// ---- Content walk --------------------------------------------------------------------------

void RichEdit::ForEachSegment(int start, int end,
                              const std::function<void(const RichSegment&)>& visit) const {
    start = std::clamp(start, 0, Length());
    end = end < 0 ? Length() : std::min(end, Length());
    if (start >= end) return;

    std::size_t run = RunIndexAt(start);
    std::size_t object = FirstObjectAtOrAfter(start);
    int position = start;
    RichSegment segment;
    while (position < end) {
        const int runEnd = std::min(RunEnd(run), end);
        const int nextObject = object < objects_.size() ? objects_[object].position : Length();
        segment.format = FormatOf(runs_[run]);
        segment.start = position;
        if (nextObject == position) {
            segment.type = RichSegment::Type::Object;
            segment.length = 1;
            segment.text.assign(1, kObjectChar);
            segment.object = objects_[object].object;
            ++object;
        } else {
            segment.type = RichSegment::Type::Text;
            segment.length = std::min(runEnd, nextObject) - position;
            segment.text = GetTextRange(position, position + segment.length);
            segment.object = RichObject{};
        }
        visit(segment);
        position += segment.length;
        if (position >= RunEnd(run)) ++run;
    }
}

std::vector<RichSegment> RichEdit::Segments(int start, int end) const {
    std::vector<RichSegment> segments;
    ForEachSegment(start, end, [&segments](const RichSegment& s) { segments.push_back(s); });
    return segments;
}

// ---- Links ---------------------------------------------------------------------------------

std::optional<LinkRange> RichEdit::LinkAt(int position) const {
    if (position < 0 || position >= Length()) return std::nullopt;
    std::size_t index = RunIndexAt(position);
    const CharFormat& format = FormatOf(runs_[index]);
    if (!format.Has(char_effect::kLink)) return std::nullopt;
    auto sameLink = [this, &format](const FormatRun& run) {
        const CharFormat& other = FormatOf(run);
        return other.Has(char_effect::kLink) && other.linkTarget == format.linkTarget;
    };
    std::size_t first = index;
    while (first > 0 && sameLink(runs_[first - 1])) --first;
    std::size_t last = index;
    while (last + 1 < runs_.size() && sameLink(runs_[last + 1])) ++last;

    LinkRange link;
    link.start = runs_[first].start;
    link.end = RunEnd(last);
    link.text = GetTextRange(link.start, link.end);
    link.target = format.linkTarget;
    return link;
}

bool RichEdit::ClickAt(int position) {
    if (!enabled()) return false;
    std::optional<LinkRange> link = LinkAt(position);
    if (!link) return false;
    Notify(notify::kLinkClicked, position, link->target.empty() ? link->text : link->target);
    return true;
}

}  // namespace os
