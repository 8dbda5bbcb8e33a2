#pragma once

#include "editor/EditHistory.h"
#include "editor/EditorChoices.h"

#include <SFML/System/Vector2.hpp>

#include <optional>

class Field;
class FieldMap;
class GameData;

// One change of a field's stored values, built from the editor's choices:
// what the left button, F and a rectangle do to each of their fields. The
// one place that reads the mode.
class FieldChange
{
public:
    // Paint mode: the selected ground type on the chosen layer, with the
    // brush. Object mode: the selected object, or object 0 (none) while
    // `removing`. Solid mode: solid, or not while `removing`.
    static FieldChange fromChoices(const EditorChoices& choices, bool removing);

    // Makes the change on field (c, r), in 0..199. What the map refuses (a
    // type or an object that is not loaded) changes nothing.
    void applyTo(FieldMap& map, int column, int row) const;

    // What a stroke of it is, for the history's messages.
    EditKind strokeKind() const;
    // The fields of the brush pattern a stroke changes around the field under
    // the mouse: BrushFieldCounts of the brush size when painting (none for a
    // size outside 1..4), else the one field.
    int brushFields() const;
    // Whether F changes the region around a field: painting, when the
    // region's type is not already the one painted; marking solid or not.
    // Objects are never filled.
    bool fills(const Field& start) const;
    // The type that tells a field's region apart: its ground type on the
    // chosen layer.
    int regionType(const Field& field) const;
    // The step between the fields a rectangle changes: the object's
    // footprint in fields (at least 1, at most the map) when placing one,
    // else 1 x 1; empty when the object to place is not loaded.
    std::optional<sf::Vector2i> rectangleStep(const GameData& content) const;
    // Picking field `field`: painting chooses its ground type on the chosen
    // layer, placing objects its object (0 for none); solid mode nothing.
    void pick(const Field& field, EditorChoices& choices) const;

private:
    enum class Target
    {
        Ground,
        Object,
        Solid,
    };
    Target target = Target::Ground;
    int value = 0; // the ground type, the object id, or 1 for solid
    bool underLayer = false;
    int brushSize = 1;
    bool removing = false;
};
