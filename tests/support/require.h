#pragma once
// Set-up steps that must hand back an object (a tree item, a window) for the test to go on
// with. `Require` answers the object, or fails the test and ends it at once when there is
// none: it throws SetUpFailed, which GoogleTest reports as the test's failure. A test, a
// fixture's constructor or a helper that returns a pointer never carries on with null.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace testing_support {

class SetUpFailed : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Answers `object` when it is not null.
template <typename T>
T* Require(T* object, std::string_view what) {
    if (object == nullptr) {
        ADD_FAILURE() << "set-up failed: no " << what;
        throw SetUpFailed("set-up failed: no " + std::string(what));
    }
    return object;
}

// Goes on only when `step` succeeded.
inline void Require(const ::testing::AssertionResult& step, std::string_view what) {
    if (!step) {
        ADD_FAILURE() << "set-up failed: " << what << ": " << step.message();
        throw SetUpFailed("set-up failed: " + std::string(what));
    }
}

}  // namespace testing_support
