#pragma once
// Small file helpers for the services tests.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace services_test {

inline std::string ReadAll(const std::filesystem::path& path) {
    return testing_support::Slurp(path);
}

inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    testing_support::Put(path, bytes);
}

// A shell script that can be run as a program.
inline void WriteScript(const std::filesystem::path& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

using testing_support::U8;

}  // namespace services_test
