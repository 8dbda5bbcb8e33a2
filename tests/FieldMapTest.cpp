#include "WorldFixture.h"

namespace
{
class FieldMapTest : public WorldFixture
{
};

sf::Vector2f position(const Field& field)
{
    return field.groundSprite.getPosition();
}
} // namespace

TEST_F(FieldMapTest, NewMapStoresColumnByColumnAndScrollingThereAndBackRestoresIt)
{
    map.scroll(3, 0);
    EXPECT_EQ(map.fields()[39999].underSprite.getPosition(), sf::Vector2f(3187, 3184));
    map.scroll(-3, 0);
    EXPECT_EQ(&map.at(3, 7), &map.fields()[3 * 200 + 7]);
    for (std::size_t i = 0; i < map.fields().size(); ++i)
    {
        const Field& field = map.fields()[i];
        const sf::Vector2f expected(16.f * float(i / 200), 16.f * float(i % 200));
        ASSERT_EQ(position(field), expected) << i;
        ASSERT_EQ(field.underSprite.getPosition(), expected) << i;
        ASSERT_TRUE(field.groundType == DefaultGroundType && field.underType == DefaultGroundType);
        ASSERT_EQ(field.groundSprite.getTexture(), data->fieldTexture(DefaultGroundType));
        ASSERT_EQ(field.underSprite.getTexture(), data->fieldTexture(DefaultGroundType));
        ASSERT_TRUE(!field.solid && field.needsAutoTile && !field.object.present() && field.object.id() == 0);
    }
}

TEST_F(FieldMapTest, CollisionRectanglesFollowSolidFlagAndTruncatedPositionAtTheNextSettle)
{
    struct Case { sf::Vector2f origin; sf::IntRect expected; }; // of field (2, 0), solid
    const Case cases[] = {
        {{0, -16}, {32, -16, 16, 16}},
        {{-0.5f, 10.75f}, {31, 10, 16, 16}},
        {{-32.5f, -3.5f}, {0, -3, 16, 16}}, // -0.5 truncates toward zero
        {{-1000, 2000}, {-968, 2000, 16, 16}},
    };
    const Field& field = map.at(2, 0);
    map.setSolid(2, 0, true);
    map.refresh();
    for (const Case& c : cases)
    {
        const sf::IntRect before = field.collisionRect;
        map.setOrigin(c.origin.x, c.origin.y);
        EXPECT_EQ(position(map.at(199, 0)), sf::Vector2f(3184 + c.origin.x, c.origin.y));
        EXPECT_EQ(field.collisionRect, before) << "setOrigin alone keeps the old rectangle";
        map.scroll(0, 0);
        EXPECT_EQ(field.collisionRect, c.expected) << c.origin.x << "," << c.origin.y;
        map.setSolid(2, 0, false);
        map.refresh();
        EXPECT_EQ(field.collisionRect, sf::IntRect()) << "cleared after the flag goes";
        map.setSolid(2, 0, true);
        map.refresh();
    }
}

TEST_F(FieldMapTest, ObjectsArePlacedOnlyInsideThePlacementWindow)
{
    const std::pair<sf::Vector2f, bool> cases[] = {
        {{-50, -50}, true}, {{400, 272}, true}, {{-50.5f, 0}, true}, {{0, -50.9f}, true}, {{400.9f, 272.9f}, true},
        {{-51, 0}, false},  {{401, 0}, false},  {{0, 273}, false},   {{0, -51}, false},   {{160, 96}, true},
    };
    const PlacedObject& object = map.at(0, 0).object;
    for (const auto& [at, placed] : cases)
    {
        // A freshly put object stands at the scene's corner until placed.
        const auto putFresh = [&] {
            putObject(0, 0, 0);
            putObject(0, 0, 1); // a 1 x 1 block with its box on the whole field
        };
        map.setOrigin(at.x, at.y); // field (0, 0) stands at the origin
        putFresh();
        const sf::Vector2f expected = placed ? at : sf::Vector2f();
        map.refresh();
        EXPECT_EQ(object.position(), expected) << "field at " << at.x << "," << at.y;
        if (placed)
        {
            EXPECT_EQ(object.collisionRect(), sf::IntRect(int(at.x), int(at.y), 16, 16));
        }
        putFresh();
        map.scroll(0, 0);
        EXPECT_EQ(object.position(), expected) << "scrolling places too";
    }
}

TEST_F(FieldMapTest, ObjectWithIdZeroIsNoObjectOncePlaced)
{
    // Copying definition 0 sets the present flag; outside the placement
    // window it stays until the field comes near.
    map.setOrigin(-1000, 0);
    putObject(10, 6, 0);
    map.refresh();
    EXPECT_TRUE(map.at(10, 6).object.present());
    map.setOrigin(0, 0);
    map.refresh();
    EXPECT_FALSE(map.at(10, 6).object.present());
}

TEST_F(FieldMapTest, SetGroundChangesOneLayerAndRefusesUnknownTypes)
{
    const Field& field = map.at(7, 7);
    map.refresh();
    const sf::IntRect piece = field.groundSprite.getTextureRect();
    for (const auto& [type, under] : {std::pair{7, true}, {3, false}})
    {
        map.autoTilePass();
        ASSERT_FALSE(field.needsAutoTile);
        EXPECT_TRUE(map.paintGround(7, 7, type, under));
        EXPECT_EQ(under ? field.underType : field.groundType, type);
        EXPECT_EQ((under ? field.underSprite : field.groundSprite).getTexture(), data->fieldTexture(type));
        EXPECT_EQ(field.groundSprite.getTextureRect(), piece) << "the piece waits for auto-tiling";
        EXPECT_TRUE(field.needsAutoTile);
    }
    EXPECT_EQ(field.underSprite.getTexture(), data->fieldTexture(7));
    // The test content has field textures 0..7.
    map.autoTilePass();
    for (int type : {8, -1, ContentSetCapacity, 1 << 30})
    {
        EXPECT_FALSE(map.paintGround(7, 7, type, false) || map.paintGround(7, 7, type, true)) << type;
        EXPECT_EQ(std::pair(field.groundType, field.underType), std::pair(3, 7));
        EXPECT_FALSE(field.needsAutoTile);
    }
}
