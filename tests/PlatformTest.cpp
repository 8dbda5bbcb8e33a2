// What the operating system provides: input and safe file writing. The executable's
// path is tested by the installation test, which runs the game's lookup from an installed bin/.

#include "TestContent.h"
#include "WriteOutcome.h"

#include "platform/Input.h"
#include "platform/SafeFileWriter.h"
#include "platform/StandardStreams.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

// Lets writes fail beyond `bytes` of any file, as on a full disk, for one scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN)) // EFBIG, not a kill
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    void (*previousHandler)(int);
    rlimit saved{};
};

sf::Event event(sf::Event::EventType type, sf::Keyboard::Key key = sf::Keyboard::Unknown)
{
    sf::Event e;
    e.type = type;
    e.key = {key, false, false, false, false};
    return e;
}
} // namespace

TEST(InputTracker, HeldKeysLastUntilReleasedTapsForOneFrameAndFocusLossReleasesAll)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    const auto held = [&](sf::Keyboard::Key key) { return tracker.takeFrame(window).isKeyPressed(key); };
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::W));
    EXPECT_TRUE(held(sf::Keyboard::W) && held(sf::Keyboard::W));
    tracker.handle(event(sf::Event::KeyReleased, sf::Keyboard::W));
    EXPECT_FALSE(held(sf::Keyboard::W));
    // Pressed and released between two frames: held for exactly one frame.
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::F5));
    tracker.handle(event(sf::Event::KeyReleased, sf::Keyboard::F5));
    EXPECT_TRUE(held(sf::Keyboard::F5));
    EXPECT_FALSE(held(sf::Keyboard::F5));

    // Losing the focus lets go of every key and the button; right clicks are not the left button.
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::D));
    sf::Event click = event(sf::Event::MouseButtonPressed);
    click.mouseButton = {sf::Mouse::Left, 10, 10};
    tracker.handle(click);
    EXPECT_TRUE(tracker.takeFrame(window).leftButton);
    tracker.handle(event(sf::Event::LostFocus));
    const InputState state = tracker.takeFrame(window);
    EXPECT_FALSE(state.isKeyPressed(sf::Keyboard::D) || state.leftButton);
    click.mouseButton.button = sf::Mouse::Right;
    tracker.handle(click);
    EXPECT_FALSE(tracker.takeFrame(window).leftButton);

    // The mouse counts only while the window has the focus, and a press
    // ignored without it stays ignored when the focus comes while it is held.
    click.mouseButton.button = sf::Mouse::Left;
    tracker.handle(click);
    EXPECT_FALSE(tracker.takeFrame(window).leftButton);
    tracker.handle(event(sf::Event::GainedFocus));
    EXPECT_FALSE(tracker.takeFrame(window).leftButton);
    tracker.handle(click);
    EXPECT_TRUE(tracker.takeFrame(window).leftButton);
}

TEST(SafeFileWriter, WritesAnOrdinaryFileAndKeepsTheReplacedVersionAsBackup)
{
    TempDir dir;
    const std::string target = dir.file("map.txt");
    const mode_t mask = ::umask(022);
    EXPECT_EQ(writeOutcome(writeFileSafely(target, "first")), "");
    ::umask(mask);
    // An ordinary file for its owner and readers, not a private temporary.
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644));
    fs::permissions(target, fs::perms(0640));
    for (const char* text : {"second", "third"})
        ASSERT_EQ(writeOutcome(writeFileSafely(target, text)), "");
    EXPECT_TRUE(readFile(target) == "third" && readFile(backupPath(target)) == "second");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.txt", "map.txt.bak"}));

    // Through a symbolic link: the file it names is replaced, the link stays.
    fs::create_symlink(target, dir.file("link.txt"));
    ASSERT_EQ(writeOutcome(writeFileSafely(dir.file("link.txt"), "fourth")), "");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_TRUE(readFile(target) == "fourth" && readFile(backupPath(target)) == "third");

    // A link to a file that does not exist yet creates it, relative links
    // counting from their own folder; what killed saves of that file left goes.
    fs::create_directory(dir.file("maps"));
    fs::create_symlink("maps/new.txt", dir.file("dangling.txt"));
    fs::create_symlink("../dangling.txt", dir.file("maps/chain.txt"));
    for (const char* name : {"new.txt.tmp-Ab3dE9", "new.txt.tmp-Ab3dE9.bak", "old.txt.tmp-Ab3dE9", "new.txt.tmp-x"})
        dir.write(std::string("maps/") + name, "left behind");
    ASSERT_EQ(writeOutcome(writeFileSafely(dir.file("maps/chain.txt"), "fifth")), "");
    EXPECT_EQ(readFile(dir.file("maps/new.txt")), "fifth");
    EXPECT_EQ(filesIn(dir.file("maps")), (std::set<std::string>{"new.txt", "chain.txt", "old.txt.tmp-Ab3dE9",
                                                                 "new.txt.tmp-x"}));
}

TEST(SafeFileWriter, FailuresLeaveTheOldFileAndNoTemporaryFile)
{
    TempDir dir;
    dir.write("map.txt", "old map");
    dir.write("map.txt.bak", "older map");
    fs::create_directory(dir.file("folder"));
    const std::string target = dir.file("map.txt");
    const std::set<std::string> before = filesIn(dir.path());
    {
        // A write that fails half way, as on a full disk.
        FileSizeLimit limit(4096);
        const std::string reason = writeOutcome(writeFileSafely(target, std::string(100000, 'x')));
        EXPECT_EQ(reason, target + ": File too large") << "names the map, not its temporary file";
    }
    // Protected from everyone, so even root is refused.
    fs::permissions(target, fs::perms(0444));
    EXPECT_EQ(writeOutcome(writeFileSafely(target, "x")), target + ": the file is read-only");
    EXPECT_TRUE(readFile(target) == "old map" && readFile(backupPath(target)) == "older map");

    const std::string nowhere = dir.file("missing/map.txt");
    EXPECT_EQ(writeOutcome(writeFileSafely(nowhere, "x")),
              nowhere + ": No such file or directory (cannot create a temporary file beside it)");
    EXPECT_EQ(writeOutcome(writeFileSafely(dir.file("folder"), "x")), dir.file("folder") + ": is not a regular file");
    EXPECT_TRUE(fs::is_empty(dir.file("folder")));
    EXPECT_EQ(writeOutcome(writeFileSafely("", "x")), "no file name given");
    EXPECT_EQ(filesIn(dir.path()), before);
}

// A process saving one of three versions over and over is killed at random
// moments (seeded): the map is always one whole version, and after the next
// save no temporary file is left.
TEST(SafeFileWriter, KilledSavesLeaveAWholeVersionAndNoTemporaryFiles)
{
    TempDir dir;
    const std::string target = dir.file("map.txt");
    const std::string versions[] = {std::string(300000, 'a'), std::string(200001, 'b'), std::string(250002, 'c')};
    ASSERT_EQ(writeOutcome(writeFileSafely(target, versions[0])), "");
    const auto isWhole = [&](const std::string& text) { return std::count(versions, versions + 3, text) == 1; };
    std::mt19937 random(12345);
    for (int kill = 0; kill < 60; ++kill)
    {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0)
        {
            for (std::size_t i = 0;; ++i)
                writeFileSafely(target, versions[i % 3]);
        }
        ::usleep(static_cast<useconds_t>(random() % 20000));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        ASSERT_TRUE(isWhole(readFile(target))) << "after kill " << kill;
        ASSERT_TRUE(!fs::exists(backupPath(target)) || isWhole(readFile(backupPath(target)))) << "after kill " << kill;
    }

    // Where the folder takes unnamed files, a save killed while it writes
    // leaves no name at all: here the kill comes from the file size limit,
    // in the middle of the write.
    if (const int unnamed = ::open(dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600); unnamed >= 0)
    {
        ::close(unnamed);
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0)
        {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            const rlimit small{100000, 100000};
            setrlimit(RLIMIT_FSIZE, &small);
            std::signal(SIGXFSZ, SIG_DFL);
            writeFileSafely(target, versions[0]);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(saver, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        EXPECT_TRUE(isWhole(readFile(target)));
        for (const std::string& name : filesIn(dir.path()))
            EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    }
    ASSERT_EQ(writeOutcome(writeFileSafely(target, versions[1])), "");
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.txt", "map.txt.bak"}));
}

TEST(StandardStreams, AClosedOneIsOpenedOnTheNullDevice)
{
    const int saved = ::dup(0);
    ::close(0); // as a launcher may leave it: the next file opened would take its place
    openClosedStandardStreams();
    struct stat input = {}, null = {};
    EXPECT_TRUE(::fstat(0, &input) == 0 && ::stat("/dev/null", &null) == 0 && input.st_rdev == null.st_rdev &&
                S_ISCHR(input.st_mode));
    ::dup2(saved, 0);
    ::close(saved);
}
