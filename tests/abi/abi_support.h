#pragma once
// Loading libqorvdesk.so the way a host does. The library makes its objects when it is loaded
// and a process loads it once, so each scenario runs in a process of its own (a death-test
// child started afresh), with the shared client directory and the application directory in
// temporary folders. A scenario reports what went wrong through Checks; the child's exit code
// is the number of failed checks, and their texts appear on its stderr.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace abi_test {

class Checks {
  public:
    void operator()(bool ok, const std::string& what) {
        if (!ok) failures_.push_back(what);
    }
    int Report() const {
        for (const std::string& failure : failures_)
            std::fprintf(stderr, "FAILED: %s\n", failure.c_str());
        return static_cast<int>(failures_.size());
    }

  private:
    std::vector<std::string> failures_;
};

inline const char* LibraryPath() {
    const char* path = std::getenv("QORV_LIBRARY");
    return path != nullptr ? path : "libqorvdesk.so";
}

// The library's function named `name`, typed as the header declares it; null when missing.
template <typename Function>
Function* Symbol(void* library, const char* name) {
    return reinterpret_cast<Function*>(dlsym(library, name));
}

struct Loaded {
    void* library;
    std::filesystem::path home;  // the shared client directory
    std::filesystem::path appDir;
};

// Points the library at fresh folders, loads it and runs `scenario`; answers the number of
// failed checks (one more when the library does not load).
inline int RunScenario(const std::function<void(Checks&, const Loaded&)>& scenario) {
    testing_support::TempDir home;
    testing_support::TempDir app;
    testing_support::ScopedEnv homeDir("QORVDESK_HOME", home.str());
    testing_support::ScopedEnv appDir("QORVDESK_APPDIR", app.str());
    // The start-with-the-desktop entry goes below the scenario's folder, never the user's.
    testing_support::ScopedEnv configHome("XDG_CONFIG_HOME", (home.path() / "xdg").string());
    Checks check;
    void* library = dlopen(LibraryPath(), RTLD_NOW | RTLD_LOCAL);
    check(library != nullptr, std::string("dlopen: ") + (library ? "" : dlerror()));
    if (library != nullptr) scenario(check, Loaded{library, home.path(), app.path()});
    std::fflush(stdout);
    return check.Report();
}

}  // namespace abi_test

// Runs the scenario in a fresh process and expects every check of it to pass.
#define EXPECT_SCENARIO(scenario)                                                                \
    do {                                                                                         \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                          \
        EXPECT_EXIT(std::_Exit(::abi_test::RunScenario(scenario)), ::testing::ExitedWithCode(0), \
                    "");                                                                         \
    } while (false)
