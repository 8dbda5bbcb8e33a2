#include "platform/KeyBindings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace
{
using Key = sf::Keyboard::Key;

constexpr std::array<std::string_view, KeyActionCount> ActionNames{
    "walk_up",      "walk_down",    "walk_left",       "walk_right",   "read",         "editor",
    "save",         "quick_save",   "load",            "screenshot",   "map_picture",  "overview",
    "recovery",     "quit",         "full_screen",     "paint_mode",   "object_mode",  "solid_mode",
    "under_layer",  "ground_layer", "next_object",     "previous_object", "smaller_brush", "larger_brush",
    "ground_1",     "ground_2",     "ground_3",        "ground_4",     "ground_5",     "ground_6",
    "ground_7",     "ground_8",     "ground_9",        "fill",         "pick",         "grid",
    "picker",       "undo",         "redo",            "erase",
    "copy",         "cut",          "paste",           "delete",       "flip_horizontally", "flip_vertically",
    "turn_clockwise",
    "save_stamp",
    "zoom_out",     "zoom_in",
};

struct NamedKey
{
    std::string_view name;
    Key key;
};

// Every key SFML knows, by its own name; the letters, digits, keypad digits
// and F keys are added by rule in keyNamed.
constexpr NamedKey OtherKeys[] = {
    {"Escape", Key::Escape},       {"LControl", Key::LControl},   {"LShift", Key::LShift},
    {"LAlt", Key::LAlt},           {"LSystem", Key::LSystem},     {"RControl", Key::RControl},
    {"RShift", Key::RShift},       {"RAlt", Key::RAlt},           {"RSystem", Key::RSystem},
    {"Menu", Key::Menu},           {"LBracket", Key::LBracket},   {"RBracket", Key::RBracket},
    {"Semicolon", Key::Semicolon}, {"Comma", Key::Comma},         {"Period", Key::Period},
    {"Quote", Key::Quote},         {"Slash", Key::Slash},         {"Backslash", Key::Backslash},
    {"Tilde", Key::Tilde},         {"Equal", Key::Equal},         {"Hyphen", Key::Hyphen},
    {"Space", Key::Space},         {"Enter", Key::Enter},         {"Backspace", Key::Backspace},
    {"Tab", Key::Tab},             {"PageUp", Key::PageUp},       {"PageDown", Key::PageDown},
    {"End", Key::End},             {"Home", Key::Home},           {"Insert", Key::Insert},
    {"Delete", Key::Delete},       {"Add", Key::Add},             {"Subtract", Key::Subtract},
    {"Multiply", Key::Multiply},   {"Divide", Key::Divide},       {"Left", Key::Left},
    {"Right", Key::Right},         {"Up", Key::Up},               {"Down", Key::Down},
    {"Pause", Key::Pause},
};

constexpr std::string_view PadPrefix = "pad"; // "Pad0": the gamepad's first button

bool sameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The number `text` spells, when it is a plain one below `limit`.
std::optional<int> smallNumber(std::string_view text, int limit)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value >= limit)
        return std::nullopt;
    return value;
}

std::optional<Key> keyNamed(std::string_view name)
{
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
        return static_cast<Key>(Key::A + (std::toupper(static_cast<unsigned char>(name[0])) - 'A'));
    const auto numbered = [&](std::string_view prefix, int first, int last) -> std::optional<int> {
        if (name.size() <= prefix.size() || !sameLetters(name.substr(0, prefix.size()), prefix))
            return std::nullopt;
        const std::optional<int> n = smallNumber(name.substr(prefix.size()), last + 1);
        return n && *n >= first ? n : std::nullopt;
    };
    if (const auto n = numbered("Numpad", 0, 9))
        return static_cast<Key>(Key::Numpad0 + *n);
    if (const auto n = numbered("Num", 0, 9))
        return static_cast<Key>(Key::Num0 + *n);
    if (const auto n = numbered("F", 1, 15))
        return static_cast<Key>(Key::F1 + *n - 1);
    for (const NamedKey& named : OtherKeys)
        if (sameLetters(named.name, name))
            return named.key;
    return std::nullopt;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

Binding keys(std::initializer_list<Key> list, std::initializer_list<unsigned> pad = {})
{
    return Binding{list, pad};
}
} // namespace

std::string_view actionName(KeyAction action)
{
    const auto i = static_cast<std::size_t>(action);
    return i < ActionNames.size() ? ActionNames[i] : std::string_view();
}

std::optional<KeyAction> actionNamed(std::string_view name)
{
    for (std::size_t i = 0; i < ActionNames.size(); ++i)
        if (ActionNames[i] == name)
            return static_cast<KeyAction>(i);
    return std::nullopt;
}

std::string_view keyName(sf::Keyboard::Key key)
{
    static const std::array<std::string, sf::Keyboard::KeyCount> names = [] {
        std::array<std::string, sf::Keyboard::KeyCount> all;
        for (int k = 0; k < 26; ++k)
            all[Key::A + k] = std::string(1, static_cast<char>('A' + k));
        for (int k = 0; k < 10; ++k)
        {
            all[Key::Num0 + k] = "Num" + std::to_string(k);
            all[Key::Numpad0 + k] = "Numpad" + std::to_string(k);
        }
        for (int k = 0; k < 15; ++k)
            all[Key::F1 + k] = "F" + std::to_string(k + 1);
        for (const NamedKey& named : OtherKeys)
            all[named.key] = std::string(named.name);
        return all;
    }();
    return key >= 0 && key < sf::Keyboard::KeyCount ? std::string_view(names[key]) : std::string_view();
}

std::optional<Binding> parseBinding(std::string_view text, std::string& problem)
{
    Binding binding;
    while (true)
    {
        const std::size_t comma = text.find(',');
        const std::string_view name = trimmed(text.substr(0, comma));
        if (name.empty())
        {
            problem = "a key name is missing";
            return std::nullopt;
        }
        std::optional<int> pad;
        if (name.size() > PadPrefix.size() && sameLetters(name.substr(0, PadPrefix.size()), PadPrefix))
            pad = smallNumber(name.substr(PadPrefix.size()), GamepadButtons);
        if (pad)
            binding.padButtons.push_back(static_cast<unsigned>(*pad));
        else if (const std::optional<Key> key = keyNamed(name))
            binding.keys.push_back(*key);
        else
        {
            problem = "\"" + std::string(name) + "\" is no key";
            return std::nullopt;
        }
        if (comma == std::string_view::npos)
            return binding;
        text.remove_prefix(comma + 1);
    }
}

KeyBindings::KeyBindings()
{
    using A = KeyAction;
    bind(A::WalkUp, keys({Key::W, Key::Up}));
    bind(A::WalkDown, keys({Key::S, Key::Down}));
    bind(A::WalkLeft, keys({Key::A, Key::Left}));
    bind(A::WalkRight, keys({Key::D, Key::Right}));
    bind(A::Read, keys({Key::Space}, {GamepadReadButton}));
    bind(A::Editor, keys({Key::E}, {GamepadStartButton}));
    bind(A::Save, keys({Key::F5}));
    bind(A::QuickSave, keys({Key::S}));
    bind(A::Load, keys({Key::F10}));
    bind(A::Screenshot, keys({Key::F3}));
    bind(A::MapPicture, keys({Key::F6}));
    bind(A::Overview, keys({Key::M}));
    bind(A::Recovery, keys({Key::F9}));
    bind(A::Quit, keys({Key::Escape}));
    bind(A::FullScreen, keys({Key::F11}));
    bind(A::PaintMode, keys({Key::O}));
    bind(A::ObjectMode, keys({Key::P}));
    bind(A::SolidMode, keys({Key::I}));
    bind(A::UnderLayer, keys({Key::U}));
    bind(A::GroundLayer, keys({Key::Z}));
    bind(A::NextObject, keys({Key::K}));
    bind(A::PreviousObject, keys({Key::L}));
    bind(A::SmallerBrush, keys({Key::Subtract, Key::Hyphen}));
    bind(A::LargerBrush, keys({Key::Add, Key::Equal}));
    for (int ground = 0; ground < 9; ++ground)
        bind(static_cast<A>(static_cast<int>(A::Ground1) + ground), keys({static_cast<Key>(Key::Num1 + ground)}));
    bind(A::Fill, keys({Key::F}));
    bind(A::Pick, keys({Key::Q}));
    bind(A::Grid, keys({Key::G}));
    bind(A::Picker, keys({Key::Tab}));
    bind(A::Undo, keys({Key::Z}));
    bind(A::Redo, keys({Key::Y}));
    bind(A::Erase, keys({Key::LShift}));
    bind(A::Copy, keys({Key::C}));
    bind(A::Cut, keys({Key::X}));
    bind(A::Paste, keys({Key::V}));
    bind(A::DeleteSelection, keys({Key::Delete}));
    bind(A::FlipHorizontally, keys({Key::H}));
    bind(A::FlipVertically, keys({Key::V}));
    bind(A::TurnClockwise, keys({Key::R}));
    bind(A::SaveStamp, keys({Key::B}));
    bind(A::ZoomOut, keys({Key::PageDown}));
    bind(A::ZoomIn, keys({Key::PageUp}));
}

const KeyBindings& KeyBindings::defaults()
{
    static const KeyBindings bindings;
    return bindings;
}

bool KeyBindings::held(const InputState& input, KeyAction action) const
{
    const Binding& bound = binding(action);
    for (const Key key : bound.keys)
        if (input.isKeyPressed(key))
            return true;
    for (const unsigned button : bound.padButtons)
        if (button < GamepadButtons && (input.pad.buttons >> button & 1u))
            return true;
    switch (action)
    {
    case KeyAction::WalkUp: return input.pad.up;
    case KeyAction::WalkDown: return input.pad.down;
    case KeyAction::WalkLeft: return input.pad.left;
    case KeyAction::WalkRight: return input.pad.right;
    default: return false;
    }
}

bool ctrlHeld(const InputState& input)
{
    return input.isKeyPressed(Key::LControl) || input.isKeyPressed(Key::RControl);
}

bool shiftHeld(const InputState& input)
{
    return input.isKeyPressed(Key::LShift) || input.isKeyPressed(Key::RShift);
}
