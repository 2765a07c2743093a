#pragma once
// Turns the content of a chat input box into a message body: every face object becomes its
// "#(dd)#" marker and every picture object its "#(-2)#[file]" marker. Text the user typed goes
// as it is: typing the six characters of a face marker sends a face.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace os {
class RichEdit;
}

namespace chat {

// Objects whose user value is at least this are pictures; below it, faces.
inline constexpr std::uint32_t kFirstPictureNumber = 10000;

// The chat window's map from a picture number, written by PictureKey, to the picture's file
// name in the temp folder.
using PictureMap = std::map<std::string, std::string, std::less<>>;

// The decimal text of a picture number: the key of PictureMap.
std::string PictureKey(std::uint32_t pictureNumber);

struct EncodedInput {
    std::string body;
    int pictureCount = 0;
};

// Encodes the whole input box; the box itself (text, selection) is left as it was. The file
// name of each picture is appended to `outgoingPictures` in text order. A picture object whose
// number is missing from `pictures` has no file to send and is left out of the body.
EncodedInput EncodeInputText(const os::RichEdit& input, const PictureMap& pictures,
                             std::vector<std::string>& outgoingPictures);

}  // namespace chat
