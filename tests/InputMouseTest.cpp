#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

namespace
{
sf::Event button(sf::Event::EventType type, sf::Mouse::Button which)
{
    sf::Event e;
    e.type = type;
    e.mouseButton = {which, 10, 10};
    return e;
}

sf::Event wheel(sf::Mouse::Wheel which, float delta)
{
    sf::Event e;
    e.type = sf::Event::MouseWheelScrolled;
    e.mouseWheelScroll = {which, delta, 10, 10};
    return e;
}
} // namespace

TEST(InputTracker, RightAndMiddleButtonsAreHeldLikeTheLeftAndTheWheelCountsPerFrame)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    tracker.handle(button(sf::Event::MouseButtonPressed, sf::Mouse::Right));
    tracker.handle(button(sf::Event::MouseButtonPressed, sf::Mouse::Middle));
    tracker.handle(button(sf::Event::MouseButtonReleased, sf::Mouse::Middle));
    tracker.handle(wheel(sf::Mouse::VerticalWheel, 1.f));
    tracker.handle(wheel(sf::Mouse::VerticalWheel, 2.f));
    tracker.handle(wheel(sf::Mouse::HorizontalWheel, 5.f));
    InputState frame = tracker.takeFrame(window);
    EXPECT_TRUE(frame.rightButton && frame.middleButton && !frame.leftButton) << "a tap counts for one frame";
    EXPECT_EQ(frame.wheelNotches, 3.f) << "vertical notches since the last frame";

    tracker.handle(wheel(sf::Mouse::VerticalWheel, -0.5f));
    frame = tracker.takeFrame(window);
    EXPECT_TRUE(frame.rightButton && !frame.middleButton);
    EXPECT_EQ(frame.wheelNotches, -0.5f);
    tracker.handle(button(sf::Event::MouseButtonReleased, sf::Mouse::Right));
    frame = tracker.takeFrame(window);
    EXPECT_FALSE(frame.rightButton);
    EXPECT_EQ(frame.wheelNotches, 0.f);

    tracker.handle(button(sf::Event::MouseButtonPressed, sf::Mouse::Middle));
    tracker.takeFrame(window);
    tracker.handle(sf::Event{sf::Event::LostFocus, {}});
    EXPECT_FALSE(tracker.takeFrame(window).middleButton);
}
