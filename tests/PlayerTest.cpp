#include "WorldFixture.h"

#include "hud/UI.h"
#include "player/Player.h"

namespace
{
const sf::Vector2u GameWindow(1080, 720);

class PlayerTest : public WorldFixture
{
protected:
    void update(const Keys& keys = {}) { player.update(&map, &ui, pressing(keys)); }
    std::string message() const { return ui.messageText.getString().toAnsiString(); }

    ManualTimeSource time;
    UI ui{data.get(), GameWindow, 3.375f, 3.75f, time};
    Player player{GameWindow, data.get(), 3.375f, 3.75f};
};
} // namespace

TEST_F(PlayerTest, StandsAtTheSceneCentreWhateverTheWindowSize)
{
    struct Case { sf::Vector2u window; float scaleX, scaleY; };
    for (const Case& c : {Case{{1080, 720}, 3.375f, 3.75f}, Case{{1920, 1080}, 6.f, 5.625f}, Case{{320, 192}, 1, 1}})
    {
        const Player p(c.window, data.get(), c.scaleX, c.scaleY);
        EXPECT_EQ(p.sprite.getPosition(), sf::Vector2f(160, 96)) << c.window.x;
        EXPECT_EQ(p.sprite.getOrigin(), sf::Vector2f(8, 16));
        EXPECT_EQ(p.collisionRect, sf::IntRect(152, 104, 16, 8));
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
        ASSERT_EQ(player.standingGround, 5);

        map.setOrigin(c.origin.x, c.origin.y);
        const bool onMap = FieldMap::onMap(c.column, c.row);
        if (onMap)
            map.at(c.column, c.row).groundType = 4;
        // A row just off the map must not read the neighbouring column's end.
        for (Field* field : {&map.at(9, 199), &map.at(10, 0), &map.at(199, 6)})
            if (!onMap || field != &map.at(c.column, c.row))
                field->groundType = 2;
        update();
        SCOPED_TRACE(::testing::Message() << c.origin.x << "," << c.origin.y);
        EXPECT_EQ(player.fieldColumn, c.column);
        EXPECT_EQ(player.fieldRow, c.row);
        EXPECT_EQ(player.standingGround, onMap ? 4 : 5) << "off the map the last ground counts";
        for (Field& field : map.fields)
            field.groundType = 5;
    }
}

TEST_F(PlayerTest, FrameShowsFacingAndTheUpperGroundLayer)
{
    EXPECT_EQ(player.sprite.getTextureRect(), sf::IntRect(0, 0, 32, 32)) << "the down frame until the first update";
    struct Case { int facing, groundType, underType, frameTop, facedColumn, facedRow; }; // standing on (10, 6)
    const Case cases[] = {
        {FacingUp, 5, 5, 160, 10, 5},   {FacingDown, 5, 5, 128, 10, 6}, {FacingRight, 5, 5, 192, 11, 6},
        {FacingLeft, 5, 5, 224, 9, 6},  {FacingUp, 3, 3, 32, 10, 5},    {FacingDown, 3, 3, 0, 10, 6},
        {FacingRight, 3, 3, 64, 11, 6}, {FacingLeft, 3, 3, 96, 9, 6},   {FacingLeft, 3, 5, 96, 9, 6},
        {FacingLeft, 5, 3, 224, 9, 6},
    };
    for (const Case& c : cases)
    {
        map.at(10, 6).groundType = c.groundType;
        map.at(10, 6).underType = c.underType;
        player.facing = c.facing;
        update();
        SCOPED_TRACE(::testing::Message() << "facing " << c.facing << " on " << c.groundType << "/" << c.underType);
        EXPECT_EQ(player.sprite.getTextureRect(), sf::IntRect(0, c.frameTop, 32, 32));
        EXPECT_EQ(player.facedColumn, c.facedColumn);
        EXPECT_EQ(player.facedRow, c.facedRow) << "facing down faces the standing field";
    }
}

TEST_F(PlayerTest, SpaceShowsTheFacedObjectsMessageEveryFrameItIsHeld)
{
    putObject(11, 6, 1); // right of the player
    putObject(10, 6, 2); // under the player
    time.advance(sf::seconds(5));
    player.facing = FacingRight;
    update();
    EXPECT_FALSE(ui.messageVisible()) << "nothing without Space";
    update({sf::Keyboard::Space});
    EXPECT_EQ(message(), testObjectMessage(1));
    player.facing = FacingDown;
    update({sf::Keyboard::Space});
    EXPECT_EQ(message(), testObjectMessage(2));
    // Held on: the clock restarts each frame.
    time.advance(sf::seconds(1.5f));
    update({sf::Keyboard::Space});
    time.advance(sf::seconds(1.5f));
    EXPECT_TRUE(ui.messageVisible());

    // A field without an object passes its empty message, which replaces the text.
    player.facing = FacingUp;
    update({sf::Keyboard::Space});
    EXPECT_EQ(message(), "");

    // Facing out of the map shows nothing, not even the end of the next column.
    const std::pair<sf::Vector2f, int> outward[] = {
        {{165, 0}, FacingLeft}, {{0, 106}, FacingUp}, {{-3024, 0}, FacingRight}};
    for (const auto& [c, r] : {std::pair{9, 199}, {0, 6}, {10, 0}, {199, 6}})
        putObject(c, r, 1);
    for (const auto& [origin, facing] : outward)
    {
        ui.showMessage("before");
        map.setOrigin(origin.x, origin.y);
        player.facing = facing;
        update({sf::Keyboard::Space});
        EXPECT_FALSE(FieldMap::onMap(player.facedColumn, player.facedRow));
        EXPECT_EQ(message(), "before") << origin.x << "," << origin.y;
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
        const sf::Vector2f before = game.map->origin();
        game.frame(&input);
        return game.map->origin() - before;
    }
};

constexpr sf::Keyboard::Key W = sf::Keyboard::W, A = sf::Keyboard::A, S = sf::Keyboard::S, D = sf::Keyboard::D;
} // namespace

TEST_F(WalkingTest, KeysMoveTheMapAgainstTheWalkAndSetTheFacing)
{
    struct Case { Keys keys; sf::Vector2f moved; int facing; };
    const Case cases[] = {
        {{W}, {0, 1}, FacingUp},       {{S}, {0, -1}, FacingDown},      {{A}, {1, 0}, FacingLeft},
        {{D}, {-1, 0}, FacingRight},   {{W, S}, {0, 0}, FacingDown},    {{A, D}, {0, 0}, FacingRight},
        {{W, A}, {1, 1}, FacingLeft},  {{S, D}, {-1, -1}, FacingRight}, {{W, D}, {-1, 1}, FacingRight},
        {{}, {0, 0}, FacingUp}, // no key keeps the facing
    };
    for (const Case& c : cases)
    {
        game.map->setOrigin(0, 0);
        game.player->facing = FacingUp;
        EXPECT_EQ(step(c.keys), c.moved) << "case " << (&c - cases);
        EXPECT_EQ(game.player->facing, c.facing) << "case " << (&c - cases);
    }
}

TEST_F(WalkingTest, DiagonalStepIntoAWallMovesNeitherAxis)
{
    // A solid field whose corner touches the feet's top-left corner: either
    // axis alone only touches it, both together overlap it.
    game.map->setOrigin(8, 8);
    game.map->at(8, 5).solid = true;
    EXPECT_EQ(step({W, A}), sf::Vector2f(0, 0));
    EXPECT_EQ(game.player->facing, FacingLeft);
    EXPECT_EQ(step({W}), sf::Vector2f(0, 1));
    game.map->setOrigin(8, 8);
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
        game.map->setOrigin(c.origin.x, c.origin.y);
        EXPECT_EQ(step(c.keys), c.moved) << "case " << (&c - cases);
    }
}

TEST_F(WalkingTest, PlayerStuckInAnObjectCannotMove)
{
    game.map->setOrigin(8, 8);
    *game.map->at(9, 6).object = *game.content->object(1); // a block right on the feet
    step({}); // the refresh puts it in place
    for (const Keys& keys : {Keys{W}, Keys{A}, Keys{S}, Keys{D}, Keys{W, A}, Keys{S, D}})
        EXPECT_EQ(step(keys), sf::Vector2f(0, 0));
    EXPECT_EQ(game.player->facing, FacingRight) << "the facing still turns";
    *game.map->at(9, 6).object = *game.content->object(0);
    step({});
    EXPECT_EQ(step({W}), sf::Vector2f(0, 1)) << "free again once the object is gone";
}
