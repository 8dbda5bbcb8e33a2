#include "TestContent.h"

#include "content/GameData.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace
{
class FieldMapTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = std::make_unique<TestContent>();
        std::ostringstream console;
        data = std::make_unique<GameData>(dir->path(), &console);
    }
    static void TearDownTestSuite()
    {
        data.reset();
        dir.reset();
    }

    // Puts a copy of definition `id` on field (c, r).
    void putObject(int column, int row, int id) { *map.at(column, row).object = *data->object(id); }

    static std::unique_ptr<TestContent> dir;
    static std::unique_ptr<GameData> data;
    FieldMap map{data.get()};
};

std::unique_ptr<TestContent> FieldMapTest::dir;
std::unique_ptr<GameData> FieldMapTest::data;

sf::Vector2f position(const Field& field)
{
    return field.groundSprite.getPosition();
}
} // namespace

TEST_F(FieldMapTest, NewMapStoresColumnByColumn)
{
    struct Case
    {
        std::size_t index;
        sf::Vector2f expected;
    };
    const Case cases[] = {{0, {0, 0}}, {1, {0, 16}}, {199, {0, 3184}}, {200, {16, 0}}, {39999, {3184, 3184}}};
    for (const Case& c : cases)
    {
        const Field& field = map.fields[c.index];
        EXPECT_EQ(position(field), c.expected) << "element " << c.index;
        EXPECT_EQ(field.underSprite.getPosition(), c.expected) << "element " << c.index;
    }
    EXPECT_EQ(&map.at(3, 7), &map.fields[3 * 200 + 7]);
    EXPECT_EQ(map.origin(), sf::Vector2f(0, 0));

    // Uniform ground 5 everywhere, nothing solid, every field waiting for auto-tiling.
    const sf::Texture* ground5 = data->fieldTexture(DefaultGroundType);
    for (const Field& field : map.fields)
    {
        ASSERT_EQ(field.groundType, 5);
        ASSERT_EQ(field.underType, 5);
        ASSERT_EQ(field.groundSprite.getTexture(), ground5);
        ASSERT_EQ(field.underSprite.getTexture(), ground5);
        ASSERT_EQ(field.groundSprite.getTextureRect(), sf::IntRect(0, 0, 16, 16));
        ASSERT_FALSE(field.solid);
        ASSERT_TRUE(field.needsAutoTile);
        ASSERT_FALSE(field.object->present);
        ASSERT_EQ(field.object->id, 0);
    }
}

TEST_F(FieldMapTest, ScrollThereAndBackRestoresEveryField)
{
    map.scroll(3, 0);
    EXPECT_EQ(position(map.fields[0]), sf::Vector2f(3, 0));
    EXPECT_EQ(position(map.fields[39999]), sf::Vector2f(3187, 3184));
    EXPECT_EQ(map.fields[39999].underSprite.getPosition(), sf::Vector2f(3187, 3184));
    map.scroll(-3, 0);
    for (int column = 0; column < MapSize; ++column)
        for (int row = 0; row < MapSize; ++row)
        {
            const sf::Vector2f expected(16.f * column, 16.f * row);
            ASSERT_EQ(position(map.at(column, row)), expected) << column << "," << row;
            ASSERT_EQ(map.at(column, row).underSprite.getPosition(), expected) << column << "," << row;
        }
}

TEST_F(FieldMapTest, SetOriginMovesFieldsButNotTheirRectanglesUntilTheNextSettle)
{
    Field& solid = map.at(2, 1);
    solid.solid = true;
    map.refresh();
    ASSERT_EQ(solid.collisionRect, sf::IntRect(32, 16, 16, 16));

    map.setOrigin(-37, 21);
    EXPECT_EQ(map.origin(), sf::Vector2f(-37, 21));
    EXPECT_EQ(position(map.at(199, 0)), sf::Vector2f(3184 - 37, 21));
    EXPECT_EQ(map.at(5, 9).underSprite.getPosition(), sf::Vector2f(80 - 37, 144 + 21));
    EXPECT_EQ(solid.collisionRect, sf::IntRect(32, 16, 16, 16)) << "setOrigin alone keeps the old rectangle";

    map.scroll(0, 0);
    EXPECT_EQ(solid.collisionRect, sf::IntRect(32 - 37, 16 + 21, 16, 16));
    map.setOrigin(0, 0);
    map.refresh();
    EXPECT_EQ(solid.collisionRect, sf::IntRect(32, 16, 16, 16));
}

TEST_F(FieldMapTest, CollisionRectanglesFollowSolidFlagAndTruncatedPosition)
{
    struct Case
    {
        sf::Vector2f origin;
        sf::IntRect expected; // of field (2, 0), solid
    };
    const Case cases[] = {
        {{0, -16}, {32, -16, 16, 16}},
        {{-0.5f, 10.75f}, {31, 10, 16, 16}},
        {{-32.5f, -3.5f}, {0, -3, 16, 16}}, // -0.5 truncates toward zero
        {{-1000, 2000}, {-968, 2000, 16, 16}},
    };
    Field& field = map.at(2, 0);
    for (const Case& c : cases)
    {
        field.solid = true;
        map.setOrigin(c.origin.x, c.origin.y);
        map.refresh();
        EXPECT_EQ(field.collisionRect, c.expected) << c.origin.x << "," << c.origin.y;
        field.solid = false;
        map.scroll(0, 0);
        EXPECT_EQ(field.collisionRect, sf::IntRect()) << "cleared after the flag goes";
    }
}

TEST_F(FieldMapTest, ObjectsArePlacedOnlyInsideThePlacementWindow)
{
    struct Case
    {
        sf::Vector2f fieldPosition;
        bool placed;
    };
    const Case cases[] = {
        {{-50, -50}, true},  {{400, 272}, true},  {{-50.5f, 0}, true}, {{0, -50.9f}, true},
        {{400.9f, 272.9f}, true}, {{-51, 0}, false}, {{401, 0}, false}, {{0, 273}, false},
        {{0, -51}, false},   {{160, 96}, true},
    };
    const sf::Vector2f parked(-999, -999);
    for (const Case& c : cases)
    {
        // Field (0, 0) stands exactly at the origin.
        map.setOrigin(c.fieldPosition.x, c.fieldPosition.y);
        putObject(0, 0, 1);
        ObjectType& object = *map.at(0, 0).object;
        object.sprite.setPosition(parked);
        map.refresh();
        const sf::Vector2f expected = c.placed ? c.fieldPosition : parked;
        EXPECT_EQ(object.sprite.getPosition(), expected)
            << "field at " << c.fieldPosition.x << "," << c.fieldPosition.y;

        // Scrolling places too.
        object.sprite.setPosition(parked);
        map.scroll(0, 0);
        EXPECT_EQ(object.sprite.getPosition(), expected);
    }
}

TEST_F(FieldMapTest, PlacementMovesTheObjectsCollisionBoxWithIt)
{
    putObject(4, 3, 1); // a 1 x 1 block with its box on the whole field
    map.refresh();
    EXPECT_EQ(map.at(4, 3).object->collisionRect, sf::IntRect(64, 48, 16, 16));
    map.scroll(-5, 7);
    EXPECT_EQ(map.at(4, 3).object->collisionRect, sf::IntRect(59, 55, 16, 16));
}

TEST_F(FieldMapTest, ObjectWithIdZeroIsNoObjectAfterARefresh)
{
    putObject(10, 6, 0); // copying definition 0 sets the present flag
    ASSERT_TRUE(map.at(10, 6).object->present);
    map.refresh();
    EXPECT_FALSE(map.at(10, 6).object->present);

    // Outside the placement window the flag stays until the field comes near.
    map.setOrigin(-1000, 0);
    putObject(10, 6, 0);
    map.refresh();
    EXPECT_TRUE(map.at(10, 6).object->present);
    map.setOrigin(0, 0);
    map.refresh();
    EXPECT_FALSE(map.at(10, 6).object->present);
}

TEST_F(FieldMapTest, SetGroundChangesOneLayerAndRefusesUnknownTypes)
{
    Field& field = map.at(7, 7);
    map.refresh();
    const sf::IntRect piece = field.groundSprite.getTextureRect();

    EXPECT_TRUE(field.setGround(7, true));
    EXPECT_EQ(field.underType, 7);
    EXPECT_EQ(field.underSprite.getTexture(), data->fieldTexture(7));
    EXPECT_EQ(field.groundType, 5);
    EXPECT_EQ(field.groundSprite.getTexture(), data->fieldTexture(5));
    EXPECT_EQ(field.groundSprite.getTextureRect(), piece);
    EXPECT_TRUE(field.needsAutoTile);

    field.needsAutoTile = false;
    EXPECT_TRUE(field.setGround(3, false));
    EXPECT_EQ(field.groundType, 3);
    EXPECT_EQ(field.groundSprite.getTexture(), data->fieldTexture(3));
    EXPECT_EQ(field.underType, 7);
    EXPECT_EQ(field.groundSprite.getTextureRect(), piece) << "the piece waits for auto-tiling";
    EXPECT_TRUE(field.needsAutoTile);

    // The test content has field textures 0..7.
    for (int type : {8, -1, ContentSetCapacity, 1 << 30})
    {
        field.needsAutoTile = false;
        EXPECT_FALSE(field.setGround(type, false)) << type;
        EXPECT_FALSE(field.setGround(type, true)) << type;
        EXPECT_EQ(field.groundType, 3);
        EXPECT_EQ(field.underType, 7);
        EXPECT_FALSE(field.needsAutoTile);
    }
}
