#include "WorldFixture.h"

#include "player/Player.h"

namespace
{
const sf::Vector2u GameWindow(1080, 720);
constexpr sf::Keyboard::Key W = sf::Keyboard::W, A = sf::Keyboard::A, S = sf::Keyboard::S, D = sf::Keyboard::D;

class PlayerTest : public WorldFixture
{
protected:
    // The message the player hands back for the HUD, or null.
    const std::string* update(const Keys& keys = {}) { return player.update(map, pressing(keys)); }
    // Turns the player as the walking key of `facing` does.
    void face(Facing facing)
    {
        const sf::Keyboard::Key keys[] = {W, S, D, A};
        player.walkStep(pressing({keys[static_cast<int>(facing)]}));
    }

    Player player{GameWindow, data.get(), 3.375f, 3.75f};
};
} // namespace

TEST_F(PlayerTest, StandsAtTheSceneCentreWhateverTheWindowSize)
{
    struct Case { sf::Vector2u window; float scaleX, scaleY; };
    for (const Case& c : {Case{{1080, 720}, 3.375f, 3.75f}, Case{{1920, 1080}, 6.f, 5.625f}, Case{{320, 192}, 1, 1}})
    {
        const Player p(c.window, data.get(), c.scaleX, c.scaleY);
        EXPECT_EQ(p.sprite().getPosition(), sf::Vector2f(160, 96)) << c.window.x;
        EXPECT_EQ(p.sprite().getOrigin(), sf::Vector2f(8, 16));
        EXPECT_EQ(p.collisionRect(), sf::IntRect(152, 104, 16, 8));
    }
}

TEST_F(PlayerTest, StandingFieldFollowsTheMapOrigin)
{
    struct Case { sf::Vector2f origin; int column, row; };
    const Case cases[] = {
        {{0, 0}, 10, 6},     {{0, 10}, 10, 6},   {{0, 11}, 10, 5},      {{165, 0}, 0, 6},
        {{176, 0}, -1, 6},   {{-8, -8}, 10, 7},  {{-3039, 0}, 199, 6},  {{-3040, 0}, 200, 6},
        {{0, 121}, 10, 0},   {{0, 122}, 10, -1}, {{0, -3078}, 10, 199}, {{0, -3094}, 10, 200},
        {{161.5f, 0}, 0, 6}, {{-3200, -3200}, 210, 206},
    };
    for (const Case& c : cases)
    {
        map.setOrigin(0, 0);
        update();
        ASSERT_EQ(player.standingGround(), 5);

        map.setOrigin(c.origin.x, c.origin.y);
        const bool onMap = FieldMap::onMap(c.column, c.row);
        // A row just off the map must not read the neighbouring column's end.
        const std::pair<int, int> traps[] = {{9, 199}, {10, 0}, {199, 6}};
        for (const auto& [tc, tr] : traps)
            paint(tc, tr, 2, false);
        if (onMap)
            paint(c.column, c.row, 4, false);
        update();
        SCOPED_TRACE(::testing::Message() << c.origin.x << "," << c.origin.y);
        EXPECT_EQ(player.standingField(), sf::Vector2i(c.column, c.row));
        EXPECT_EQ(player.standingGround(), onMap ? 4 : 5) << "off the map the last ground counts";
        for (const auto& [tc, tr] : traps)
            paint(tc, tr, 5, false);
        if (onMap)
            paint(c.column, c.row, 5, false);
    }
}

TEST_F(PlayerTest, FrameShowsFacingAndTheUpperGroundLayer)
{
    EXPECT_EQ(player.sprite().getTextureRect(), sf::IntRect(0, 0, 32, 32)) << "the down frame until the first update";
    struct Case { Facing facing; int groundType, underType, frameTop, facedColumn, facedRow; }; // standing on (10, 6)
    const Case cases[] = {
        {Facing::Up, 5, 5, 160, 10, 5},   {Facing::Down, 5, 5, 128, 10, 6}, {Facing::Right, 5, 5, 192, 11, 6},
        {Facing::Left, 5, 5, 224, 9, 6},  {Facing::Up, 3, 3, 32, 10, 5},    {Facing::Down, 3, 3, 0, 10, 6},
        {Facing::Right, 3, 3, 64, 11, 6}, {Facing::Left, 3, 3, 96, 9, 6},   {Facing::Left, 3, 5, 96, 9, 6},
        {Facing::Left, 5, 3, 224, 9, 6},
    };
    for (const Case& c : cases)
    {
        map.setValues(10, 6, {c.groundType, c.underType, 0, false});
        face(c.facing);
        update();
        SCOPED_TRACE(::testing::Message() << "facing " << static_cast<int>(c.facing) << " on " << c.groundType << "/"
                                          << c.underType);
        EXPECT_EQ(player.sprite().getTextureRect(), sf::IntRect(0, c.frameTop, 32, 32));
        EXPECT_EQ(player.facedField(), sf::Vector2i(c.facedColumn, c.facedRow)) << "facing down faces the standing field";
    }
}

TEST_F(PlayerTest, SpaceHandsBackTheFacedObjectsMessage)
{
    putObject(11, 6, 1); // right of the player
    putObject(10, 6, 2); // under the player
    face(Facing::Right);
    EXPECT_EQ(update(), nullptr) << "nothing without Space";
    const std::string* shown = update({sf::Keyboard::Space});
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(*shown, testObjectMessage(1));
    face(Facing::Down);
    shown = update({sf::Keyboard::Space});
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(*shown, testObjectMessage(2));
    // A field without an object gives its empty message, which replaces the text.
    face(Facing::Up);
    shown = update({sf::Keyboard::Space});
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(*shown, "");

    // Facing out of the map shows nothing, not even the end of the next column.
    const std::pair<sf::Vector2f, Facing> outward[] = {
        {{165, 0}, Facing::Left}, {{0, 106}, Facing::Up}, {{-3024, 0}, Facing::Right}};
    for (const auto& [c, r] : {std::pair{9, 199}, {0, 6}, {10, 0}, {199, 6}})
        putObject(c, r, 1);
    for (const auto& [origin, facing] : outward)
    {
        map.setOrigin(origin.x, origin.y);
        face(facing);
        EXPECT_EQ(update({sf::Keyboard::Space}), nullptr) << origin.x << "," << origin.y;
        EXPECT_FALSE(FieldMap::onMap(player.facedField().x, player.facedField().y));
    }
}

// Walking, through whole frames of the game.
namespace
{
class WalkingTest : public GameFixture
{
protected:
    // One frame with `keys` held; returns how far the map moved.
    sf::Vector2f step(const Keys& keys)
    {
        const InputState input = pressing(keys);
        const sf::Vector2f before = game.map().origin();
        game.frame(&input);
        return game.map().origin() - before;
    }
};
} // namespace

TEST_F(WalkingTest, KeysMoveTheMapAgainstTheWalkAndSetTheFacing)
{
    struct Case { Keys keys; sf::Vector2f moved; Facing facing; };
    const Case cases[] = {
        {{W}, {0, 1}, Facing::Up},       {{S}, {0, -1}, Facing::Down},      {{A}, {1, 0}, Facing::Left},
        {{D}, {-1, 0}, Facing::Right},   {{W, S}, {0, 0}, Facing::Down},    {{A, D}, {0, 0}, Facing::Right},
        {{W, A}, {1, 1}, Facing::Left},  {{S, D}, {-1, -1}, Facing::Right}, {{W, D}, {-1, 1}, Facing::Right},
        {{}, {0, 0}, Facing::Right}, // no key keeps the facing
    };
    for (const Case& c : cases)
    {
        map.setOrigin(0, 0);
        EXPECT_EQ(step(c.keys), c.moved) << "case " << (&c - cases);
        EXPECT_EQ(game.player().facing(), c.facing) << "case " << (&c - cases);
    }
}

TEST_F(WalkingTest, DiagonalStepIntoAWallMovesNeitherAxis)
{
    // A solid field whose corner touches the feet's top-left corner: either
    // axis alone only touches it, both together overlap it.
    map.setOrigin(8, 8);
    map.setSolid(8, 5, true);
    EXPECT_EQ(step({W, A}), sf::Vector2f(0, 0));
    EXPECT_EQ(game.player().facing(), Facing::Left);
    EXPECT_EQ(step({W}), sf::Vector2f(0, 1));
    map.setOrigin(8, 8);
    EXPECT_EQ(step({A}), sf::Vector2f(1, 0));
}

TEST_F(WalkingTest, StepsThatLeaveTheMapAreRefused)
{
    struct Case { sf::Vector2f origin; Keys keys; sf::Vector2f moved; };
    const Case cases[] = {
        // Feet on the left, top, right and bottom edges of the map.
        {{152, 0}, {A}, {0, 0}},      {{152, 0}, {D}, {-1, 0}},       {{151, 0}, {A}, {1, 0}},
        {{0, 104}, {W}, {0, 0}},      {{-3032, 0}, {D}, {0, 0}},      {{0, -3088}, {S}, {0, 0}},
        {{0, -3088}, {W}, {0, 1}},
        {{152, 104}, {W, A}, {0, 0}}, {{152, 104}, {S, D}, {-1, -1}},
        // Feet outside the map, as a loaded map may leave them: back toward it
        // or along it is fine, further out is not.
        {{200, 0}, {A}, {0, 0}},      {{200, 0}, {D}, {-1, 0}},       {{200, 0}, {W}, {0, 1}},
        {{200, -3088}, {D, S}, {0, 0}}, {{200, -3088}, {D, W}, {-1, 1}},
        {{-5000, -5000}, {A, W}, {1, 1}}, {{-5000, -5000}, {D}, {0, 0}},
    };
    for (const Case& c : cases)
    {
        map.setOrigin(c.origin.x, c.origin.y);
        EXPECT_EQ(step(c.keys), c.moved) << "case " << (&c - cases);
    }
}

TEST_F(WalkingTest, PlayerStuckInAnObjectCannotMove)
{
    map.setOrigin(8, 8);
    map.setObject(9, 6, 1); // a block right on the feet
    step({}); // the refresh puts it in place
    for (const Keys& keys : {Keys{W}, Keys{A}, Keys{S}, Keys{D}, Keys{W, A}, Keys{S, D}})
        EXPECT_EQ(step(keys), sf::Vector2f(0, 0));
    EXPECT_EQ(game.player().facing(), Facing::Right) << "the facing still turns";
    map.setObject(9, 6, 0);
    step({});
    EXPECT_EQ(step({W}), sf::Vector2f(0, 1)) << "free again once the object is gone";
}
