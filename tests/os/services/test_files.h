#pragma once
// Small file helpers for the services tests.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace services_test {

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A shell script that can be run as a program.
inline void WriteScript(const std::filesystem::path& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

// UTF-8 bytes of a u8 literal (plain literals are GBK in this build).
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace services_test
