// The check every search's progress reports must pass, for the tests of interrupted searches.
#pragma once

#include <gtest/gtest.h>

#include <functional>

namespace test_support {

// Returns a progress callback that expects each report's lower value to be at most its upper
// bound and counts the reports in `reports`, which must outlive the callback.
[[nodiscard]] inline std::function<void(double, double)> counted_progress(int& reports) {
    return [&reports](double lower, double upper) {
        EXPECT_LE(lower, upper);
        ++reports;
    };
}

}  // namespace test_support
