#pragma once
// What a message view puts in place of a marker. InsertEncodedText selects the marker's
// characters in the view and asks a MarkerObjects to replace them; the message view may supply
// its own (a face host that animates, a picture decoder), and StandardMarkerObjects is the
// plain one: objects that carry the face number, picture file or offline-file fields.

#include <cstdint>
#include <string>
#include <string_view>

namespace os {
class RichEdit;
}

namespace chat {

// Live messages wait for pictures that are still arriving; history shows a note instead.
enum class InsertMode { Live, History };

class MarkerObjects {
  public:
    virtual ~MarkerObjects() = default;

    // Each call replaces the view's selection, which holds the whole marker. Leaving the
    // selection as it is shows the marker as text.
    virtual void PutFace(os::RichEdit& view, int face) = 0;
    // `name` is a plain file name (no folder part) in the temp folder.
    virtual void PutPicture(os::RichEdit& view, std::string_view name, InsertMode mode) = 0;
    // `fields` is the text between the brackets of an offline-file marker.
    virtual void PutOfflineFile(os::RichEdit& view, std::string_view fields) = 0;
};

// Faces 0..79 become face objects (user value = the face number, name = the image file);
// numbers beyond the table stay text. A picture whose file in `tempDir` is present and at least
// 200 bytes long becomes a picture object; a shorter one (still arriving) or, live, a missing
// one becomes a placeholder; in history a missing one becomes "[截屏,图片已不存在]". Picture
// objects and placeholders carry the file name and a picture number counted from 10000, so the
// chat window can find a placeholder again when its file arrives. An offline-file marker
// becomes an object carrying its fields.
class StandardMarkerObjects final : public MarkerObjects {
  public:
    static constexpr std::uintmax_t kCompletePictureBytes = 200;

    // Both folders end in '/'.
    StandardMarkerObjects(std::string appDir, std::string tempDir);

    void PutFace(os::RichEdit& view, int face) override;
    void PutPicture(os::RichEdit& view, std::string_view name, InsertMode mode) override;
    void PutOfflineFile(os::RichEdit& view, std::string_view fields) override;

  private:
    std::string appDir_;
    std::string tempDir_;
    std::uint32_t nextPictureNumber_;
};

}  // namespace chat
