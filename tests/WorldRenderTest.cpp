#include "WorldFixture.h"

#include "player/Player.h"
#include "world/ViewCache.h"
#include "world/WorldRenderer.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <functional>
#include <list>

namespace
{
class WorldRenderTest : public WorldFixture
{
protected:
    static void SetUpTestSuite() { loadSeeThroughContent(); }

    // What `draw` puts on a target whose view shows scene pixels from
    // (-64, -64) on, around the map's view (512 x 400 around the game's
    // 320 x 192), to see the window edges too.
    sf::Image render(const std::function<void(sf::RenderTarget&)>& draw) const
    {
        const unsigned width = unsigned(map.viewSize().x) + 192, height = unsigned(map.viewSize().y) + 208;
        sf::RenderTexture target;
        EXPECT_TRUE(target.create(width, height));
        target.setView(sf::View(sf::FloatRect(-64, -64, float(width), float(height))));
        target.clear(sf::Color::Blue);
        draw(target);
        target.display();
        return target.getTexture().copyToImage();
    }

    // A busy map: patches of every ground type on both layers, the
    // see-through type among them (so the under layer shows), objects of four
    // pictures, trees overlapping their neighbours.
    void paintBusyMap()
    {
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
    }

    // Pixels in which the batched drawing differs from drawOneByOne, with
    // the map at `origin` after the frame's refresh.
    int differingPixels(sf::Vector2f origin);

    Player player{{1080, 720}, *data, 3.375f, 3.75f}; // its frame covers scene 152..184 x 80..112
    WorldRenderer renderer;
};

// The drawing order written out plainly: every layer and object as its own
// sprite, every field visited in the order the game defines, each at origin +
// 16 (c, r). Ground is drawn for fields at -50..width + 80 x -50..height + 80,
// objects for fields at -50..width + 48 x -50..height + 48, both on a
// field's truncated position; objects row by row, those standing above the
// player's y before the player, the others after it.
void drawOneByOne(sf::RenderTarget& target, const FieldMap& map, const Player& player)
{
    const int width = map.viewSize().x, height = map.viewSize().y;
    const auto layer = [&target](const sf::Texture* texture, sf::IntRect piece, sf::Vector2f position) {
        sf::Sprite sprite;
        if (texture)
            sprite.setTexture(*texture);
        sprite.setTextureRect(piece);
        sprite.setPosition(position);
        target.draw(sprite);
    };
    const auto inside = [&map](int c, int r, int right, int bottom) {
        const int x = int(map.origin().x + float(16 * c)), y = int(map.origin().y + float(16 * r));
        return x >= -50 && x <= right && y >= -50 && y <= bottom;
    };
    const sf::Vector2f origin = map.origin();
    for (int c = 0; c < MapSize; ++c)
        for (int r = 0; r < MapSize; ++r)
            if (inside(c, r, width + 80, height + 80))
            {
                const Field& field = map.at(c, r);
                const sf::Vector2f at(origin.x + float(16 * c), origin.y + float(16 * r));
                layer(map.content().fieldTexture(field.underType()), {0, 0, 16, 16}, at);
                layer(map.content().fieldTexture(field.groundType()), field.groundPiece(), at);
            }
    const float playerY = player.sprite().getPosition().y;
    for (bool front : {false, true})
    {
        for (int r = 0; r < MapSize; ++r)
            for (int c = 0; c < MapSize; ++c)
            {
                const int id = map.at(c, r).objectId();
                const sf::Vector2f at(origin.x + float(16 * c), origin.y + float(16 * r));
                if ((front ? at.y >= playerY : playerY > at.y) && inside(c, r, width + 48, height + 48) && id != 0)
                {
                    const ObjectSprite& picture = map.content().object(id)->sprite;
                    sf::Sprite sprite(*picture.getTexture(), picture.getTextureRect());
                    sprite.setOrigin(picture.getOrigin());
                    sprite.setPosition(at);
                    target.draw(sprite);
                }
            }
        if (!front)
            target.draw(player.sprite());
    }
}
} // namespace

int WorldRenderTest::differingPixels(sf::Vector2f origin)
{
    map.setOrigin(origin.x, origin.y);
    map.refresh();
    const sf::Image batched =
        render([this](sf::RenderTarget& t) { renderer.draw(t, map, player.sprite(), player.sprite().getPosition().y); });
    const sf::Image reference = render([this](sf::RenderTarget& t) { drawOneByOne(t, map, player); });
    int differing = 0;
    for (unsigned y = 0; y < batched.getSize().y; ++y)
        for (unsigned x = 0; x < batched.getSize().x; ++x)
            differing += batched.getPixel(x, y) != reference.getPixel(x, y);
    return differing;
}

TEST_F(WorldRenderTest, BatchedDrawingMatchesDrawingEveryLayerOnItsOwn)
{
    paintBusyMap();
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
        EXPECT_EQ(differingPixels(origin), 0) << "origin " << origin.x << "," << origin.y;
}

// A view of 80 x 48 fields: the frame's pass tiles every field in it, and it
// draws as the game's view does, its windows grown with it.
TEST_F(WorldRenderTest, AWideViewTilesAndDrawsEveryFieldInIt)
{
    paintBusyMap();
    map.setViewSize(80 * 16, 48 * 16);
    // Ground to x 1360 and y 848 (column 88, row 58 at origin 48), objects to 1328 and 816.
    for (const sf::Vector2f origin : {sf::Vector2f(48, 48), {-49, -47}, {-1920, -2432}})
    {
        EXPECT_EQ(differingPixels(origin), 0) << "origin " << origin.x << "," << origin.y;
        for (int c = 2; c < MapSize - 2; ++c)
            for (int r = 2; r < MapSize - 2; ++r)
            {
                const sf::Vector2f p = map.position(c, r);
                // The pass never centres on the two outer rings.
                if (p.x > -16 && p.x < 1280 && p.y > -16 && p.y < 768)
                {
                    const int rule = autoTileKeyAt(c, r, [this](int nc, int nr) {
                        return GroundLayers{map.at(nc, nr).groundType(), map.at(nc, nr).underType()};
                    });
                    ASSERT_EQ(map.at(c, r).pieceKey(), rule) << c << "," << r << " at " << origin.x << "," << origin.y;
                }
            }
    }
}

// The kept drawing of a wide view shows what drawing it whole shows, as the
// view moves by pixels, jumps, sits off the whole pixels and its fields change.
TEST_F(WorldRenderTest, AKeptViewShowsWhatDrawingItWholeShows)
{
    paintBusyMap();
    map.setViewArea(zoomedView(ViewZoom::Quarter));
    const sf::IntRect view(map.viewCorner(), map.viewSize());
    // Each picture's target lives as long as the cache, as the game's scenes do.
    std::list<sf::RenderTexture> targets;
    ViewCache cache;
    const sf::Sprite& between = player.sprite();
    const auto picture = [&](bool kept) {
        sf::RenderTexture& target = targets.emplace_back();
        EXPECT_TRUE(target.create(unsigned(view.width), unsigned(view.height)));
        target.setView(sf::View(sf::FloatRect(view)));
        target.clear(sf::Color::Blue);
        if (kept)
            cache.draw(target, map, between, between.getGlobalBounds(), between.getPosition().y, renderer);
        else
            renderer.drawArea(target, map, view, &between, between.getPosition().y);
        target.display();
        return target.getTexture().copyToImage();
    };
    const std::function<void()> steps[] = {
        [] {},
        [&] { map.scroll(-3, 2); },
        [&] { map.scroll(17, -40); },
        [&] { map.scroll(-1500, 0); },                             // farther than the view is wide
        [&] { paint(100, 30, 2), putObject(101, 30, 2), paint(150, 50, 6, false); }, // far apart, in view
        [&] { putObject(map.fieldUnder({152, 100})->x, map.fieldUnder({152, 100})->y, 3); }, // by the player
        [&] { map.scroll(0.5f, 0); },                              // off the whole pixels
        [&] { map.scroll(-0.5f, -1); },
    };
    map.setOrigin(-400, -500);
    for (std::size_t step = 0; step < std::size(steps); ++step)
    {
        steps[step]();
        map.refresh();
        const sf::Image kept = picture(true), whole = picture(false);
        EXPECT_TRUE(std::equal(kept.getPixelsPtr(), kept.getPixelsPtr() + view.width * view.height * 4,
                               whole.getPixelsPtr()))
            << "step " << step;
    }
}
