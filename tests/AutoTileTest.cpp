#include "TestContent.h"

#include "content/GameData.h"
#include "world/AutoTile.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
class AutoTileTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = std::make_unique<TestContent>();
        std::ostringstream console;
        data = std::make_unique<GameData>(dir->path(), &console);
    }
    static void TearDownTestSuite()
    {
        data.reset();
        dir.reset();
    }

    // Paints `type` on both layers of the fields marked '#' in `pattern`, whose
    // first character lies on field (column, row).
    void paint(const std::vector<std::string>& pattern, int column, int row, int type)
    {
        for (std::size_t r = 0; r < pattern.size(); ++r)
            for (std::size_t c = 0; c < pattern[r].size(); ++c)
                if (pattern[r][c] == '#')
                {
                    Field& field = map.at(column + int(c), row + int(r));
                    ASSERT_TRUE(field.setGround(type, false));
                    ASSERT_TRUE(field.setGround(type, true));
                }
    }
    sf::IntRect piece(int column, int row) const { return map.at(column, row).groundSprite.getTextureRect(); }

    static std::unique_ptr<TestContent> dir;
    static std::unique_ptr<GameData> data;
    FieldMap map{data.get()};
};

std::unique_ptr<TestContent> AutoTileTest::dir;
std::unique_ptr<GameData> AutoTileTest::data;

sf::IntRect at(int left, int top)
{
    return {left, top, 16, 16};
}

const sf::IntRect Interior = at(0, 0);
const sf::IntRect Unused = at(32, 32); // a sheet position auto-tiling never picks
} // namespace

TEST_F(AutoTileTest, EveryNeighbourCombinationHasItsPiece)
{
    struct Case
    {
        bool up, down, right, left;
        sf::IntRect expected;
    };
    const Case cases[] = {
        {1, 1, 1, 1, at(0, 0)},   {0, 1, 1, 0, at(16, 0)},  {0, 1, 0, 1, at(32, 0)},  {0, 1, 1, 1, at(48, 0)},
        {1, 1, 1, 0, at(64, 0)},  {0, 0, 0, 0, at(0, 16)},  {1, 0, 1, 0, at(16, 16)}, {1, 0, 0, 1, at(32, 16)},
        {1, 0, 1, 1, at(48, 16)}, {1, 1, 0, 1, at(64, 16)}, {0, 1, 0, 0, at(0, 32)},  {0, 0, 1, 0, at(16, 32)},
        {0, 0, 1, 1, at(64, 32)}, {1, 0, 0, 0, at(0, 48)},  {0, 0, 0, 1, at(16, 48)}, {1, 1, 0, 0, at(64, 48)},
    };
    const int c = 20, r = 20;
    for (const Case& k : cases)
    {
        map.at(c, r).groundType = 3;
        map.at(c, r).underType = 3;
        const auto neighbour = [&](int column, int row, bool matching) {
            Field& field = map.at(column, row);
            field.groundType = field.underType = matching ? 3 : 5;
            field.groundSprite.setTextureRect(Unused);
        };
        neighbour(c, r - 1, k.up);
        neighbour(c, r + 1, k.down);
        neighbour(c + 1, r, k.right);
        neighbour(c - 1, r, k.left);
        map.at(c, r).needsAutoTile = true;
        map.autoTile(c, r, false);
        EXPECT_EQ(piece(c, r), k.expected) << "up " << k.up << " down " << k.down << " right " << k.right
                                           << " left " << k.left;
        EXPECT_FALSE(map.at(c, r).needsAutoTile);
        EXPECT_EQ(piece(c - 1, r), Unused) << "without neighbours only the field itself";
        EXPECT_EQ(piece(c, r + 1), Unused);
    }
}

TEST_F(AutoTileTest, NeighbourMatchesOnEitherOfItsLayers)
{
    struct Case
    {
        int ground, under;                   // the field being tiled
        int neighbourGround, neighbourUnder; // all four neighbours
        sf::IntRect expected;
    };
    const Case cases[] = {
        {5, 5, 3, 5, Interior},   // the neighbours' under layer continues the ground
        {3, 5, 5, 5, at(0, 16)},  // nothing continues type 3
        {5, 3, 3, 3, at(0, 16)},  // the field's own under layer plays no part
        {3, 3, 7, 3, Interior},
        {3, 3, 3, 7, Interior},
        {3, 3, 7, 7, at(0, 16)},
    };
    const int c = 30, r = 12;
    for (const Case& k : cases)
    {
        map.at(c, r).groundType = k.ground;
        map.at(c, r).underType = k.under;
        for (const auto& [dc, dr] : {std::pair{0, -1}, {0, 1}, {1, 0}, {-1, 0}})
        {
            map.at(c + dc, r + dr).groundType = k.neighbourGround;
            map.at(c + dc, r + dr).underType = k.neighbourUnder;
        }
        map.autoTile(c, r, false);
        EXPECT_EQ(piece(c, r), k.expected) << k.ground << "/" << k.under << " among " << k.neighbourGround << "/"
                                           << k.neighbourUnder;
    }
}

TEST_F(AutoTileTest, PaintedShapesGetTheirOutline)
{
    struct Expect
    {
        int dc, dr; // from the pattern's first field
        sf::IntRect piece;
    };
    struct Case
    {
        const char* name;
        std::vector<std::string> pattern;
        std::vector<Expect> expected;
    };
    const std::vector<Case> cases = {
        {"single field",
         {"#"},
         {{0, 0, at(0, 16)}, {0, -1, at(48, 16)}, {-1, 0, at(64, 16)}, {0, 1, at(48, 0)}, {1, 0, at(64, 0)},
          {1, 1, Interior}, {-1, -1, Interior}}},
        {"horizontal strip",
         {"###"},
         {{0, 0, at(16, 32)}, {1, 0, at(64, 32)}, {2, 0, at(16, 48)}, {-1, 0, at(64, 16)}, {3, 0, at(64, 0)},
          {0, -1, at(48, 16)}, {2, 1, at(48, 0)},
          // The middle field was only re-tiled as a neighbour, so its own
          // neighbours above and below keep their old piece.
          {1, -1, Interior}, {1, 1, Interior}}},
        {"vertical strip",
         {"#", "#", "#"},
         {{0, 0, at(0, 32)}, {0, 1, at(64, 48)}, {0, 2, at(0, 48)}, {0, -1, at(48, 16)}, {0, 3, at(48, 0)},
          {-1, 0, at(64, 16)}, {1, 2, at(64, 0)}, {-1, 1, Interior}, {1, 1, Interior}}},
        {"L shape",
         {"#.", "##"},
         {{0, 0, at(0, 32)}, {0, 1, at(16, 16)}, {1, 1, at(16, 48)},
          // The type-5 field in the corner of the L: ground above and right.
          {1, 0, at(16, 16)}}},
        {"3 x 3 block",
         {"###", "###", "###"},
         {{0, 0, at(16, 0)}, {1, 0, at(48, 0)}, {2, 0, at(32, 0)}, {0, 1, at(64, 0)}, {1, 1, Interior},
          {2, 1, at(64, 16)}, {0, 2, at(16, 16)}, {1, 2, at(48, 16)}, {2, 2, at(32, 16)}}},
    };
    // One map, the shapes painted five rows apart in column 10, all in the
    // window of the pass.
    map.refresh(); // the map before painting: interior everywhere near the view
    for (std::size_t k = 0; k < cases.size(); ++k)
        paint(cases[k].pattern, 10, 3 + 5 * int(k), 3);
    map.refresh();
    for (std::size_t k = 0; k < cases.size(); ++k)
        for (const Expect& e : cases[k].expected)
            EXPECT_EQ(piece(10 + e.dc, 3 + 5 * int(k) + e.dr), e.piece)
                << cases[k].name << " at " << e.dc << "," << e.dr;
}

TEST_F(AutoTileTest, PaintingOnlyTheGroundLayerKeepsTheNeighboursInterior)
{
    map.refresh();
    Field& painted = map.at(10, 10);
    ASSERT_TRUE(painted.setGround(3, false));
    EXPECT_EQ(painted.underType, 5);
    map.refresh();
    // The painted field's under layer is still type 5, so its type-5 neighbours
    // see their ground continue; the field itself sees no type 3 around it.
    EXPECT_EQ(piece(10, 10), at(0, 16));
    EXPECT_EQ(piece(10, 9), Interior);
    EXPECT_EQ(piece(9, 10), Interior);
    EXPECT_EQ(piece(11, 10), Interior);
    EXPECT_EQ(piece(10, 11), Interior);

    // Painting the under layer too brings the edges.
    ASSERT_TRUE(painted.setGround(3, true));
    map.refresh();
    EXPECT_EQ(piece(10, 9), at(48, 16));
    EXPECT_EQ(piece(9, 10), at(64, 16));
}

TEST_F(AutoTileTest, PassCoversTheWindowNearTheViewAndNeverTheOuterFields)
{
    struct Case
    {
        sf::Vector2f origin;
        int firstColumn, lastColumn, firstRow, lastRow; // centres of calls, inclusive
    };
    const Case cases[] = {
        {{0, 0}, 2, 35, 2, 27},
        {{-20, -20}, 2, 36, 2, 28},
        {{-3200, 0}, 2, 197, 2, 27},
        {{700, 0}, 2, 197, 2, 27},
        {{0, 700}, 2, 35, 2, 197},
        {{-37 * 16 - 5, -5 * 16}, 37, 72, 5, 32},
        {{-170 * 16, -180 * 16}, 170, 197, 180, 197},
        {{-3184, -3184}, 2, 197, 2, 197}, // first column 199 is past the last allowed start
    };
    for (const Case& k : cases)
    {
        map.setOrigin(k.origin.x, k.origin.y);
        for (Field& field : map.fields)
            field.needsAutoTile = false;
        // One marked field at a time, at the corners of the expected range and
        // just outside them: a centre clears its mark and re-tiles its right
        // neighbour, anything else stays as it was.
        for (int c : {k.firstColumn - 1, k.firstColumn, k.lastColumn, k.lastColumn + 1})
            for (int r : {k.firstRow - 1, k.firstRow, k.lastRow, k.lastRow + 1})
            {
                if (!FieldMap::onMap(c, r) || !FieldMap::onMap(c + 1, r))
                    continue;
                const bool centre = c >= k.firstColumn && c <= k.lastColumn && r >= k.firstRow && r <= k.lastRow;
                map.at(c, r).needsAutoTile = true;
                map.at(c + 1, r).groundSprite.setTextureRect(Unused);
                map.autoTilePass();
                EXPECT_EQ(map.at(c, r).needsAutoTile, !centre)
                    << "origin " << k.origin.x << "," << k.origin.y << ": field " << c << "," << r;
                EXPECT_EQ(piece(c + 1, r) == Unused, !centre)
                    << "origin " << k.origin.x << "," << k.origin.y << ": field " << c << "," << r;
                map.at(c, r).needsAutoTile = false;
            }
    }
}

TEST_F(AutoTileTest, OuterColumnsAndRowsKeepTheirPiece)
{
    for (const sf::Vector2f origin : {sf::Vector2f(0, 0), sf::Vector2f(-3200, -3200), sf::Vector2f(24, 24)})
    {
        for (Field& field : map.fields)
        {
            field.needsAutoTile = true;
            field.groundSprite.setTextureRect(Unused);
        }
        map.setOrigin(origin.x, origin.y);
        map.refresh();
        for (int i = 0; i < MapSize; ++i)
            for (const auto& [c, r] : {std::pair{0, i}, {i, 0}, {199, i}, {i, 199}})
            {
                ASSERT_EQ(piece(c, r), Unused) << c << "," << r;
                ASSERT_TRUE(map.at(c, r).needsAutoTile) << c << "," << r;
            }
    }
    // Column 1 only as the neighbour of a field in column 2 that was the
    // centre of a call: (2, 4) was, (2, 5) had lost its mark to (2, 4).
    EXPECT_EQ(piece(1, 4), Interior);
    EXPECT_EQ(piece(1, 5), Unused);
    EXPECT_EQ(piece(1, 1), Unused);
}

TEST_F(AutoTileTest, MarkedFieldBelowIsTiledOnlyAsANeighbour)
{
    map.refresh();
    paint({"#", "#"}, 10, 10, 3);
    map.refresh();
    EXPECT_EQ(piece(10, 10), at(0, 32));
    EXPECT_EQ(piece(10, 11), at(0, 48));
    EXPECT_FALSE(map.at(10, 11).needsAutoTile);
    // The upper field's neighbours got their edges, the lower field's did not.
    EXPECT_EQ(piece(9, 10), at(64, 16));
    EXPECT_EQ(piece(9, 11), Interior);
    EXPECT_EQ(piece(11, 11), Interior);
    EXPECT_EQ(piece(10, 12), Interior);
    // Nor later: nothing is marked any more.
    map.refresh();
    EXPECT_EQ(piece(10, 12), Interior);
}
