#pragma once

#include "platform/TimeSource.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>

class FieldMap;
class GameData;
struct InputState;

// What the left button does in the editor.
enum class EditorMode
{
    PaintGround = 0, // paints the selected ground type with the brush
    PlaceObject = 1, // puts the selected object on the field (LShift: removes it)
    MarkSolid = 2,   // marks the field solid (LShift: clears it)
};

constexpr int EditorKeyDelayMs = 200; // milliseconds; a timed key acts only when its clock reads more than this
constexpr int MinBrushSize = 1;       // fields of brush pattern 1
constexpr int MaxBrushSize = 4;
constexpr int GroundChoices = 6; // ground types 0..5 on Num1..Num6
constexpr int ObjectChoices = 3; // objects 0..2
constexpr int CursorSize = 16;   // scene pixels per side of the cursor, one field

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
    int selectedGround = 0;  // a ground type, 0..5
    int selectedObject = 0;  // an object id, 0..2
    int brushSize = 1;       // 1..4
};

// The map editor, inside the running game. E switches it on and off; while on,
// a cursor follows the field under the mouse and the left button paints,
// places objects or marks fields solid.
//
// Keys, read as held states each frame, in this order (a later key of the
// same kind wins): U / Z under / ground layer; P, O, I object, paint, solid
// mode; K / L next / previous object; Subtract or Hyphen / Add or Equal a
// smaller / larger brush; Num1..Num6 ground types 0..5. E and the four step
// keys are timed: E by its own clock, the step keys by one shared clock, and
// a key acts only when its clock reads more than EditorKeyDelayMs whole
// milliseconds; the clock restarts only when a value changes.
class Editor
{
public:
    // `content` and `time` must outlive the editor. The cursor shows the
    // store's editor texture, piece (0, 0, 16, 16), at (0, 0).
    explicit Editor(const GameData* content, const TimeSource& time = TimeSource::system());

    // One frame: the E toggle, then (only while active, already in the frame
    // E switched it on) the keys, the hit test and the action on the field
    // under the mouse. The mouse position is in window pixels (it may lie
    // outside the window); the scales are window pixels per scene pixel.
    //
    // Hit test: the field under the scene point mouse / scale, searched from
    // the first candidate column c0 = -(x0 / 16) and row r0 = -(y0 / 16)
    // (x0, y0 the map origin truncated toward zero, integer division toward
    // zero) up to 199; a field's edges count as inside (fx <= px <= fx + 16
    // on its truncated position), and on a shared edge the lower column, then
    // the lower row, wins. Nothing is hit while c0 < 0, r0 < 0 or c0 >= 200,
    // i.e. while the origin lies 16 or more scene pixels right of or below
    // the scene's corner. On a hit the cursor moves to origin + 16 * (c, r)
    // and, with the left button held, the mode's action is done on that one
    // field; without a hit nothing changes. Brush fields off the grid are
    // skipped. An object definition that is not loaded is never placed.
    // A null map only toggles and reads keys.
    void update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY);

    bool active() const { return state.active; }
    const EditorChoices& choices() const { return state; }
    // The cursor: 16 x 16, scene pixels; drawn only while active.
    const sf::Sprite& cursor() const { return cursorSprite; }

    // Sets every choice at once, as the keys would (tests, benchmarks).
    void setChoices(const EditorChoices& choices) { state = choices; }

private:
    void readKeys(const InputState& input);
    // The field under scene point (px, py), searched as described at update;
    // false when none is hit.
    static bool findField(const FieldMap& map, int x0, int y0, float px, float py, int& column, int& row);
    void act(const InputState& input, FieldMap& map, int column, int row);

    EditorChoices state;
    Stopwatch stepClock;   // since the last step of the object or the brush size
    Stopwatch toggleClock; // since the last toggle of active
    sf::Sprite cursorSprite;
};
