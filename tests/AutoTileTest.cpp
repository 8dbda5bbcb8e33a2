#include "WorldFixture.h"

#include "world/AutoTile.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
class AutoTileTest : public WorldFixture
{
};

const sf::IntRect Interior = pieceAt(0, 0);
} // namespace

// What the table must give: a piece of the 5 x 4 sheet for every combination,
// each its own, the interior with all four neighbours and the isolated piece
// with none, and never one of the four unused sheet positions. The pictures
// themselves are pinned by the painted shapes below.
TEST(AutoTileTable, EveryCombinationHasItsOwnPieceOfTheSheet)
{
    std::vector<std::pair<int, int>> seen;
    for (int key = 0; key < 16; ++key)
    {
        const sf::IntRect piece = autoTilePiece(key & 8, key & 4, key & 2, key & 1);
        SCOPED_TRACE(key);
        EXPECT_EQ(piece.width, 16);
        EXPECT_EQ(piece.height, 16);
        EXPECT_TRUE(piece.left % 16 == 0 && piece.top % 16 == 0 && piece.left < 80 && piece.top < 64);
        EXPECT_FALSE((piece.left == 32 || piece.left == 48) && (piece.top == 32 || piece.top == 48));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), std::pair(piece.left, piece.top)), 0);
        seen.emplace_back(piece.left, piece.top);
    }
    EXPECT_EQ(autoTilePiece(true, true, true, true), Interior);
    EXPECT_EQ(autoTilePiece(false, false, false, false), pieceAt(0, 16));
}

// A neighbour continues the field's ground when either of its layers has the
// field's ground type; the field's own under layer plays no part.
TEST_F(AutoTileTest, NeighbourMatchesOnEitherOfItsLayers)
{
    struct Case { int ground, under, neighbourGround, neighbourUnder; sf::IntRect expected; };
    const Case cases[] = {
        {5, 5, 3, 5, Interior}, {3, 5, 5, 5, pieceAt(0, 16)}, {5, 3, 3, 3, pieceAt(0, 16)},
        {3, 3, 7, 3, Interior}, {3, 3, 3, 7, Interior},       {3, 3, 7, 7, pieceAt(0, 16)},
    };
    const int c = 30, r = 12;
    for (const Case& k : cases)
    {
        map.paintGround(c, r, k.ground, false);
        map.paintGround(c, r, k.under, true);
        for (const auto& [dc, dr] : {std::pair{0, -1}, {0, 1}, {1, 0}, {-1, 0}})
        {
            map.paintGround(c + dc, r + dr, k.neighbourGround, false);
            map.paintGround(c + dc, r + dr, k.neighbourUnder, true);
        }
        map.autoTile(c, r, false);
        EXPECT_EQ(piece(c, r), k.expected) << k.ground << "/" << k.under << " among " << k.neighbourGround << "/"
                                           << k.neighbourUnder;
    }
}

TEST_F(AutoTileTest, PaintedShapesGetTheirOutline)
{
    struct Expect { int dc, dr; sf::IntRect piece; }; // from the pattern's first field
    struct Case
    {
        const char* name;
        std::vector<std::string> pattern; // '#' both layers, 'g' the ground layer only
        std::vector<Expect> expected;
    };
    const std::vector<Case> cases = {
        {"single field",
         {"#"},
         {{0, 0, pieceAt(0, 16)}, {0, -1, pieceAt(48, 16)}, {-1, 0, pieceAt(64, 16)}, {0, 1, pieceAt(48, 0)},
          {1, 0, pieceAt(64, 0)}, {1, 1, Interior}, {-1, -1, Interior}}},
        // The under layer is still type 5, so the type-5 neighbours see their
        // ground continue.
        {"ground layer only", {"g"}, {{0, 0, pieceAt(0, 16)}, {0, -1, Interior}, {-1, 0, Interior}, {1, 0, Interior}}},
        // The middle field was only re-tiled as a neighbour, so its own
        // neighbours above and below keep their old piece.
        {"horizontal strip",
         {"###"},
         {{0, 0, pieceAt(16, 32)}, {1, 0, pieceAt(64, 32)}, {2, 0, pieceAt(16, 48)}, {-1, 0, pieceAt(64, 16)},
          {3, 0, pieceAt(64, 0)}, {0, -1, pieceAt(48, 16)}, {2, 1, pieceAt(48, 0)}, {1, -1, Interior},
          {1, 1, Interior}}},
        // The middle field lost its mark to the first one's call, so its own
        // left and right neighbours are never re-tiled.
        {"vertical strip",
         {"#", "#", "#"},
         {{0, 0, pieceAt(0, 32)}, {0, 1, pieceAt(64, 48)}, {0, 2, pieceAt(0, 48)}, {0, -1, pieceAt(48, 16)},
          {0, 3, pieceAt(48, 0)}, {-1, 0, pieceAt(64, 16)}, {1, 2, pieceAt(64, 0)}, {-1, 1, Interior},
          {1, 1, Interior}}},
        {"2 x 2 block", {"##", "##"}, {{0, 0, pieceAt(16, 0)}, {1, 0, pieceAt(32, 0)}, {0, 1, pieceAt(16, 16)},
                                        {1, 1, pieceAt(32, 16)}}},
    };
    // The shapes five rows apart in column 10, all in the window of the pass.
    map.refresh();
    for (std::size_t k = 0; k < cases.size(); ++k)
        for (std::size_t r = 0; r < cases[k].pattern.size(); ++r)
            for (std::size_t c = 0; c < cases[k].pattern[r].size(); ++c)
                if (cases[k].pattern[r][c] != '.')
                    paint(10 + int(c), 3 + 5 * int(k) + int(r), 3, cases[k].pattern[r][c] == '#');
    map.refresh();
    for (std::size_t k = 0; k < cases.size(); ++k)
        for (const Expect& e : cases[k].expected)
            EXPECT_EQ(piece(10 + e.dc, 3 + 5 * int(k) + e.dr), e.piece)
                << cases[k].name << " at " << e.dc << "," << e.dr;
    map.refresh();
    EXPECT_EQ(piece(9, 19), Interior) << "nothing is marked any more";
}

// Centres stay within columns and rows 2..197, so the outer ring of the map
// is never re-tiled, not even as a neighbour.
TEST_F(AutoTileTest, PassCoversTheWindowNearTheViewAndNeverTheOuterFields)
{
    struct Case { sf::Vector2f origin; int firstColumn, lastColumn, firstRow, lastRow; }; // centres, inclusive
    const Case cases[] = {
        {{0, 0}, 2, 35, 2, 27},          {{-20, -20}, 2, 36, 2, 28},
        {{-3200, 0}, 2, 197, 2, 27},     {{700, 0}, 2, 197, 2, 27},
        {{0, 700}, 2, 35, 2, 197},       {{-37 * 16 - 5, -5 * 16}, 37, 72, 5, 32},
        {{-170 * 16, -180 * 16}, 170, 197, 180, 197},
        {{-3184, -3184}, 2, 197, 2, 197}, // first column 199 is past the last allowed start
    };
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        map.autoTilePass(); // clears every mark the window reaches
        // One painted field at a time, at the corners of the range and just
        // outside them: a centre loses its mark, anything else keeps it.
        for (int c : {k.firstColumn - 1, k.firstColumn, k.lastColumn, k.lastColumn + 1})
            for (int r : {k.firstRow - 1, k.firstRow, k.lastRow, k.lastRow + 1})
            {
                if (!FieldMap::onMap(c, r))
                    continue;
                SCOPED_TRACE(::testing::Message() << "origin " << k.origin.x << "," << k.origin.y << ": field " << c
                                                  << "," << r);
                const bool centre = c >= k.firstColumn && c <= k.lastColumn && r >= k.firstRow && r <= k.lastRow;
                paint(c, r, 3, false);
                map.autoTilePass();
                EXPECT_EQ(map.at(c, r).needsAutoTile, !centre);
                EXPECT_EQ(piece(c, r) == pieceAt(0, 16), centre) << "a centre gets the isolated piece";
                paint(c, r, 5, false);
                map.autoTilePass();
            }
    }
}
