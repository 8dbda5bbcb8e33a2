#include "WorldFixture.h"

#include "mapfile/MapFormat.h"

#include <SFML/Graphics/Image.hpp>

namespace
{
class GameTest : public GameFixture
{
};
} // namespace

TEST_F(GameTest, StartsUpInOrderAndDrawsTheFirstFrame)
{
    const std::string text = console.str();
    const char* const labels[] = {"---Texturen laden bei ", "---Object Texturen laden bei ", "---Objekte laden bei ",
                                  "---Item Texturen laden bei ", "---Items laden bei "};
    ASSERT_NE(text.find(labels[0]), std::string::npos);
    for (int i = 1; i < 5; ++i)
        EXPECT_LT(text.find(labels[i - 1]), text.find(labels[i])) << labels[i];
    EXPECT_EQ(game.window().getSize(), sf::Vector2u(1080, 720));
    EXPECT_EQ(game.sceneScale(), sf::Vector2f(3.375f, 3.75f));

    // Without focus events no key counts as held, whatever the X server's
    // keyboard says: frames without input leave the world where it was.
    for (int i = 0; i < 3; ++i)
        game.frame();
    EXPECT_EQ(game.map().origin(), sf::Vector2f(0, 0));
    const sf::Image scene = game.sceneImage();
    // After the first refresh the uniform map shows interior pieces of grass.
    EXPECT_EQ(scene.getPixel(40, 40), fieldPieceColor(5, 0, 0));
    EXPECT_EQ(scene.getPixel(300, 10), fieldPieceColor(5, 0, 0));
    // The player stands on grass, facing down: the grass frame at y = 128.
    EXPECT_EQ(scene.getPixel(155, 100), playerFrameColor(128));
    EXPECT_EQ(scene.getPixel(183, 81), playerFrameColor(128));
    EXPECT_EQ(scene.getPixel(151, 100), fieldPieceColor(5, 0, 0));
}

TEST_F(GameTest, EscapeFinishesTheFrameThenCloses)
{
    const InputState in = pressing({sf::Keyboard::Escape, sf::Keyboard::W});
    EXPECT_TRUE(game.isOpen());
    game.frame(&in);
    EXPECT_FALSE(game.isOpen());
    EXPECT_EQ(game.map().origin(), sf::Vector2f(0, 1)) << "the rest of the frame still ran";
}

TEST_F(GameTest, MapGivenAtStartLoadsAsTheLoadKeyDoes)
{
    TempDir maps;
    maps.write("bad.map", "5\n5\n");
    game.loadMapAtStart(maps.file("bad.map"));
    EXPECT_NE(console.str().find("--- Loading Failed: " + maps.file("bad.map") + ": the file ends after line 2"),
              std::string::npos)
        << console.str();
    EXPECT_EQ(game.map().at(0, 0).groundType, 5);

    map.setSolid(4, 4, true);
    map.setOrigin(-16, 0);
    const std::string text = formatMap(map);
    maps.write("good.map", text);
    map.setSolid(4, 4, false);
    game.loadMapAtStart(maps.file("good.map"));
    EXPECT_TRUE(formatMap(game.map()) == text);
    EXPECT_FALSE(game.unsavedChanges()) << "a loaded map is saved work";
}
