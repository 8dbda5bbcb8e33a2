#pragma once

#include "editor/EditHistory.h"
#include "platform/Input.h"
#include "platform/TimeSource.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <optional>
#include <string>
#include <vector>

class GameData;

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
constexpr int GroundChoices = 6; // ground types 0..5 on Num1..Num6, always
constexpr int GroundKeys = 9;    // Num1..Num9: ground types 0..8, those past GroundChoices only where loaded
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
    int selectedGround = 0;  // a ground type: 0..8 by the number keys, any loaded one by the wheel, picking, the picker
    int selectedObject = 0;  // an object id: any loaded one by K and L, the wheel, picking, the picker
    int brushSize = 1;       // 1..4
};

// Fields from (firstColumn, firstRow) to (lastColumn, lastRow), both corners
// included.
struct FieldRect
{
    int firstColumn = 0;
    int firstRow = 0;
    int lastColumn = 0;
    int lastRow = 0;
};

// The map editor, inside the running game. E switches it on and off; while on,
// a cursor follows the field under the mouse and the left button paints,
// places objects or marks fields solid.
//
// Keys, read as held states each frame, in this order (a later key of the
// same kind wins): U / Z under / ground layer (Z not while Ctrl is held); P,
// O, I object, paint, solid mode; K / L next / previous object, up to the
// last loaded one; Subtract or Hyphen / Add or Equal a smaller / larger
// brush; Num1..Num6 ground types 0..5, Num7..Num9 ground types 6..8 where
// they are loaded. E and the four step keys are timed: E by its own clock,
// the step keys by one shared clock, and a key acts only when its clock reads
// more than EditorKeyDelayMs whole milliseconds; the clock restarts only when
// a value changes.
//
// The mouse wheel, clocked by nothing: in paint mode it steps the selected
// ground type, in object mode the selected object (0 included), one per
// notch through every loaded one, away from the user to the next higher
// number, stopping at the first and the last; in solid mode it does nothing.
// Fractions of a notch (touchpads) add up.
//
// Acting once per press (in the frame a key or button goes down): Ctrl+Z
// undo; Ctrl+Y or Ctrl+Shift+Z redo (either Ctrl and Shift key); F fill; Q or
// the middle button pick; the right button starts a rectangle.
class Editor
{
public:
    // `content` and `time` must outlive the editor. The cursor shows the
    // store's editor texture, piece (0, 0, 16, 16), at (0, 0).
    explicit Editor(const GameData& content, const TimeSource& time = TimeSource::system());

    // One frame: the E toggle, then (only while active, already in the frame
    // E switched it on) the keys, undo and redo, the hit test and the actions
    // on the field under the mouse. The mouse position is in window pixels
    // (it may lie outside the window); the scales are window pixels per scene
    // pixel. Returns the message to show ("Undone: fill, 1,234 fields"), or
    // null when there is none; it stays valid until the next update.
    //
    // Hit test: the field under the scene point mouse / scale
    // (FieldMap::fieldUnder). On a hit the cursor moves to origin + 16 * (c, r),
    // the origin truncated toward zero; without a hit nothing changes.
    //
    // On the hit field:
    // - left button held: the mode's action (the brush pattern clipped to the
    //   grid, the object, the solid flag); everything from its press to its
    //   release is one edit. An object definition that is not loaded is never
    //   placed.
    // - F: paint mode fills the field and every field joined to it through
    //   its four neighbours with the same ground type on the active layer,
    //   painting each like the brush; solid mode marks that region solid
    //   (LShift clears it); object mode does nothing.
    // - right button: a rectangle from the field under the press to the field
    //   under the mouse (the last one hit while it is off the map), applied
    //   on release: paint mode paints every field, solid mode marks them
    //   (LShift clears), object mode with LShift removes their objects and
    //   without places the selected object on every field (c0 + k w, r0 + l h)
    //   counted from the top-left field (c0, r0) in steps of the object's
    //   footprint w x h in fields. The left button cancels it and then does
    //   nothing until it is released.
    // - Q or the middle button: paint mode selects the field's ground type on
    //   the active layer, object mode its object (0 for none).
    // Undo and redo end a stroke and cancel a rectangle; the left button then
    // waits for its release. A null map only toggles and reads keys.
    const std::string* update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY);

    bool active() const { return state.active; }
    const EditorChoices& choices() const { return state; }
    // The cursor: 16 x 16, scene pixels; drawn only while active.
    const sf::Sprite& cursor() const { return cursorSprite; }
    // While a rectangle is dragged: its outline in scene pixels, where the
    // last update saw its fields.
    std::optional<sf::IntRect> rectangleOutline() const;

    // Undo and redo of this editor's edits; the game records map loads in it.
    EditHistory& history() { return edits; }
    const EditHistory& history() const { return edits; }

    // Sets every choice at once, as the keys would (tests, benchmarks).
    void setChoices(const EditorChoices& choices) { state = choices; }

    // A choice from the content picker: ground type `type` in paint mode, or
    // object `id` in object mode. A number that is not loaded changes nothing.
    void chooseGround(int type);
    void chooseObject(int id);

    // The field under the mouse in the last update, while the editor is on
    // and the mouse is over the map; empty otherwise.
    const std::optional<sf::Vector2i>& hoveredField() const { return hovered; }

    // Loaded ground types and objects: the sets the keys, the wheel and the
    // picker choose from.
    int groundTypeCount() const;
    int objectCount() const;

private:
    // The keys and buttons that went down since the last update.
    struct Presses
    {
        bool undo = false;
        bool redo = false;
        bool fill = false;
        bool pick = false;
        bool left = false;
        bool right = false;
    };
    Presses pressesOf(const InputState& input) const;
    void readKeys(const InputState& input);
    void turnWheel(float notches);
    void act(const InputState& input, FieldMap& map, int column, int row);
    const std::string* undoOrRedo(const InputState& input, FieldMap& map, bool redo);
    void pick(const FieldMap& map, int column, int row);
    void fill(const InputState& input, FieldMap& map, int column, int row);
    void dragRectangle(const InputState& input, const Presses& presses, FieldMap& map, bool hit, int column, int row);
    FieldRect dragFields() const;
    void applyRectangle(const InputState& input, FieldMap& map, const FieldRect& fields);

    EditorChoices state;
    Stopwatch stepClock;   // since the last step of the object or the brush size
    Stopwatch toggleClock; // since the last toggle of active
    sf::Sprite cursorSprite;
    const GameData& content;
    EditHistory edits;
    InputState previous;      // the last update's input, to tell presses from holds
    bool leftBlocked = false; // the left button acts again only after its release
    // The rectangle being dragged: the field under the press, the field under
    // the mouse, and the map origin (truncated) they were last seen with.
    bool dragging = false;
    sf::Vector2i dragStart;
    sf::Vector2i dragEnd;
    sf::Vector2i dragOrigin;
    std::string message;
    float wheelTravel = 0.f; // notches turned that have not made a whole step yet
    std::optional<sf::Vector2i> hovered;
    std::vector<int> fillStack; // kept between fills so a fill allocates nothing
    std::vector<char> fillSeen; // by storage index: the field is in the region
};
