#include "world/FieldBlock.h"

#include "world/FieldMap.h"

#include <cassert>

FieldBlock::FieldBlock(int width, int height)
    : columns(width), rows(height), fields(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
{
    assert(width >= 1 && height >= 1);
}

FieldBlock FieldBlock::copiedFrom(const FieldMap& map, int firstColumn, int firstRow, int lastColumn, int lastRow)
{
    assert(FieldMap::onMap(firstColumn, firstRow) && FieldMap::onMap(lastColumn, lastRow));
    assert(firstColumn <= lastColumn && firstRow <= lastRow);
    FieldBlock block(lastColumn - firstColumn + 1, lastRow - firstRow + 1);
    for (int row = 0; row < block.rows; ++row)
        for (int column = 0; column < block.columns; ++column)
            block.at(column, row) = map.at(firstColumn + column, firstRow + row).values();
    return block;
}

FieldBlock FieldBlock::flippedHorizontally() const
{
    FieldBlock flipped = *this;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            flipped.at(columns - 1 - column, row) = at(column, row);
    return flipped;
}

FieldBlock FieldBlock::flippedVertically() const
{
    FieldBlock flipped = *this;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            flipped.at(column, rows - 1 - row) = at(column, row);
    return flipped;
}

FieldBlock FieldBlock::rotatedClockwise() const
{
    if (empty())
        return {};
    FieldBlock turned(rows, columns);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            turned.at(rows - 1 - row, column) = at(column, row);
    return turned;
}
