// The editor and the HUD driven through whole frames of the game, with
// scripted input and a manual clock.

#include "WorldFixture.h"

#include <cmath>

namespace
{
class EditorFrameTest : public GameFixture
{
protected:
    // One frame after `advanceMs`, with `held` keys and the mouse over the
    // middle of field (c, r), the left button down when `click`.
    void frame(int advanceMs, const Keys& held, int c = -10, int r = -10, bool click = false)
    {
        time.advance(sf::milliseconds(advanceMs));
        InputState input = pressing(held);
        const sf::Vector2f origin = game.map().origin();
        const sf::Vector2f scale = game.sceneScale();
        input.mousePosition = {int(std::lround((origin.x + 16.f * float(c) + 8.f) * scale.x)),
                               int(std::lround((origin.y + 16.f * float(r) + 8.f) * scale.y))};
        input.leftButton = click;
        game.frame(&input);
    }
    sf::Color scenePixel(unsigned x, unsigned y) const
    {
        return game.sceneImage().getPixel(x, y);
    }
    sf::IntRect piece(int c, int r) const { return game.map().at(c, r).groundSprite.getTextureRect(); }
};
} // namespace

TEST_F(EditorFrameTest, PaintsWithTheBrushAndRetilesTheNeighbours)
{
    frame(200, {sf::Keyboard::E, sf::Keyboard::Num2}, 4, 4, true);
    EXPECT_FALSE(game.editor().active()) << "200 ms after start-up is not enough";
    EXPECT_EQ(scenePixel(305, 185), uiCellColor(0, 8));
    EXPECT_NE(scenePixel(12, 12), fieldPieceColor(0, 64, 64)) << "no palette without the editor";

    // E, a bigger brush and ground type 2, all in one frame.
    frame(1, {sf::Keyboard::E, sf::Keyboard::Add, sf::Keyboard::Num3}, 6, 8, true);
    ASSERT_TRUE(game.editor().active());
    EXPECT_EQ(game.hud().brushSizeText().getString().toAnsiString(), "Brush Size: 2");
    EXPECT_EQ(scenePixel(305, 185), uiCellColor(0, 0));
    EXPECT_EQ(scenePixel(22, 12), fieldPieceColor(1, 64, 64));
    // The plus sign, each arm open toward the middle only; the fields round
    // it still see their own type in the arms' under layer.
    const struct { int c, r, type; sf::IntRect piece; } plus[] = {
        {6, 8, 2, pieceAt(0, 0)},  {7, 8, 2, pieceAt(16, 48)}, {5, 8, 2, pieceAt(16, 32)}, {6, 9, 2, pieceAt(0, 48)},
        {6, 7, 2, pieceAt(0, 32)}, {8, 8, 5, pieceAt(0, 0)},   {7, 9, 5, pieceAt(0, 0)},
    };
    for (const auto& f : plus)
    {
        EXPECT_EQ(game.map().at(f.c, f.r).groundType, f.type) << f.c << ", " << f.r;
        EXPECT_EQ(piece(f.c, f.r), f.piece) << f.c << ", " << f.r;
    }
    EXPECT_EQ(scenePixel(120, 136), fieldPieceColor(2, 16, 48)) << "the right arm";
    EXPECT_EQ(scenePixel(100, 132), cursorColor()) << "the cursor over the middle";
}

TEST_F(EditorFrameTest, PlacesObjectsAndMarksSolidFieldsWithinTheFrame)
{
    frame(201, {sf::Keyboard::E, sf::Keyboard::P, sf::Keyboard::K}, 3, 9, true);
    const PlacedObject& object = game.map().at(3, 9).object;
    EXPECT_TRUE(object.id() == 1 && object.present());
    EXPECT_EQ(object.position(), sf::Vector2f(48, 144)) << "placed by the same frame's refresh";
    frame(16, {}, 15, 9);
    EXPECT_EQ(scenePixel(52, 148), objectColor(1));

    frame(16, {sf::Keyboard::I}, 3, 9, true);
    EXPECT_EQ(game.map().at(3, 9).collisionRect, sf::IntRect(48, 144, 16, 16));
    EXPECT_EQ(scenePixel(291, 17), uiCellColor(64, 0)) << "the solid mode's own cell";
}
