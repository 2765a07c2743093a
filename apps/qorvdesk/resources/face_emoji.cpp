#include "resources/face_emoji.h"

#include <array>

namespace host::resources {
namespace {

// In face number order; U+FE0F asks for the colour form of a character that has a text form.
constexpr std::array<const char32_t*, kFaceCount> kFaceEmoji = {
    U"\U0001F632",        // 0 惊讶: astonished face
    U"\U0001F612",        // 1 撇嘴: unamused face
    U"\U0001F60D",        // 2 色: smiling face with heart-eyes
    U"\U0001F636",        // 3 发呆: face without mouth
    U"\U0001F60F",        // 4 得意: smirking face
    U"\U0001F622",        // 5 流泪: crying face
    U"\U0001F60A",        // 6 害羞: smiling face with smiling eyes
    U"\U0001F910",        // 7 闭嘴: zipper-mouth face
    U"\U0001F634",        // 8 睡: sleeping face
    U"\U0001F62D",        // 9 大哭: loudly crying face
    U"\U0001F605",        // 10 尴尬: grinning face with sweat
    U"\U0001F621",        // 11 发怒: pouting face
    U"\U0001F61C",        // 12 调皮: winking face with tongue
    U"\U0001F601",        // 13 啮牙: beaming face with smiling eyes
    U"\U0001F642",        // 14 微笑: slightly smiling face
    U"\U0001F61E",        // 15 难过: disappointed face
    U"\U0001F60E",        // 16 酷: smiling face with sunglasses
    U"\U0001F637",        // 17 非典: face with medical mask
    U"\U0001F62B",        // 18 抓狂: tired face
    U"\U0001F92E",        // 19 吐: face vomiting
    U"\U0001F92D",        // 20 偷笑: face with hand over mouth
    U"\U0001F970",        // 21 可爱: smiling face with hearts
    U"\U0001F644",        // 22 白眼: face with rolling eyes
    U"\U0001F624",        // 23 傲慢: face with steam from nose
    U"\U0001F924",        // 24 饥饿: drooling face
    U"\U0001F4A4",        // 25 睡: zzz (the second sleeping face)
    U"\U0001F631",        // 26 惊恐: face screaming in fear
    U"\U0001F613",        // 27 流汗: downcast face with sweat
    U"\U0001F604",        // 28 憨笑: grinning face with smiling eyes
    U"\U0001F482",        // 29 大兵: guard
    U"\U0001F4AA",        // 30 奋斗: flexed biceps
    U"\U0001F92C",        // 31 咒骂: face with symbols on mouth
    U"\U0001F914",        // 32 疑问: thinking face
    U"\U0001F92B",        // 33 嘘: shushing face
    U"\U0001F635",        // 34 晕: face with crossed-out eyes
    U"\U0001F616",        // 35 折磨: confounded face
    U"\U0001F629",        // 36 衰: weary face
    U"\U0001F480",        // 37 骷髅: skull
    U"\U0001F528",        // 38 敲打: hammer
    U"\U0001F44B",        // 39 再见: waving hand
    U"\U0001F4A8",        // 40 闪: dashing away
    U"\U0001F976",        // 41 发抖: cold face
    U"\U0001F491",        // 42 爱情: couple with heart
    U"\U0001F938",        // 43 跳: person cartwheeling
    U"\U0001F50D",        // 44 找: magnifying glass
    U"\U0001F467",        // 45 美眉: girl
    U"\U0001F437",        // 46 猪头: pig face
    U"\U0001F431",        // 47 猫咪: cat face
    U"\U0001F436",        // 48 小狗: dog face
    U"\U0001F917",        // 49 拥抱: hugging face
    U"\U0001F4B0",        // 50 钱: money bag
    U"\U0001F4A1",        // 51 灯泡: light bulb
    U"\U0001F377",        // 52 酒杯: wine glass
    U"\U0001F382",        // 53 蛋糕: birthday cake
    U"\u26A1",            // 54 闪电: high voltage
    U"\U0001F4A3",        // 55 炸弹: bomb
    U"\U0001F52A",        // 56 刀: kitchen knife
    U"\u26BD",            // 57 足球: soccer ball
    U"\U0001F3B5",        // 58 音乐: musical note
    U"\U0001F4A9",        // 59 便便: pile of poo
    U"\u2615",            // 60 咖啡: hot beverage
    U"\U0001F35A",        // 61 饭: cooked rice
    U"\U0001F48A",        // 62 药: pill
    U"\U0001F339",        // 63 玫瑰: rose
    U"\U0001F940",        // 64 凋谢的玫瑰: wilted flower
    U"\U0001F48B",        // 65 红唇: kiss mark
    U"\u2764\uFE0F",      // 66 红心: red heart
    U"\U0001F494",        // 67 破碎的心: broken heart
    U"\U0001F6CF\uFE0F",  // 68 床: bed
    U"\U0001F381",        // 69 礼物: wrapped gift
    U"\U0001F4DE",        // 70 电话: telephone receiver
    U"\u23F0",            // 71 时钟: alarm clock
    U"\u2709\uFE0F",      // 72 邮件: envelope
    U"\U0001F4FA",        // 73 电视: television
    U"\u2600\uFE0F",      // 74 太阳: sun
    U"\U0001F319",        // 75 月亮: crescent moon
    U"\U0001F44D",        // 76 太棒了: thumbs up
    U"\U0001F44E",        // 77 太差了: thumbs down
    U"\U0001F91D",        // 78 握手: handshake
    U"\u270C\uFE0F",      // 79 胜利: victory hand
};

}  // namespace

QString FaceEmoji(int face) {
    if (face < 0 || face >= kFaceCount) return {};
    return QString::fromUcs4(kFaceEmoji[static_cast<std::size_t>(face)]);
}

}  // namespace host::resources
