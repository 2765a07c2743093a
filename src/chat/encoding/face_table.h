#pragma once
// The 80 animated faces every chat window shows, their tooltip names and image files, and the
// grid the face picker lays them out in.

#include <string>
#include <string_view>

namespace chat {

inline constexpr int kFaceCount = 80;

inline bool IsFaceNumber(int face) { return face >= 0 && face < kFaceCount; }

// Tooltip name of face 0..79 (GBK); empty for a number outside the table.
std::string_view FaceName(int face);

// "%sface/%d.gif": the face's animated image below the application folder `appDir`
// (which ends in '/'). The number is written without leading zeros.
std::string FaceImagePath(std::string_view appDir, int face);

// The face picker's grid: floor(sqrt(n)) + 1 columns, as many rows as the faces need, each
// cell six pixels larger than a face image.
struct FacePickerLayout {
    struct Cell {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    static constexpr int kCellPadding = 6;

    FacePickerLayout(int faceCount, int imageWidth, int imageHeight);

    int faceCount() const { return faceCount_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int width() const { return columns_ * cellWidth_; }
    int height() const { return rows_ * cellHeight_; }

    // The cell of face `index` (0-based, in number order: row by row, left to right).
    Cell CellOf(int index) const;

    // The picker's answer for a click at (x, y): the 1-based selection, or 0 when the point
    // lies on no face.
    int SelectionAt(int x, int y) const;

  private:
    int faceCount_;
    int columns_;
    int rows_;
    int cellWidth_;
    int cellHeight_;
};

// Face number of a picker answer: selection − 1, or −1 when nothing was chosen (selection ≤ 0)
// or the selection lies beyond the table.
int FaceFromSelection(int selection);

}  // namespace chat
