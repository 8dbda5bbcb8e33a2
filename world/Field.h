#pragma once

#include "world/FieldSprite.h"
#include "world/PlacedObject.h"

#include <SFML/Graphics/Rect.hpp>

class GameData;

constexpr int DefaultGroundType = 5; // both layers of every field of a new map

// What a map file stores of a field, and what an edit changes: its two ground
// types, its object and its solid flag. Everything else of a field follows
// from these.
struct FieldValues
{
    int groundType = DefaultGroundType;
    int underType = DefaultGroundType;
    int objectId = 0; // 0: no object
    bool solid = false;

    bool operator==(const FieldValues& other) const
    {
        return groundType == other.groundType && underType == other.underType && objectId == other.objectId &&
               solid == other.solid;
    }
    bool operator!=(const FieldValues& other) const { return !(*this == other); }
};

// One tile of the map: two ground layers, the object standing on it, whether it
// blocks the player, and its blocking rectangle. The field map owns every
// field and changes them; everyone else reads them.
class Field
{
public:
    // Paints ground type `type` on the under layer (`underLayer`) or on the
    // ground layer: sets the layer's type and texture, keeps its piece, and
    // marks the field for auto-tiling. A type with no loaded field texture is
    // refused: nothing changes and the result is false.
    bool setGround(int type, bool underLayer);

    FieldValues values() const { return {groundType, underType, object.id(), solid}; }

    const GameData* content = nullptr; // where field textures are looked up
    FieldSprite groundSprite; // upper layer; its position is the field's position
    FieldSprite underSprite;  // lower layer, drawn first; always the interior piece
    int groundType = DefaultGroundType;
    int underType = DefaultGroundType;
    PlacedObject object;
    sf::IntRect collisionRect; // (x, y, 16, 16) while solid, else all 0; scene pixels
    bool solid = false;
    bool needsAutoTile = true;
};
