#pragma once
// The bytes of the client's request bodies and their headers, built without any connection so
// that what goes on the wire can be checked byte for byte.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "web/http_argument.h"
#include "web/mime_table.h"

namespace web {

inline constexpr const char* kFormContentType =
    "Content-Type: application/x-www-form-urlencoded\r\n";
inline constexpr const char* kMultipartBoundary = "--MULTI-PARTS-FORM-DATA-BOUNDARY";
inline constexpr const char* kPictureBoundary = "---------------------------7b4a6d158c9";
// A form body is at most this many bytes: callers encode the values before adding them.
inline constexpr std::size_t kFormBodyLimit = 1023;

// name=value pairs joined by '&' in order, without further encoding, cut to kFormBodyLimit
// bytes (never inside a Chinese character).
std::string FormBody(const std::vector<HttpArgument>& arguments);

struct MultipartRequest {
    std::string contentTypeHeader;    // "Content-Type: multipart/form-data; boundary=...\r\n"
    std::string contentLengthHeader;  // "Content-Length: <body size>\r\n"
    std::string body;
};

// One part per argument in order, then the close delimiter. A file field names the file by
// its path and carries its bytes under the table's type for its extension. Nothing when a
// file of a file field cannot be read: a form without its file is not sent.
std::optional<MultipartRequest> MultipartBody(const std::vector<HttpArgument>& arguments,
                                              const MimeTable& types);

// The picture upload form: fields Crypt=10, type=200 and suerid=200, the picture under the
// field "filename" (its file name only) with a type chosen by its extension, and a Submit
// field. `headers` are the request's header lines, ending with the blank line.
struct PictureUpload {
    std::string headers;
    std::string body;
};
PictureUpload PictureUploadRequest(std::string_view localFile, std::string_view pictureBytes);

// "Content-Type: image/pjpeg\r\n\r\n" for JPG and JPEG, image/gif for GIF, image/x-png for
// PNG (any case), "Content-Type: application/octet-stream\r\n\r\n" for anything else.
std::string_view PictureContentTypeLines(std::string_view fileName);

}  // namespace web
