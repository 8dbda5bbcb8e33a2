#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

namespace
{
sf::Event keyEvent(sf::Event::EventType type, sf::Keyboard::Key key)
{
    sf::Event event;
    event.type = type;
    event.key = {key, false, false, false, false};
    return event;
}

sf::Event plainEvent(sf::Event::EventType type)
{
    sf::Event event;
    event.type = type;
    return event;
}
} // namespace

TEST(InputTracker, HeldKeysLastUntilReleasedAndTapsCountForOneFrame)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;

    tracker.handle(keyEvent(sf::Event::KeyPressed, sf::Keyboard::W));
    EXPECT_TRUE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::W));
    EXPECT_TRUE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::W)); // still held
    tracker.handle(keyEvent(sf::Event::KeyReleased, sf::Keyboard::W));
    EXPECT_FALSE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::W));

    // Pressed and released between two frames: held for exactly one frame.
    tracker.handle(keyEvent(sf::Event::KeyPressed, sf::Keyboard::F5));
    tracker.handle(keyEvent(sf::Event::KeyReleased, sf::Keyboard::F5));
    EXPECT_TRUE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::F5));
    EXPECT_FALSE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::F5));

    // Unknown keys are ignored rather than indexing out of the table.
    tracker.handle(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Unknown));
    EXPECT_FALSE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::Unknown));
}

TEST(InputTracker, LosingTheFocusLetsGoOfEverything)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    tracker.handle(keyEvent(sf::Event::KeyPressed, sf::Keyboard::D));
    sf::Event click;
    click.type = sf::Event::MouseButtonPressed;
    click.mouseButton = {sf::Mouse::Left, 10, 10};
    tracker.handle(click);
    EXPECT_TRUE(tracker.takeFrame(window).leftButton);

    tracker.handle(plainEvent(sf::Event::LostFocus));
    const InputState state = tracker.takeFrame(window);
    EXPECT_FALSE(state.isKeyPressed(sf::Keyboard::D));
    EXPECT_FALSE(state.leftButton);

    // Right clicks do not count as the left button.
    click.mouseButton.button = sf::Mouse::Right;
    tracker.handle(click);
    EXPECT_FALSE(tracker.takeFrame(window).leftButton);
}
