#pragma once

#include <array>

class FrameKey;

// The editor's choices and what they mean, as the HUD shows them: small
// enough for the HUD to include without the editor.

// What the left button does in the editor.
enum class EditorMode
{
    PaintGround = 0, // paints the selected ground type with the brush
    PlaceObject = 1, // puts the selected object on the field (LShift: removes it)
    MarkSolid = 2,   // marks the field solid (LShift: clears it)
};

constexpr int MinBrushSize = 1;       // fields of brush pattern 1
constexpr int MaxBrushSize = 4;
constexpr int GroundChoices = 6; // ground types 0..5 on Num1..Num6, always
constexpr int GroundKeys = 9;    // Num1..Num9: ground types 0..8, those past GroundChoices only where loaded

// One field of a brush pattern, in fields from the field under the mouse:
// dx counts columns (right), dy rows (down).
struct BrushOffset
{
    int dx;
    int dy;
};

// The brush patterns of sizes 1..4, in the order they are painted: a field, a
// plus sign, a diamond of radius 2, and the 5 x 5 square with a tip of 3 on
// each axis. Pattern n uses the first BrushFieldCounts[n - 1] offsets.
constexpr std::array<int, MaxBrushSize> BrushFieldCounts{1, 5, 13, 29};
constexpr std::array<BrushOffset, 29> BrushOffsets{{
    {0, 0},
    {1, 0}, {0, 1}, {-1, 0}, {0, -1},
    {1, 1}, {1, -1}, {-1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 2}, {0, -2},
    {3, 0}, {0, -3}, {0, 3}, {-3, 0}, {1, 2}, {2, 2}, {2, 1}, {2, -1}, {2, -2}, {1, -2},
    {-1, -2}, {-2, -2}, {-2, -1}, {-2, 1}, {-2, 2}, {-1, 2},
}};

// The editor's choices, as the HUD shows them.
struct EditorChoices
{
    bool active = false;
    EditorMode mode = EditorMode::PaintGround;
    bool underLayer = false; // the brush paints the under layer instead of the ground layer
    int selectedGround = 0;  // a ground type: 0..8 by the number keys, any loaded one by the wheel, picking, the picker
    int selectedObject = 0;  // an object id: any loaded one by K and L, the wheel, picking, the picker
    int brushSize = 1;       // 1..4

    // Adds every choice to `key` (anything drawn may show any of them).
    void describe(FrameKey& key) const;
};

