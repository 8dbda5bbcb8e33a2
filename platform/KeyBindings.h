#pragma once

#include "platform/Input.h"

#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a key does in the game and in the editor. Each action has a name (the
// settings file's, see actionName) and the keys and gamepad buttons bound to
// it; the defaults are the game's own keys.
enum class KeyAction
{
    // Playing.
    WalkUp,
    WalkDown,
    WalkLeft,
    WalkRight,
    Read,
    Editor,
    Save,
    QuickSave, // with a Ctrl key held
    Load,
    Screenshot,
    MapPicture,
    Overview,
    Recovery, // with a Shift key held: discard
    Quit,
    FullScreen,
    // The editor.
    PaintMode,
    ObjectMode,
    SolidMode,
    UnderLayer,
    GroundLayer, // not while a Ctrl key is held
    NextObject,
    PreviousObject,
    SmallerBrush,
    LargerBrush,
    Ground1, // Ground1 .. Ground9 in a row: ground types 0 .. 8
    Ground2,
    Ground3,
    Ground4,
    Ground5,
    Ground6,
    Ground7,
    Ground8,
    Ground9,
    Fill,
    Pick,
    Grid,
    Picker,
    Undo, // with a Ctrl key held
    Redo, // with a Ctrl key held (or Ctrl + Shift + the undo key)
    Erase, // held while the mouse acts: remove instead of place
    // The editor's selection and clipboard.
    Copy,             // with a Ctrl key held
    Cut,              // with a Ctrl key held
    Paste,            // with a Ctrl key held
    DeleteSelection,  // clears the selected fields
    FlipHorizontally, // the clipboard; not while a Ctrl key is held
    FlipVertically,   // not while a Ctrl key is held
    TurnClockwise,    // not while a Ctrl key is held
    SaveStamp,        // with a Ctrl key held: the clipboard as a named stamp
    ZoomOut, // the editor's next wider view
    ZoomIn,  // the editor's next closer view
    Count
};

constexpr int KeyActionCount = static_cast<int>(KeyAction::Count);
// Buttons of a gamepad the game tells apart; higher ones are ignored.
constexpr unsigned GamepadButtons = 32;
// The gamepad's defaults: its first button reads, its start button (the
// eighth on the common layout) switches the editor.
constexpr unsigned GamepadReadButton = 0;
constexpr unsigned GamepadStartButton = 7;

// The settings file's name of `action` ("walk_up", "ground_1", ...).
std::string_view actionName(KeyAction action);
// The action called `name` (exact, lower case); empty when there is none.
std::optional<KeyAction> actionNamed(std::string_view name);
// SFML's name of `key` ("A", "Num1", "Up", "F11", "LShift"); empty for Unknown.
std::string_view keyName(sf::Keyboard::Key key);

// Keys and gamepad buttons bound to one action.
struct Binding
{
    std::vector<sf::Keyboard::Key> keys;
    std::vector<unsigned> padButtons; // each below GamepadButtons
};

// Reads a binding written as a comma-separated list of key names, any case
// ("Z, Up", "f11", "Pad0" for the gamepad's first button). Blanks around the
// names are ignored. On failure returns an empty optional and sets `problem`
// to what is wrong (an empty list, a name that is no key).
std::optional<Binding> parseBinding(std::string_view text, std::string& problem);

// Which keys and gamepad buttons do what. Walking also follows a gamepad's
// stick and cross, whatever is bound.
class KeyBindings
{
public:
    KeyBindings(); // the defaults

    void bind(KeyAction action, Binding binding) { table[index(action)] = std::move(binding); }
    const Binding& binding(KeyAction action) const { return table[index(action)]; }

    // Whether one of the action's keys or buttons is held in `input`.
    bool held(const InputState& input, KeyAction action) const;

    static const KeyBindings& defaults();

private:
    static std::size_t index(KeyAction action) { return static_cast<std::size_t>(action); }
    std::array<Binding, KeyActionCount> table;
};

// Whether either Ctrl key, either Shift key is held.
bool ctrlHeld(const InputState& input);
bool shiftHeld(const InputState& input);
