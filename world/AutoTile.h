#pragma once

#include "platform/ScenePixels.h"

#include <SFML/Graphics/Rect.hpp>

#include <array>

// Auto-tiling picks, for a field's ground layer, the piece of its field texture
// that fits which of its four neighbours continue its ground. A field texture
// is a sheet of 16 x 16 pieces, 5 wide and 4 high (the top 80 x 64 pixels).

// The per-frame pass covers the view's columns and rows and this many more of
// each, from the field covering the view's top-left corner: 36 x 28 fields
// for the game's view of 20 x 12.
constexpr int AutoTileWindowExtra = 16;
constexpr int AutoTileMargin = 2;         // the pass keeps this many fields off every map edge

constexpr int InteriorPieceKey = 15; // every neighbour continues the ground: piece (0, 0), a new field's

// Index into the piece table from the four answers.
constexpr int autoTileKey(bool up, bool down, bool right, bool left)
{
    return (up ? 8 : 0) | (down ? 4 : 0) | (right ? 2 : 0) | (left ? 1 : 0);
}

// The top-left corner of a piece in its sheet, pixels.
struct PieceCorner
{
    int left = 0;
    int top = 0;
};

// The corner of the piece for each combination, by autoTileKey.
constexpr std::array<PieceCorner, 16> AutoTilePieces = [] {
    std::array<PieceCorner, 16> pieces{};
    const auto set = [&pieces](bool up, bool down, bool right, bool left, int x, int y) {
        pieces[static_cast<std::size_t>(autoTileKey(up, down, right, left))] = {x, y};
    };
    set(true, true, true, true, 0, 0);      // interior
    set(false, true, true, false, 16, 0);   // top-left corner
    set(false, true, false, true, 32, 0);   // top-right corner
    set(false, true, true, true, 48, 0);    // top edge
    set(true, true, true, false, 64, 0);    // left edge
    set(false, false, false, false, 0, 16); // isolated
    set(true, false, true, false, 16, 16);  // bottom-left corner
    set(true, false, false, true, 32, 16);  // bottom-right corner
    set(true, false, true, true, 48, 16);   // bottom edge
    set(true, true, false, true, 64, 16);   // right edge
    set(false, true, false, false, 0, 32);  // vertical strip, open downward
    set(false, false, true, false, 16, 32); // horizontal strip, open to the right
    set(false, false, true, true, 64, 32);  // horizontal strip, middle
    set(true, false, false, false, 0, 48);  // vertical strip, open upward
    set(false, false, false, true, 16, 48); // horizontal strip, open to the left
    set(true, true, false, false, 64, 48);  // vertical strip, middle
    return pieces;
}();

// The piece for a key of autoTileKey.
inline sf::IntRect autoTilePiece(int key)
{
    const PieceCorner corner = AutoTilePieces[static_cast<std::size_t>(key & 15)];
    return {corner.left, corner.top, FieldSize, FieldSize};
}

inline sf::IntRect autoTilePiece(bool up, bool down, bool right, bool left)
{
    return autoTilePiece(autoTileKey(up, down, right, left));
}

// The two ground types of a field, the upper and the lower layer.
struct GroundLayers
{
    int ground = 0;
    int under = 0;
};

// The auto-tiling rule, the one place it is written: the key of the piece for
// field (c, r), whose ground type is layersAt(c, r).ground, from its four
// neighbours, where a neighbour continues the field's ground when either of
// its layers holds that type. `layersAt(column, row)` gives a field's
// GroundLayers; it is asked for (c, r) and its four neighbours only, so the
// caller decides what lies beyond an edge.
template <typename LayersAt>
int autoTileKeyAt(int column, int row, const LayersAt& layersAt)
{
    const int type = layersAt(column, row).ground;
    const auto continues = [&](int c, int r) {
        const GroundLayers neighbour = layersAt(c, r);
        return neighbour.ground == type || neighbour.under == type;
    };
    return autoTileKey(continues(column, row - 1), continues(column, row + 1), continues(column + 1, row),
                       continues(column - 1, row));
}
