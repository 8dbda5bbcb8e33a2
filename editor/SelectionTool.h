#pragma once

#include "world/FieldMap.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <optional>

// The editor's selection: a rectangle of fields chosen by dragging the left
// button with Ctrl held, kept until a new drag replaces it or it is cleared.
class SelectionTool
{
public:
    // Starts a drag on field `field`: the selection becomes that one field
    // and follows the mouse until the drag ends.
    void start(sf::Vector2i field);
    // One frame of a drag: the selection spans from the field of its start to
    // `hit` (the last field hit while the mouse is off the map); the drag ends
    // when the left button is no longer held. True in the frame it ends.
    bool update(bool leftHeld, const std::optional<sf::Vector2i>& hit);
    // Ends a drag, keeping what it has selected so far.
    void stopDragging() { dragging = false; }
    void clear();
    bool active() const { return dragging; }

    // The selected fields, empty when nothing is selected.
    const std::optional<FieldRange>& selection() const { return selected; }

    // The outline of `range` with the map origin at `origin`: scene pixels,
    // from the origin truncated toward zero, as the cursor is placed.
    static sf::IntRect outline(const FieldRange& range, sf::Vector2f origin);

private:
    bool dragging = false;
    sf::Vector2i anchor;
    std::optional<FieldRange> selected;
};
