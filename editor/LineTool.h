#pragma once

#include <SFML/System/Vector2.hpp>

#include <vector>

class FieldChange;
class FieldMap;

// Shift + left click: a straight line of fields, the brush at each.
class LineTool
{
public:
    // The fields of the straight line from `from` to `to`, both included, in
    // order from `from`: one per column when the line is wider than high,
    // else one per row (Bresenham's choice of the field nearest the exact
    // line), so consecutive fields touch at a side or a corner.
    static std::vector<sf::Vector2i> fields(sf::Vector2i from, sf::Vector2i to);

    // Makes `change` with its brush around each field of the line (BrushTool),
    // within the edit the caller has open.
    static void apply(FieldMap& map, const FieldChange& change, sf::Vector2i from, sf::Vector2i to);
};
