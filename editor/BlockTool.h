#pragma once

#include "editor/EditHistory.h"

#include <SFML/System/Vector2.hpp>

class FieldBlock;
class FieldMap;
struct FieldRange;

// What the selection and the clipboard do to the map, each as one edit.
class BlockTool
{
public:
    // Gives every field of `range` (all on the map) what a new map's field
    // holds: DefaultGroundType on both layers, no object, not solid, row by
    // row, the pieces re-derived as for a paste.
    static void clear(FieldMap& map, EditHistory& history, EditKind kind, const FieldRange& range);

    // Puts every field of `block` on the map with the block's top-left field
    // on field `topLeft`, all four stored values of each (a field without an
    // object removes the one there); fields that would land off the map are
    // left out, and so is a field whose ground types or object are not
    // loaded. Row by row, each field is tiled with its neighbours as it is
    // placed, so the pieces inside the block and along its seams come out as
    // when the same values are painted one field per frame in view (fields
    // within AutoTileMargin of the map's edge are never the centre, as in the
    // per-frame pass). Returns the columns and rows placed (0 x 0 when none).
    static sf::Vector2i paste(FieldMap& map, EditHistory& history, const FieldBlock& block, sf::Vector2i topLeft);
};
