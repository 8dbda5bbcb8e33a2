#include "content/ObjectType.h"

#include "content/TextLines.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace
{
int saturate(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}
} // namespace

ObjectType::ObjectType(int id, const sf::Texture* texture, int anchorColumn, int widthInFields, int heightInFields,
                       sf::IntRect collisionRect, int collisionOffsetX, int collisionOffsetY, std::string message)
    : present(true), id(id), message(std::move(message)), collisionOffsetX(collisionOffsetX),
      collisionOffsetY(collisionOffsetY), collisionRect(collisionRect)
{
    if (texture)
        sprite.setTexture(*texture);
    // The bottom row of the picture sits on the carrying field, with the anchor
    // column over it.
    sprite.setOrigin(static_cast<float>(std::int64_t{anchorColumn} * FieldSize),
                     static_cast<float>(std::int64_t{heightInFields} * FieldSize - FieldSize));
    sprite.setTextureRect(sf::IntRect(0, 0, saturate(std::int64_t{widthInFields} * FieldSize),
                                      saturate(std::int64_t{heightInFields} * FieldSize)));
}

void ObjectType::placeAt(sf::Vector2f position)
{
    if (id == 0)
        present = false;
    if (!present)
        return;
    sprite.setPosition(position);
    const sf::Vector2f& origin = sprite.getOrigin();
    const float left = position.x - origin.x + static_cast<float>(collisionOffsetX);
    const float top = position.y - origin.y + static_cast<float>(collisionOffsetY);
    // Truncate toward zero, saturating where a damaged definition puts the box
    // beyond the int range.
    collisionRect.left = saturate(static_cast<std::int64_t>(std::clamp(left, -2147483648.0f, 2147483520.0f)));
    collisionRect.top = saturate(static_cast<std::int64_t>(std::clamp(top, -2147483648.0f, 2147483520.0f)));
}

ObjectDefinitionLines parseObjectDefinition(std::string_view text)
{
    std::array<std::string_view, 8> lines{};
    for (std::string_view& line : lines)
    {
        if (!nextLine(text, line))
            break;
    }
    ObjectDefinitionLines result;
    result.width = readLeadingInt(lines[0]);
    result.height = readLeadingInt(lines[1]);
    result.collisionTopOffset = readLeadingInt(lines[2]);
    result.collisionLeftOffset = readLeadingInt(lines[3]);
    result.collisionHeightReduction = readLeadingInt(lines[4]);
    result.collisionWidthReduction = readLeadingInt(lines[5]);
    result.anchorColumn = readLeadingInt(lines[6]);
    result.message = std::string(lines[7]);
    return result;
}

ObjectType makeObjectDefinition(int id, const sf::Texture* texture, const ObjectDefinitionLines& lines)
{
    const sf::IntRect collision(
        0, 0, saturate(std::int64_t{lines.width} * FieldSize - lines.collisionWidthReduction),
        saturate(std::int64_t{lines.height} * FieldSize - lines.collisionHeightReduction));
    return ObjectType(id, texture, lines.anchorColumn, lines.width, lines.height, collision,
                      lines.collisionLeftOffset, lines.collisionTopOffset, lines.message);
}
