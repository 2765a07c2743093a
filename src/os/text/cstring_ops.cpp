#include "os/text/cstring_ops.h"

#include <cstdio>

#include "os/text/gbk_chars.h"

namespace os {
namespace {

// The first match of `sub` at a character boundary at or after `from` (itself a boundary)
// that also ends on a boundary, or npos.
std::size_t FindFrom(std::string_view s, std::string_view sub, std::size_t from) {
    for (std::size_t at = from; at + sub.size() <= s.size(); at += GbkCharLength(s, at)) {
        if (s.compare(at, sub.size(), sub) != 0) continue;
        std::size_t end = at;
        while (end < at + sub.size()) end += GbkCharLength(s, end);
        if (end == at + sub.size()) return at;
    }
    return std::string_view::npos;
}

// The first character boundary at or after `pos`.
std::size_t BoundaryAtOrAfter(std::string_view s, std::size_t pos) {
    std::size_t at = CharBoundaryAtOrBefore(s, pos);
    return at < pos ? at + GbkCharLength(s, at) : at;
}

bool InSet(std::string_view unit, std::string_view set) {
    for (std::size_t at = 0; at < set.size();) {
        int length = GbkCharLength(set, at);
        if (set.substr(at, length) == unit) return true;
        at += length;
    }
    return false;
}

std::string TrimLeftSet(std::string_view s, std::string_view set) {
    std::size_t at = 0;
    while (at < s.size()) {
        int length = GbkCharLength(s, at);
        if (!InSet(s.substr(at, length), set)) break;
        at += length;
    }
    return std::string(s.substr(at));
}

std::string TrimRightSet(std::string_view s, std::string_view set) {
    std::size_t keep = 0;  // end of the last character that is not in the set
    for (std::size_t at = 0; at < s.size();) {
        int length = GbkCharLength(s, at);
        at += length;
        if (!InSet(s.substr(at - length, length), set)) keep = at;
    }
    return std::string(s.substr(0, keep));
}

template <typename Change>
std::string ChangeSingleBytes(std::string_view s, Change change) {
    std::string out(s);
    for (std::size_t at = 0; at < out.size();) {
        int length = GbkCharLength(out, at);
        if (length == 1) out[at] = change(out[at]);
        at += length;
    }
    return out;
}

// One character's value for MbsICmp: ASCII letters folded to lower case, a double-byte
// character as lead * 256 + trail (above every single byte).
unsigned CompareValue(std::string_view s, std::size_t at, int length) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (length == 2) return byte(at) << 8 | byte(at + 1);
    unsigned c = byte(at);
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

std::string ClampedSubstr(std::string_view s, long long first, long long count) {
    long long size = static_cast<long long>(s.size());
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first >= size) return {};
    if (count > size - first) count = size - first;
    return std::string(s.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

}  // namespace

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string out = FormatV(fmt, args);
    va_end(args);
    return out;
}

std::string FormatV(const char* fmt, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

int Find(std::string_view s, std::string_view sub, int start) {
    if (start < 0 || static_cast<std::size_t>(start) > s.size()) return -1;
    std::size_t found = FindFrom(s, sub, BoundaryAtOrAfter(s, static_cast<std::size_t>(start)));
    return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

int Find(std::string_view s, char ch, int start) {
    return Find(s, std::string_view(&ch, 1), start);
}

int ReverseFind(std::string_view s, char ch) {
    int last = -1;
    for (std::size_t at = 0; at < s.size();) {
        int length = GbkCharLength(s, at);
        if (length == 1 && s[at] == ch) last = static_cast<int>(at);
        at += length;
    }
    return last;
}

std::string Mid(std::string_view s, int first) {
    return ClampedSubstr(s, first, static_cast<long long>(s.size()));
}

std::string Mid(std::string_view s, int first, int count) { return ClampedSubstr(s, first, count); }

std::string Left(std::string_view s, int count) { return ClampedSubstr(s, 0, count); }

std::string Right(std::string_view s, int count) {
    long long size = static_cast<long long>(s.size());
    long long n = count < 0 ? 0 : (count > size ? size : count);
    return ClampedSubstr(s, size - n, n);
}

std::string Trim(std::string_view s) { return Trim(s, kWhitespace); }
std::string Trim(std::string_view s, char ch) { return Trim(s, std::string_view(&ch, 1)); }
std::string Trim(std::string_view s, std::string_view set) {
    return TrimRightSet(TrimLeftSet(s, set), set);
}

std::string TrimLeft(std::string_view s) { return TrimLeftSet(s, kWhitespace); }
std::string TrimLeft(std::string_view s, char ch) {
    return TrimLeftSet(s, std::string_view(&ch, 1));
}
std::string TrimLeft(std::string_view s, std::string_view set) { return TrimLeftSet(s, set); }

std::string TrimRight(std::string_view s) { return TrimRightSet(s, kWhitespace); }
std::string TrimRight(std::string_view s, char ch) {
    return TrimRightSet(s, std::string_view(&ch, 1));
}
std::string TrimRight(std::string_view s, std::string_view set) { return TrimRightSet(s, set); }

int Replace(std::string& s, std::string_view old, std::string_view with) {
    if (old.empty()) return 0;
    std::string out;
    int count = 0;
    std::size_t copied = 0;
    for (std::size_t at = FindFrom(s, old, 0); at != std::string_view::npos;
         at = FindFrom(s, old, copied)) {
        out.append(s, copied, at - copied).append(with);
        copied = at + old.size();
        ++count;
    }
    if (count == 0) return 0;
    out.append(s, copied, std::string::npos);
    s = std::move(out);
    return count;
}

int Replace(std::string& s, char old, char with) {
    int count = 0;
    for (std::size_t at = 0; at < s.size();) {
        int length = GbkCharLength(s, at);
        if (length == 1 && s[at] == old) {
            s[at] = with;
            ++count;
        }
        at += length;
    }
    return count;
}

int Remove(std::string& s, char ch) {
    std::string out;
    out.reserve(s.size());
    int count = 0;
    for (std::size_t at = 0; at < s.size();) {
        int length = GbkCharLength(s, at);
        if (length == 1 && s[at] == ch) {
            ++count;
        } else {
            out.append(s, at, length);
        }
        at += length;
    }
    if (count > 0) s = std::move(out);
    return count;
}

std::string MakeLower(std::string_view s) {
    return ChangeSingleBytes(s, [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
}

std::string MakeUpper(std::string_view s) {
    return ChangeSingleBytes(s, [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
}

int MbsICmp(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        int lengthA = GbkCharLength(a, i);
        int lengthB = GbkCharLength(b, j);
        unsigned ca = CompareValue(a, i, lengthA);
        unsigned cb = CompareValue(b, j, lengthB);
        if (ca != cb) return ca < cb ? -1 : 1;
        i += lengthA;
        j += lengthB;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace os
