#pragma once

#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "platform/ViewZoom.h"

// Which view the game shows: the game's own while the editor is off; while
// it is on, the editor's view, stepped one wider by the zoom-out key
// (PageDown), one closer by the zoom-in key (PageUp), and by the mouse wheel
// with a Ctrl key held, a notch away from the user one closer (fractions of
// a notch add up). Switching the editor on again returns to the editor's
// last view.
class EditorZoom
{
public:
    // The editor's view starts as `editorStart`.
    explicit EditorZoom(ViewZoom editorStart = ViewZoom::Game) : editorView(editorStart) {}

    // One frame: `previous` is the last frame's input, `editing` whether the
    // editor is on, `wheelFree` whether the wheel is the view's (no picker
    // takes it). Returns the view to show.
    ViewZoom update(const InputState& in, const InputState& previous, const KeyBindings& keys, bool editing,
                    bool wheelFree);

    ViewZoom shown() const { return view; }

private:
    ViewZoom editorView;
    ViewZoom view = ViewZoom::Game;
    float wheelTravel = 0.f; // notches turned with Ctrl that have not made a whole step yet
};
