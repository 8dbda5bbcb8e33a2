#pragma once

#include "platform/KeyBindings.h"
#include "platform/ViewZoom.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings file's name in the config folder (UserFolders' configFolder).
constexpr const char* SettingsFileName = "settings.ini";
// Bytes of a settings file read at most; a longer one is refused whole.
constexpr std::size_t MaxSettingsBytes = 1u << 20; // bytes

// What the player's settings file says. An INI file:
//
//   [game]
//   windowed = yes            ; yes/no, true/false, on/off, 1/0
//   autosave = 30             ; seconds, as --autosave takes them
//   [keys]
//   walk_up = Z, Up           ; an action's name = its keys (see KeyBindings)
//   [editor]
//   stamps = /home/ann/stamps ; the stamps' folder, an absolute path
//   zoom = quarter            ; the view the editor starts with: game, half or quarter
//
// Every value left out keeps its default; a line that cannot be used is
// reported in `problems` and its default kept.
struct Settings
{
    std::optional<bool> windowed;
    std::optional<double> autosaveSeconds;
    KeyBindings keys;
    std::optional<std::string> stampsFolder; // [editor] stamps, absolute, as written
    std::optional<ViewZoom> editorZoom;
    // "<file>, line <n>: <what is wrong>", in line order.
    std::vector<std::string> problems;
};

// Reads the settings file `path`. A missing file is the defaults without a
// problem; a file that cannot be read (not a regular file, too long) is the
// defaults with one problem saying why.
Settings readSettingsFile(const std::string& path);

// The same from the file's text; `name` is what the problems call it.
Settings readSettingsText(std::string_view text, const std::string& name);

// Seconds written as a plain decimal number, 0 or more ("60", "0.5"): no
// sign, exponent or blanks. Empty when `text` is not one.
std::optional<double> plainSeconds(std::string_view text);

// The shortest autosave interval that is taken, from the command line or the
// settings file: below it the interval would round to nothing (no periodic
// writes at all), and a write begins at most once per frame anyway. 0 stands
// for "only when quitting".
constexpr double MinAutosaveSeconds = 0.01; // seconds

// Whether `seconds` is an autosave interval the game honours: 0 or at least
// MinAutosaveSeconds.
constexpr bool honouredAutosave(double seconds)
{
    return seconds == 0 || seconds >= MinAutosaveSeconds;
}
