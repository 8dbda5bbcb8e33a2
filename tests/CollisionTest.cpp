#include "content/ObjectType.h"
#include "player/Player.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

// The collision test reads only rectangles, flags and positions: a map and a
// player without content are enough.
namespace
{
class CollisionTest : public ::testing::Test
{
protected:
    bool collides() const { return player.collides(&map); }

    FieldMap map{nullptr};
    Player player{{1080, 720}, nullptr, 3.375f, 3.75f};
};

const sf::IntRect Feet(152, 104, 16, 8);

// A 1 x 1 block whose box covers its whole field.
ObjectType block()
{
    return ObjectType(1, nullptr, 0, 1, 1, sf::IntRect(0, 0, 16, 16), 0, 0, "a block");
}
} // namespace

TEST_F(CollisionTest, SearchWindowStartsAtTheFieldInTheSceneCorner)
{
    struct Case { sf::Vector2f origin; int firstColumn, lastColumn, firstRow, lastRow; }; // inclusive
    const Case cases[] = {
        {{0, 0}, 0, 19, 0, 11},        {{-37, -20}, 2, 21, 1, 12},    {{48, 32}, 0, 16, 0, 9},
        {{-3100, 0}, 193, 199, 0, 11}, {{0, -3100}, 0, 19, 193, 199}, {{-3199, -3199}, 199, 199, 199, 199},
        {{-15, -15}, 0, 19, 0, 11},    {{-16, 15}, 1, 20, 0, 11},
    };
    ASSERT_EQ(player.collisionRect, Feet);
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        // One blocker at a time, of either kind, at the corners of the window
        // and just outside them. Rectangles are set by hand: only the fields
        // that the window names are examined, wherever they stand.
        for (int c : {k.firstColumn - 1, k.firstColumn, k.lastColumn, k.lastColumn + 1})
            for (int r : {k.firstRow - 1, k.firstRow, k.lastRow, k.lastRow + 1})
            {
                if (!FieldMap::onMap(c, r))
                    continue;
                SCOPED_TRACE(::testing::Message() << "field " << c << "," << r << " at origin " << k.origin.x << ","
                                                  << k.origin.y);
                const bool inside = c >= k.firstColumn && c <= k.lastColumn && r >= k.firstRow && r <= k.lastRow;
                Field& field = map.at(c, r);
                field.collisionRect = Feet;
                EXPECT_EQ(collides(), inside) << "solid field";
                field.collisionRect = sf::IntRect();
                *field.object = block();
                field.object->collisionRect = Feet;
                EXPECT_EQ(collides(), inside) << "object";
                *field.object = ObjectType();
            }
    }
    // Walked off the map, nothing is examined.
    for (Field& field : map.fields)
        field.collisionRect = Feet;
    for (const sf::Vector2f origin : {sf::Vector2f(-3200, 0), sf::Vector2f(0, -3200), sf::Vector2f(-9000, -9000),
                                      sf::Vector2f(3200, 0), sf::Vector2f(0, 3200)})
    {
        map.setOrigin(origin.x, origin.y);
        EXPECT_FALSE(collides()) << origin.x << "," << origin.y;
    }
}

TEST_F(CollisionTest, SolidFieldsBlockOnlyWhenOverlappingNotWhenTouching)
{
    const std::pair<sf::Vector2i, bool> cases[] = {
        // Where the solid field stands, and whether it blocks.
        {{168, 104}, false}, {{167, 104}, true}, {{152, 112}, false}, {{152, 111}, true},
        {{136, 104}, false}, {{137, 104}, true}, {{152, 88}, false},  {{152, 89}, true},
        {{168, 112}, false}, {{167, 111}, true}, {{136, 88}, false},  {{137, 89}, true},
    };
    for (const auto& [at, blocks] : cases)
    {
        // Field (10, 6) moved to the place under test, its rectangle computed by the map.
        map.setOrigin(float(at.x - 160), float(at.y - 96));
        map.at(10, 6).solid = true;
        map.scroll(0, 0);
        ASSERT_EQ(map.at(10, 6).collisionRect, sf::IntRect(at.x, at.y, 16, 16));
        EXPECT_EQ(collides(), blocks) << at.x << "," << at.y;
        map.at(10, 6).solid = false;
        map.refresh();
        EXPECT_FALSE(collides()) << "no longer solid: " << at.x << "," << at.y;
    }
}

TEST_F(CollisionTest, ObjectsBlockOnlyWhenPresentAndNotEmpty)
{
    struct Case { bool present; sf::IntRect box; bool blocks; };
    const Case cases[] = {
        {true, Feet, true},                {false, Feet, false},           {true, {152, 104, 0, 8}, false},
        {true, {152, 104, 16, 0}, false},  {true, {150, 100, 3, 5}, true}, {true, {150, 100, 2, 5}, false},
        {true, {167, 111, 100, 100}, true},
    };
    Field& field = map.at(3, 3);
    for (const Case& k : cases)
    {
        *field.object = block();
        field.object->present = k.present;
        field.object->collisionRect = k.box;
        EXPECT_EQ(collides(), k.blocks) << k.present << " " << k.box.left << "," << k.box.top << " "
                                        << k.box.width << "x" << k.box.height;
    }
    // Zero-size field rectangles never block either.
    *field.object = ObjectType();
    for (const sf::IntRect& rect : {sf::IntRect(155, 105, 0, 4), sf::IntRect(155, 105, 4, 0)})
    {
        field.collisionRect = rect;
        EXPECT_FALSE(collides());
    }
}
