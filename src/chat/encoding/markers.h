#pragma once
// The markers that chat bodies carry in place of faces, pictures, the shake and offline files,
// and the standard font headers the message views use. Bodies travel, are stored and are shown
// as GBK text; everything that is not a marker is literal text.

#include <string>
#include <string_view>

namespace chat {

// Standard headers.
// An incoming message whose sender sent no usable header (black, 9 pt).
inline constexpr std::string_view kDefaultHeader = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";
// What an incoming message with the default header is shown with (blue).
inline constexpr std::string_view kIncomingDefaultHeader = "FONT(宋体,134,2,180,0,0,0,0,0,0,255)";
// Speaker and time lines, the recent-history block.
inline constexpr std::string_view kGreyHeader = "FONT(宋体,0,0,0,0,0,0,0,128,128,128)";
// Notices shown in red in a message view.
inline constexpr std::string_view kRedHeader = "FONT(宋体,0,0,0,0,0,0,0,255,0,0)";

inline constexpr std::string_view kFontHeaderStart = "FONT(";

// Marker pieces.
inline constexpr std::string_view kMarkerStart = "#(";
inline constexpr std::string_view kShakeBody = "#(-1)#";
inline constexpr std::string_view kPictureMarker = "#(-2)#";
inline constexpr std::string_view kPictureMarkerOpen = "#(-2)#[";
inline constexpr std::string_view kOfflineFileMarker = "#(-3)#";
inline constexpr std::string_view kPictureReceiptPrefix = "#*(-3)*#-";
inline constexpr std::string_view kRoomFileNoticePrefix = "@#(-99)#@,";

// Labels of the plain-text renderings.
inline constexpr std::string_view kFaceLabel = "[表情]";
inline constexpr std::string_view kPictureLabel = "[图片]";
inline constexpr std::string_view kShakeLabel = "[闪屏振动]";
inline constexpr std::string_view kScreenshotLabel = "[截屏文件]";
inline constexpr std::string_view kOfflineFileLabel = "[离线文件]";
inline constexpr std::string_view kSystemMessageLabel = "[系统消息]";
// Shown in history views in place of a picture whose file is gone.
inline constexpr std::string_view kMissingPictureText = "[截屏,图片已不存在]";

// "#(%02d)#": face 5 is "#(05)#".
std::string FaceMarker(int face);
// "#(-2)#[name]": a picture whose file travels separately and lands in the temp folder.
std::string PictureMarker(std::string_view fileName);
// "#(-3)#[name|size|key]": an offline file stored on the file server.
std::string OfflineFileMarker(std::string_view fileName, std::string_view size,
                              std::string_view serverKey);
// "#*(-3)*#-name": the receiver's note that an inline picture arrived completely.
std::string PictureReceipt(std::string_view fileName);

// True when the body begins with one of the ten system prefixes "@#(-00)#@," .. "@#(-09)#@,".
bool IsSystemMessage(std::string_view body);

// True when the body is a shake and nothing else.
inline bool IsShake(std::string_view body) { return body == kShakeBody; }

}  // namespace chat
