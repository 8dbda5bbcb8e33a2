#include "editor/BlockTool.h"

#include "editor/EditScope.h"
#include "world/FieldBlock.h"
#include "world/FieldMap.h"

#include <algorithm>

namespace
{
// Puts `values` on field (c, r) and tiles it with its neighbours, as painting
// it in a frame of its own does. The per-frame pass tiles a marked field's
// neighbours and clears their marks without tiling their own neighbours, so
// a whole block changed in one frame would leave stale pieces along its
// seams; one field at a time re-derives every piece inside the block and
// along its seams, in view or not. Fields within AutoTileMargin of the map's
// edge are never the centre, as in the pass.
void place(FieldMap& map, int column, int row, const FieldValues& values)
{
    map.setValues(column, row, values);
    const auto inner = [](int i) { return i >= AutoTileMargin && i < MapSize - AutoTileMargin; };
    if (inner(column) && inner(row))
        map.autoTile(column, row, true);
}
} // namespace

void BlockTool::clear(FieldMap& map, EditHistory& history, EditKind kind, const FieldRange& range)
{
    const EditScope edit(history, map, kind);
    for (int row = range.firstRow; row <= range.lastRow; ++row)
        for (int column = range.firstColumn; column <= range.lastColumn; ++column)
            place(map, column, row, FieldValues{});
}

sf::Vector2i BlockTool::paste(FieldMap& map, EditHistory& history, const FieldBlock& block, sf::Vector2i topLeft)
{
    // The mouse's field is on the map, so only the right and bottom can spill
    // over; the left and top are clipped too for any caller.
    const int firstColumn = std::max(0, -topLeft.x);
    const int firstRow = std::max(0, -topLeft.y);
    const int endColumn = std::min(block.width(), MapSize - topLeft.x);
    const int endRow = std::min(block.height(), MapSize - topLeft.y);
    if (firstColumn >= endColumn || firstRow >= endRow)
        return {0, 0};
    const EditScope edit(history, map, EditKind::Paste);
    for (int row = firstRow; row < endRow; ++row)
        for (int column = firstColumn; column < endColumn; ++column)
            place(map, topLeft.x + column, topLeft.y + row, block.at(column, row));
    return {endColumn - firstColumn, endRow - firstRow};
}
