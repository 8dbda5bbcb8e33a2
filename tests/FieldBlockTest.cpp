#include "world/FieldBlock.h"

#include <gtest/gtest.h>

namespace
{
// A 3 x 2 block whose every field differs: ground c + 3 r, object 10 + c + 3 r
// on two fields, solid on one.
FieldBlock numbered()
{
    FieldBlock block(3, 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            block.at(column, row) = {column + 3 * row, 8 - column - 3 * row, 0, false};
    block.at(0, 0).objectId = 10;
    block.at(2, 1).objectId = 15;
    block.at(1, 0).solid = true;
    return block;
}
} // namespace

TEST(FieldBlock, FlipsAndTurnsMoveEveryFieldWithItsObject)
{
    const FieldBlock block = numbered();
    struct Row
    {
        const char* name;
        FieldBlock result;
        int width, height;
        // Where the block's fields (0, 0), (1, 0) and (2, 1) went.
        int topLeftColumn, topLeftRow, secondColumn, secondRow, lastColumn, lastRow;
    };
    const Row rows[] = {
        {"flipped left to right", block.flippedHorizontally(), 3, 2, 2, 0, 1, 0, 0, 1},
        {"flipped top to bottom", block.flippedVertically(), 3, 2, 0, 1, 1, 1, 2, 0},
        {"turned clockwise", block.rotatedClockwise(), 2, 3, 1, 0, 1, 1, 0, 2},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(row.result.width(), row.width);
        ASSERT_EQ(row.result.height(), row.height);
        EXPECT_EQ(row.result.at(row.topLeftColumn, row.topLeftRow), block.at(0, 0));
        EXPECT_EQ(row.result.at(row.secondColumn, row.secondRow), block.at(1, 0));
        EXPECT_EQ(row.result.at(row.lastColumn, row.lastRow), block.at(2, 1));
    }
    // Each returns home, and two quarter turns are both flips.
    EXPECT_EQ(block.flippedHorizontally().flippedHorizontally(), block);
    EXPECT_EQ(block.flippedVertically().flippedVertically(), block);
    const FieldBlock half = block.rotatedClockwise().rotatedClockwise();
    EXPECT_EQ(half, block.flippedHorizontally().flippedVertically());
    EXPECT_EQ(half.rotatedClockwise().rotatedClockwise(), block);
    EXPECT_TRUE(FieldBlock().rotatedClockwise().empty());
}
