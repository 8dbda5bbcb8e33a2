#pragma once

#include "world/FieldSprite.h"

#include <SFML/Graphics/Rect.hpp>

class GameData;
class ObjectType;

// One tile of the map: two ground layers, the object standing on it, whether it
// blocks the player, and its blocking rectangle. The field map owns every
// field; other parts read and write the members directly.
class Field
{
public:
    // Paints ground type `type` on the under layer (`underLayer`) or on the
    // ground layer: sets the layer's type and texture, keeps its piece, and
    // marks the field for auto-tiling. A type with no loaded field texture is
    // refused: nothing changes and the result is false.
    bool setGround(int type, bool underLayer);

    const GameData* content = nullptr; // where field textures are looked up
    FieldSprite groundSprite; // upper layer; its position is the field's position
    FieldSprite underSprite;  // lower layer, drawn first; always the interior piece
    int groundType = 0;
    int underType = 0;
    ObjectType* object = nullptr; // this field's record in the map's object store
    sf::IntRect collisionRect;    // (x, y, 16, 16) while solid, else all 0; scene pixels
    bool solid = false;
    bool needsAutoTile = true;
};
