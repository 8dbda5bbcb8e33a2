#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

void InputTracker::handle(const sf::Event& event)
{
    switch (event.type)
    {
    case sf::Event::KeyPressed:
        held.press(event.key.code, true);
        break;
    case sf::Event::KeyReleased:
        held.press(event.key.code, false);
        break;
    case sf::Event::MouseButtonPressed:
        if (event.mouseButton.button == sf::Mouse::Left)
            held.leftButton = true;
        break;
    case sf::Event::MouseButtonReleased:
        if (event.mouseButton.button == sf::Mouse::Left)
            held.leftButton = false;
        break;
    case sf::Event::LostFocus:
        releaseAll();
        break;
    default:
        break;
    }
}

void InputTracker::releaseAll()
{
    held = InputState{};
}

InputState InputTracker::snapshot(const sf::Window& window) const
{
    InputState state = held;
    state.mousePosition = sf::Mouse::getPosition(window);
    return state;
}
