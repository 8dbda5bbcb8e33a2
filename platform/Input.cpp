#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

namespace
{
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
    return state;
}
