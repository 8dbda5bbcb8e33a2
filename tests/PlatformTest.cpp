// What the operating system provides: input and safe file writing. The executable's
// path is tested by the installation test, which runs the game's lookup from an installed bin/.

#include "TestContent.h"

#include "platform/Input.h"
#include "platform/SafeFileWriter.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

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
}

TEST(SafeFileWriter, WritesAnOrdinaryFileAndKeepsTheReplacedVersionAsBackup)
{
    TempDir dir;
    const std::string target = dir.file("map.txt");
    const mode_t mask = ::umask(022);
    EXPECT_EQ(writeFileSafely(target, "first"), "");
    ::umask(mask);
    // An ordinary file for its owner and readers, not a private temporary.
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644));
    fs::permissions(target, fs::perms(0640));
    for (const char* text : {"second", "third"})
        ASSERT_EQ(writeFileSafely(target, text), "");
    EXPECT_TRUE(readFile(target) == "third" && readFile(backupPath(target)) == "second");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.txt", "map.txt.bak"}));

    // Through a symbolic link: the file it names is replaced, the link stays.
    fs::create_symlink(target, dir.file("link.txt"));
    ASSERT_EQ(writeFileSafely(dir.file("link.txt"), "fourth"), "");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_TRUE(readFile(target) == "fourth" && readFile(backupPath(target)) == "third");
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
        const std::string reason = writeFileSafely(target, std::string(100000, 'x'));
        EXPECT_NE(reason.find(target + ".tmp-"), std::string::npos) << reason;
        EXPECT_NE(reason.find("File too large"), std::string::npos) << reason;
    }
    EXPECT_TRUE(readFile(target) == "old map" && readFile(backupPath(target)) == "older map");

    const std::string nowhere = dir.file("missing/map.txt");
    EXPECT_EQ(writeFileSafely(nowhere, "x"),
              nowhere + ": No such file or directory (cannot create a temporary file beside it)");
    EXPECT_EQ(writeFileSafely(dir.file("folder"), "x"), dir.file("folder") + ": is not a regular file");
    EXPECT_TRUE(fs::is_empty(dir.file("folder")));
    EXPECT_EQ(writeFileSafely("", "x"), "no file name given");
    EXPECT_EQ(filesIn(dir.path()), before);
}
