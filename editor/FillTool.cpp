#include "editor/FillTool.h"

#include "editor/EditScope.h"
#include "editor/FieldChange.h"
#include "world/FieldMap.h"

#include <algorithm>

FillTool::FillTool() : seen(FieldCount, 0)
{
    stack.reserve(FieldCount);
}

void FillTool::fill(FieldMap& map, EditHistory& history, const FieldChange& change, int column, int row)
{
    if (!change.fills(map.at(column, row)))
        return;
    const int regionType = change.regionType(map.at(column, row));
    const EditScope edit(history, map, EditKind::Fill);
    // Depth first over the four neighbours, each field taken once.
    std::fill(seen.begin(), seen.end(), 0);
    stack.clear();
    const auto visit = [&](int c, int r) {
        const std::size_t index = static_cast<std::size_t>(FieldMap::index(c, r));
        if (FieldMap::onMap(c, r) && !seen[index] && change.regionType(map.at(c, r)) == regionType)
        {
            seen[index] = 1;
            stack.push_back(static_cast<int>(index));
        }
    };
    visit(column, row);
    while (!stack.empty())
    {
        const int index = stack.back();
        stack.pop_back();
        const int c = index / MapSize;
        const int r = index % MapSize;
        // Neighbours are tested before the field changes, against the types
        // the region had; a changed field is marked seen, so it is not met again.
        visit(c - 1, r);
        visit(c + 1, r);
        visit(c, r - 1);
        visit(c, r + 1);
        change.applyTo(map, c, r);
    }
}
