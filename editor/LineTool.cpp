#include "editor/LineTool.h"

#include "editor/BrushTool.h"

#include <algorithm>
#include <cstdlib>

std::vector<sf::Vector2i> LineTool::fields(sf::Vector2i from, sf::Vector2i to)
{
    // Bresenham's walk: the error term says when the minor axis steps.
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int stepX = from.x < to.x ? 1 : -1;
    const int stepY = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    std::vector<sf::Vector2i> line;
    line.reserve(static_cast<std::size_t>(std::max(dx, -dy) + 1));
    sf::Vector2i at = from;
    while (true)
    {
        line.push_back(at);
        if (at == to)
            return line;
        const int twice = 2 * error;
        if (twice >= dy)
        {
            error += dy;
            at.x += stepX;
        }
        if (twice <= dx)
        {
            error += dx;
            at.y += stepY;
        }
    }
}

void LineTool::apply(FieldMap& map, const FieldChange& change, sf::Vector2i from, sf::Vector2i to)
{
    for (const sf::Vector2i field : fields(from, to))
        BrushTool::apply(map, change, field.x, field.y);
}
