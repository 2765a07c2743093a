#pragma once
// The simulated world's offline file service (platform/session/sim_file_service.h) served on
// 127.0.0.1 through a LoopbackHttpServer, as a deployment's offline file server: the client's
// OfflineUploadUrl and OfflineDownLoadUrl point at Url().

#include <string>

#include "platform/session/sim_file_service.h"
#include "support/http/loopback_http_server.h"

namespace testing_support {

class OfflineFileServer {
  public:
    explicit OfflineFileServer(platform::SimFileService& service)
        : service_(service), server_([this](const RecordedRequest& request) {
              const platform::FileServiceAnswer answer =
                  service_.Handle(request.method, request.target,
                                  request.Header("Content-Type").value_or(""), request.body);
              return LoopbackHttpServer::Response(answer.status, answer.body,
                                                  "Content-Type: " + answer.contentType + "\r\n");
          }) {}

    // The service's address ("http://127.0.0.1:<port>/offline").
    std::string Url() const { return server_.Url("/offline"); }
    const LoopbackHttpServer& server() const { return server_; }

  private:
    platform::SimFileService& service_;
    LoopbackHttpServer server_;  // last: it answers through the service
};

}  // namespace testing_support
