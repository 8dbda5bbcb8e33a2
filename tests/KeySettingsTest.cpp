// The settings file, the key names, the gamepad through the input seam, and
// where the settings and the file dialog start.

#include "app/CommandLine.h"
#include "platform/FileDialog.h"
#include "platform/KeyBindings.h"
#include "platform/SettingsFile.h"
#include "platform/UserFolders.h"

#include "TestContent.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

#include <filesystem>

using Key = sf::Keyboard::Key;

TEST(SettingsFile, RebindsByNameAndReportsEachBadLineWithItsNumberKeepingTheDefault)
{
    const Settings settings = readSettingsText("; my keys\n"
                                               "[game]\n"
                                               "windowed = Yes\n"
                                               "autosave = 2.5\n"
                                               "[keys]\n"
                                               "walk_up = Z, up\n"
                                               "read = Pad3\n"
                                               "walk_down = Nope\n"
                                               "flying = F\n"
                                               "autosave = 4\n"
                                               "this line says nothing\n"
                                               "[game]\n"
                                               "windowed = perhaps\n"
                                               "autosave = -1\n"
                                               "[sound]\n"
                                               "volume = 3\n",
                                               "settings.ini");
    EXPECT_EQ(settings.windowed, std::optional<bool>(true));
    EXPECT_EQ(settings.autosaveSeconds, std::optional<double>(2.5));
    EXPECT_EQ(settings.keys.binding(KeyAction::WalkUp).keys, (std::vector<Key>{Key::Z, Key::Up}));
    EXPECT_TRUE(settings.keys.binding(KeyAction::Read).keys.empty());
    EXPECT_EQ(settings.keys.binding(KeyAction::Read).padButtons, std::vector<unsigned>{3});
    EXPECT_EQ(settings.keys.binding(KeyAction::WalkDown).keys, (std::vector<Key>{Key::S, Key::Down}));
    const int badLines[] = {8, 9, 10, 11, 13, 14, 16};
    ASSERT_EQ(settings.problems.size(), std::size(badLines)) << ::testing::PrintToString(settings.problems);
    for (std::size_t i = 0; i < std::size(badLines); ++i)
        EXPECT_EQ(settings.problems[i].rfind("settings.ini, line " + std::to_string(badLines[i]) + ": ", 0), 0u)
            << settings.problems[i];
    EXPECT_NE(settings.problems[0].find("\"Nope\" is no key"), std::string::npos) << settings.problems[0];

    // No file is the defaults; a file that is no regular file is reported.
    TempDir dir;
    EXPECT_TRUE(readSettingsFile(dir.file("settings.ini")).problems.empty());
    EXPECT_FALSE(readSettingsFile(dir.file("settings.ini")).windowed);
    EXPECT_EQ(readSettingsFile(dir.path()).problems.size(), 1u);
}

TEST(KeyBindings, EveryKeyAndActionIsReadBackByItsNameAndOtherNamesAreRefused)
{
    std::string problem;
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
    {
        const std::optional<Binding> read = parseBinding(keyName(static_cast<Key>(k)), problem);
        ASSERT_TRUE(read && read->keys == std::vector<Key>{static_cast<Key>(k)}) << k << " " << keyName(Key(k));
    }
    for (int a = 0; a < KeyActionCount; ++a)
        EXPECT_EQ(actionNamed(actionName(static_cast<KeyAction>(a))), static_cast<KeyAction>(a)) << a;
    EXPECT_EQ(parseBinding(" f11 ,numpad9, Pad31", problem)->keys, (std::vector<Key>{Key::F11, Key::Numpad9}));
    for (const char* bad : {"", "A,,B", "A,", "F0", "F16", "Num10", "Pad32", "Pad-1", "Shift"})
        EXPECT_FALSE(parseBinding(bad, problem)) << bad;
}

TEST(KeyBindings, GamepadsWalkReadAndSwitchTheEditorThroughTheInputSeam)
{
    sf::Window window(sf::VideoMode(64, 64), "gamepad");
    InputTracker tracker;
    tracker.setFocus(true);
    const KeyBindings& keys = KeyBindings::defaults();
    sf::Event e{sf::Event::JoystickConnected, {}};
    e.joystickConnect.joystickId = 2;
    tracker.handle(e);
    const auto move = [&](sf::Joystick::Axis axis, float position) {
        e.type = sf::Event::JoystickMoved;
        e.joystickMove = {2, axis, position};
        tracker.handle(e);
    };
    const auto button = [&](sf::Event::EventType type, unsigned number) {
        e.type = type;
        e.joystickButton = {2, number};
        tracker.handle(e);
    };
    move(sf::Joystick::Y, -80.f);
    move(sf::Joystick::X, -30.f); // a stick barely off its rest
    button(sf::Event::JoystickButtonPressed, GamepadStartButton);
    button(sf::Event::JoystickButtonReleased, GamepadStartButton);
    InputState frame = tracker.takeFrame(window);
    EXPECT_TRUE(keys.held(frame, KeyAction::WalkUp));
    EXPECT_FALSE(keys.held(frame, KeyAction::WalkLeft) || keys.held(frame, KeyAction::WalkDown));
    EXPECT_TRUE(keys.held(frame, KeyAction::Editor)) << "a tap counts for one frame";
    EXPECT_FALSE(keys.held(tracker.takeFrame(window), KeyAction::Editor));

    move(sf::Joystick::PovX, 100.f);
    button(sf::Event::JoystickButtonPressed, GamepadReadButton);
    frame = tracker.takeFrame(window);
    EXPECT_TRUE(keys.held(frame, KeyAction::WalkRight) && keys.held(frame, KeyAction::Read));
    e.type = sf::Event::LostFocus;
    tracker.handle(e);
    EXPECT_FALSE(keys.held(tracker.takeFrame(window), KeyAction::Read)) << "without the focus";
    e.type = sf::Event::GainedFocus;
    tracker.handle(e);
    e.type = sf::Event::JoystickDisconnected;
    e.joystickConnect.joystickId = 2;
    tracker.handle(e);
    frame = tracker.takeFrame(window);
    EXPECT_FALSE(keys.held(frame, KeyAction::WalkUp) || keys.held(frame, KeyAction::WalkRight) ||
                 keys.held(frame, KeyAction::Read))
        << "a gamepad that is gone holds nothing";
}

TEST(CommandLine, TheSettingsFileFillsInWhatTheCommandLineLeavesOut)
{
    Settings settings;
    settings.windowed = true;
    settings.autosaveSeconds = 5;
    struct Row
    {
        std::vector<std::string> arguments;
        bool windowed;
        double autosave;
    };
    for (const Row& row : {Row{{}, true, 5}, Row{{"--fullscreen"}, false, 5}, Row{{"--autosave", "7"}, true, 7},
                           Row{{"--autosave", "60"}, true, 60}})
    {
        const CommandLine command = readCommandLine(row.arguments);
        ASSERT_EQ(command.action, CommandLine::Action::Play);
        const CommandLineOptions options = withSettings(command.options, settings);
        EXPECT_EQ(options.windowed, row.windowed) << ::testing::PrintToString(row.arguments);
        EXPECT_EQ(options.autosaveSeconds, row.autosave) << ::testing::PrintToString(row.arguments);
    }
    settings.windowed = false;
    EXPECT_TRUE(withSettings(readCommandLine({"--windowed"}).options, settings).windowed);
    EXPECT_EQ(readCommandLine({"--windowed", "--fullscreen"}).exitCode, CommandLineErrorExit);
}

TEST(UserFolders, SettingsLiveInTheConfigFolder)
{
    EXPECT_EQ(configFolderFor("/x/conf", "/home/u"), "/x/conf/quillora");
    EXPECT_EQ(configFolderFor("relative", "/home/u"), "/home/u/.config/quillora");
    EXPECT_EQ(configFolderFor(nullptr, "/home/u"), "/home/u/.config/quillora");
    EXPECT_EQ(configFolderFor("", nullptr), "");
}

TEST(FileDialog, StartsAtTheMapsOwnFileElseInTheHomeFolder)
{
    EXPECT_EQ(dialogStartPath("/maps/world.map", "/home/u"), "/maps/world.map");
    EXPECT_EQ(dialogStartPath("maps/../world.map", "/home/u"),
              (std::filesystem::current_path() / "world.map").u8string());
    EXPECT_EQ(dialogStartPath("", "/home/u"), "/home/u/");
    EXPECT_EQ(dialogStartPath("", ""), "");
    const auto zenity = dialogArguments(DialogProgram::Zenity, FileDialogPurpose::Save, true, "/m/a.map");
    EXPECT_EQ(zenity.back(), "--filename=/m/a.map");
    EXPECT_EQ(dialogArguments(DialogProgram::KDialog, FileDialogPurpose::Load, true, "/m/").back(), "/m/");
    EXPECT_EQ(dialogArguments(DialogProgram::Zenity, FileDialogPurpose::Load).size(), 3u) << "no start: as before";
}
