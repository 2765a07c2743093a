#pragma once
// The byte stream of a contact cache file: little-endian, no header and no tags, every object
// writing its own fields in order. One archive either stores (appends to its bytes) or loads
// (reads from bytes it was given); the same Serialize code runs both ways through Exchange.
//
// Encodings:
//   DWORD   4 bytes, little-endian, unsigned.
//   string  a length, then that many GBK bytes (no terminator). The length is one byte below
//           255; else 0xFF and 2 bytes below 0xFFFE; else 0xFF 0xFF 0xFF and 4 bytes.
//
// A load that runs past the end, or meets a length it cannot read, throws BrokenCacheFile
// before it allocates anything for the bytes that are not there.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace contacts {

// A cache file that cannot be read (or a tree that could not be written).
class BrokenCacheFile : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class CacheArchive {
  public:
    // An archive that stores into its own bytes.
    static CacheArchive ForStoring() { return CacheArchive(); }
    // An archive that loads from `bytes` (which must outlive it).
    static CacheArchive ForLoading(std::string_view bytes) { return CacheArchive(bytes); }

    bool IsStoring() const { return storing_; }

    // Stores the value, or loads it into `value`.
    void Exchange(std::uint32_t& value);
    void Exchange(std::string& text);

    // The one-way halves of Exchange. Storing: writes the value.
    void Put(std::uint32_t value) { PutDword(value); }
    void Put(std::string_view text);
    // Loading: the next value; a text is a view of the loaded bytes.
    std::uint32_t TakeDword() { return GetDword(); }
    std::string_view TakeText();

    // Storing: everything written so far.
    const std::string& bytes() const { return out_; }
    std::string TakeBytes() { return std::move(out_); }
    // Loading: bytes not read yet.
    std::size_t remaining() const { return in_.size() - read_; }

  private:
    CacheArchive() : storing_(true) {}
    explicit CacheArchive(std::string_view bytes) : storing_(false), in_(bytes) {}

    void PutDword(std::uint32_t value);
    void PutWord(std::uint16_t value);
    std::uint32_t GetDword();
    std::uint16_t GetWord();
    std::uint8_t GetByte();
    // Throws unless `count` more bytes are there.
    void Need(std::size_t count) const;

    bool storing_;
    std::string out_;
    std::string_view in_;
    std::size_t read_ = 0;
};

}  // namespace contacts
