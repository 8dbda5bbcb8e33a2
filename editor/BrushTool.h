#pragma once

class FieldChange;
class FieldMap;

// The left button's tool: makes `change` on the fields of its brush pattern
// around field (c, r) (BrushOffsets, in their order), those off the map left
// out; a column and a row are tested apart, so a row past the top or bottom
// never spills into the next column.
class BrushTool
{
public:
    static void apply(FieldMap& map, const FieldChange& change, int column, int row);
};
