// The editor and the HUD driven through whole frames of the game, with
// scripted input and a manual clock.

#include "TestContent.h"

#include "app/Game.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <sstream>

namespace
{
using Keys = std::initializer_list<sf::Keyboard::Key>;

class EditorFrameTest : public ::testing::Test
{
protected:
    EditorFrameTest() : game(GameOptions{dir.path(), false, false}, time, &console) {}

    // One frame after `advanceMs`, with `held` keys and the mouse over scene
    // point (sx, sy), the left button down when `click`.
    void frame(int advanceMs, Keys held, float sx = -100, float sy = -100, bool click = false)
    {
        time.advance(sf::milliseconds(advanceMs));
        InputState input;
        for (sf::Keyboard::Key key : held)
            input.press(key);
        input.mousePosition = {static_cast<int>(std::lround(sx * game.sceneScaleX)),
                               static_cast<int>(std::lround(sy * game.sceneScaleY))};
        input.leftButton = click;
        game.frame(&input);
    }

    // The middle of field (c, r) in scene pixels, for the current map origin.
    sf::Vector2f middleOf(int c, int r) const
    {
        const sf::Vector2f origin = game.map->origin();
        return {origin.x + 16.f * float(c) + 8.f, origin.y + 16.f * float(r) + 8.f};
    }

    sf::Color scenePixel(unsigned x, unsigned y) const
    {
        return game.sceneTexture.getTexture().copyToImage().getPixel(x, y);
    }

    sf::IntRect piece(int c, int r) const { return game.map->at(c, r).groundSprite.getTextureRect(); }

    std::ostringstream console;
    TestContent dir;
    ManualTimeSource time;
    Game game;
};

TEST_F(EditorFrameTest, PaintsWithTheBrushAndRetilesTheNeighbours)
{
    ASSERT_EQ(game.sceneScaleX, 3.375f);
    // E, a bigger brush and ground type 2, all in the first frame.
    const sf::Vector2f at = middleOf(6, 8);
    frame(201, {sf::Keyboard::E, sf::Keyboard::Add, sf::Keyboard::Num3}, at.x, at.y, true);
    ASSERT_TRUE(game.editor->active);
    ASSERT_EQ(game.editor->brushSize, 2);
    EXPECT_EQ(game.ui->brushSizeText.getString().toAnsiString(), "Brush Size: 2");
    EXPECT_EQ(game.ui->editorIndicator.getTextureRect(), sf::IntRect(0, 0, 16, 8));
    EXPECT_EQ(game.editor->cursor->getPosition(), sf::Vector2f(96, 128));

    int painted = 0;
    for (const Field& field : game.map->fields)
        painted += field.groundType == 2;
    EXPECT_EQ(painted, 5);
    // The plus sign, each arm open toward the middle only; the fields round
    // it still see their own type in the arms' under layer.
    const struct
    {
        int c, r;
        int type;
        sf::IntRect piece;
    } plus[] = {
        {6, 8, 2, {0, 0, 16, 16}},  {7, 8, 2, {16, 48, 16, 16}}, {5, 8, 2, {16, 32, 16, 16}},
        {6, 9, 2, {0, 48, 16, 16}}, {6, 7, 2, {0, 32, 16, 16}},  {8, 8, 5, {0, 0, 16, 16}},
        {7, 9, 5, {0, 0, 16, 16}},
    };
    for (const auto& f : plus)
    {
        EXPECT_EQ(game.map->at(f.c, f.r).groundType, f.type) << f.c << ", " << f.r;
        EXPECT_EQ(piece(f.c, f.r), f.piece) << f.c << ", " << f.r;
    }
    // The scene shows the right arm's piece, and the cursor over the middle.
    EXPECT_EQ(scenePixel(120, 136), fieldPieceColor(2, 16, 48));
    EXPECT_EQ(scenePixel(100, 132), cursorColor());

    // Ground type 3 with brush 1 in the middle: the arms lose their link.
    frame(201, {sf::Keyboard::Num4, sf::Keyboard::Subtract}, at.x, at.y, true);
    ASSERT_EQ(game.editor->brushSize, 1);
    EXPECT_EQ(game.map->at(6, 8).groundType, 3);
    for (const auto& f : {std::make_pair(6, 8), std::make_pair(7, 8), std::make_pair(5, 8), std::make_pair(6, 9),
                          std::make_pair(6, 7)})
        EXPECT_EQ(piece(f.first, f.second), sf::IntRect(0, 16, 16, 16)) << f.first << ", " << f.second;
    EXPECT_EQ(scenePixel(120, 136), fieldPieceColor(2, 0, 16));
}

TEST_F(EditorFrameTest, PlacesObjectsAndMarksSolidFields)
{
    const sf::Vector2f at = middleOf(3, 9);
    frame(201, {sf::Keyboard::E, sf::Keyboard::P, sf::Keyboard::K}, at.x, at.y, true);
    const ObjectType& object = *game.map->at(3, 9).object;
    EXPECT_EQ(object.id, 1);
    EXPECT_TRUE(object.present);
    EXPECT_EQ(object.sprite.getPosition(), sf::Vector2f(48, 144)) << "placed by the same frame's refresh";
    EXPECT_EQ(game.ui->modeIndicator.getTextureRect(), sf::IntRect(48, 8, 16, 8));

    // With the mouse elsewhere the object shows where the cursor was.
    frame(16, {}, 250, 150);
    EXPECT_EQ(scenePixel(52, 148), objectColor(1));

    frame(16, {sf::Keyboard::LShift}, at.x, at.y, true);
    EXPECT_EQ(object.id, 0);
    frame(16, {}, 250, 150);
    EXPECT_NE(scenePixel(52, 148), objectColor(1));

    frame(16, {sf::Keyboard::I}, at.x, at.y, true);
    EXPECT_TRUE(game.map->at(3, 9).solid);
    EXPECT_EQ(game.map->at(3, 9).collisionRect, sf::IntRect(48, 144, 16, 16));
    EXPECT_EQ(game.ui->modeIndicator.getTextureRect(), sf::IntRect(64, 0, 16, 8));
    frame(16, {sf::Keyboard::LShift}, at.x, at.y, true);
    EXPECT_FALSE(game.map->at(3, 9).solid);
    EXPECT_EQ(game.map->at(3, 9).collisionRect, sf::IntRect());
}

TEST_F(EditorFrameTest, NothingIsHitWhileTheMapOriginIsRightOfTheScene)
{
    frame(201, {sf::Keyboard::E, sf::Keyboard::I});
    ASSERT_TRUE(game.editor->active);
    // Walking left moves the map right, 1 pixel a frame.
    for (int i = 0; i < 16; ++i)
        frame(16, {sf::Keyboard::A});
    ASSERT_EQ(game.map->origin(), sf::Vector2f(16, 0));
    const sf::Vector2f cursorBefore = game.editor->cursor->getPosition();
    frame(16, {}, 40, 8, true);
    EXPECT_FALSE(game.map->at(1, 0).solid);
    EXPECT_EQ(game.editor->cursor->getPosition(), cursorBefore);

    frame(16, {sf::Keyboard::D});
    ASSERT_EQ(game.map->origin(), sf::Vector2f(15, 0));
    frame(16, {}, 40, 8, true);
    EXPECT_TRUE(game.map->at(1, 0).solid);
    EXPECT_EQ(game.editor->cursor->getPosition(), sf::Vector2f(31, 0));
}

TEST_F(EditorFrameTest, SwitchedOffTheEditorOnlyWatchesE)
{
    const sf::Vector2f at = middleOf(4, 4);
    frame(200, {sf::Keyboard::E, sf::Keyboard::Num2}, at.x, at.y, true);
    EXPECT_FALSE(game.editor->active) << "200 ms after start-up is not enough";
    EXPECT_EQ(game.map->at(4, 4).groundType, DefaultGroundType);
    EXPECT_EQ(game.ui->editorIndicator.getTextureRect(), sf::IntRect(0, 8, 16, 8));
    EXPECT_EQ(scenePixel(305, 185), uiCellColor(0, 8));
    // No palette without the editor.
    EXPECT_NE(scenePixel(12, 12), fieldPieceColor(0, 64, 64));

    frame(1, {sf::Keyboard::E});
    EXPECT_TRUE(game.editor->active);
    EXPECT_EQ(scenePixel(305, 185), uiCellColor(0, 0));
    EXPECT_EQ(scenePixel(12, 12), uiCellColor(16, 0)) << "the marker on ground 0";
    EXPECT_EQ(scenePixel(22, 12), fieldPieceColor(1, 64, 64));
}
} // namespace
