#pragma once

#include "editor/EditHistory.h"
#include "editor/EditScope.h"
#include "editor/EditorChoices.h"
#include "editor/FillTool.h"
#include "editor/RectangleTool.h"
#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "platform/TimeSource.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

#include <optional>
#include <string>

class FrameKey;
class GameData;

constexpr int EditorKeyDelayMs = 200; // milliseconds; a timed key acts only when its clock reads more than this
constexpr int CursorSize = 16;   // scene pixels per side of the cursor, one field

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
    // store's editor texture, piece (0, 0, 16, 16), at (0, 0). `keys` says
    // which keys do what; the names below are the defaults.
    explicit Editor(const GameData& content, const TimeSource& time = TimeSource::system(),
                    const KeyBindings& keys = KeyBindings::defaults());

    // One frame: the E toggle, then (only while active, already in the frame
    // E switched it on) the keys, undo and redo, the hit test and the actions
    // on the field under the mouse. The mouse position is in window pixels
    // (it may lie outside the window); the scales are window pixels per scene
    // pixel of the map's view, which the window shows from its corner. Returns the message to show ("Undone: fill, 1,234 fields"), or
    // null when there is none; it stays valid until the next update.
    //
    // Hit test: the field under the scene point view corner + mouse / scale
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
    std::optional<sf::IntRect> rectangleOutline() const { return rectangle.outline(); }
    // Adds what the editor puts in a frame to `key`: the choices (which the
    // HUD shows), the cursor and the rectangle's outline.
    void describe(FrameKey& key) const;

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
    const std::string* undoOrRedo(const InputState& input, FieldMap& map, bool redo);

    EditorChoices state;
    Stopwatch stepClock;   // since the last step of the object or the brush size
    Stopwatch toggleClock; // since the last toggle of active
    sf::Sprite cursorSprite;
    const GameData& content;
    KeyBindings keys;
    EditHistory edits;
    std::optional<EditScope> stroke; // the left button's edit, from its press to its release
    FillTool filler;
    RectangleTool rectangle;
    InputState previous;      // the last update's input, to tell presses from holds
    bool leftBlocked = false; // the left button acts again only after its release
    std::string message;
    float wheelTravel = 0.f; // notches turned that have not made a whole step yet
    std::optional<sf::Vector2i> hovered;
};
