#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

namespace
{
// The sign of the cross's vertical axis that means up. SFML passes it on as
// the system reports it: the Linux joystick driver with up negative, as the
// sticks; Windows' point-of-view hat with up positive.
#ifdef _WIN32
constexpr float CrossUp = 1.f;
#else
constexpr float CrossUp = -1.f;
#endif

// The held flag of `button` in `state`; null for the buttons the game does not use.
bool* buttonOf(InputState& state, sf::Mouse::Button button)
{
    switch (button)
    {
    case sf::Mouse::Left: return &state.leftButton;
    case sf::Mouse::Right: return &state.rightButton;
    case sf::Mouse::Middle: return &state.middleButton;
    default: return nullptr;
    }
}
} // namespace

void InputTracker::handle(const sf::Event& event)
{
    switch (event.type)
    {
    case sf::Event::KeyPressed:
        held.press(event.key.code, true);
        tapped.press(event.key.code, true);
        break;
    case sf::Event::KeyReleased:
        held.press(event.key.code, false);
        break;
    case sf::Event::MouseButtonPressed:
        if (bool* button = buttonOf(held, event.mouseButton.button); button && hasFocus)
            *button = *buttonOf(tapped, event.mouseButton.button) = true;
        break;
    case sf::Event::MouseButtonReleased:
        if (bool* button = buttonOf(held, event.mouseButton.button))
            *button = false;
        break;
    case sf::Event::MouseWheelScrolled:
        if (event.mouseWheelScroll.wheel == sf::Mouse::VerticalWheel && hasFocus)
            tapped.wheelNotches += event.mouseWheelScroll.delta;
        break;
    case sf::Event::JoystickConnected:
    case sf::Event::JoystickDisconnected:
        // A new gamepad starts at rest; one that is gone holds nothing.
        if (event.joystickConnect.joystickId < pads.size())
            pads[event.joystickConnect.joystickId] = Pad{};
        break;
    case sf::Event::JoystickMoved:
        if (event.joystickMove.joystickId < pads.size())
        {
            Pad& pad = pads[event.joystickMove.joystickId];
            switch (event.joystickMove.axis)
            {
            case sf::Joystick::X: pad.x = event.joystickMove.position; break;
            case sf::Joystick::Y: pad.y = event.joystickMove.position; break;
            case sf::Joystick::PovX: pad.povX = event.joystickMove.position; break;
            case sf::Joystick::PovY: pad.povY = event.joystickMove.position; break;
            default: break;
            }
        }
        break;
    case sf::Event::JoystickButtonPressed:
    case sf::Event::JoystickButtonReleased:
        if (event.joystickButton.joystickId < pads.size() && event.joystickButton.button < 32)
        {
            Pad& pad = pads[event.joystickButton.joystickId];
            const std::uint32_t bit = 1u << event.joystickButton.button;
            if (event.type == sf::Event::JoystickButtonPressed)
            {
                pad.held |= bit;
                pad.tapped |= bit;
            }
            else
                pad.held &= ~bit;
        }
        break;
    case sf::Event::LostFocus:
        releaseAll();
        hasFocus = false;
        break;
    case sf::Event::GainedFocus:
        hasFocus = true;
        break;
    default:
        break;
    }
}

void InputTracker::releaseAll()
{
    held = InputState{};
    tapped = InputState{};
}

InputState InputTracker::takeFrame(const sf::Window& window)
{
    InputState state = held;
    for (std::size_t key = 0; key < state.keys.size(); ++key)
        state.keys[key] = state.keys[key] || tapped.keys[key];
    state.leftButton = state.leftButton || tapped.leftButton;
    state.rightButton = state.rightButton || tapped.rightButton;
    state.middleButton = state.middleButton || tapped.middleButton;
    state.wheelNotches = tapped.wheelNotches;
    state.mousePosition = sf::Mouse::getPosition(window);
    tapped = InputState{};
    state.pad = padsNow();
    return state;
}

GamepadState InputTracker::padsNow()
{
    GamepadState state;
    for (Pad& pad : pads)
    {
        state.up = state.up || pad.y < -GamepadStickThreshold || pad.povY * CrossUp > GamepadStickThreshold;
        state.down = state.down || pad.y > GamepadStickThreshold || pad.povY * CrossUp < -GamepadStickThreshold;
        state.left = state.left || pad.x < -GamepadStickThreshold || pad.povX < -GamepadStickThreshold;
        state.right = state.right || pad.x > GamepadStickThreshold || pad.povX > GamepadStickThreshold;
        state.buttons |= pad.held | pad.tapped;
        pad.tapped = 0;
    }
    // Only the window with the focus hears the gamepad, as the keyboard.
    return hasFocus ? state : GamepadState{};
}
