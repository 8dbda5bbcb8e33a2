// The whole map's picture, composed on the processor, against the scene
// drawing of the game.

#include "WorldFixture.h"

#include "content/ContentPictures.h"
#include "world/MapPicture.h"
#include "world/WorldRenderer.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>

namespace
{
class MapPictureTest : public WorldFixture
{
protected:
    static void SetUpTestSuite() { loadSeeThroughContent(); }
};
} // namespace

// The test content's pictures are opaque or fully transparent, so blending
// leaves no rounding to compare: every pixel must match.
TEST_F(MapPictureTest, MatchesTheSceneDrawingOfTheWholeMap)
{
    // A busy map: both layers of every type, objects on two fields of three,
    // trees overlapping their neighbours and the picture's edges.
    TestRandom next(777);
    for (int c = 0; c < MapSize; ++c)
        for (int r = 0; r < MapSize; ++r)
        {
            map.paintGround(c, r, int(next(8)), false);
            if (next(3) == 0)
                map.paintGround(c, r, int(next(8)), true);
            if (next(3) != 0)
                putObject(c, r, int(next(5)));
            map.setSolid(c, r, next(4) == 0);
        }
    const std::vector<std::uint8_t> picture = composeMapPicture(mapValues(map), ContentPictures(dir->path()));
    ASSERT_EQ(picture.size(), std::size_t{3200} * 3200 * 4);

    // The game's drawing, a scene at a time: every field of columns and rows
    // 1..198 with the piece the rule gives, the outer ring as a new field has
    // it, every object before the (empty) player.
    for (int c = 1; c < MapSize - 1; ++c)
        for (int r = 1; r < MapSize - 1; ++r)
            map.autoTile(c, r, false);
    sf::RenderTexture scene;
    ASSERT_TRUE(scene.create(320, 192));
    const sf::Sprite nobody;
    WorldRenderer renderer;
    int differing = 0;
    for (unsigned top = 0; top < 3200; top += 192)
        for (unsigned left = 0; left < 3200; left += 320)
        {
            map.setOrigin(-float(left), -float(top));
            map.refresh();
            scene.clear(sf::Color::Transparent);
            renderer.draw(scene, map, nobody, 1e9f);
            scene.display();
            const sf::Image drawn = scene.getTexture().copyToImage();
            for (unsigned y = 0; y < 192 && top + y < 3200; ++y)
                for (unsigned x = 0; x < 320; ++x)
                {
                    const std::uint8_t* p = &picture[((top + y) * std::size_t{3200} + left + x) * 4];
                    differing += drawn.getPixel(x, y) != sf::Color(p[0], p[1], p[2], p[3]);
                }
        }
    EXPECT_EQ(differing, 0);
    // Both layers of the see-through type somewhere leave pixels uncovered.
    int transparent = 0;
    for (std::size_t i = 3; i < picture.size(); i += 4)
        transparent += picture[i] == 0;
    EXPECT_GT(transparent, 0);
}
