#include "TestContent.h"

#include "content/GameData.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ContentStore, LoadsTestContent)
{
    TestContent dir;
    std::ostringstream console;
    GameData data(dir.path(), &console);
    EXPECT_NE(data.fieldTexture(7), nullptr);
    EXPECT_EQ(data.fieldTexture(8), nullptr);
}
