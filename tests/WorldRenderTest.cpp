#include "WorldFixture.h"

#include "player/Player.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

namespace
{
constexpr int SeeThroughType = 6; // its pieces are transparent in their left half
const sf::Color SeeThroughColor(250, 250, 250);

class WorldRenderTest : public WorldFixture
{
protected:
    static void SetUpTestSuite()
    {
        TestContentOptions options;
        options.objectTextures = options.objects = 5;
        auto tree = std::make_unique<TestContent>(options);
        sf::Image sheet;
        sheet.create(80, 80, SeeThroughColor);
        for (unsigned y = 0; y < 80; ++y)
            for (unsigned x = 0; x < 80; x += 16)
                for (unsigned i = 0; i < 8; ++i)
                    sheet.setPixel(x + i, y, sf::Color::Transparent);
        tree->writeImage("Texturen/FieldTextur" + std::to_string(SeeThroughType) + ".png", sheet);
        load(std::move(tree));
    }

    // The scene as the game draws it, or a larger target whose view shows
    // scene pixels from (-64, -64), to see what lies outside the scene.
    sf::Image render(bool wide = false)
    {
        sf::RenderTexture target;
        const sf::Vector2u size = wide ? sf::Vector2u(512, 400) : sf::Vector2u(320, 192);
        EXPECT_TRUE(target.create(size.x, size.y));
        if (wide)
            target.setView(sf::View(sf::FloatRect(-64, -64, 512, 400)));
        target.clear(sf::Color::Blue);
        map.draw(target, player.sprite(), player.sprite().getPosition().y);
        target.display();
        return target.getTexture().copyToImage();
    }

    Player player{{1080, 720}, data.get(), 3.375f, 3.75f}; // frame (0, 0): scene 152..184 x 80..112
};

// The drawing order written out plainly: every layer and object as its own
// sprite, every field visited in the order the game defines.
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

// Ground is drawn inside the placement window, objects inside the smaller
// object window, both tested on a field's truncated position.
TEST_F(WorldRenderTest, GroundAndObjectsAreDrawnOnlyInsideTheirWindows)
{
    struct Case { bool object; sf::Vector2f origin; int column, row; bool drawn; };
    const Case cases[] = {
        {false, {-50, -50}, 0, 0, true},     {false, {-50.5f, 0}, 0, 0, true},  {false, {-51, 0}, 0, 0, false},
        {false, {0, -51}, 0, 0, false},      {false, {-48, 0}, 28, 0, true},    {false, {-47, 0}, 28, 0, false},
        {false, {0, -48}, 0, 20, true},      {false, {0, -47}, 0, 20, false},   {false, {-48, -48}, 28, 20, true},
        {true, {368, 240}, 0, 0, true},      {true, {369, 240}, 0, 0, false},   {true, {368, 241}, 0, 0, false},
        {true, {-50, -50}, 0, 0, true},      {true, {-50.5f, 0}, 0, 0, true},   {true, {-51, 0}, 0, 0, false},
        {true, {0, -51}, 0, 0, false},       {true, {368.9f, 240.9f}, 0, 0, true},
    };
    putObject(0, 0, 1);
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        map.refresh();
        const sf::Vector2f p = map.at(k.column, k.row).groundSprite.getPosition();
        const sf::Color pixel = render(true).getPixel(unsigned(int(p.x) + 8 + 64), unsigned(int(p.y) + 8 + 64));
        EXPECT_EQ(k.object ? pixel == objectColor(1) : pixel != sf::Color::Blue, k.drawn)
            << (k.object ? "object" : "ground") << " at " << p.x << "," << p.y;
    }
}

TEST_F(WorldRenderTest, DepthFollowsThePixelsOfThePlayersFeetAndTheRows)
{
    // The player stands at y 96: objects above it are covered by the player.
    putObject(10, 6, 1); // field (10, 6) at x 160, over the player's frame
    for (const auto& [objectY, onTop] : {std::pair{80, false}, {95, false}, {96, true}, {97, true}})
    {
        map.setOrigin(0, float(objectY - 96));
        map.refresh();
        EXPECT_EQ(render().getPixel(165, unsigned(objectY + 8)), onTop ? objectColor(1) : playerFrameColor(0))
            << "object at y " << objectY;
    }
    // A tree (2 x 3 fields, standing on its right column) reaches up over the
    // block in the row above it, and left over the block before it in its row.
    putObject(10, 6, 0);
    map.setOrigin(0, 0);
    putObject(5, 4, 1);
    putObject(5, 5, 2);
    putObject(11, 3, 3);
    putObject(12, 3, 2);
    map.refresh();
    const sf::Image scene = render();
    EXPECT_EQ(scene.getPixel(88, 72), objectColor(2));
    EXPECT_EQ(scene.getPixel(184, 56), objectColor(2));
    EXPECT_EQ(scene.getPixel(88, 88), objectColor(2));
}

TEST_F(WorldRenderTest, BatchedDrawingMatchesDrawingEveryLayerOnItsOwn)
{
    // A busy map: patches of every ground type on both layers, the
    // see-through type among them (so the under layer shows), objects of four
    // pictures, trees overlapping their neighbours and the player.
    unsigned seed = 12345;
    const auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
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
    for (const sf::Vector2f origin : {sf::Vector2f(0, 0), sf::Vector2f(-37, -21), sf::Vector2f(53, -100),
                                      sf::Vector2f(-1500, -1500), sf::Vector2f(-3000, -3050)})
    {
        map.setOrigin(origin.x, origin.y);
        map.refresh();
        const sf::Image batched = render();
        sf::RenderTexture target;
        ASSERT_TRUE(target.create(320, 192));
        target.clear(sf::Color::Blue);
        drawOneByOne(target, map, player);
        target.display();
        const sf::Image reference = target.getTexture().copyToImage();
        int differing = 0;
        for (unsigned y = 0; y < 192; ++y)
            for (unsigned x = 0; x < 320; ++x)
                if (batched.getPixel(x, y) != reference.getPixel(x, y) && ++differing <= 3)
                    ADD_FAILURE() << "origin " << origin.x << "," << origin.y << ": pixel " << x << "," << y
                                  << " differs";
        EXPECT_EQ(differing, 0) << "origin " << origin.x << "," << origin.y;
    }
}
