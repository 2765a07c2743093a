#include "web/request_bodies.h"

#include "os/sys/file_ops.h"
#include "os/text/gbk_chars.h"
#include "web/file_name.h"

namespace web {
namespace {

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

void AppendTextPart(std::string& body, std::string_view boundary, std::string_view name,
                    std::string_view value) {
    body.append("--").append(boundary).append("\r\n");
    body.append("Content-Disposition: form-data; name=\"").append(name).append("\"\r\n\r\n");
    body.append(value).append("\r\n");
}

}  // namespace

std::string FormBody(const std::vector<HttpArgument>& arguments) {
    std::string body;
    for (const HttpArgument& argument : arguments) {
        if (!body.empty()) body += '&';
        body.append(argument.name).append("=").append(argument.value);
    }
    return os::LeftBytes(body, kFormBodyLimit);
}

std::optional<MultipartRequest> MultipartBody(const std::vector<HttpArgument>& arguments,
                                              const MimeTable& types) {
    MultipartRequest request;
    const std::string_view boundary = kMultipartBoundary;
    for (const HttpArgument& argument : arguments) {
        if (argument.kind != ArgumentKind::File) {
            AppendTextPart(request.body, boundary, argument.name, argument.value);
            continue;
        }
        std::string bytes;
        if (!os::ReadFile(argument.value, bytes)) return std::nullopt;
        request.body.append("--").append(boundary).append("\r\n");
        request.body.append("Content-Disposition: form-data; name=\"")
            .append(argument.name)
            .append("\"; filename=\"")
            .append(argument.value)
            .append("\"\r\n");
        request.body.append("Content-Type: ").append(types.TypeOfFile(argument.value));
        request.body.append("\r\n\r\n").append(bytes).append("\r\n");
    }
    request.body.append("--").append(boundary).append("--\r\n");
    request.contentTypeHeader =
        std::string("Content-Type: multipart/form-data; boundary=") + kMultipartBoundary + "\r\n";
    request.contentLengthHeader = "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
    return request;
}

std::string_view PictureContentTypeLines(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::string extension =
        dot == std::string_view::npos ? std::string() : AsciiUpper(fileName.substr(dot + 1));
    if (extension == "JPG" || extension == "JPEG") return "Content-Type: image/pjpeg\r\n\r\n";
    if (extension == "GIF") return "Content-Type: image/gif\r\n\r\n";
    if (extension == "PNG") return "Content-Type: image/x-png\r\n\r\n";
    return "Content-Type: application/octet-stream\r\n\r\n";
}

PictureUpload PictureUploadRequest(std::string_view localFile, std::string_view pictureBytes) {
    const std::string_view boundary = kPictureBoundary;
    const std::string_view fileName = FileNamePart(localFile);
    PictureUpload upload;
    upload.headers =
        "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
        "application/xaml+xml,*/*\r\n"
        "Accept-Encoding: gzip, deflate\r\n"
        "Accept-Language: zh-cn\r\n"
        "Content-Type: multipart/form-data; boundary=" +
        std::string(boundary) +
        "\r\n"
        "Cache-Control: no-cache\r\n\r\n";
    AppendTextPart(upload.body, boundary, "Crypt", "10");
    AppendTextPart(upload.body, boundary, "type", "200");
    AppendTextPart(upload.body, boundary, "suerid", "200");
    upload.body.append("--").append(boundary).append("\r\n");
    upload.body.append("Content-Disposition: form-data; name=\"filename\"; filename=\"")
        .append(fileName)
        .append("\"\r\n");
    upload.body.append(PictureContentTypeLines(fileName));
    upload.body.append(pictureBytes);
    upload.body.append("\r\n--").append(boundary).append(
        "\r\nContent-Disposition: form-data; name=\"Submit\"\r\n\r\nsubmit\r\n--");
    upload.body.append(boundary).append("--");
    return upload;
}

}  // namespace web
