#include "editor/SelectionTool.h"

#include <algorithm>

void SelectionTool::start(sf::Vector2i field)
{
    dragging = true;
    anchor = field;
    selected = FieldRange{field.x, field.y, field.x, field.y};
}

bool SelectionTool::update(bool leftHeld, const std::optional<sf::Vector2i>& hit)
{
    if (!dragging)
        return false;
    if (hit)
        selected = FieldRange{std::min(anchor.x, hit->x), std::min(anchor.y, hit->y), std::max(anchor.x, hit->x),
                              std::max(anchor.y, hit->y)};
    if (leftHeld)
        return false;
    dragging = false;
    return true;
}

void SelectionTool::clear()
{
    dragging = false;
    selected.reset();
}

sf::IntRect SelectionTool::outline(const FieldRange& range, sf::Vector2f origin)
{
    return {truncatePixel(origin.x) + FieldSize * range.firstColumn,
            truncatePixel(origin.y) + FieldSize * range.firstRow, FieldSize * (range.lastColumn - range.firstColumn + 1),
            FieldSize * (range.lastRow - range.firstRow + 1)};
}
