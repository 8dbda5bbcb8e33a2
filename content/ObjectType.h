#pragma once

#include "content/ObjectSprite.h"
#include "platform/RegularFile.h"

#include <SFML/Graphics/Rect.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace sf
{
class Texture;
}

// One kind of object, read from an ".object" file: its picture, its collision
// box and its message. The store owns every definition for the whole run;
// a field that carries an object refers to its definition instead of holding a
// copy, so a map full of objects costs the same whatever their messages.
// Object id 0 stands for no object.
// Largest object or item definition file that is read, in bytes. An object's
// message may well be long (messages of a megabyte are used), so the limit
// leaves four times that; it keeps a huge file from filling memory.
constexpr std::size_t MaxDefinitionFileBytes = 4u << 20; // bytes

// Object N's definition is "<root>" ObjectDefinitionPrefix "<N>" ObjectDefinitionExtension.
constexpr const char* ObjectDefinitionPrefix = "/Objekte/Object";
constexpr const char* ObjectDefinitionExtension = ".object";

class ObjectType
{
public:
    // A definition. `texture` may be null (a definition without its picture
    // still loads; it is drawn as nothing). Sizes are in fields, the collision
    // rectangle and offsets in scene pixels.
    ObjectType(int id, const sf::Texture* texture, int anchorColumn, int widthInFields, int heightInFields,
               sf::IntRect collisionRect, int collisionOffsetX, int collisionOffsetY, std::string message);

    // Texture, piece (the top-left width x height fields of the texture) and
    // origin: the bottom row of the picture sits on the carrying field, with
    // the anchor column over it. A definition is never positioned.
    ObjectSprite sprite;
    int id = 0;
    std::string message;      // bytes as read from the file
    int collisionOffsetX = 0; // pixels from the picture's left edge to the box
    int collisionOffsetY = 0; // pixels from the picture's top edge to the box
    sf::IntRect collisionRect; // the box's size; left and top are 0
};

// The eight lines of an ".object" file: seven numbers, then the message.
struct ObjectDefinitionLines
{
    int width = 0;                    // line 1, fields
    int height = 0;                   // line 2, fields
    int collisionTopOffset = 0;       // line 3, pixels
    int collisionLeftOffset = 0;      // line 4, pixels
    int collisionHeightReduction = 0; // line 5, pixels
    int collisionWidthReduction = 0;  // line 6, pixels
    int anchorColumn = 0;             // line 7, fields
    std::string message;              // line 8, whole
};

// Reads the text of an ".object" file. Lines end at '\n' (a '\r' before it is
// dropped); missing lines read as empty; lines after the eighth are ignored.
// Numbers are read like atoi (leading blanks, a sign, digits up to the first
// other character, 0 without digits) but saturate at the int range.
ObjectDefinitionLines parseObjectDefinition(std::string_view text);

// Builds definition `id` from its lines and its texture (may be null).
// Sizes that overflow int saturate.
ObjectType makeObjectDefinition(int id, const sf::Texture* texture, const ObjectDefinitionLines& lines);

// Reads the ".object" file at `path` (a regular file of at most
// MaxDefinitionFileBytes) as definition `id` with picture `texture` (may be
// null). Null when the file cannot be used, with `result` saying why
// (Missing when there is none).
std::unique_ptr<ObjectType> readObjectDefinition(const std::string& path, int id, const sf::Texture* texture,
                                                 ReadResult& result);
