#include "chat/encoding/face_table.h"

#include <array>
#include <cstdio>

namespace chat {
namespace {

// In face number order. 8 and 25 are both "睡".
constexpr std::array<std::string_view, kFaceCount> kFaceNames = {
    "惊讶", "撇嘴", "色",   "发呆", "得意",       "流泪", "害羞",   "闭嘴",     "睡",   "大哭",
    "尴尬", "发怒", "调皮", "啮牙", "微笑",       "难过", "酷",     "非典",     "抓狂", "吐",
    "偷笑", "可爱", "白眼", "傲慢", "饥饿",       "睡",   "惊恐",   "流汗",     "憨笑", "大兵",
    "奋斗", "咒骂", "疑问", "嘘",   "晕",         "折磨", "衰",     "骷髅",     "敲打", "再见",
    "闪",   "发抖", "爱情", "跳",   "找",         "美眉", "猪头",   "猫咪",     "小狗", "拥抱",
    "钱",   "灯泡", "酒杯", "蛋糕", "闪电",       "炸弹", "刀",     "足球",     "音乐", "便便",
    "咖啡", "饭",   "药",   "玫瑰", "凋谢的玫瑰", "红唇", "红心",   "破碎的心", "床",   "礼物",
    "电话", "时钟", "邮件", "电视", "太阳",       "月亮", "太棒了", "太差了",   "握手", "胜利",
};

// floor(sqrt(n)) without floating point.
int IntegerSquareRoot(int n) {
    int root = 0;
    while ((root + 1) * (root + 1) <= n) ++root;
    return root;
}

}  // namespace

std::string_view FaceName(int face) { return IsFaceNumber(face) ? kFaceNames[face] : ""; }

std::string FaceImagePath(std::string_view appDir, int face) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", face);
    std::string path(appDir);
    path += "face/";
    path += number;
    path += ".gif";
    return path;
}

FacePickerLayout::FacePickerLayout(int faceCount, int imageWidth, int imageHeight)
    : faceCount_(faceCount > 0 ? faceCount : 0),
      columns_(IntegerSquareRoot(faceCount_) + 1),
      rows_((faceCount_ + columns_ - 1) / columns_),
      cellWidth_(imageWidth + kCellPadding),
      cellHeight_(imageHeight + kCellPadding) {}

FacePickerLayout::Cell FacePickerLayout::CellOf(int index) const {
    return Cell{(index % columns_) * cellWidth_, (index / columns_) * cellHeight_, cellWidth_,
                cellHeight_};
}

int FacePickerLayout::SelectionAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    int index = (y / cellHeight_) * columns_ + x / cellWidth_;
    return index < faceCount_ ? index + 1 : 0;
}

int FaceFromSelection(int selection) {
    if (selection <= 0 || selection > kFaceCount) return -1;
    return selection - 1;
}

}  // namespace chat
