#include "editor/RectangleTool.h"

#include "editor/EditScope.h"
#include "editor/FieldChange.h"
#include "world/FieldMap.h"

#include <algorithm>

RectangleTool::Outcome RectangleTool::update(const Buttons& buttons, const std::optional<sf::Vector2i>& hit,
                                             sf::Vector2i origin)
{
    seenOrigin = origin;
    if (!dragging)
    {
        // A press while the left button paints starts nothing.
        if (buttons.rightPressed && hit && !buttons.leftHeld)
        {
            dragging = true;
            start = end = *hit;
        }
        return Outcome::None;
    }
    if (buttons.leftPressed)
    {
        dragging = false;
        return Outcome::Cancelled;
    }
    if (hit)
        end = *hit;
    if (buttons.rightHeld)
        return Outcome::None;
    dragging = false;
    return Outcome::Released;
}

FieldRect RectangleTool::fields() const
{
    return {std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x), std::max(start.y, end.y)};
}

std::optional<sf::IntRect> RectangleTool::outline() const
{
    if (!dragging)
        return std::nullopt;
    const FieldRect rect = fields();
    return sf::IntRect(seenOrigin.x + FieldSize * rect.firstColumn, seenOrigin.y + FieldSize * rect.firstRow,
                       FieldSize * (rect.lastColumn - rect.firstColumn + 1),
                       FieldSize * (rect.lastRow - rect.firstRow + 1));
}

void RectangleTool::apply(FieldMap& map, EditHistory& history, const FieldChange& change, const GameData& content,
                          const FieldRect& rect)
{
    const std::optional<sf::Vector2i> step = change.rectangleStep(content);
    if (!step)
        return;
    const EditScope edit(history, map, EditKind::Rectangle);
    for (int c = rect.firstColumn; c <= rect.lastColumn; c += step->x)
    {
        for (int r = rect.firstRow; r <= rect.lastRow; r += step->y)
            change.applyTo(map, c, r);
    }
}
