#include "os/text/gbk_codec.h"

#include <iconv.h>

#include <cerrno>

#include "os/text/gbk_chars.h"

namespace os {
namespace {

enum class Direction { kGbkToUtf8, kUtf8ToGbk };
enum class OnBadInput { kFail, kReplace };

// One iconv descriptor per direction and thread: opening one costs far more than a short
// conversion, and a descriptor must not be shared between threads.
class Converter {
  public:
    explicit Converter(Direction direction)
        : direction_(direction),
          cd_(direction == Direction::kGbkToUtf8 ? iconv_open("UTF-8", "CP936")
                                                 : iconv_open("CP936", "UTF-8")) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Run(std::string_view in, std::string& out, OnBadInput onBad);

  private:
    // iconv_open reports failure as (iconv_t)-1.
    bool valid() const {
        return cd_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
    }
    // Bytes of the bad input unit at the front of `rest`: a whole character where its
    // structure is sound (so the text after it stays aligned), else one byte.
    std::size_t BadUnitLength(std::string_view rest) const;

    Direction direction_;
    iconv_t cd_;
};

std::size_t Utf8SequenceLength(std::string_view s) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
    if (c >= 0xF5 || length > s.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

std::size_t Converter::BadUnitLength(std::string_view rest) const {
    if (direction_ == Direction::kGbkToUtf8)
        return static_cast<std::size_t>(GbkCharLength(rest, 0));
    return Utf8SequenceLength(rest);
}

bool Converter::Run(std::string_view in, std::string& out, OnBadInput onBad) {
    // `in` may view `out` itself, so `out` changes only once the input has been read.
    if (!valid()) {
        out.clear();
        return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state

    std::string result(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t written = 0;
    while (srcLeft > 0) {
        char* dst = result.data() + written;
        size_t dstLeft = result.size() - written;
        size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
        written = result.size() - dstLeft;
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            result.resize(result.size() * 2);
        } else if (onBad == OnBadInput::kReplace && (errno == EILSEQ || errno == EINVAL)) {
            if (written == result.size()) result.resize(result.size() * 2);
            result[written++] = '?';
            std::size_t skip = BadUnitLength(std::string_view(src, srcLeft));
            src += skip;
            srcLeft -= skip;
        } else {
            out.clear();
            return false;
        }
    }
    result.resize(written);
    out = std::move(result);
    return true;
}

Converter& ForThisThread(Direction direction) {
    thread_local Converter gbkToUtf8(Direction::kGbkToUtf8);
    thread_local Converter utf8ToGbk(Direction::kUtf8ToGbk);
    return direction == Direction::kGbkToUtf8 ? gbkToUtf8 : utf8ToGbk;
}

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& out) {
    return ForThisThread(Direction::kGbkToUtf8).Run(gbk, out, OnBadInput::kFail);
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) {
    return ForThisThread(Direction::kUtf8ToGbk).Run(utf8, out, OnBadInput::kFail);
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
    std::string out;
    ForThisThread(Direction::kGbkToUtf8).Run(gbk, out, OnBadInput::kReplace);
    return out;
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
    std::string out;
    ForThisThread(Direction::kUtf8ToGbk).Run(utf8, out, OnBadInput::kReplace);
    return out;
}

}  // namespace os
