#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

namespace
{
sf::Event event(sf::Event::EventType type, sf::Keyboard::Key key = sf::Keyboard::Unknown)
{
    sf::Event e;
    e.type = type;
    e.key = {key, false, false, false, false};
    return e;
}
} // namespace

TEST(InputTracker, HeldKeysLastUntilReleasedAndTapsCountForOneFrame)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::W));
    EXPECT_TRUE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::W));
    EXPECT_TRUE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::W)); // still held
    tracker.handle(event(sf::Event::KeyReleased, sf::Keyboard::W));
    EXPECT_FALSE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::W));

    // Pressed and released between two frames: held for exactly one frame.
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::F5));
    tracker.handle(event(sf::Event::KeyReleased, sf::Keyboard::F5));
    EXPECT_TRUE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::F5));
    EXPECT_FALSE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::F5));

    // Unknown keys are ignored rather than indexing out of the table.
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::Unknown));
    EXPECT_FALSE(tracker.takeFrame(window).isKeyPressed(sf::Keyboard::Unknown));

    // Losing the focus lets go of every key and the button; right clicks are
    // not the left button.
    tracker.handle(event(sf::Event::KeyPressed, sf::Keyboard::D));
    sf::Event click = event(sf::Event::MouseButtonPressed);
    click.mouseButton = {sf::Mouse::Left, 10, 10};
    tracker.handle(click);
    EXPECT_TRUE(tracker.takeFrame(window).leftButton);
    tracker.handle(event(sf::Event::LostFocus));
    const InputState state = tracker.takeFrame(window);
    EXPECT_FALSE(state.isKeyPressed(sf::Keyboard::D) || state.leftButton);
    click.mouseButton.button = sf::Mouse::Right;
    tracker.handle(click);
    EXPECT_FALSE(tracker.takeFrame(window).leftButton);
}

TEST(InputTracker, TheMouseButtonCountsOnlyWhileTheWindowHasTheFocus)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    sf::Event press = event(sf::Event::MouseButtonPressed), release = event(sf::Event::MouseButtonReleased);
    press.mouseButton = release.mouseButton = {sf::Mouse::Left, 10, 10};
    const auto clicked = [&](sf::Event::EventType before) {
        tracker.handle(event(before));
        tracker.handle(press);
        const bool held = tracker.takeFrame(window).leftButton;
        tracker.handle(release);
        return held;
    };
    EXPECT_FALSE(clicked(sf::Event::LostFocus)); // a click into the window while another has the focus
    EXPECT_TRUE(clicked(sf::Event::GainedFocus));
    tracker.setFocus(false); // a window created without the focus
    EXPECT_FALSE(clicked(sf::Event::MouseMoved));
    // A press ignored without the focus stays ignored when the focus comes while it is held.
    tracker.handle(press);
    tracker.handle(event(sf::Event::GainedFocus));
    EXPECT_FALSE(tracker.takeFrame(window).leftButton);
}
