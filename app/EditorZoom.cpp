#include "app/EditorZoom.h"

#include <algorithm>
#include <cmath>

ViewZoom EditorZoom::update(const InputState& in, const InputState& previous, const KeyBindings& keys, bool editing,
                            bool wheelFree)
{
    if (!editing)
    {
        wheelTravel = 0.f;
        view = ViewZoom::Game;
        return view;
    }
    const auto pressed = [&](KeyAction action) { return keys.held(in, action) && !keys.held(previous, action); };
    if (pressed(KeyAction::ZoomOut))
        editorView = zoomStep(editorView, true);
    if (pressed(KeyAction::ZoomIn))
        editorView = zoomStep(editorView, false);
    if (wheelFree && ctrlHeld(in) && std::isfinite(in.wheelNotches))
    {
        // Two steps reach either end: a wild turn is no longer than that.
        wheelTravel = std::clamp(wheelTravel + in.wheelNotches, -3.f, 3.f);
        // Toward zero: a part of a notch waits for the rest.
        for (; wheelTravel >= 1.f; wheelTravel -= 1.f)
            editorView = zoomStep(editorView, false);
        for (; wheelTravel <= -1.f; wheelTravel += 1.f)
            editorView = zoomStep(editorView, true);
    }
    view = editorView;
    return view;
}
