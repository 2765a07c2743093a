#include "resources/gif_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace host::resources {
namespace {

constexpr int kOpaqueColours = 255;
constexpr int kTransparentIndex = 255;
constexpr int kMinCodeSize = 8;  // 256 palette entries
constexpr int kMaxCode = 4095;   // 12-bit codes

struct Rgb {
    int r, g, b;
};

// ---- Median cut ----

struct Box {
    std::vector<Rgb> colours;
    int Channel(const Rgb& c, int channel) const {
        return channel == 0 ? c.r : channel == 1 ? c.g : c.b;
    }
    // The widest channel and its range.
    std::pair<int, int> Widest() const {
        std::array<int, 3> low{255, 255, 255};
        std::array<int, 3> high{0, 0, 0};
        for (const Rgb& c : colours) {
            for (int ch = 0; ch < 3; ++ch) {
                low[ch] = std::min(low[ch], Channel(c, ch));
                high[ch] = std::max(high[ch], Channel(c, ch));
            }
        }
        int best = 0;
        for (int ch = 1; ch < 3; ++ch) {
            if (high[ch] - low[ch] > high[best] - low[best]) best = ch;
        }
        return {best, high[best] - low[best]};
    }
    Rgb Average() const {
        long r = 0, g = 0, b = 0;
        for (const Rgb& c : colours) {
            r += c.r;
            g += c.g;
            b += c.b;
        }
        const long n = static_cast<long>(std::max<std::size_t>(colours.size(), 1));
        return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
    }
};

// At most `count` colours that stand for `pixels` (every pixel counts, so frequent colours
// weigh more). Distinct inputs that fit are kept exactly.
std::vector<Rgb> Palette(const std::vector<Rgb>& pixels, int count) {
    std::vector<Rgb> distinct;
    {
        std::unordered_map<std::uint32_t, bool> seen;
        for (const Rgb& c : pixels) {
            const std::uint32_t key = (static_cast<std::uint32_t>(c.r) << 16) |
                                      (static_cast<std::uint32_t>(c.g) << 8) |
                                      static_cast<std::uint32_t>(c.b);
            if (seen.emplace(key, true).second) distinct.push_back(c);
        }
    }
    if (static_cast<int>(distinct.size()) <= count) return distinct;

    std::vector<Box> boxes{Box{pixels}};
    while (static_cast<int>(boxes.size()) < count) {
        int pick = -1;
        int widest = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            const int range = boxes[i].Widest().second;
            if (range > widest) {
                widest = range;
                pick = static_cast<int>(i);
            }
        }
        if (pick < 0) break;  // every box holds one colour
        Box& box = boxes[static_cast<std::size_t>(pick)];
        const int channel = box.Widest().first;
        std::sort(box.colours.begin(), box.colours.end(), [&](const Rgb& a, const Rgb& b) {
            return box.Channel(a, channel) < box.Channel(b, channel);
        });
        const auto middle = box.colours.begin() + static_cast<long>(box.colours.size() / 2);
        Box upper{std::vector<Rgb>(middle, box.colours.end())};
        box.colours.erase(middle, box.colours.end());
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> palette;
    for (const Box& box : boxes) palette.push_back(box.Average());
    return palette;
}

int Nearest(const std::vector<Rgb>& palette, const Rgb& c) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// ---- LZW ----

class BitWriter {
  public:
    void Write(int code, int size) {
        buffer_ |= static_cast<std::uint32_t>(code) << bits_;
        bits_ += size;
        while (bits_ >= 8) {
            bytes_.push_back(static_cast<char>(buffer_ & 0xFF));
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    QByteArray Finish() {
        if (bits_ > 0) bytes_.push_back(static_cast<char>(buffer_ & 0xFF));
        buffer_ = 0;
        bits_ = 0;
        return bytes_;
    }

  private:
    QByteArray bytes_;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

QByteArray Lzw(const std::vector<std::uint8_t>& indices) {
    const int clearCode = 1 << kMinCodeSize;
    const int endCode = clearCode + 1;
    BitWriter out;
    int codeSize = kMinCodeSize + 1;
    int lastCode = endCode;                        // the highest code in the table
    std::unordered_map<std::uint32_t, int> table;  // (prefix code << 8 | index) -> code
    out.Write(clearCode, codeSize);
    if (indices.empty()) {
        out.Write(endCode, codeSize);
        return out.Finish();
    }
    int current = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t key = (static_cast<std::uint32_t>(current) << 8) | indices[i];
        if (auto it = table.find(key); it != table.end()) {
            current = it->second;
            continue;
        }
        out.Write(current, codeSize);
        table.emplace(key, ++lastCode);
        if (lastCode >= (1 << codeSize) && codeSize < 12) ++codeSize;
        if (lastCode == kMaxCode) {
            // The table is full: start a new one, as the reader will.
            out.Write(clearCode, codeSize);
            table.clear();
            codeSize = kMinCodeSize + 1;
            lastCode = endCode;
        }
        current = indices[i];
    }
    out.Write(current, codeSize);
    out.Write(endCode, codeSize);
    return out.Finish();
}

void PutWord(QByteArray& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

}  // namespace

QByteArray EncodeGif(const QImage& image, QRgb background) {
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();

    // Opaque pixels laid over the background; the rest are transparent.
    std::vector<Rgb> opaque;
    std::vector<bool> seen(static_cast<std::size_t>(width) * height);
    std::vector<Rgb> colours(seen.size());
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            const std::size_t at = static_cast<std::size_t>(y) * width + x;
            if (a < 128) continue;
            auto over = [&](int fore, int back) { return (fore * a + back * (255 - a)) / 255; };
            colours[at] = {over(qRed(p), qRed(background)), over(qGreen(p), qGreen(background)),
                           over(qBlue(p), qBlue(background))};
            seen[at] = true;
            opaque.push_back(colours[at]);
        }
    }
    const std::vector<Rgb> palette = Palette(opaque, kOpaqueColours);
    const bool anyTransparent = opaque.size() < seen.size();

    std::vector<std::uint8_t> indices(seen.size());
    {
        std::unordered_map<std::uint32_t, std::uint8_t> memo;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (!seen[i]) {
                indices[i] = kTransparentIndex;
                continue;
            }
            const Rgb& c = colours[i];
            const std::uint32_t key = (static_cast<std::uint32_t>(c.r) << 16) |
                                      (static_cast<std::uint32_t>(c.g) << 8) |
                                      static_cast<std::uint32_t>(c.b);
            auto it = memo.find(key);
            if (it == memo.end()) {
                it = memo.emplace(key, static_cast<std::uint8_t>(Nearest(palette, c))).first;
            }
            indices[i] = it->second;
        }
    }

    QByteArray gif("GIF89a");
    PutWord(gif, width);
    PutWord(gif, height);
    gif.push_back(static_cast<char>(0xF7));  // a global table of 256 colours, 8 bits each
    gif.push_back(static_cast<char>(kTransparentIndex));  // background
    gif.push_back('\0');                                  // square pixels
    for (int i = 0; i < 256; ++i) {
        const Rgb c = i < static_cast<int>(palette.size())
                          ? palette[static_cast<std::size_t>(i)]
                          : Rgb{qRed(background), qGreen(background), qBlue(background)};
        gif.push_back(static_cast<char>(c.r));
        gif.push_back(static_cast<char>(c.g));
        gif.push_back(static_cast<char>(c.b));
    }
    // Graphic control: no delay; the transparent index when some pixel is transparent.
    gif.append("\x21\xF9\x04", 3);
    gif.push_back(anyTransparent ? '\x01' : '\x00');
    PutWord(gif, 0);
    gif.push_back(static_cast<char>(kTransparentIndex));
    gif.push_back('\0');
    // The image, whole, not interlaced.
    gif.push_back('\x2C');
    PutWord(gif, 0);
    PutWord(gif, 0);
    PutWord(gif, width);
    PutWord(gif, height);
    gif.push_back('\0');
    gif.push_back(static_cast<char>(kMinCodeSize));
    const QByteArray data = Lzw(indices);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, data.size() - at);
        gif.push_back(static_cast<char>(length));
        gif.append(data.constData() + at, length);
    }
    gif.push_back('\0');
    gif.push_back('\x3B');
    return gif;
}

}  // namespace host::resources
