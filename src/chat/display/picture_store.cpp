#include "chat/display/picture_store.h"

#include <memory>
#include <string_view>
#include <vector>

#include "chat/transfer/transfer_list.h"
#include "os/sys/file_ops.h"
#include "os/sys/folder_file_writer.h"
#include "platform/services/picture_codec.h"

namespace chat {

std::optional<std::string> SaveBitmapAsJpeg(std::span<const std::uint8_t> bitmap,
                                            const std::string& tempDir) {
    const std::optional<platform::RgbPicture> picture = platform::DecodePicture(bitmap);
    if (!picture) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> jpeg = platform::EncodeJpeg(*picture);
    if (!jpeg) return std::nullopt;
    if (!os::DirectoryExists(tempDir) && !os::CreateDirectories(tempDir)) return std::nullopt;
    const std::string name = NewTransferKey() + ".jpg";
    std::unique_ptr<os::FolderFileWriter> writer = os::FolderFileWriter::Begin(tempDir, name);
    if (!writer) return std::nullopt;
    if (!writer->Write(
            std::string_view(reinterpret_cast<const char*>(jpeg->data()), jpeg->size())) ||
        !writer->Commit(os::ExistingEntry::kKeep)) {
        return std::nullopt;
    }
    return name;
}

}  // namespace chat
