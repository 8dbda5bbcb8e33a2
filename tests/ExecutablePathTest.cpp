#include "platform/ExecutablePath.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ExecutablePath, IsTheAbsolutePathOfThisTestProgram)
{
    const std::filesystem::path path = executablePath();
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    EXPECT_EQ(path.filename(), "quillora_tests");
}

TEST(ExecutablePath, InstalledContentIsShareQuilloraBesideTheBinFolder)
{
    const struct
    {
        const char* executable;
        const char* content;
    } cases[] = {
        {"/usr/bin/quillora", "/usr/share/quillora"},
        {"/home/ann/.local/bin/quillora", "/home/ann/.local/share/quillora"},
        {"/opt/q w/bin/../bin/quillora", "/opt/q w/share/quillora"},
        {"/quillora", "/share/quillora"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(installedContentDir(c.executable), c.content) << c.executable;
}
