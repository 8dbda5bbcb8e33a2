#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

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
        if (event.mouseButton.button == sf::Mouse::Left && hasFocus)
            held.leftButton = tapped.leftButton = true;
        break;
    case sf::Event::MouseButtonReleased:
        if (event.mouseButton.button == sf::Mouse::Left)
            held.leftButton = false;
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
    state.mousePosition = sf::Mouse::getPosition(window);
    tapped = InputState{};
    return state;
}
