#include "WorldFixture.h"

#include "player/Player.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <functional>

namespace
{
class WorldRenderTest : public WorldFixture
{
protected:
    static void SetUpTestSuite() { loadSeeThroughContent(); }

    // What `draw` puts on a target whose view shows scene pixels from
    // (-64, -64) on, around the 320 x 192 scene, to see the window edges too.
    static sf::Image render(const std::function<void(sf::RenderTarget&)>& draw)
    {
        sf::RenderTexture target;
        EXPECT_TRUE(target.create(512, 400));
        target.setView(sf::View(sf::FloatRect(-64, -64, 512, 400)));
        target.clear(sf::Color::Blue);
        draw(target);
        target.display();
        return target.getTexture().copyToImage();
    }

    Player player{{1080, 720}, data.get(), 3.375f, 3.75f}; // its frame covers scene 152..184 x 80..112
};

// The drawing order written out plainly: every layer and object as its own
// sprite, every field visited in the order the game defines. Ground is drawn
// for fields at -50..400 x -50..272, objects for fields at -50..368 x
// -50..240, both on a field's truncated position; objects row by row, those
// standing above the player's y before the player, the others after it.
void drawOneByOne(sf::RenderTarget& target, const FieldMap& map, const Player& player)
{
    const auto layer = [&target](const FieldSprite& l) {
        sf::Sprite sprite;
        if (l.getTexture())
            sprite.setTexture(*l.getTexture());
        sprite.setTextureRect(l.getTextureRect());
        sprite.setPosition(l.getPosition());
        target.draw(sprite);
    };
    const auto inside = [](const Field& field, int right, int bottom) {
        const int x = int(field.groundSprite.getPosition().x);
        const int y = int(field.groundSprite.getPosition().y);
        return x >= -50 && x <= right && y >= -50 && y <= bottom;
    };
    for (const Field& field : map.fields())
        if (inside(field, 400, 272))
        {
            layer(field.underSprite);
            layer(field.groundSprite);
        }
    const float playerY = player.sprite().getPosition().y;
    for (bool front : {false, true})
    {
        for (int r = 0; r < MapSize; ++r)
            for (int c = 0; c < MapSize; ++c)
            {
                const PlacedObject& object = map.at(c, r).object;
                const float y = object.position().y;
                if ((front ? y >= playerY : playerY > y) && inside(map.at(c, r), 368, 240) && object.present())
                {
                    const ObjectSprite& picture = object.type()->sprite;
                    sf::Sprite sprite(*picture.getTexture(), picture.getTextureRect());
                    sprite.setOrigin(picture.getOrigin());
                    sprite.setPosition(object.position());
                    target.draw(sprite);
                }
            }
        if (!front)
            target.draw(player.sprite());
    }
}
} // namespace

TEST_F(WorldRenderTest, BatchedDrawingMatchesDrawingEveryLayerOnItsOwn)
{
    // A busy map: patches of every ground type on both layers, the
    // see-through type among them (so the under layer shows), objects of four
    // pictures, trees overlapping their neighbours, and the player.
    TestRandom next(12345);
    for (int c = 0; c < MapSize; ++c)
        for (int r = 0; r < MapSize; ++r)
        {
            if (next(3) == 0)
                map.paintGround(c, r, int(next(8)), false);
            if (next(4) == 0)
                map.paintGround(c, r, int(next(8)), true);
            if (next(3) != 0)
                putObject(c, r, int(next(5)));
        }
    // Around the player at origin (0, 0), where row 6 stands at exactly the player's y.
    for (int c = 9; c <= 11; ++c)
        for (int r = 5; r <= 7; ++r)
            putObject(c, r, 1 + (c + r) % 4);
    const sf::Vector2f origins[] = {
        {0, 0},         {1, 1},         // objects: column 23 at x 368 and row 15 at y 240 drawn; at 369 and 241 not
        {-50.5f, -50.5f}, {-51, -51},   // the left and top edges, -50.5 truncated to -50
        {-48, -48},     {-47, -47},     // ground: column 28 at x 400 and row 20 at y 272 drawn; at 401 and 273 not
        {53, -100},     {-3000, -3050}, // the map's edges in view
    };
    for (const sf::Vector2f origin : origins)
    {
        map.setOrigin(origin.x, origin.y);
        map.refresh();
        const sf::Image batched =
            render([this](sf::RenderTarget& t) { map.draw(t, player.sprite(), player.sprite().getPosition().y); });
        const sf::Image reference = render([this](sf::RenderTarget& t) { drawOneByOne(t, map, player); });
        int differing = 0;
        for (unsigned y = 0; y < 400; ++y)
            for (unsigned x = 0; x < 512; ++x)
                differing += batched.getPixel(x, y) != reference.getPixel(x, y);
        EXPECT_EQ(differing, 0) << "origin " << origin.x << "," << origin.y;
    }
}
