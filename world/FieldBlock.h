#pragma once

#include "world/Field.h"

#include <vector>

class FieldMap;

// A rectangle of stored field values, `width` x `height` fields, cut from a
// map or read from a stamp: what the editor's clipboard holds and a stamp
// file stores. An object belongs to the field it stands on (its anchor), so
// it is in a block exactly when its anchor field is. Field (c, r) counts from
// the block's top-left field, columns to the right, rows down.
class FieldBlock
{
public:
    // The empty block, 0 x 0.
    FieldBlock() = default;
    // `width` x `height` fields (each at least 1) with what a new map's field
    // holds: DefaultGroundType on both layers, no object, not solid.
    FieldBlock(int width, int height);

    // The fields of `map` in columns firstColumn..lastColumn and rows
    // firstRow..lastRow (inclusive, all on the map, first <= last).
    static FieldBlock copiedFrom(const FieldMap& map, int firstColumn, int firstRow, int lastColumn, int lastRow);

    int width() const { return columns; }
    int height() const { return rows; }
    bool empty() const { return columns == 0; }
    // Field (c, r), 0 <= c < width(), 0 <= r < height().
    const FieldValues& at(int column, int row) const { return fields[index(column, row)]; }
    FieldValues& at(int column, int row) { return fields[index(column, row)]; }

    // The block mirrored left to right, top to bottom, and turned a quarter
    // turn clockwise (a w x h block becomes h x w; field (c, r) goes to
    // (h - 1 - r, c)). Every field moves with its values, its object
    // included; an object's picture is not mirrored or turned.
    FieldBlock flippedHorizontally() const;
    FieldBlock flippedVertically() const;
    FieldBlock rotatedClockwise() const;

    bool operator==(const FieldBlock& other) const
    {
        return columns == other.columns && rows == other.rows && fields == other.fields;
    }
    bool operator!=(const FieldBlock& other) const { return !(*this == other); }

private:
    std::size_t index(int column, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column);
    }

    int columns = 0;
    int rows = 0;
    std::vector<FieldValues> fields; // row by row
};
