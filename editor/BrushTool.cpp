#include "editor/BrushTool.h"

#include "editor/FieldChange.h"
#include "world/FieldMap.h"

void BrushTool::apply(FieldMap& map, const FieldChange& change, int column, int row)
{
    const int count = change.brushFields();
    for (int i = 0; i < count; ++i)
    {
        const BrushOffset& offset = BrushOffsets[static_cast<std::size_t>(i)];
        const int c = column + offset.dx;
        const int r = row + offset.dy;
        if (FieldMap::onMap(c, r))
            change.applyTo(map, c, r);
    }
}
