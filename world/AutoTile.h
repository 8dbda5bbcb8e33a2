#pragma once

#include "platform/ScenePixels.h"

#include <SFML/Graphics/Rect.hpp>

#include <array>

// Auto-tiling picks, for a field's ground layer, the piece of its field texture
// that fits which of its four neighbours continue its ground. A field texture
// is a sheet of 16 x 16 pieces, 5 wide and 4 high (the top 80 x 64 pixels).

constexpr int AutoTileWindowColumns = 36; // columns of the per-frame pass
constexpr int AutoTileWindowRows = 28;    // rows of the per-frame pass
constexpr int AutoTileMargin = 2;         // the pass keeps this many fields off every map edge

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

inline sf::IntRect autoTilePiece(bool up, bool down, bool right, bool left)
{
    const PieceCorner corner = AutoTilePieces[static_cast<std::size_t>(autoTileKey(up, down, right, left))];
    return {corner.left, corner.top, FieldSize, FieldSize};
}
