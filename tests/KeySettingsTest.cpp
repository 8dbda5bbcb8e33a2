// The settings file, key names, the gamepad through the input seam, and where
// the settings and the file dialog start.

#include "TestContent.h"

#include "app/CommandLine.h"
#include "platform/FileDialog.h"
#include "platform/SettingsFile.h"
#include "platform/UserFolders.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

#include <filesystem>

using Key = sf::Keyboard::Key;

TEST(SettingsFile, RebindsByNameAndReportsEachBadLineWithItsNumberKeepingTheDefault)
{
    const Settings settings = readSettingsText(
        "; my keys\n[game]\nwindowed = Yes\nautosave = 2.5\n[keys]\nwalk_up = Z, up\nread = Pad3\n"
        "walk_down = Nope\nflying = F\nautosave = 4\nthis line says nothing\n[game]\nwindowed = perhaps\n"
        "autosave = 0.001\n[sound]\nvolume = 3\n",
        "settings.ini");
    EXPECT_EQ(settings.windowed, std::optional<bool>(true));
    EXPECT_EQ(settings.autosaveSeconds, std::optional<double>(2.5));
    EXPECT_EQ(settings.keys.binding(KeyAction::WalkUp).keys, (std::vector<Key>{Key::Z, Key::Up}));
    EXPECT_TRUE(settings.keys.binding(KeyAction::Read).keys.empty() &&
                settings.keys.binding(KeyAction::Read).padButtons == std::vector<unsigned>{3});
    EXPECT_EQ(settings.keys.binding(KeyAction::WalkDown).keys, (std::vector<Key>{Key::S, Key::Down}));
    const int badLines[] = {8, 9, 10, 11, 13, 14, 16};
    ASSERT_EQ(settings.problems.size(), std::size(badLines)) << ::testing::PrintToString(settings.problems);
    for (std::size_t i = 0; i < std::size(badLines); ++i)
        EXPECT_EQ(settings.problems[i].rfind("settings.ini, line " + std::to_string(badLines[i]) + ": ", 0), 0u)
            << settings.problems[i];
    EXPECT_NE(settings.problems[0].find("\"Nope\" is no key"), std::string::npos) << settings.problems[0];

    // The stamps' folder must be absolute.
    const Settings editor = readSettingsText("[editor]\nstamps = relative/stamps\nstamps = /data/stamps\n", "s.ini");
    EXPECT_EQ(editor.stampsFolder, std::optional<std::string>("/data/stamps"));
    ASSERT_EQ(editor.problems.size(), 1u);
    EXPECT_EQ(editor.problems[0].rfind("s.ini, line 2: stamps takes an absolute folder", 0), 0u) << editor.problems[0];

    TempDir dir; // no file is the defaults; a folder is reported
    EXPECT_TRUE(readSettingsFile(dir.file("settings.ini")).problems.empty());
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
    const KeyBindings& keys = KeyBindings::defaults();
    sf::Event e{sf::Event::JoystickConnected, {}};
    e.joystickConnect.joystickId = 2; // the first member of every gamepad event
    const auto send = [&](sf::Event::EventType type) {
        e.type = type;
        tracker.handle(e);
    };
    const auto move = [&](sf::Joystick::Axis axis, float at) {
        e.joystickMove = {2, axis, at};
        send(sf::Event::JoystickMoved);
    };
    const auto button = [&](sf::Event::EventType type, unsigned number) {
        e.joystickButton = {2, number};
        send(type);
    };
    // The actions the frame holds, by name.
    const auto held = [&](const InputState& frame) {
        std::string names;
        for (int a = 0; a < KeyActionCount; ++a)
            names += keys.held(frame, KeyAction(a)) ? std::string(actionName(KeyAction(a))) + " " : "";
        return names;
    };
    send(sf::Event::JoystickConnected);
    move(sf::Joystick::Y, -80.f);
    move(sf::Joystick::X, -30.f); // barely off its rest
    button(sf::Event::JoystickButtonPressed, GamepadStartButton);
    button(sf::Event::JoystickButtonReleased, GamepadStartButton);
    EXPECT_EQ(held(tracker.takeFrame(window)), "walk_up editor ");
    EXPECT_EQ(held(tracker.takeFrame(window)), "walk_up ") << "a tap counts for one frame";
    move(sf::Joystick::PovX, 100.f);
    button(sf::Event::JoystickButtonPressed, GamepadReadButton);
    EXPECT_EQ(held(tracker.takeFrame(window)), "walk_up walk_right read ");
    send(sf::Event::LostFocus);
    EXPECT_EQ(held(tracker.takeFrame(window)), "") << "without the focus";
    send(sf::Event::GainedFocus);
    send(sf::Event::JoystickDisconnected);
    EXPECT_EQ(held(tracker.takeFrame(window)), "") << "a gamepad that is gone holds nothing";
}

TEST(CommandLine, TheSettingsFileFillsInWhatTheCommandLineLeavesOut)
{
    Settings settings;
    settings.windowed = true;
    settings.autosaveSeconds = 5;
    const auto merged = [&](const std::vector<std::string>& arguments) {
        const CommandLineOptions options = withSettings(readCommandLine(arguments).options, settings);
        return std::pair(options.windowed, options.autosaveSeconds);
    };
    EXPECT_EQ(merged({}), std::pair(true, 5.0));
    EXPECT_EQ(merged({"--fullscreen", "--autosave", "60"}), std::pair(false, 60.0));
    EXPECT_EQ(readCommandLine({"--windowed", "--fullscreen"}).exitCode, CommandLineErrorExit);
}

TEST(UserFolders, SettingsLiveInTheConfigFolderAndTheDialogStartsAtTheMapsFileElseAtHome)
{
    EXPECT_EQ(configFolderFor("/x/conf", "/home/u"), "/x/conf/quillora");
    EXPECT_EQ(configFolderFor("relative", "/home/u"), "/home/u/.config/quillora");
    EXPECT_EQ(dialogStartPath("maps/../world.map", "/home/u"),
              (std::filesystem::current_path() / "world.map").u8string());
    EXPECT_EQ(dialogStartPath("", "/home/u"), "/home/u/");
    EXPECT_EQ(dialogStartPath("", ""), "");
    EXPECT_EQ(dialogArguments(DialogProgram::Zenity, FileDialogPurpose::Save, true, "/m/a.map").back(),
              "--filename=/m/a.map");
    EXPECT_EQ(dialogArguments(DialogProgram::KDialog, FileDialogPurpose::Load, true, "/m/").back(), "/m/");
}
