#include "chat/encoding/marker_objects.h"

#include <sys/stat.h>

#include <optional>

#include "chat/encoding/face_table.h"
#include "chat/encoding/input_encoder.h"
#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"
#include "os/text/gbk_codec.h"

namespace chat {
namespace {

// Size of a regular file named by a GBK path, or nothing when there is none. One stat per
// picture marker: a peer's message may hold tens of thousands of them. The name is used as
// the peer gave it (no separator conversion).
std::optional<std::uintmax_t> FileSize(const std::string& gbkPath) {
    std::string native;
    if (!os::GbkToUtf8(gbkPath, native)) return std::nullopt;
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uintmax_t>(info.st_size);
}

}  // namespace

StandardMarkerObjects::StandardMarkerObjects(std::string appDir, std::string tempDir)
    : appDir_(std::move(appDir)),
      tempDir_(std::move(tempDir)),
      nextPictureNumber_(kFirstPictureNumber) {}

void StandardMarkerObjects::PutFace(os::RichEdit& view, int face) {
    if (!IsFaceNumber(face)) return;
    view.InsertObject(os::RichObject{os::RichObjectKind::Face, static_cast<std::uint32_t>(face),
                                     FaceImagePath(appDir_, face)});
}

void StandardMarkerObjects::PutPicture(os::RichEdit& view, std::string_view name, InsertMode mode) {
    std::optional<std::uintmax_t> size = FileSize(tempDir_ + std::string(name));
    if (!size && mode == InsertMode::History) {
        view.ReplaceSel(kMissingPictureText);
        return;
    }
    bool complete = size && *size >= kCompletePictureBytes;
    view.InsertObject(os::RichObject{
        complete ? os::RichObjectKind::Picture : os::RichObjectKind::PicturePlaceholder,
        nextPictureNumber_++, std::string(name)});
    if (nextPictureNumber_ < kFirstPictureNumber) nextPictureNumber_ = kFirstPictureNumber;
}

void StandardMarkerObjects::PutOfflineFile(os::RichEdit& view, std::string_view fields) {
    view.InsertObject(os::RichObject{os::RichObjectKind::OfflineFile, 0, std::string(fields)});
}

}  // namespace chat
