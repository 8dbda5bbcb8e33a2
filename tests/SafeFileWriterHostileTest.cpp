#include "TestContent.h"

#include "platform/SafeFileWriter.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace
{
std::set<std::string> filesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
} // namespace

TEST(SafeFileWriterHostile, LinksToMissingFilesCreateThemAndReadOnlyFilesAreRefused)
{
    TempDir dir;
    fs::create_directory(dir.file("maps"));
    // Relative links count from their own folder, through a chain of them.
    fs::create_symlink("maps/new.txt", dir.file("dangling.txt"));
    fs::create_symlink("../dangling.txt", dir.file("maps/chain.txt"));
    ASSERT_EQ(writeFileSafely(dir.file("maps/chain.txt"), "first"), "");
    EXPECT_EQ(readFile(dir.file("maps/new.txt")), "first");
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling.txt")) && fs::is_symlink(dir.file("maps/chain.txt")));

    // Protected from everyone, so even root is refused.
    fs::permissions(dir.file("maps/new.txt"), fs::perms(0444));
    EXPECT_EQ(writeFileSafely(dir.file("dangling.txt"), "second"), dir.file("maps/new.txt") + ": the file is read-only");
    EXPECT_EQ(readFile(dir.file("maps/new.txt")), "first");
    EXPECT_EQ(filesIn(dir.file("maps")), (std::set<std::string>{"new.txt", "chain.txt"}));
}

TEST(SafeFileWriterHostile, ClearsOnlyTheStaleTemporariesOfTheSameFile)
{
    TempDir dir;
    for (const char* name : {"map.txt.tmp-Ab3dE9", "map.txt.tmp-Ab3dE9.bak", "other.txt.tmp-Ab3dE9",
                             "map.txt.tmp-short", "map.txt.tmp-Ab3dE9.old"})
        dir.write(name, "left behind");
    ASSERT_EQ(writeFileSafely(dir.file("map.txt"), "map"), "");
    EXPECT_EQ(filesIn(dir.path()),
              (std::set<std::string>{"map.txt", "other.txt.tmp-Ab3dE9", "map.txt.tmp-short", "map.txt.tmp-Ab3dE9.old"}));
}

// A process saving one of three versions over and over is killed at random
// moments: the map is always one whole version, and after the next save no
// temporary file is left.
TEST(SafeFileWriterHostile, KilledSavesLeaveAWholeVersionAndNoTemporaryFiles)
{
    TempDir dir;
    const std::string target = dir.file("map.txt");
    const std::vector<std::string> versions{std::string(300000, 'a'), std::string(200001, 'b'),
                                            std::string(250002, 'c')};
    ASSERT_EQ(writeFileSafely(target, versions[0]), "");
    const auto isWhole = [&](const std::string& text) {
        return std::find(versions.begin(), versions.end(), text) != versions.end();
    };
    std::mt19937 random(12345);
    int leftBehind = 0;
    for (int kill = 0; kill < 60; ++kill)
    {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0)
        {
            for (std::size_t i = 0;; ++i)
                writeFileSafely(target, versions[i % versions.size()]);
        }
        ::usleep(static_cast<useconds_t>(random() % 20000));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        ASSERT_TRUE(isWhole(readFile(target))) << "after kill " << kill;
        ASSERT_TRUE(!fs::exists(backupPath(target)) || isWhole(readFile(backupPath(target)))) << "after kill " << kill;
        for (const std::string& name : filesIn(dir.path()))
            leftBehind += name.find(".tmp-") != std::string::npos;
    }
    // Where the folder takes unnamed files, only a kill between naming the
    // new version and renaming it leaves a name (a named temporary file
    // would be left by most kills).
    if (const int unnamed = ::open(dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600); unnamed >= 0)
    {
        ::close(unnamed);
        EXPECT_LE(leftBehind, 6);
    }
    ASSERT_EQ(writeFileSafely(target, versions[1]), "");
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.txt", "map.txt.bak"}));
}
