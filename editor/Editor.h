#pragma once

#include "editor/EditHistory.h"
#include "editor/EditScope.h"
#include "editor/EditorChoices.h"
#include "editor/FillTool.h"
#include "editor/RectangleTool.h"
#include "editor/SelectionTool.h"
#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "platform/TimeSource.h"
#include "world/FieldBlock.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
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
//
// The selection and the clipboard, also once per press: Ctrl + the left
// button selects (see update); Ctrl+C copies the selection into the
// clipboard, Ctrl+X copies and clears it, Delete clears it; Ctrl+V starts a
// paste, or cancels the one shown; H, V and R (not while Ctrl is held) flip
// the clipboard left to right, top to bottom, and turn it a quarter turn
// clockwise, also while a paste is shown. A key that finds nothing selected or
// an empty clipboard changes nothing and says so.
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
    // - Ctrl + left button: selects from the field under its press to the
    //   field under the mouse, until its release (a click selects one field);
    //   a new drag replaces the selection. It never paints: pressed off the
    //   map it does nothing until its release. Ctrl + right click clears the
    //   selection and starts no rectangle.
    // - Shift + left button, in paint and solid modes: a straight line with
    //   the brush from the last field the left button acted on (the field
    //   itself when there is none yet) to the field under the mouse
    //   (LineTool); solid mode clears with LShift as the button does. The
    //   line and the stroke it starts are one edit.
    // - while a paste is shown: the left button puts the clipboard on the
    //   map with its top-left field on the field under the mouse, clipped at
    //   the map's edges, as one edit, and ends the paste; the right button
    //   cancels it. Neither paints nor starts a rectangle.
    // Undo and redo end a stroke, a selection drag and cancel a rectangle;
    // the left button then waits for its release. Switching the editor off
    // ends a paste. A null map only toggles and reads keys.
    const std::string* update(const InputState& input, FieldMap* map, float sceneScaleX, float sceneScaleY);

    bool active() const { return state.active; }
    const EditorChoices& choices() const { return state; }
    // The cursor: 16 x 16, scene pixels; drawn only while active.
    const sf::Sprite& cursor() const { return cursorSprite; }
    // While a rectangle is dragged: its outline in scene pixels, where the
    // last update saw its fields.
    std::optional<sf::IntRect> rectangleOutline() const { return rectangle.outline(); }
    // Adds what the editor puts in a frame to `key`: the choices (which the
    // HUD shows), the cursor, the rectangle's outline, the selection and the
    // paste's preview (the clipboard by its revision, and where it shows).
    void describe(FrameKey& key) const;

    // The selected fields; empty when nothing is selected.
    const std::optional<FieldRange>& selection() const { return selector.selection(); }
    // The selection's outline with the map origin at `origin`, scene pixels;
    // empty when nothing is selected or the editor is off.
    std::optional<sf::IntRect> selectionOutline(sf::Vector2f origin) const;

    // The clipboard: the fields last copied or cut, flipped and turned since,
    // or set; the empty block at first.
    const FieldBlock& clipboard() const { return copied; }
    // Counts every change of the clipboard: copy, cut, flip, turn, setClipboard.
    std::uint64_t clipboardRevision() const { return copiedRevision; }
    // Puts `block` in the clipboard (a stamp, the desktop's clipboard). An
    // empty block ends a paste that is shown. update() reads Ctrl+V itself:
    // a clipboard taken from the desktop on the frame Ctrl+V goes down is set
    // here before that update, which then shows it (calling startPaste too
    // would make that update's Ctrl+V cancel it).
    void setClipboard(FieldBlock block);
    // As Ctrl+V with nothing shown: shows the clipboard as a paste under the
    // mouse (cancelling a rectangle); nothing when the clipboard is empty.
    void startPaste();
    bool pasting() const { return pasteShown; }
    // Where a paste would put the clipboard's top-left field: the field under
    // the mouse while a paste is shown; empty otherwise.
    std::optional<sf::Vector2i> pastePosition() const;

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
        bool copy = false;
        bool cut = false;
        bool paste = false;
        bool clear = false;
        bool flipHorizontally = false;
        bool flipVertically = false;
        bool turn = false;
    };
    Presses pressesOf(const InputState& input) const;
    void readKeys(const InputState& input);
    void turnWheel(float notches);
    const std::string* undoOrRedo(const InputState& input, FieldMap& map, bool redo);
    // The keys of the selection and the clipboard; the message, or null.
    const std::string* selectionKeys(const Presses& presses, FieldMap& map);
    // The mouse's part of them: selecting, clearing, the paste's clicks, the
    // line. Returns the message, or null.
    const std::string* selectionMouse(const InputState& input, const Presses& presses, FieldMap& map,
                                      const std::optional<sf::Vector2i>& under, bool& rightTaken);
    const std::string* say(std::string text);

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
    SelectionTool selector;
    FieldBlock copied;                 // the clipboard
    std::uint64_t copiedRevision = 0;  // changes of the clipboard
    bool pasteShown = false;
    std::optional<sf::Vector2i> lastActed; // the last field the left button acted on, where a line starts
};
