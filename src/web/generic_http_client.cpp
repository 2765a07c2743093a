#include "web/generic_http_client.h"

#include <optional>

#include "os/sys/file_ops.h"
#include "os/text/gbk_chars.h"
#include "web/request_bodies.h"
#include "web/url_parts.h"

namespace web {
namespace {

// Splits header text ("A: b\r\nC: d\r\n\r\n") into its non-empty lines.
std::vector<std::string> HeaderLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        if (end > at) lines.emplace_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

}  // namespace

RequestKind RequestKindOf(int kind) {
    if (kind == 2) return RequestKind::FormPost;
    if (kind == 3) return RequestKind::MultipartPost;
    return RequestKind::Get;
}

GenericHttpClient::GenericHttpClient(HttpClientSettings settings) : settings_(settings) {
    if (settings_.mimeTypes == nullptr) settings_.mimeTypes = &SystemMimeTable();
}

void GenericHttpClient::AddArgument(std::string_view name, std::string_view value,
                                    ArgumentKind kind) {
    arguments_.push_back(HttpArgument{os::LeftBytes(name, kArgumentNameSize - 1),
                                      os::LeftBytes(value, kArgumentValueSize - 1), kind});
}

void GenericHttpClient::Reset() {
    body_.clear();
    headers_.clear();
    status_ = 0;
    failure_ = HttpFailure::None;
    errorCode_ = 0;
}

bool GenericHttpClient::Run(TransferRequest request) {
    request.onProgress = progress_;
    TransferResult result = Transfer(request, *settings_.clock, settings_.idleTimeout);
    body_ = std::move(result.body);
    headers_ = std::move(result.headers);
    status_ = result.status;
    errorCode_ = result.curlCode;
    switch (result.failure) {
        case TransferFailure::None:
            if (!result.headersReceived) {
                failure_ = HttpFailure::NoResponse;
                return false;
            }
            return true;
        case TransferFailure::TimedOut:
            failure_ = HttpFailure::TimedOut;
            return false;
        case TransferFailure::Failed:
            failure_ = HttpFailure::Transfer;
            return false;
    }
    return false;
}

bool GenericHttpClient::RequestTo(std::string_view url, TransferRequest& request) {
    const std::optional<UrlParts> parts = ParseUrl(url);
    if (!parts) {
        failure_ = HttpFailure::BadUrl;
        return false;
    }
    request.url = *parts;
    return true;
}

bool GenericHttpClient::Request(std::string_view url, RequestKind kind, std::string_view agent) {
    Reset();
    TransferRequest request;
    if (!RequestTo(url, request)) return false;
    request.version = HttpVersion::Http10;
    request.userAgent = std::string(agent);
    request.bodyLimit = kResponseBodySize;
    request.headerLimit = kResponseHeaderSize;
    request.headers.emplace_back("Accept: */*");
    switch (kind) {
        case RequestKind::Get:
            break;
        case RequestKind::FormPost:
            request.method = "POST";
            request.headers.emplace_back(HeaderLines(kFormContentType).front());
            request.hasBody = true;
            request.body = FormBody(arguments_);
            break;
        case RequestKind::MultipartPost: {
            std::optional<MultipartRequest> multipart =
                MultipartBody(arguments_, *settings_.mimeTypes);
            if (!multipart) {
                failure_ = HttpFailure::FileUnreadable;
                return false;
            }
            request.method = "POST";
            request.headers.emplace_back(HeaderLines(multipart->contentTypeHeader).front());
            request.headers.emplace_back(HeaderLines(multipart->contentLengthHeader).front());
            request.hasBody = true;
            request.body = std::move(multipart->body);
            break;
        }
    }
    // Headers alone are not an answer: at least one body byte must arrive.
    if (!Run(std::move(request))) return false;
    if (body_.empty()) {
        failure_ = HttpFailure::NoResponse;
        return false;
    }
    return true;
}

int GenericHttpClient::UploadPicture(std::string_view serverUrl, std::string_view localFile) {
    Reset();
    std::string picture;
    if (!os::ReadFile(localFile, picture)) {
        failure_ = HttpFailure::FileUnreadable;
        if (settings_.prompter != nullptr) settings_.prompter->MessageBox(kUnableToOpenFile);
        return 0;
    }
    TransferRequest request;
    if (!RequestTo(serverUrl, request)) return 0;
    PictureUpload upload = PictureUploadRequest(localFile, picture);
    request.method = "POST";
    request.headers = HeaderLines(upload.headers);
    request.hasBody = true;
    request.body = std::move(upload.body);
    request.bodyLimit = kResponseBodySize;
    request.headerLimit = kResponseHeaderSize;
    if (!Run(std::move(request))) return 0;
    return static_cast<int>(status_);
}

bool GenericHttpClient::Download(std::string_view url, std::string_view localFile) {
    return Download(
        url, [&](std::string_view bytes) { return os::WriteFileAtomically(localFile, bytes); });
}

bool GenericHttpClient::Download(std::string_view url,
                                 const std::function<bool(std::string_view)>& save) {
    Reset();
    TransferRequest request;
    if (!RequestTo(url, request)) return false;
    request.userAgent = kClientUserAgent;
    request.headerLimit = kResponseHeaderSize;
    if (!Run(std::move(request))) return false;
    std::string bytes = std::move(body_);
    body_.clear();
    if (status_ < 200 || status_ > 299) {
        failure_ = HttpFailure::NoResponse;
        return false;
    }
    if (!save(bytes)) {
        failure_ = HttpFailure::SaveFailed;
        return false;
    }
    return true;
}

}  // namespace web
