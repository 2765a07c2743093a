#pragma once
// Folders of a client and an update server on 127.0.0.1 that serves files by path.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

#include "os/services/log.h"
#include "os/sys/clock.h"
#include "support/http/loopback_http_server.h"
#include "support/http/no_proxy.h"
#include "support/temp_dir.h"
#include "update/file_updates.h"

namespace update_test {

// Files by path ("/list.txt"); any other path answers 404.
class UpdateServer {
  public:
    UpdateServer()
        : server_([this](const testing_support::RecordedRequest& request) {
              std::lock_guard lock(mutex_);
              const auto found = files_.find(request.target);
              if (found == files_.end())
                  return testing_support::LoopbackHttpServer::Response(404, "");
              return testing_support::LoopbackHttpServer::Response(200, found->second);
          }) {}

    void Serve(const std::string& path, std::string body) {
        std::lock_guard lock(mutex_);
        files_[path] = std::move(body);
    }
    std::string Url(const std::string& path) const { return server_.Url(path); }
    // How many requests asked for `path`.
    int Asked(const std::string& path) const {
        int count = 0;
        for (const auto& request : server_.Requests()) count += request.target == path;
        return count;
    }

  private:
    testing_support::NoProxy noProxy_;
    std::mutex mutex_;
    std::map<std::string, std::string> files_;
    testing_support::LoopbackHttpServer server_;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class UpdateTest : public ::testing::Test {
  protected:
    UpdateTest() {
        folders.commonDir = common.str();
        folders.appDir = app.str();
        folders.userFolder = common.str() + "me/";
        std::filesystem::create_directories(common.path() / "me");
    }

    std::filesystem::path FileUpdateDir() const { return common.path() / "update" / "fileupdate"; }
    std::filesystem::path CurrentList() const { return FileUpdateDir() / "currentlist.txt"; }

    update::FileUpdateSettings Settings() {
        return update::FileUpdateSettings{folders, server.Url("/files/"), server.Url("/list.txt"),
                                          &clock, nullptr};
    }

    testing_support::TempDir common;
    testing_support::TempDir app;
    update::UpdateFolders folders;
    os::ManualClock clock;
    std::unique_ptr<os::Log> log = os::Log::Capturing(clock);
    UpdateServer server;
};

}  // namespace update_test
