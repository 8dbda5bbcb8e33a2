#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

TEST(InputTracker, MiddleButtonIsHeldLikeTheLeftAndTheWheelCountsPerFrame)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    sf::Event e{sf::Event::MouseButtonPressed, {}};
    e.mouseButton = {sf::Mouse::Middle, 10, 10};
    tracker.handle(e);
    e.type = sf::Event::MouseButtonReleased;
    tracker.handle(e);
    e.type = sf::Event::MouseWheelScrolled;
    for (const auto& [wheel, delta] : {std::pair{sf::Mouse::VerticalWheel, 1.f}, {sf::Mouse::VerticalWheel, 1.5f},
                                       {sf::Mouse::HorizontalWheel, 5.f}})
    {
        e.mouseWheelScroll = {wheel, delta, 10, 10};
        tracker.handle(e);
    }
    InputState frame = tracker.takeFrame(window);
    EXPECT_TRUE(frame.middleButton && !frame.leftButton && !frame.rightButton) << "a tap counts for one frame";
    EXPECT_EQ(frame.wheelNotches, 2.5f) << "vertical notches since the last frame";
    frame = tracker.takeFrame(window);
    EXPECT_FALSE(frame.middleButton);
    EXPECT_EQ(frame.wheelNotches, 0.f);
}
