// Drives a RichEdit and a plain one-cell-per-character model with the same random edits and
// compares them after every step: text, positions, formats, objects, merged runs, segments.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "os/controls/rich_edit.h"

namespace os {
namespace {

struct Cell {
    std::string bytes;
    CharFormat format;
    std::optional<RichObject> object;
};

CharFormat Plain(CharFormat f) {
    f.effects &= ~char_effect::kLink;
    f.linkTarget.clear();
    return f;
}

// One kind of format change, applied by the control through its mask and by the model by hand.
struct FormatChange {
    enum Kind { Bold, NotBold, Color, Link, Unlink, Face } kind;
    std::uint32_t color = 0;
    std::string text;  // link target or face name

    CharFormat AsMasked() const {
        CharFormat f;
        switch (kind) {
            case Bold:
                f.mask = char_mask::kBold;
                f.effects = char_effect::kBold;
                break;
            case NotBold:
                f.mask = char_mask::kBold;
                f.effects = 0;
                break;
            case Color:
                f.mask = char_mask::kColor;
                f.color = color;
                break;
            case Link:
                f.mask = char_mask::kLink;
                f.effects = char_effect::kLink;
                f.linkTarget = text;
                break;
            case Unlink:
                f.mask = char_mask::kLink;
                f.effects = 0;
                break;
            case Face:
                f.mask = char_mask::kFace;
                f.faceName = text;
                break;
        }
        return f;
    }

    void ApplyTo(CharFormat& f) const {
        switch (kind) {
            case Bold:
                f.effects |= char_effect::kBold;
                break;
            case NotBold:
                f.effects &= ~char_effect::kBold;
                break;
            case Color:
                f.color = color;
                break;
            case Link:
                f.effects |= char_effect::kLink;
                f.linkTarget = text;
                break;
            case Unlink:
                f.effects &= ~char_effect::kLink;
                f.linkTarget.clear();
                break;
            case Face:
                f.faceName = text;
                break;
        }
    }
};

class Model {
  public:
    int Length() const { return static_cast<int>(cells_.size()); }

    void SetSel(int start, int end) {
        Selection next;
        if (start == -1) {
            next = {Length(), Length()};
        } else {
            auto clamp = [this](int p) { return p < 0 || p > Length() ? Length() : p; };
            int s = start < -1 ? 0 : clamp(start);
            int e = clamp(end);
            next = s <= e ? Selection{s, e} : Selection{e, s};
        }
        if (!(next == sel_)) caret_.reset();
        sel_ = next;
    }

    CharFormat InsertionFormat() const {
        if (sel_.empty() && caret_) return *caret_;
        if (cells_.empty()) return CharFormat{};
        int from = sel_.empty() ? std::max(sel_.start - 1, 0) : sel_.start;
        return Plain(cells_[static_cast<std::size_t>(from)].format);
    }

    // `chars` are whole characters; an object is given instead when `object` is set.
    void Replace(const std::vector<std::string>& chars, const std::optional<RichObject>& object) {
        CharFormat format = InsertionFormat();
        cells_.erase(cells_.begin() + sel_.start, cells_.begin() + sel_.end);
        std::vector<Cell> added;
        if (object) {
            added.push_back(Cell{" ", format, object});
        } else {
            for (const auto& c : chars) added.push_back(Cell{c, format, std::nullopt});
        }
        cells_.insert(cells_.begin() + sel_.start, added.begin(), added.end());
        int caret = sel_.start + static_cast<int>(added.size());
        sel_ = {caret, caret};
    }

    void ChangeFormat(const FormatChange& change) {
        if (sel_.empty()) {
            CharFormat f = InsertionFormat();
            change.ApplyTo(f);
            caret_ = f;
            return;
        }
        for (int p = sel_.start; p < sel_.end; ++p)
            change.ApplyTo(cells_[static_cast<std::size_t>(p)].format);
    }

    std::string Text() const {
        std::string text;
        for (const auto& c : cells_) text += c.bytes;
        return text;
    }

    int MergedRunCount() const {
        int runs = 0;
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (i == 0 || !(cells_[i].format == cells_[i - 1].format)) ++runs;
        }
        return runs;
    }

    const std::vector<Cell>& cells() const { return cells_; }
    Selection sel() const { return sel_; }

  private:
    std::vector<Cell> cells_;
    Selection sel_;
    std::optional<CharFormat> caret_;
};

void ExpectSame(const RichEdit& edit, const Model& model, int step) {
    SCOPED_TRACE(testing::Message() << "step " << step);
    ASSERT_EQ(edit.GetText(), model.Text());
    ASSERT_EQ(edit.GetTextLength(), model.Length());
    ASSERT_EQ(edit.GetSel(), model.sel());
    ASSERT_EQ(edit.GetFormatRunCount(), model.MergedRunCount());

    std::size_t offset = 0;
    int objects = 0;
    for (int p = 0; p < model.Length(); ++p) {
        const Cell& cell = model.cells()[static_cast<std::size_t>(p)];
        ASSERT_EQ(edit.ByteOffsetFromPosition(p), offset) << p;
        ASSERT_EQ(edit.PositionFromByteOffset(offset + cell.bytes.size() - 1), p) << p;
        ASSERT_EQ(edit.GetCharFormatAt(p), cell.format) << p;
        ASSERT_EQ(edit.ObjectAt(p), cell.object) << p;
        if (cell.object) {
            ASSERT_LT(objects, edit.GetObjectCount());
            ASSERT_EQ(edit.GetObject(objects), (PlacedObject{p, *cell.object}));
            ++objects;
        }
        offset += cell.bytes.size();
    }
    ASSERT_EQ(objects, edit.GetObjectCount());

    // Segments tile the text; each text segment is one format, and objects stand alone.
    std::string joined;
    int next = 0;
    edit.ForEachSegment(0, -1, [&](const RichSegment& s) {
        EXPECT_EQ(s.start, next);
        for (int p = s.start; p < s.start + s.length; ++p) {
            const Cell& cell = model.cells()[static_cast<std::size_t>(p)];
            EXPECT_EQ(s.format, cell.format);
            EXPECT_EQ(s.type == RichSegment::Type::Object, cell.object.has_value());
        }
        if (s.type == RichSegment::Type::Object) {
            EXPECT_EQ(s.length, 1);
            EXPECT_EQ(s.object, *model.cells()[static_cast<std::size_t>(s.start)].object);
        }
        joined += s.text;
        next = s.start + s.length;
    });
    ASSERT_EQ(next, model.Length());
    ASSERT_EQ(joined, model.Text());
}

TEST(RichEditModel, RandomEditsMatchACellPerCharacterModel) {
    const std::vector<std::vector<std::string>> pieces = {
        {"a"}, {"b", "c"}, {"你"}, {"好", "世"}, {"\r", "\n"}, {}, {"x", "界", "y"}};
    const std::vector<FormatChange> changes = {
        {FormatChange::Bold, 0, ""},     {FormatChange::NotBold, 0, ""},
        {FormatChange::Color, 0xFF, ""}, {FormatChange::Color, 0, ""},
        {FormatChange::Link, 0, ""},     {FormatChange::Link, 0, "http://t"},
        {FormatChange::Unlink, 0, ""},   {FormatChange::Face, 0, "黑体"}};

    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        auto pick = [&random](int n) {
            return static_cast<int>(random() % static_cast<unsigned>(n));
        };
        RichEdit edit(1);
        Model model;
        for (int step = 0; step < 300; ++step) {
            switch (pick(5)) {
                case 0: {
                    int start = pick(model.Length() + 4) - 2;
                    int end = pick(model.Length() + 4) - 2;
                    edit.SetSel(start, end);
                    model.SetSel(start, end);
                    break;
                }
                case 1:
                case 2: {
                    const auto& chars =
                        pieces[static_cast<std::size_t>(pick(static_cast<int>(pieces.size())))];
                    std::string text;
                    for (const auto& c : chars) text += c;
                    edit.ReplaceSel(text);
                    model.Replace(chars, std::nullopt);
                    break;
                }
                case 3: {
                    RichObject object{RichObjectKind::Face, static_cast<std::uint32_t>(pick(80)),
                                      ""};
                    edit.InsertObject(object);
                    model.Replace({}, object);
                    break;
                }
                case 4: {
                    const FormatChange& change =
                        changes[static_cast<std::size_t>(pick(static_cast<int>(changes.size())))];
                    edit.SetSelectionCharFormat(change.AsMasked());
                    model.ChangeFormat(change);
                    break;
                }
            }
            ExpectSame(edit, model, step);
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace os
