// The unit tests' main. The graphics library opens its own connection to the
// X display at the first window or texture of a process and aborts the
// process when the server refuses it, which a busy server does now and then
// while the process holds no other connection. So the tests, like the game,
// first open one through the display check (which tries again over a second)
// and hold it for the whole run.
#include "platform/Display.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Without a display the tests that need one fail on their own.
    const DisplayCheck display = checkDisplay();
    return RUN_ALL_TESTS();
}
