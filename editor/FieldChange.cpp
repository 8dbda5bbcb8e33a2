#include "editor/FieldChange.h"

#include "content/GameData.h"
#include "content/ObjectType.h"
#include "world/FieldMap.h"

#include <algorithm>
#include <cstdlib>

namespace
{
// Fields per step of an object's footprint along one axis, from its picture's
// size in pixels: at least 1, at most the map.
int footprintFields(int pixels)
{
    return static_cast<int>(std::clamp<long long>(std::llabs(pixels) / FieldSize, 1, MapSize));
}
} // namespace

FieldChange FieldChange::fromChoices(const EditorChoices& choices, bool removing)
{
    FieldChange change;
    change.underLayer = choices.underLayer;
    change.brushSize = choices.brushSize;
    change.removing = removing;
    switch (choices.mode)
    {
    case EditorMode::PaintGround:
        change.target = Target::Ground;
        change.value = choices.selectedGround;
        break;
    case EditorMode::PlaceObject:
        change.target = Target::Object;
        change.value = removing ? 0 : choices.selectedObject;
        break;
    case EditorMode::MarkSolid:
        change.target = Target::Solid;
        change.value = removing ? 0 : 1;
        break;
    }
    return change;
}

void FieldChange::applyTo(FieldMap& map, int column, int row) const
{
    switch (target)
    {
    case Target::Ground: map.paintGround(column, row, value, underLayer); break;
    case Target::Object: map.setObject(column, row, value); break;
    case Target::Solid: map.setSolid(column, row, value != 0); break;
    }
}

EditKind FieldChange::strokeKind() const
{
    switch (target)
    {
    case Target::Ground: return EditKind::Painting;
    case Target::Object: return EditKind::Objects;
    case Target::Solid: return EditKind::Solid;
    }
    return EditKind::Painting;
}

int FieldChange::brushFields() const
{
    if (target != Target::Ground)
        return 1;
    if (brushSize < MinBrushSize || brushSize > MaxBrushSize)
        return 0;
    return BrushFieldCounts[static_cast<std::size_t>(brushSize - 1)];
}

bool FieldChange::fills(const Field& start) const
{
    switch (target)
    {
    case Target::Ground: return regionType(start) != value; // else it would change nothing
    case Target::Object: return false;
    case Target::Solid: return true;
    }
    return false;
}

int FieldChange::regionType(const Field& field) const
{
    return underLayer ? field.underType() : field.groundType();
}

std::optional<sf::Vector2i> FieldChange::rectangleStep(const GameData& content) const
{
    if (target != Target::Object || removing)
        return sf::Vector2i(1, 1);
    const ObjectType* object = content.object(value);
    if (!object)
        return std::nullopt;
    return sf::Vector2i(footprintFields(object->sprite.getTextureRect().width),
                        footprintFields(object->sprite.getTextureRect().height));
}

void FieldChange::pick(const Field& field, EditorChoices& choices) const
{
    switch (target)
    {
    case Target::Ground: choices.selectedGround = regionType(field); break;
    case Target::Object: choices.selectedObject = field.objectId(); break;
    case Target::Solid: break;
    }
}
