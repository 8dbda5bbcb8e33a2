#pragma once

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <array>

namespace sf
{
class Event;
class Window;
} // namespace sf

// The keyboard and mouse as one frame sees them: keys and the mouse buttons as
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
    InputState held;
    InputState tapped; // pressed since the last frame
    bool hasFocus = true;
};
