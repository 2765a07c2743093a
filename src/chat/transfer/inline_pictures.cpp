#include "chat/transfer/inline_pictures.h"

#include "chat/encoding/markers.h"
#include "core/client_context.h"
#include "os/controls/rich_edit.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/sys/safe_leaf_name.h"
#include "platform/session/session_core.h"

namespace chat {

namespace nt = platform::notify_type;

InlinePictures::InlinePictures(core::ClientContext& context, os::RichEdit& view,
                               std::string pictureFolder)
    : context_(context), view_(view), folder_(std::move(pictureFolder)) {}

void InlinePictures::AwaitPlaceholders(int firstObject) {
    for (int i = firstObject; i < view_.GetObjectCount(); ++i) {
        const os::PlacedObject placed = view_.GetObject(i);
        if (placed.object.kind != os::RichObjectKind::PicturePlaceholder) continue;
        const std::string& name = placed.object.name;
        // Only a name that is its own safe leaf can be a file of the pictures folder.
        if (os::SafeLeafName(name) != name || awaited_.contains(name)) continue;
        awaited_.insert(name);
        context_.log.WriteLog("等待接收自定义图片：" + peerJid_ + " " + name);
    }
}

bool InlinePictures::OnEvent(std::uint32_t type, const platform::FileTransferData& data) {
    if (type == nt::kFileOffer) {
        if (!awaited_.contains(data.fileName) || receiving_.contains(data.key)) return false;
        if (!os::DirectoryExists(folder_)) os::CreateDirectories(folder_);
        if (context_.session.RecvFile(folder_ + data.fileName, data.key) == 0) {
            context_.log.WriteLog2(2, "a picture could not be received: " + data.fileName);
            return true;
        }
        receiving_[data.key] = data.fileName;
        return true;
    }
    auto it = receiving_.find(data.key);
    if (it == receiving_.end()) return false;
    const std::string name = it->second;
    switch (type) {
        case nt::kFileTransferSucceeded:
            receiving_.erase(it);
            Arrived(name);
            break;
        case nt::kFileTransferFailed:
        case nt::kFileTransferCancelled:
        case nt::kFileTransferRefused:
            receiving_.erase(it);  // the placeholder stays: the picture did not come
            break;
        default:
            break;
    }
    return true;
}

void InlinePictures::Arrived(const std::string& name) {
    awaited_.erase(name);
    const os::Selection kept = view_.GetSel();
    for (int i = 0; i < view_.GetObjectCount(); ++i) {
        const os::PlacedObject placed = view_.GetObject(i);
        if (placed.object.kind != os::RichObjectKind::PicturePlaceholder ||
            placed.object.name != name) {
            continue;
        }
        os::RichObject picture = placed.object;
        picture.kind = os::RichObjectKind::Picture;
        view_.SetObjectAt(placed.position, picture);
    }
    view_.SetSel(kept.start, kept.end);
    context_.log.WriteLog("自定义图片接收完毕：" + peerJid_ + " " + name);
    if (receiptSender_) receiptSender_(PictureReceipt(name));
}

}  // namespace chat
