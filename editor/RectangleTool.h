#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <optional>

class EditHistory;
class FieldChange;
class FieldMap;
class GameData;

// Fields from (firstColumn, firstRow) to (lastColumn, lastRow), both corners
// included.
struct FieldRect
{
    int firstColumn = 0;
    int firstRow = 0;
    int lastColumn = 0;
    int lastRow = 0;
};

// The right button's tool: a rectangle from the field under its press to the
// field under the mouse (the last one hit while the mouse is off the map),
// changed on its release as one edit.
class RectangleTool
{
public:
    // What the buttons did this frame, and the field under the mouse.
    struct Buttons
    {
        bool rightPressed = false; // went down this frame
        bool rightHeld = false;
        bool leftPressed = false;
        bool leftHeld = false;
    };
    enum class Outcome
    {
        None,
        Cancelled, // the left button went down: the rectangle is dropped
        Released,  // the right button came up: fields() are to be changed
    };

    // One frame; `origin` is the map origin truncated, for the outline. A
    // right press over the map starts a rectangle unless the left button is
    // held; while one is dragged, a left press cancels it, and releasing
    // the right button ends it.
    Outcome update(const Buttons& buttons, const std::optional<sf::Vector2i>& hit, sf::Vector2i origin);
    void cancel() { dragging = false; }
    bool active() const { return dragging; }
    FieldRect fields() const;
    // While a rectangle is dragged: its outline in scene pixels, where the
    // last update saw its fields.
    std::optional<sf::IntRect> outline() const;

    // Makes `change` on the fields of `rect`, every field (c0 + k w, r0 + l h)
    // from its top-left field in steps of FieldChange::rectangleStep, as one
    // edit; nothing when the change has no step (an object not loaded).
    static void apply(FieldMap& map, EditHistory& history, const FieldChange& change, const GameData& content,
                      const FieldRect& rect);

private:
    bool dragging = false;
    sf::Vector2i start;
    sf::Vector2i end;
    sf::Vector2i seenOrigin;
};
