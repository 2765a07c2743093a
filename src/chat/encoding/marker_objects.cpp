#include "chat/encoding/marker_objects.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "chat/encoding/face_table.h"
#include "chat/encoding/input_encoder.h"
#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"
#include "os/text/gbk_codec.h"

namespace chat {
namespace {

// Size of a file named by a GBK path, or nothing when it cannot be read.
std::optional<std::uintmax_t> FileSize(const std::string& gbkPath) {
    std::string native;
    if (!os::GbkToUtf8(gbkPath, native)) return std::nullopt;
    std::error_code error;
    std::filesystem::path path(native);
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return size;
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
