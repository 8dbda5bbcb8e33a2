#include "content/ObjectType.h"

#include "content/TextLines.h"
#include "platform/ScenePixels.h"

#include <array>
#include <cstdint>

ObjectType::ObjectType(int id, const sf::Texture* texture, int anchorColumn, int widthInFields, int heightInFields,
                       sf::IntRect collisionRect, int collisionOffsetX, int collisionOffsetY, std::string message)
    : id(id), message(std::move(message)), collisionOffsetX(collisionOffsetX), collisionOffsetY(collisionOffsetY),
      collisionRect(collisionRect)
{
    if (texture)
        sprite.setTexture(*texture);
    sprite.setOrigin(static_cast<float>(std::int64_t{anchorColumn} * FieldSize),
                     static_cast<float>(std::int64_t{heightInFields} * FieldSize - FieldSize));
    sprite.setTextureRect(sf::IntRect(0, 0, saturateToInt(std::int64_t{widthInFields} * FieldSize),
                                      saturateToInt(std::int64_t{heightInFields} * FieldSize)));
}

ObjectDefinitionLines parseObjectDefinition(std::string_view text)
{
    LineReader reader(text);
    std::array<std::string_view, 8> lines{};
    for (std::string_view& line : lines)
    {
        if (!reader.next(line))
            break;
    }
    // Like atoi: whatever leads the line, 0 without a number.
    const auto number = [](std::string_view line) { return readNumber(line).value; };
    ObjectDefinitionLines result;
    result.width = number(lines[0]);
    result.height = number(lines[1]);
    result.collisionTopOffset = number(lines[2]);
    result.collisionLeftOffset = number(lines[3]);
    result.collisionHeightReduction = number(lines[4]);
    result.collisionWidthReduction = number(lines[5]);
    result.anchorColumn = number(lines[6]);
    result.message = std::string(lines[7]);
    return result;
}

ObjectType makeObjectDefinition(int id, const sf::Texture* texture, const ObjectDefinitionLines& lines)
{
    const sf::IntRect collision(
        0, 0, saturateToInt(std::int64_t{lines.width} * FieldSize - lines.collisionWidthReduction),
        saturateToInt(std::int64_t{lines.height} * FieldSize - lines.collisionHeightReduction));
    return ObjectType(id, texture, lines.anchorColumn, lines.width, lines.height, collision,
                      lines.collisionLeftOffset, lines.collisionTopOffset, lines.message);
}

std::unique_ptr<ObjectType> readObjectDefinition(const std::string& path, int id, const sf::Texture* texture,
                                                 ReadResult& result)
{
    std::string text;
    result = readRegularFile(path, MaxDefinitionFileBytes, text);
    return result ? std::make_unique<ObjectType>(makeObjectDefinition(id, texture, parseObjectDefinition(text)))
                  : nullptr;
}
