#include "platform/Input.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <gtest/gtest.h>

TEST(InputTracker, RightAndMiddleButtonsAreHeldLikeTheLeftAndTheWheelCountsPerFrame)
{
    sf::Window window(sf::VideoMode(64, 64), "input");
    InputTracker tracker;
    sf::Event e{sf::Event::MouseButtonPressed, {}};
    e.mouseButton = {sf::Mouse::Right, 10, 10};
    tracker.handle(e);
    e.mouseButton.button = sf::Mouse::Middle;
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
    EXPECT_TRUE(frame.middleButton && frame.rightButton && !frame.leftButton) << "a tap counts for one frame";
    EXPECT_EQ(frame.wheelNotches, 2.5f) << "vertical notches since the last frame";
    EXPECT_TRUE(tracker.takeFrame(window).rightButton) << "held";
    e.type = sf::Event::MouseButtonReleased;
    e.mouseButton.button = sf::Mouse::Right;
    tracker.handle(e);
    frame = tracker.takeFrame(window);
    EXPECT_FALSE(frame.middleButton || frame.rightButton);
    EXPECT_EQ(frame.wheelNotches, 0.f);
}
