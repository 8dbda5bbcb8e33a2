#include "platform/Display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

// Run under the test suite's X display (Xvfb).
TEST(Display, FoundOnTheTestDisplayAndRefusedWithAReasonOtherwise)
{
    const char* own = std::getenv("DISPLAY");
    ASSERT_TRUE(own && *own) << "the tests run on an X display";
    const std::string saved = own;
    EXPECT_EQ(checkDisplay(), "");

    // A display that no server holds: tried for about a second, then refused.
    ::setenv("DISPLAY", ":4093", 1);
    const auto start = std::chrono::steady_clock::now();
    const std::string dead = checkDisplay();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(dead, "cannot open the X display \":4093\" (tried 5 times over a second)");
    EXPECT_GE(waited, std::chrono::milliseconds((DisplayAttempts - 1) * DisplayRetryDelayMs));

    ::unsetenv("DISPLAY");
    EXPECT_EQ(checkDisplay(), "no display: DISPLAY is not set, and the game needs an X display for its window");
    ::setenv("DISPLAY", saved.c_str(), 1);
}
