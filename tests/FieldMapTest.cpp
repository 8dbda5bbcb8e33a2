#include "WorldFixture.h"

#include "world/AutoTile.h"

#include <set>
#include <string>
#include <vector>

namespace
{
using FieldMapTest = WorldFixture;

const sf::IntRect Interior = pieceAt(0, 0), Isolated = pieceAt(0, 16);
} // namespace

// What the table must give: its own piece of the 5 x 4 sheet for every
// combination, never one of the four unused positions; the painted shapes
// below pin the pictures.
TEST(AutoTileTable, EveryCombinationHasItsOwnPieceOfTheSheet)
{
    std::set<std::pair<int, int>> seen;
    for (int key = 0; key < 16; ++key)
    {
        const sf::IntRect piece = autoTilePiece(key & 8, key & 4, key & 2, key & 1);
        EXPECT_TRUE(piece.width == 16 && piece.height == 16 && piece.left % 16 == 0 && piece.top % 16 == 0 &&
                    piece.left < 80 && piece.top < 64)
            << key;
        EXPECT_FALSE((piece.left == 32 || piece.left == 48) && piece.top >= 32) << key;
        EXPECT_TRUE(seen.insert({piece.left, piece.top}).second) << key;
    }
    EXPECT_EQ(autoTilePiece(true, true, true, true), Interior);
    EXPECT_EQ(autoTilePiece(false, false, false, false), Isolated);
}

// A neighbour continues a field's ground when either of its layers has the
// field's ground type.
TEST_F(FieldMapTest, PaintedShapesGetTheirOutline)
{
    struct Expect { int dc, dr; sf::IntRect piece; }; // from the pattern's first field
    struct Case
    {
        const char* name;
        std::vector<std::string> pattern; // '#' both layers, 'g' the ground layer only
        std::vector<Expect> expected;
    };
    const std::vector<Case> cases = {
        {"single field", {"#"},
         {{0, 0, Isolated}, {0, -1, pieceAt(48, 16)}, {-1, 0, pieceAt(64, 16)}, {0, 1, pieceAt(48, 0)},
          {1, 0, pieceAt(64, 0)}, {1, 1, Interior}}},
        // The under layer is still the neighbours' type, so their ground continues.
        {"ground layer only", {"g"}, {{0, 0, Isolated}, {0, -1, Interior}, {1, 0, Interior}}},
        // The middle field was only re-tiled as a neighbour, so its own
        // neighbours above and below keep their old piece.
        {"horizontal strip", {"###"},
         {{0, 0, pieceAt(16, 32)}, {1, 0, pieceAt(64, 32)}, {2, 0, pieceAt(16, 48)}, {1, -1, Interior}}},
        {"vertical strip", {"#", "#", "#"},
         {{0, 0, pieceAt(0, 32)}, {0, 1, pieceAt(64, 48)}, {0, 2, pieceAt(0, 48)}, {-1, 1, Interior}}},
        {"2 x 2 block", {"##", "##"},
         {{0, 0, pieceAt(16, 0)}, {1, 0, pieceAt(32, 0)}, {0, 1, pieceAt(16, 16)}, {1, 1, pieceAt(32, 16)}}},
    };
    // The shapes five rows apart in column 10, all in the window of the pass.
    map.refresh();
    for (std::size_t k = 0; k < cases.size(); ++k)
        for (std::size_t r = 0; r < cases[k].pattern.size(); ++r)
            for (std::size_t c = 0; c < cases[k].pattern[r].size(); ++c)
                paint(10 + int(c), 3 + 5 * int(k) + int(r), 3, cases[k].pattern[r][c] == '#');
    map.refresh();
    for (std::size_t k = 0; k < cases.size(); ++k)
        for (const Expect& e : cases[k].expected)
            EXPECT_EQ(piece(10 + e.dc, 3 + 5 * int(k) + e.dr), e.piece) << cases[k].name << " at " << e.dc << "," << e.dr;
}

// The pass re-tiles marked fields whose columns and rows lie in a window
// from the field in the scene's corner, kept within 2..197 so the map's
// outer ring is never re-tiled, not even as a neighbour.
TEST_F(FieldMapTest, PassCoversTheWindowNearTheViewAndNeverTheOuterFields)
{
    struct Case { sf::Vector2f origin; int firstColumn, lastColumn, firstRow, lastRow; }; // inclusive
    const Case cases[] = {
        {{-20, -20}, 2, 36, 2, 28},                   // each bound clamped on its own
        {{-37 * 16 - 5, -5 * 16}, 37, 72, 5, 32},     // within the map
        {{-170 * 16, -180 * 16}, 170, 197, 180, 197}, // the ends clamped
        {{700, 0}, 2, 197, 2, 27},                    // the map right of the scene
    };
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        map.autoTilePass(); // clears every mark the window reaches
        // One painted field at a time, at the corners of the window and just
        // outside them: only a field in the window gets its new piece.
        for (int c : {k.firstColumn - 1, k.firstColumn, k.lastColumn, k.lastColumn + 1})
            for (int r : {k.firstRow - 1, k.firstRow, k.lastRow, k.lastRow + 1})
            {
                if (!FieldMap::onMap(c, r))
                    continue;
                const bool inside = c >= k.firstColumn && c <= k.lastColumn && r >= k.firstRow && r <= k.lastRow;
                paint(c, r, 3, false);
                map.autoTilePass();
                EXPECT_EQ(piece(c, r) == Isolated, inside) << k.origin.x << "," << k.origin.y << ": " << c << "," << r;
                paint(c, r, 5, false);
                map.autoTilePass();
            }
    }
}

// Edits that store nothing new are no change: observers hear of none.
TEST_F(FieldMapTest, UnknownTypesAndUnchangedValuesChangeNothing)
{
    paint(7, 7, 3);
    const std::uint64_t revision = map.revision();
    // The test content has field textures 0..7 and objects 0..2.
    for (int type : {8, -1, ContentSetCapacity})
    {
        EXPECT_FALSE(map.paintGround(7, 7, type, false) || map.paintGround(7, 7, type, true)) << type;
        EXPECT_FALSE(map.setObject(7, 7, type) || map.setValues(7, 7, {3, 3, type, false})) << type;
    }
    paint(7, 7, 3);
    map.setSolid(7, 7, false);
    map.setObject(7, 7, 0);
    EXPECT_EQ(map.at(7, 7).values(), (FieldValues{3, 3, 0, false}));
    EXPECT_EQ(map.revision(), revision);
}
