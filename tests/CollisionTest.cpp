#include "WorldFixture.h"

#include "player/Player.h"

namespace
{
// Object 1 is a 1 x 1 block whose box covers its field; object 3 has a box
// 6400 pixels wide and high centred on its field, so it reaches the feet
// from any field near the view: whether it blocks says whether its field
// was examined.
class CollisionTest : public WorldFixture
{
protected:
    static void SetUpTestSuite()
    {
        auto tree = std::make_unique<TestContent>(TestContentOptions{8, 4, 4});
        tree->write("Objekte/Object3.object", "400\n400\n3192\n-3192\n0\n0\n0\nfar reaching\n");
        load(std::move(tree));
    }

    bool collides() const { return player.collides(map); }

    Player player{{1080, 720}, data.get(), 3.375f, 3.75f};
};

const sf::IntRect Feet(152, 104, 16, 8);
constexpr int GiantBox = 3;
} // namespace

TEST_F(CollisionTest, SearchWindowStartsAtTheFieldInTheSceneCorner)
{
    struct Case { sf::Vector2f origin; int firstColumn, lastColumn, firstRow, lastRow; }; // inclusive
    const Case cases[] = {
        {{0, 0}, 0, 19, 0, 11},    {{-37, -20}, 2, 21, 1, 12},  {{48, 32}, 0, 16, 0, 9},
        {{-15, -15}, 0, 19, 0, 11}, {{-16, 15}, 1, 20, 0, 11},
    };
    ASSERT_EQ(player.collisionRect(), Feet);
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        for (int c : {k.firstColumn - 1, k.firstColumn, k.lastColumn, k.lastColumn + 1})
            for (int r : {k.firstRow - 1, k.firstRow, k.lastRow, k.lastRow + 1})
            {
                if (!FieldMap::onMap(c, r))
                    continue;
                SCOPED_TRACE(::testing::Message() << "field " << c << "," << r << " at origin " << k.origin.x << ","
                                                  << k.origin.y);
                const bool inside = c >= k.firstColumn && c <= k.lastColumn && r >= k.firstRow && r <= k.lastRow;
                putObject(c, r, GiantBox);
                map.refresh();
                EXPECT_EQ(collides(), inside);
                putObject(c, r, 0);
                map.refresh();
            }
    }
    // Walked off the map, nothing is examined.
    for (const sf::Vector2f origin : {sf::Vector2f(-3200, 0), sf::Vector2f(0, -3200), sf::Vector2f(3200, 0)})
    {
        map.setOrigin(origin.x, origin.y);
        map.refresh();
        EXPECT_FALSE(collides()) << origin.x << "," << origin.y;
    }
}

TEST_F(CollisionTest, SolidFieldsAndObjectsBlockOnlyWhenOverlappingNotWhenTouching)
{
    const std::pair<sf::Vector2i, bool> cases[] = {
        // Where field (10, 6) stands, and whether a blocker on it blocks.
        {{168, 104}, false}, {{167, 104}, true}, {{152, 112}, false}, {{152, 111}, true},
        {{136, 88}, false},  {{137, 89}, true},
    };
    for (const auto& [at, blocks] : cases)
    {
        SCOPED_TRACE(::testing::Message() << at.x << "," << at.y);
        map.setOrigin(float(at.x - 160), float(at.y - 96));
        map.setSolid(10, 6, true);
        map.scroll(0, 0);
        ASSERT_EQ(map.at(10, 6).collisionRect, sf::IntRect(at.x, at.y, 16, 16));
        EXPECT_EQ(collides(), blocks) << "solid";
        map.setSolid(10, 6, false);
        putObject(10, 6, 1);
        map.refresh();
        EXPECT_EQ(collides(), blocks) << "object";
        putObject(10, 6, 0);
        map.refresh();
        EXPECT_FALSE(collides()) << "removed";
    }
}
