#pragma once

#include "content/ObjectSprite.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <string>
#include <string_view>

namespace sf
{
class Texture;
}

// One kind of object, and also the object a field carries. A definition is read
// from an ".object" file; a field holds a copy of one, placed at the field.
// Object id 0 stands for no object.
class ObjectType
{
public:
    // The empty object: no texture, not present, id 0, empty message, all zero.
    ObjectType() = default;

    // A definition. `texture` may be null (a definition without its picture
    // still loads; it is drawn as nothing). Sizes are in fields, the collision
    // rectangle and offsets in pixels.
    ObjectType(int id, const sf::Texture* texture, int anchorColumn, int widthInFields, int heightInFields,
               sf::IntRect collisionRect, int collisionOffsetX, int collisionOffsetY, std::string message);

    // Puts the object on the field standing at `position` (scene pixels): moves
    // the sprite there and the collision box with it. An id of 0 clears
    // `present`; an object that is not present is left where it is.
    void placeAt(sf::Vector2f position);

    ObjectSprite sprite;
    bool present = false;
    int id = 0;
    std::string message; // bytes as read from the file
    int collisionOffsetX = 0; // pixels from the sprite's left edge to the box
    int collisionOffsetY = 0; // pixels from the sprite's top edge to the box
    sf::IntRect collisionRect;
};

// The eight lines of an ".object" file: seven numbers, then the message.
struct ObjectDefinitionLines
{
    int width = 0;                   // line 1, fields
    int height = 0;                  // line 2, fields
    int collisionTopOffset = 0;      // line 3, pixels
    int collisionLeftOffset = 0;     // line 4, pixels
    int collisionHeightReduction = 0; // line 5, pixels
    int collisionWidthReduction = 0;  // line 6, pixels
    int anchorColumn = 0;            // line 7, fields
    std::string message;             // line 8, whole
};

// Reads the text of an ".object" file. Lines end at '\n' (a '\r' before it is
// dropped); missing lines read as empty; lines after the eighth are ignored.
// Numbers are read like atoi (leading blanks, a sign, digits up to the first
// other character, 0 without digits) but saturate at the int range.
ObjectDefinitionLines parseObjectDefinition(std::string_view text);

// Builds definition `id` from its lines and its texture (may be null).
// Sizes that overflow int saturate.
ObjectType makeObjectDefinition(int id, const sf::Texture* texture, const ObjectDefinitionLines& lines);
