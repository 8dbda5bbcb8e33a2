#include "platform/Display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

// Run under the test suite's X display (Xvfb).
TEST(Display, FoundOnTheTestDisplayAndRefusedWithAReasonOtherwise)
{
    const std::string own = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    EXPECT_EQ(checkDisplay().problem, "");
    // A display that no server holds: tried for about a second, then refused.
    ::setenv("DISPLAY", ":4093", 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(checkDisplay().problem, "cannot open the X display \":4093\" (tried 5 times over a second)");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4 * DisplayRetryDelayMs));
    ::unsetenv("DISPLAY");
    EXPECT_EQ(checkDisplay().problem, "no display: DISPLAY is not set, and the game needs an X display for its window");
    ::setenv("DISPLAY", own.c_str(), 1);
}
