#pragma once

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <SFML/Window/Joystick.hpp>

#include <array>
#include <cstdint>

namespace sf
{
class Event;
class Window;
} // namespace sf

// What the connected gamepads hold in one frame, all of them together: the
// directions of their sticks and crosses, and their buttons (bit n: button n).
struct GamepadState
{
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    std::uint32_t buttons = 0;
};

// How far a stick must lean (of SFML's -100 .. 100) to count as a direction:
// a stick at rest rarely reads exactly 0.
constexpr float GamepadStickThreshold = 40.f;

// The keyboard, mouse and gamepads as one frame sees them: keys and the mouse buttons as
// held states, sampled once, and the wheel turned since the last frame. The
// game reads input only through this, so tests can script every frame.
struct InputState
{
    std::array<bool, sf::Keyboard::KeyCount> keys{};
    sf::Vector2i mousePosition; // window pixels, not limited to the window
    bool leftButton = false;
    bool rightButton = false;
    bool middleButton = false;
    // Notches of the vertical wheel since the last frame: positive away from
    // the user (up), negative toward; touchpads give fractions.
    float wheelNotches = 0.f;
    GamepadState pad;

    bool isKeyPressed(sf::Keyboard::Key key) const
    {
        return key >= 0 && key < sf::Keyboard::KeyCount && keys[key];
    }
    void press(sf::Keyboard::Key key, bool held = true)
    {
        if (key >= 0 && key < sf::Keyboard::KeyCount)
            keys[key] = held;
    }
};

// Keeps the held state of the keys and the mouse buttons, and the wheel's
// turning, from the game window's own events. The desktop-wide held-state
// calls would also see keys typed into other programs; key events only arrive
// while the window has the focus, and losing the focus lets go of everything.
// Mouse presses and the wheel arrive also without the focus (a click into the
// window while another one holds the keyboard), so they count only while the
// window has the focus; under a window manager that focuses on click, the
// focus arrives before the press does.
//
// Gamepads are followed from their connect, move, button and disconnect
// events, one state per joystick slot; a gamepad that is disconnected lets go
// of everything it held. They count only while the window has the focus.
class InputTracker
{
public:
    void handle(const sf::Event& event);
    // Whether the window has the focus now, e.g. when it was just created
    // (from its own hasFocus()); later changes come as events.
    void setFocus(bool focused) { hasFocus = focused; }
    // Forgets every held key and button, e.g. when the window is re-created and
    // its releases went to another window.
    void releaseAll();
    // The held states for one frame, with the mouse position read now
    // relative to `window`, and the wheel notches since the last frame. A key
    // or button pressed and released again since the last frame counts as
    // held in this one, so a quick tap is never lost.
    InputState takeFrame(const sf::Window& window);

private:
    struct Pad
    {
        float x = 0.f, y = 0.f, povX = 0.f, povY = 0.f; // -100 .. 100, as SFML reports them
        std::uint32_t held = 0;
        std::uint32_t tapped = 0; // pressed since the last frame
    };
    GamepadState padsNow();

    InputState held;
    InputState tapped; // pressed since the last frame
    bool hasFocus = true;
    std::array<Pad, sf::Joystick::Count> pads{};
};
