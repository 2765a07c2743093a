#pragma once
// A fresh folder per test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>

namespace testing_support {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as text with a trailing '/', the form the system's folder settings use.
    std::string str() const { return path_.string() + "/"; }

  private:
    std::filesystem::path path_;
};

}  // namespace testing_support
