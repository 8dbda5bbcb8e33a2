#include "TestContent.h"

#include "content/GameData.h"
#include "player/Player.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>

namespace
{
constexpr int SeeThroughType = 6; // its pieces are transparent in their left half
const sf::Color SeeThroughColor(250, 250, 250);

class WorldRenderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TestContentOptions options;
        options.objectTextures = 5;
        options.objects = 5;
        dir = std::make_unique<TestContent>(options);
        sf::Image sheet;
        sheet.create(80, 80, SeeThroughColor);
        for (unsigned y = 0; y < 80; ++y)
            for (unsigned x = 0; x < 80; x += 16)
                for (unsigned i = 0; i < 8; ++i)
                    sheet.setPixel(x + i, y, sf::Color::Transparent);
        dir->writeImage("Texturen/FieldTextur" + std::to_string(SeeThroughType) + ".png", sheet);
        std::ostringstream console;
        data = std::make_unique<GameData>(dir->path(), &console);
    }
    static void TearDownTestSuite()
    {
        data.reset();
        dir.reset();
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
        map.draw(target, player);
        target.display();
        return target.getTexture().copyToImage();
    }
    static sf::Color wideAt(const sf::Image& image, int sceneX, int sceneY)
    {
        return image.getPixel(unsigned(sceneX + 64), unsigned(sceneY + 64));
    }
    void paint(int column, int row, int type, bool bothLayers)
    {
        ASSERT_TRUE(map.at(column, row).setGround(type, false));
        if (bothLayers)
        {
            ASSERT_TRUE(map.at(column, row).setGround(type, true));
        }
    }
    void putObject(int column, int row, int id) { *map.at(column, row).object = *data->object(id); }

    static std::unique_ptr<TestContent> dir;
    static std::unique_ptr<GameData> data;
    FieldMap map{data.get()};
    Player player{{1080, 720}, data.get(), 3.375f, 3.75f}; // frame (0, 0): scene 152..184 x 80..112
};

std::unique_ptr<TestContent> WorldRenderTest::dir;
std::unique_ptr<GameData> WorldRenderTest::data;

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
    for (const Field& field : map.fields)
        if (inside(field, 400, 272))
        {
            layer(field.underSprite);
            layer(field.groundSprite);
        }
    const float playerY = player.sprite.getPosition().y;
    for (bool front : {false, true})
    {
        for (int r = 0; r < MapSize; ++r)
            for (int c = 0; c < MapSize; ++c)
            {
                const Field& field = map.at(c, r);
                const float y = field.object->sprite.getPosition().y;
                if ((front ? y >= playerY : playerY > y) && inside(field, 368, 240) && field.object->present)
                    target.draw(field.object->sprite);
            }
        if (!front)
            target.draw(player.sprite);
    }
}
} // namespace

TEST_F(WorldRenderTest, GroundShowsTheChosenPieceOverTheUnderLayer)
{
    map.refresh();
    paint(3, 3, 3, true);
    paint(6, 3, SeeThroughType, false);
    paint(8, 3, SeeThroughType, true);
    map.refresh();
    const sf::Image scene = render();

    EXPECT_EQ(scene.getPixel(8, 8), fieldPieceColor(5, 0, 0)) << "column 0 keeps the interior piece";
    EXPECT_EQ(scene.getPixel(56, 56), fieldPieceColor(3, 0, 16)) << "isolated piece";
    EXPECT_EQ(scene.getPixel(56, 40), fieldPieceColor(5, 48, 16)) << "bottom edge above it";
    EXPECT_EQ(scene.getPixel(40, 56), fieldPieceColor(5, 64, 16)) << "right edge left of it";
    EXPECT_EQ(scene.getPixel(63, 63), fieldPieceColor(3, 0, 16)) << "the piece's last pixel";
    // Ground layer painted only: the under layer's interior shows where the
    // ground layer is transparent.
    EXPECT_EQ(scene.getPixel(100, 56), fieldPieceColor(5, 0, 0));
    EXPECT_EQ(scene.getPixel(108, 56), SeeThroughColor);
    // Both layers transparent there: the scene's clear colour.
    EXPECT_EQ(scene.getPixel(132, 56), sf::Color::Blue);
    EXPECT_EQ(scene.getPixel(140, 56), SeeThroughColor);
}

TEST_F(WorldRenderTest, GroundIsDrawnOnlyInsideThePlacementWindow)
{
    struct Case
    {
        sf::Vector2f origin;
        int column, row;
        bool drawn;
    };
    const Case cases[] = {
        {{-50, -50}, 0, 0, true},  {{-50.5f, 0}, 0, 0, true}, {{-51, 0}, 0, 0, false}, {{0, -51}, 0, 0, false},
        {{-48, 0}, 28, 0, true},   {{-47, 0}, 28, 0, false},  {{0, -48}, 0, 20, true}, {{0, -47}, 0, 20, false},
        {{-48, -48}, 28, 20, true},
    };
    map.refresh();
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        const sf::Vector2f p = map.at(k.column, k.row).groundSprite.getPosition();
        const sf::Image image = render(true);
        const sf::Color pixel = wideAt(image, int(p.x) + 8, int(p.y) + 8);
        EXPECT_EQ(pixel != sf::Color::Blue, k.drawn) << "field at " << p.x << "," << p.y;
    }
}

TEST_F(WorldRenderTest, ObjectsAreDrawnOnlyInsideTheObjectWindowAndWhenPresent)
{
    struct Case
    {
        sf::Vector2f at; // field (0, 0), carrying a block
        bool drawn;
    };
    const Case cases[] = {
        {{368, 240}, true}, {{369, 240}, false}, {{368, 241}, false}, {{-50, -50}, true},
        {{-50.5f, 0}, true}, {{-51, 0}, false},  {{0, -51}, false},   {{368.9f, 240.9f}, true},
    };
    putObject(0, 0, 1);
    for (const Case& k : cases)
    {
        map.setOrigin(k.at.x, k.at.y);
        map.refresh();
        const sf::Image image = render(true);
        const sf::Color pixel = wideAt(image, int(k.at.x) + 8, int(k.at.y) + 8);
        EXPECT_EQ(pixel == objectColor(1), k.drawn) << "field at " << k.at.x << "," << k.at.y;
    }

    // A copy of definition 0 is present until placed, and then is no object.
    map.setOrigin(0, 0);
    putObject(2, 2, 0);
    ASSERT_TRUE(map.at(2, 2).object->present);
    map.refresh();
    EXPECT_EQ(render().getPixel(40, 40), fieldPieceColor(5, 0, 0));
}

TEST_F(WorldRenderTest, ObjectsAboveThePlayersFeetAreCoveredByThePlayer)
{
    struct Case
    {
        int objectY; // the player stands at y 96
        bool objectOnTop;
    };
    const Case cases[] = {{80, false}, {95, false}, {96, true}, {97, true}, {100, true}};
    putObject(10, 6, 1); // field (10, 6) at x 160, over the player's frame
    for (const Case& k : cases)
    {
        map.setOrigin(0, float(k.objectY - 96));
        map.refresh();
        const sf::Color pixel = render().getPixel(165, unsigned(k.objectY + 8));
        EXPECT_EQ(pixel, k.objectOnTop ? objectColor(1) : playerFrameColor(0)) << "object at y " << k.objectY;
    }
}

TEST_F(WorldRenderTest, LaterRowsAndColumnsCoverEarlierOnes)
{
    // A tree (2 x 3 fields, standing on its right column) reaches up over the
    // block in the row above it, and left over the block before it in its row.
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
    // see-through type among them, objects of four pictures, trees
    // overlapping their neighbours and the player.
    unsigned seed = 12345;
    const auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int c = 0; c < MapSize; ++c)
        for (int r = 0; r < MapSize; ++r)
        {
            Field& field = map.at(c, r);
            if (next(3) == 0)
                field.setGround(int(next(8)), false);
            if (next(4) == 0)
                field.setGround(int(next(8)), true);
            if (next(3) != 0)
                *field.object = *data->object(int(next(5)));
        }
    // Around the player at origin (0, 0), where row 6 stands at exactly the
    // player's y.
    for (int c = 9; c <= 11; ++c)
        for (int r = 5; r <= 7; ++r)
            *map.at(c, r).object = *data->object(1 + (c + r) % 4);
    const sf::Vector2f origins[] = {{0, 0}, {-37, -21}, {53, -100}, {-1500, -1500}, {-3000, -3050}};
    for (const sf::Vector2f origin : origins)
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
