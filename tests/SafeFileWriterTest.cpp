#include "TestContent.h"

#include "platform/SafeFileWriter.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
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

// Lets writes fail beyond `bytes` of any file, as on a full disk, for one scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN); // report EFBIG instead of killing us
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    void (*previousHandler)(int);
};
} // namespace

TEST(SafeFileWriter, WritesAnOrdinaryFileAndKeepsTheReplacedVersionAsBackup)
{
    TempDir dir;
    const std::string target = dir.file("map.txt");
    const mode_t mask = ::umask(022);
    EXPECT_EQ(writeFileSafely(target, "first"), "");
    ::umask(mask);
    EXPECT_EQ(filesIn(dir.path()), std::set<std::string>{"map.txt"});
    // An ordinary file for its owner and readers, not a private temporary.
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644));

    fs::permissions(target, fs::perms(0640));
    for (const char* text : {"second", "third"})
        ASSERT_EQ(writeFileSafely(target, text), "");
    EXPECT_EQ(readFile(target), "third");
    EXPECT_EQ(readFile(backupPath(target)), "second");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.txt", "map.txt.bak"}));

    // Through a symbolic link: the file it names is replaced, the link stays.
    fs::create_symlink(target, dir.file("link.txt"));
    ASSERT_EQ(writeFileSafely(dir.file("link.txt"), "fourth"), "");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(readFile(target), "fourth");
    EXPECT_EQ(readFile(backupPath(target)), "third");
}

TEST(SafeFileWriter, FailuresLeaveTheOldFileAndNoTemporaryFile)
{
    TempDir dir;
    dir.write("map.txt", "old map");
    dir.write("map.txt.bak", "older map");
    const std::string target = dir.file("map.txt");
    const std::set<std::string> before = filesIn(dir.path());

    {
        // A write that fails half way, as on a full disk.
        FileSizeLimit limit(4096);
        const std::string reason = writeFileSafely(target, std::string(100000, 'x'));
        EXPECT_EQ(reason, target + ": File too large") << "names the map, not its temporary file";
    }
    EXPECT_EQ(readFile(target), "old map");
    EXPECT_EQ(readFile(backupPath(target)), "older map");
    EXPECT_EQ(filesIn(dir.path()), before);

    // A folder that does not exist.
    const std::string nowhere = dir.file("missing/map.txt");
    EXPECT_EQ(writeFileSafely(nowhere, "x"),
              nowhere + ": No such file or directory (cannot create a temporary file beside it)");

    // A folder where the file should be.
    fs::create_directory(dir.file("folder"));
    EXPECT_EQ(writeFileSafely(dir.file("folder"), "x"), dir.file("folder") + ": is not a regular file");
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_TRUE(fs::is_empty(dir.file("folder")));

    EXPECT_EQ(writeFileSafely("", "x"), "no file name given");
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.txt", "map.txt.bak", "folder"}));
}
