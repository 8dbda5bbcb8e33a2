#include "WorldFixture.h"

#include "player/Player.h"

namespace
{
constexpr sf::Keyboard::Key W = sf::Keyboard::W, A = sf::Keyboard::A, S = sf::Keyboard::S, D = sf::Keyboard::D;

// Object 3 has a box 6400 pixels wide and high centred on its field, so it
// reaches the feet from any field near the view: whether it blocks says
// whether its field was examined.
class PlayerTest : public WorldFixture
{
protected:
    static void SetUpTestSuite()
    {
        auto tree = std::make_unique<TestContent>(TestContentOptions{8, 4, 4});
        tree->write("Objekte/Object3.object", "400\n400\n3192\n-3192\n0\n0\n0\nfar reaching\n");
        tree->write("Objekte/Object0.object", "1\n1\n0\n0\n0\n0\n0\nnothing here\n");
        load(std::move(tree));
    }
    // The message the player hands back for the HUD, or null.
    const std::string* update(const Keys& keys = {}) { return player.update(map, pressing(keys)); }
    // Turns the player as the walking key of `facing` does.
    void face(Facing facing) { player.walkStep(pressing({Keys{W, S, D, A}[static_cast<int>(facing)]})); }

    Player player{{1080, 720}, *data, 3.375f, 3.75f};
};
} // namespace

TEST_F(PlayerTest, StandingFieldFollowsTheMapOriginAndOffTheMapTheLastGroundCounts)
{
    // The fields stood on are ground 4, the ends of the neighbouring columns 2, the rest 5.
    const struct { sf::Vector2f origin; int column, row; } cases[] = {
        {{0, 10}, 10, 6}, {{176, 0}, -1, 6}, {{-0.5f, 11}, 10, 5}, {{-3040, 0}, 200, 6}, {{0, -3094}, 10, 200}};
    for (const auto& [c, r, type] : {std::tuple{10, 6, 4}, {10, 5, 4}, {9, 199, 2}, {10, 0, 2}, {199, 6, 2}})
        paint(c, r, type, false);
    for (const auto& c : cases)
    {
        map.setOrigin(c.origin.x, c.origin.y);
        update();
        EXPECT_EQ(std::pair(player.standingField(), player.standingGround()), std::pair(sf::Vector2i(c.column, c.row), 4))
            << c.origin.x << "," << c.origin.y;
    }
}

TEST_F(PlayerTest, FrameShowsFacingAndTheUpperGroundLayer)
{
    struct Case { Facing facing; int groundType, underType, frameTop, facedColumn, facedRow; }; // standing on (10, 6)
    const Case cases[] = {
        {Facing::Up, 5, 5, 160, 10, 5}, {Facing::Down, 3, 3, 0, 10, 6}, {Facing::Right, 5, 5, 192, 11, 6},
        {Facing::Left, 3, 5, 96, 9, 6}, {Facing::Left, 5, 3, 224, 9, 6},
    };
    for (const Case& c : cases)
    {
        map.setValues(10, 6, {c.groundType, c.underType, 0, false});
        face(c.facing);
        update();
        EXPECT_EQ(player.sprite().getTextureRect(), sf::IntRect(0, c.frameTop, 32, 32)) << "case " << (&c - cases);
        EXPECT_EQ(player.facedField(), sf::Vector2i(c.facedColumn, c.facedRow)) << "case " << (&c - cases);
    }
}

TEST_F(PlayerTest, SpaceHandsBackTheFacedObjectsMessage)
{
    putObject(11, 6, 1); // right of the player
    putObject(10, 6, 2); // under the player: facing down faces the standing field
    // A field that never had an object says nothing; one whose object was
    // removed holds object 0, whose message shows.
    putObject(9, 6, 1);
    putObject(9, 6, 0);
    const std::pair<Facing, std::string> faced[] = {{Facing::Right, testObjectMessage(1)},
                                                    {Facing::Down, testObjectMessage(2)},
                                                    {Facing::Up, ""},
                                                    {Facing::Left, "nothing here"}};
    for (const auto& [facing, message] : faced)
    {
        face(facing);
        EXPECT_EQ(update(), nullptr) << "nothing without Space";
        const std::string* shown = update({sf::Keyboard::Space});
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(*shown, message);
    }
    // Facing out of the map shows nothing, not even the end of the next column.
    for (const auto& [c, r] : {std::pair{9, 199}, {0, 6}, {10, 0}, {199, 6}})
        putObject(c, r, 1);
    for (const auto& [x, y, facing] :
         {std::tuple{165.f, 0.f, Facing::Left}, {0.f, 106.f, Facing::Up}, {-3024.f, 0.f, Facing::Right}})
    {
        map.setOrigin(x, y);
        face(facing);
        EXPECT_EQ(update({sf::Keyboard::Space}), nullptr) << x << "," << y;
    }
}

TEST_F(PlayerTest, CollisionSearchStartsAtTheFieldInTheSceneCorner)
{
    struct Case { sf::Vector2f origin; int firstColumn, lastColumn, firstRow, lastRow; }; // inclusive
    const Case cases[] = {{{-37, -20}, 2, 21, 1, 12}, {{48, 32}, 0, 16, 0, 9}, {{-15, -15}, 0, 19, 0, 11},
                          {{-3200, 0}, 200, 199, 0, 11}}; // walked off the map, nothing is examined
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        for (int c : {k.firstColumn - 1, k.firstColumn, k.lastColumn, k.lastColumn + 1})
            for (int r : {k.firstRow - 1, k.firstRow, k.lastRow, k.lastRow + 1})
            {
                if (!FieldMap::onMap(c, r))
                    continue;
                const bool inside = c >= k.firstColumn && c <= k.lastColumn && r >= k.firstRow && r <= k.lastRow;
                putObject(c, r, 3);
                map.refresh();
                EXPECT_EQ(player.collides(map), inside) << k.origin.x << "," << k.origin.y << ": " << c << "," << r;
                putObject(c, r, 0);
            }
    }
}

// Walking, through whole frames of the game.
namespace
{
class WalkingTest : public GameFixture
{
protected:
    // One frame with `keys` held from `origin`; returns how far the map moved.
    sf::Vector2f step(const Keys& keys, sf::Vector2f origin)
    {
        map.setOrigin(origin.x, origin.y);
        const InputState input = pressing(keys);
        game.frame(&input);
        return game.map().origin() - origin;
    }
};
} // namespace

TEST_F(WalkingTest, KeysMoveTheMapAgainstTheWalkUnlessTheFeetWouldLeaveIt)
{
    using F = Facing;
    struct Case { sf::Vector2f origin; Keys keys; sf::Vector2f moved; Facing facing; };
    const Case cases[] = {
        {{0, 0}, {W}, {0, 1}, F::Up},         {{0, 0}, {A}, {1, 0}, F::Left},     {{0, 0}, {W, S}, {0, 0}, F::Down},
        {{0, 0}, {A, D}, {0, 0}, F::Right},   {{0, 0}, {S, D}, {-1, -1}, F::Right}, {{0, 0}, {}, {0, 0}, F::Right},
        // Feet on the left, top, right and bottom edges of the map.
        {{152, 0}, {A}, {0, 0}, F::Left},     {{151, 0}, {A}, {1, 0}, F::Left},   {{0, 104}, {W}, {0, 0}, F::Up},
        {{-3032, 0}, {D}, {0, 0}, F::Right},  {{0, -3088}, {S}, {0, 0}, F::Down}, {{0, -3088}, {W}, {0, 1}, F::Up},
        // Feet outside the map, as a loaded map may leave them: back toward it
        // or along it is fine, further out is not.
        {{200, 0}, {W}, {0, 1}, F::Up},       {{200, -3088}, {D, S}, {0, 0}, F::Right},
        {{200, -3088}, {D, W}, {-1, 1}, F::Right}, {{-5000, -5000}, {A, W}, {1, 1}, F::Left},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(step(c.keys, c.origin), c.moved) << "case " << (&c - cases);
        EXPECT_EQ(game.player().facing(), c.facing) << "case " << (&c - cases);
    }
}

TEST_F(WalkingTest, StepsIntoWallsAndObjectsAreTakenBackWhole)
{
    // A solid field, then a block, whose corner touches the feet's top-left
    // corner: either axis alone only touches it, both together overlap it.
    for (bool solid : {true, false})
    {
        map.setSolid(8, 5, solid);
        map.setObject(8, 5, solid ? 0 : 1);
        EXPECT_EQ(step({W, A}, {8, 8}), sf::Vector2f(0, 0)) << solid;
        EXPECT_EQ(step({W}, {8, 8}), sf::Vector2f(0, 1)) << solid;
        EXPECT_EQ(step({A}, {8, 8}), sf::Vector2f(1, 0)) << solid;
    }
    // Stuck in a block, no step frees the player.
    map.setObject(9, 6, 1);
    for (const Keys& keys : {Keys{W}, Keys{A}, Keys{S}, Keys{D}})
        EXPECT_EQ(step(keys, {8, 8}), sf::Vector2f(0, 0));
}
