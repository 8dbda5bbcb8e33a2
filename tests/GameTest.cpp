#include "TestContent.h"

#include "app/Game.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace
{
struct GameFixture
{
    TestContent content;
    ManualTimeSource time;
    std::ostringstream console;
    Game game{GameOptions{content.path(), false}, time, &console};
};
} // namespace

TEST(Game, StartsUpInOrderWithTheSceneScaledOverTheWindow)
{
    GameFixture f;
    const std::string text = f.console.str();
    const auto at = [&](const char* label) { return text.find(label); };
    ASSERT_NE(at("---Texturen laden bei "), std::string::npos);
    EXPECT_LT(at("---Texturen laden bei "), at("---Object Texturen laden bei "));
    EXPECT_LT(at("---Object Texturen laden bei "), at("---Objekte laden bei "));
    EXPECT_LT(at("---Objekte laden bei "), at("---Item Texturen laden bei "));
    EXPECT_LT(at("---Item Texturen laden bei "), at("---Items laden bei "));

    EXPECT_EQ(f.game.window.getSize(), sf::Vector2u(1080, 720));
    EXPECT_FLOAT_EQ(f.game.sceneScaleX, 3.375f);
    EXPECT_FLOAT_EQ(f.game.sceneScaleY, 3.75f);
    EXPECT_EQ(f.game.sceneTexture.getSize(), sf::Vector2u(320, 192));
    EXPECT_EQ(f.game.player->sprite.getPosition(), sf::Vector2f(160, 96));
    EXPECT_EQ(f.game.player->collisionRect, sf::IntRect(152, 104, 16, 8));
    EXPECT_EQ(f.game.map->origin(), sf::Vector2f(0, 0));
}

TEST(Game, FirstFrameDrawsGroundAndPlayerIntoTheScene)
{
    GameFixture f;
    f.game.frame();
    const sf::Image scene = f.game.sceneTexture.getTexture().copyToImage();
    // After the first refresh the uniform map shows interior pieces of grass.
    EXPECT_EQ(scene.getPixel(40, 40), fieldPieceColor(5, 0, 0));
    EXPECT_EQ(scene.getPixel(300, 10), fieldPieceColor(5, 0, 0));
    // The player stands on grass, facing down: the grass frame at y = 128.
    EXPECT_EQ(scene.getPixel(155, 100), playerFrameColor(128));
    EXPECT_EQ(scene.getPixel(183, 81), playerFrameColor(128));
    EXPECT_EQ(scene.getPixel(151, 100), fieldPieceColor(5, 0, 0));
}

TEST(Game, EscapeFinishesTheFrameThenCloses)
{
    GameFixture f;
    InputState in;
    in.press(sf::Keyboard::Escape);
    in.press(sf::Keyboard::W);
    f.game.frame(&in);
    EXPECT_FALSE(f.game.isOpen());
    // The rest of the frame still ran: the walk moved the map.
    EXPECT_EQ(f.game.map->origin(), sf::Vector2f(0, 1));
}

TEST(Game, IgnoresTheDesktopKeyboardWithoutScriptedInput)
{
    // Without focus events no key counts as held, whatever the X server's
    // keyboard says; a frame without input leaves the world where it was.
    GameFixture f;
    for (int i = 0; i < 3; ++i)
        f.game.frame();
    EXPECT_EQ(f.game.map->origin(), sf::Vector2f(0, 0));
    EXPECT_TRUE(f.game.isOpen());
}
